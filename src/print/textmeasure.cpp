#include "textmeasure.h"

#include <algorithm>
#include <QFontInfo>

namespace {

// Enough for the texts of a table, few enough to stay small.
constexpr qsizetype MaxMeasuredTexts = 10000;

} // namespace

TextMeasure::TextMeasure(const QFont &font, const QPaintDevice *device)
    : m_font(font)
    , m_device(device)
    , m_metrics(font, device)
    , m_ascent(m_metrics.ascent())
    , m_measured(std::make_shared<QHash<QString, int>>())
{
    // Spacing and capitals change what a run of characters measures.
    if (!QFontInfo(font).fixedPitch() || font.letterSpacing() != 0 || font.wordSpacing() != 0
        || font.capitalization() != QFont::MixedCase)
        return;
    m_advance = m_metrics.horizontalAdvance(QStringLiteral("x"));
    // Each character measured as a text of its own, shaped as texts are.
    for (char16_t c = 0; c < m_fixed.size(); ++c)
        m_fixed[c] = QChar(c).isPrint() && m_metrics.horizontalAdvance(QString(QChar(c))) == m_advance;
}

int TextMeasure::width(const QString &text, qsizetype length) const
{
    const QStringView measured = QStringView(text).first(length);
    if (std::all_of(measured.begin(), measured.end(),
            [this](QChar c) { return c.unicode() < m_fixed.size() && m_fixed[c.unicode()]; }))
        return qRound(length * m_advance);
    const QString key = measured.toString();
    if (const auto known = m_measured->constFind(key); known != m_measured->cend())
        return *known;
    if (m_measured->size() >= MaxMeasuredTexts)
        m_measured->clear();
    const int width = qRound(m_metrics.horizontalAdvance(key));
    m_measured->insert(key, width);
    return width;
}
