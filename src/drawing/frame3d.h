#pragma once

class QColor;
class QPainter;
class QRect;

/// Draws width one-pixel rings on the edge of r: the top and left edges in
/// topLeft, the bottom and right edges in bottomRight, which also takes the
/// bottom-left and top-right corners. r shrinks by width on every side, to
/// the area inside the frame.
void drawFrame3D(QPainter &painter, QRect &r, const QColor &topLeft, const QColor &bottomRight, int width = 1);
