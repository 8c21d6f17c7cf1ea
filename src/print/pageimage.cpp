#include "pageimage.h"

#include <algorithm>
#include <cmath>
#include <QPainter>

void PageImage::addText(QPointF origin, const QString &text, const QFont &font)
{
    m_texts.push_back({origin, text, font});
}

void PageImage::addLine(QPoint from, QPoint to, int penWidth)
{
    m_lines.push_back({from, to, penWidth});
}

void PageImage::play(QPainter &painter) const
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    // Scaled below a device pixel a line would vanish from a zoomed-out
    // preview; it is drawn with the thinnest pen instead.
    const QTransform &transform = painter.worldTransform();
    const double scale = std::min(std::abs(transform.m11()), std::abs(transform.m22()));
    for (const Line &line : m_lines) {
        const int width = line.penWidth * scale < 1 ? 0 : line.penWidth;
        painter.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(line.from, line.to);
    }
    painter.setPen(Qt::black);
    const QFont *current = nullptr;
    for (const Text &text : m_texts) {
        // Rows share one font, so it is rarely set anew.
        if (!current || *current != text.font) {
            painter.setFont(text.font);
            current = &text.font;
        }
        painter.drawText(text.origin, text.text);
    }
    painter.restore();
}
