#pragma once

#include "ownerdrawcombobox.h"

#include <functional>
#include <QImage>

/// Whose fonts a font list offers.
enum TFontDevice { fdScreen, fdPrinter, fdBoth };

/// The filters of a font list; a family is listed when it passes each one.
enum FontListOption : unsigned {
    foAnsiOnly = 1u << 0, ///< supports Western (Latin) writing
    foTrueTypeOnly = 1u << 1, ///< comes as outline font files
    foFixedPitchOnly = 1u << 2, ///< all characters are equally wide
    foNoOEMFonts = 1u << 3, ///< not limited to a legacy OEM character set
    foOEMFontsOnly = 1u << 4, ///< limited to a legacy OEM character set
    foScalableOnly = 1u << 5, ///< has no bitmap (raster) faces
};
Q_DECLARE_FLAGS(TFontListOptions, FontListOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontListOptions)

/// What a font family is made of.
enum FontType : unsigned { RasterFont = 1u << 0, DeviceFont = 1u << 1, TrueTypeFont = 1u << 2 };
Q_DECLARE_FLAGS(FontTypes, FontType)
Q_DECLARE_OPERATORS_FOR_FLAGS(FontTypes)

/// A list of the installed font families, sorted, where a small glyph marks
/// the TrueType and the device fonts.
///
/// The families are those Qt knows through fontconfig. An outline (smoothly
/// scalable) family counts as TrueType, a bitmap family as raster. Qt prints
/// with the very fonts it shows on the screen and learns of no fonts that
/// live in a printer, so the printer offers the screen's families: fdPrinter
/// lists what fdScreen lists, fdBoth lists each family once, and no family is
/// a device font. Nor is any family limited to a legacy OEM character set:
/// foNoOEMFonts keeps every family and foOEMFontsOnly lists none.
///
/// The list is built anew when Options or Device change and when the set of
/// installed fonts changes, and the chosen name is chosen again.
class TFontComboBox : public TOwnerDrawComboBox
{
    Q_OBJECT

public:
    explicit TFontComboBox(QWidget *parent = nullptr);

    /// The chosen name: the selected entry's, or in the editable styles the
    /// edit text.
    QString FontName() const { return currentText(); }
    /// Selects the entry that equals name in any letter case. Without one,
    /// nothing is selected, and the editable styles show name as edit text.
    void setFontName(const QString &name);
    TFontDevice Device() const { return m_device; }
    void setDevice(TFontDevice device);
    TFontListOptions Options() const { return m_options; }
    void setOptions(TFontListOptions options);
    /// The same as foTrueTypeOnly in Options.
    bool TrueTypeOnly() const { return m_options.testFlag(foTrueTypeOnly); }
    void setTrueTypeOnly(bool on);

    FontTypes fontTypes(int index) const;

    /// The marks before the names of TrueType and device fonts.
    static const QImage &trueTypeGlyph();
    static const QImage &deviceGlyph();

    QSize sizeHint() const override;

    /// The user chose an entry from the list, by mouse or by key.
    std::function<void(TFontComboBox *sender)> OnClick;
    /// FontName changed: by the user (after OnClick), through setFontName,
    /// or because a rebuilt list lacks the chosen name.
    std::function<void(TFontComboBox *sender)> OnChange;

protected:
    void drawEntry(QPainter &painter, const QRect &rect, int index) const override;
    void editTextTyped(const QString &text) override;
    void changeEvent(QEvent *event) override;

private:
    void rebuild();
    void fillList();
    bool isListed(const QString &family, FontTypes types) const;
    void selectName(const QString &name);
    void reportNameChange();
    int entryHeight() const;

    TFontDevice m_device = fdScreen;
    TFontListOptions m_options;
    QString m_reportedName; // FontName as OnChange last told it
};
