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
    /// Draws the page on a printer: the same, with joinedLines for lines.
    void print(QPainter &painter) const;

    /// The lines as fewer strokes covering the same pixels: a line drawn
    /// again is left out, and lines of one pen running on along the same
    /// row or column, touching or overlapping, become one line. Table
    /// frames are recorded cell by cell, which gives a printer every edge
    /// in many pieces, most of them twice.
    std::vector<Line> joinedLines() const;

private:
    void draw(QPainter &painter, const std::vector<Line> &lines) const;

    std::vector<Text> m_texts;
    std::vector<Line> m_lines;
};

/// The pages of a document in page order.
using TPageList = std::vector<PageImage>;
