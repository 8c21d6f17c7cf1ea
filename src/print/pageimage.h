#pragma once

#include <QFont>
#include <QPoint>
#include <QString>
#include <vector>

class QPainter;

/// One page as it was laid out: its text and lines in printer pixels, with
/// the printable origin of the paper at (0, 0). It is recorded once and
/// replayed at any scale, so that zooming and printing never lay out again.
class PageImage
{
public:
    struct Text
    {
        QPointF origin; // left end of the baseline
        QString text;
        QFont font; // sized in printer pixels
    };
    struct Line
    {
        QPoint from;
        QPoint to;
        int penWidth = 0; // 0 is the thinnest line the device draws
    };

    void addText(QPointF origin, const QString &text, const QFont &font);
    void addLine(QPoint from, QPoint to, int penWidth);

    const std::vector<Text> &texts() const { return m_texts; }
    const std::vector<Line> &lines() const { return m_lines; }

    /// Draws the page in black; the painter's transform maps printer pixels
    /// to the target (none for the printer itself).
    void play(QPainter &painter) const;

private:
    std::vector<Text> m_texts;
    std::vector<Line> m_lines;
};

/// The pages of a document in page order.
using TPageList = std::vector<PageImage>;
