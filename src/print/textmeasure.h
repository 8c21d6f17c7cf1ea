#pragma once

#include <bitset>
#include <memory>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QString>

class QPaintDevice;

/// The widths of texts in one font on one device, in whole device pixels.
///
/// In a fixed-pitch font a text whose characters all take the font's one
/// advance is its length times that advance wide, which spares shaping it:
/// laying out a long table would otherwise spend most of its time there.
/// Characters outside that set (wide or combining ones, controls, most of
/// what lies beyond Latin-1) and every text in a proportional font are
/// measured, each text once.
class TextMeasure
{
public:
    TextMeasure(const QFont &font, const QPaintDevice *device);

    /// Whether this measures font on device.
    bool measures(const QFont &font, const QPaintDevice *device) const { return device == m_device && font == m_font; }
    const QFont &font() const { return m_font; }
    const QFontMetricsF &metrics() const { return m_metrics; }
    /// The font's ascent, asked for every text written.
    qreal ascent() const { return m_ascent; }
    /// Width of the first length characters of text.
    int width(const QString &text, qsizetype length) const;

private:
    QFont m_font;
    const QPaintDevice *m_device;
    QFontMetricsF m_metrics;
    qreal m_ascent;
    qreal m_advance = 0; // of every character in m_fixed
    std::bitset<256> m_fixed; // the Latin-1 characters of that advance
    // Shared by the copies, which measure the same texts.
    std::shared_ptr<QHash<QString, int>> m_measured;
};
