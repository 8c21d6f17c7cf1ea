#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

/// The largest difference in grey level between a pixel of area and
/// background: how well the text drawn there stands out.
int strongestContrast(const QImage &image, const QRect &area, const QColor &background);
