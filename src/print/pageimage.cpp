#include "pageimage.h"

#include <algorithm>
#include <cmath>
#include <compare>
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
    draw(painter, m_lines);
}

void PageImage::print(QPainter &painter) const
{
    draw(painter, joinedLines());
}

std::vector<PageImage::Line> PageImage::joinedLines() const
{
    // A horizontal line is a span of x on its row, a vertical one a span of
    // y on its column; a line that is neither stays as it is.
    struct Span
    {
        bool vertical;
        int penWidth;
        int at; // the row or column
        int from;
        int to;
        auto operator<=>(const Span &) const = default;
    };
    std::vector<Span> spans;
    std::vector<Line> joined;
    for (const Line &line : m_lines) {
        if (line.from.y() == line.to.y())
            spans.push_back({false, line.penWidth, line.from.y(), std::min(line.from.x(), line.to.x()),
                std::max(line.from.x(), line.to.x())});
        else if (line.from.x() == line.to.x())
            spans.push_back({true, line.penWidth, line.from.x(), std::min(line.from.y(), line.to.y()),
                std::max(line.from.y(), line.to.y())});
        else
            joined.push_back(line);
    }
    std::sort(spans.begin(), spans.end());
    for (size_t first = 0; first < spans.size();) {
        Span span = spans[first];
        size_t next = first + 1;
        for (; next < spans.size() && spans[next].vertical == span.vertical && spans[next].penWidth == span.penWidth
             && spans[next].at == span.at && spans[next].from <= span.to;
             ++next)
            span.to = std::max(span.to, spans[next].to);
        joined.push_back(span.vertical ? Line {{span.at, span.from}, {span.at, span.to}, span.penWidth}
                                       : Line {{span.from, span.at}, {span.to, span.at}, span.penWidth});
        first = next;
    }
    return joined;
}

void PageImage::draw(QPainter &painter, const std::vector<Line> &lines) const
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    // Scaled below a device pixel a line would vanish from a zoomed-out
    // preview; it is drawn with the thinnest pen instead.
    const QTransform &transform = painter.worldTransform();
    const double scale = std::min(std::abs(transform.m11()), std::abs(transform.m22()));
    for (const Line &line : lines) {
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
