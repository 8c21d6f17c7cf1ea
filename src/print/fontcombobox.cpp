#include "fontcombobox.h"

#include <algorithm>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>

namespace {

constexpr int GlyphLeft = 2;
// Both glyphs are this wide, so that the names behind a glyph start where
// those without one do.
constexpr int GlyphWidth = 20;
constexpr int NameLeft = GlyphWidth + 6;

QImage blankGlyph()
{
    QImage glyph(GlyphWidth, 12, QImage::Format_ARGB32_Premultiplied);
    glyph.fill(Qt::transparent);
    return glyph;
}

// Two overlapping letters T, the rear one grey.
QImage drawTrueTypeGlyph()
{
    QImage glyph = blankGlyph();
    QPainter painter(&glyph);
    const auto drawT = [&painter](int left, int top, QColor color) {
        painter.fillRect(left, top, 8, 2, color);
        painter.fillRect(left + 3, top, 2, 9, color);
    };
    drawT(1, 0, Qt::gray);
    drawT(6, 3, Qt::black);
    return glyph;
}

// A printer with a sheet going in at the top and coming out at the bottom.
QImage drawDeviceGlyph()
{
    QImage glyph = blankGlyph();
    QPainter painter(&glyph);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(4, 0, 7, 4);
    painter.setBrush(Qt::gray);
    painter.drawRect(1, 4, 13, 5);
    painter.setBrush(Qt::white);
    painter.drawRect(4, 9, 7, 2);
    return glyph;
}

FontTypes fontTypesOf(const QString &family)
{
    FontTypes types;
    const bool outline = QFontDatabase::isSmoothlyScalable(family);
    if (outline)
        types |= TrueTypeFont;
    if (!outline || QFontDatabase::isBitmapScalable(family))
        types |= RasterFont;
    return types;
}

} // namespace

TFontComboBox::TFontComboBox(QWidget *parent)
    : TOwnerDrawComboBox(parent)
{
    setItemHeight(entryHeight());
    fillList();
    connect(this, &QComboBox::activated, this, [this] {
        if (OnClick)
            OnClick(this);
        reportNameChange();
    });
    connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, this, &TFontComboBox::rebuild);
}

const QImage &TFontComboBox::trueTypeGlyph()
{
    static const QImage glyph = drawTrueTypeGlyph();
    return glyph;
}

const QImage &TFontComboBox::deviceGlyph()
{
    static const QImage glyph = drawDeviceGlyph();
    return glyph;
}

void TFontComboBox::setFontName(const QString &name)
{
    if (name == FontName())
        return;
    selectName(name);
    reportNameChange();
}

void TFontComboBox::setDevice(TFontDevice device)
{
    if (device == m_device)
        return;
    m_device = device;
    rebuild();
}

void TFontComboBox::setOptions(TFontListOptions options)
{
    if (options == m_options)
        return;
    m_options = options;
    rebuild();
}

void TFontComboBox::setTrueTypeOnly(bool on)
{
    TFontListOptions options = m_options;
    options.setFlag(foTrueTypeOnly, on);
    setOptions(options);
}

FontTypes TFontComboBox::fontTypes(int index) const
{
    return FontTypes::fromInt(itemData(index).toUInt());
}

// The owner hears of the rebuild only when it cost the chosen name.
void TFontComboBox::rebuild()
{
    const QString name = FontName();
    fillList();
    selectName(name);
    reportNameChange();
}

// Leaves nothing chosen. The families are the screen's whatever the Device:
// the printer offers the same (see the class comment).
void TFontComboBox::fillList()
{
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    clear();
    for (const QString &family : families) {
        const FontTypes types = fontTypesOf(family);
        if (isListed(family, types))
            addItem(family, types.toInt());
    }
    // The first entry added to an empty list is selected on its own.
    setCurrentIndex(-1);
}

bool TFontComboBox::isListed(const QString &family, FontTypes types) const
{
    // No family is limited to an OEM character set, so foNoOEMFonts needs no test.
    if (m_options & foOEMFontsOnly)
        return false;
    if (m_options & foAnsiOnly && !QFontDatabase::writingSystems(family).contains(QFontDatabase::Latin))
        return false;
    if (m_options & foTrueTypeOnly && !(types & TrueTypeFont))
        return false;
    if (m_options & foFixedPitchOnly && !QFontDatabase::isFixedPitch(family))
        return false;
    return !(m_options & foScalableOnly && types & RasterFont);
}

void TFontComboBox::selectName(const QString &name)
{
    const int index = findText(name, Qt::MatchFixedString); // whole name, any letter case
    setCurrentIndex(index);
    if (index < 0)
        setEditText(name); // no edit text in the drop-down-list style
}

void TFontComboBox::reportNameChange()
{
    if (FontName() == m_reportedName)
        return;
    m_reportedName = FontName();
    if (OnChange)
        OnChange(this);
}

void TFontComboBox::editTextTyped(const QString &text)
{
    const int index = findText(text, Qt::MatchFixedString);
    if (index >= 0 && index != currentIndex())
        setCurrentIndex(index);
    reportNameChange();
}

int TFontComboBox::entryHeight() const
{
    return std::max({fontMetrics().height() + 1, 9, trueTypeGlyph().height() - 1});
}

QSize TFontComboBox::sizeHint() const
{
    // Room for the glyph column before the names.
    return TOwnerDrawComboBox::sizeHint() + QSize(NameLeft, 0);
}

void TFontComboBox::drawEntry(QPainter &painter, const QRect &rect, int index) const
{
    const FontTypes types = fontTypes(index);
    const QImage *glyph = types & TrueTypeFont ? &trueTypeGlyph() : types & DeviceFont ? &deviceGlyph() : nullptr;
    if (glyph)
        painter.drawImage(rect.left() + GlyphLeft, rect.top() + (rect.height() - glyph->height()) / 2, *glyph);
    const QRect nameRect = rect.adjusted(NameLeft, 0, 0, 0);
    // Without Qt::TextShowMnemonic an "&" in a name is shown as it is.
    painter.drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, itemText(index));
}

void TFontComboBox::changeEvent(QEvent *event)
{
    TOwnerDrawComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        setItemHeight(entryHeight());
}
