#pragma once

#include "screencolor.h"

#include <functional>
#include <memory>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <vector>

enum HorizontalAlignment { taLeftJustify, taRightJustify, taCenter };
enum BevelStyle { bvNone, bvLowered, bvRaised };

enum ThgOption : unsigned { hgoptDrawFocusRectangle = 1u << 0, hgoptHighlightSelection = 1u << 1 };
Q_DECLARE_FLAGS(HyperGridOptions, ThgOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(HyperGridOptions)

enum ThgVAlignment { hgvaTop, hgvaCenter, hgvaBottom };
enum ThgClipStyle { hgclpClip, hgclpEllipsis, hgclpWrap };
enum ThgButtonStyle { hgbstEllipsis, hgbstDropDown, hgbstCustom };

enum ThgControlType : unsigned { hgctlComboBox = 1u << 0, hgctlButton = 1u << 1 };
Q_DECLARE_FLAGS(ColumnControlTypes, ThgControlType)
Q_DECLARE_OPERATORS_FOR_FLAGS(ColumnControlTypes)

enum ThgFormatType { hgfmtNone, hgfmtNumeric, hgfmtDateTime, hgfmtScientific };
enum ThgBorderStyle { hgbrdNone, hgbrdSolid, hgbrdDash, hgbrdDot, hgbrdDashDot, hgbrdDashDotDot, hgbrdDouble };
enum ThgImagePosition { hgipLeft, hgipRight, hgipTop, hgipBottom };

/// One cell edge.
struct ThgBorder
{
    ThgBorderStyle Style = hgbrdNone;
    int Width = 1;
    TColor Color = BlackColor;
    bool operator==(const ThgBorder &) const = default;
};

/// What a change to a heading or column asks of the grid.
enum HeadingChange { LayoutChange = 0, RepaintChange = 1 };

class ThgHeadings;

/// One heading of the upper title level; also the title part of every column.
class ThgHeading
{
public:
    explicit ThgHeading(ThgHeadings *collection);
    virtual ~ThgHeading();

    /// The position in the collection.
    int Index() const;
    ThgHeadings *Collection() const { return m_collection; }

    const QString &Caption() const { return m_caption; }
    void setCaption(const QString &caption) { assign(m_caption, caption); }
    /// Identifies the item for ColumnByName and the saved widths; stored silently.
    const QString &Name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    HorizontalAlignment TitleHAlignment() const { return m_titleHAlignment; }
    void setTitleHAlignment(HorizontalAlignment a) { assign(m_titleHAlignment, a); }
    ThgVAlignment TitleVAlignment() const { return m_titleVAlignment; }
    void setTitleVAlignment(ThgVAlignment a) { assign(m_titleVAlignment, a); }
    TColor TitleColor() const { return m_titleColor; }
    void setTitleColor(TColor c) { assign(m_titleColor, c); }
    const QFont &TitleFont() const { return m_titleFont; }
    /// A font of its own: clears TitleParentFont.
    void setTitleFont(const QFont &font);
    bool TitleParentFont() const { return m_titleParentFont; }
    void setTitleParentFont(bool on) { assign(m_titleParentFont, on); }
    ThgClipStyle TitleClipStyle() const { return m_titleClipStyle; }
    void setTitleClipStyle(ThgClipStyle s) { assign(m_titleClipStyle, s); }
    BevelStyle TitleInnerBevel() const { return m_titleInnerBevel; }
    void setTitleInnerBevel(BevelStyle b) { assign(m_titleInnerBevel, b); }
    BevelStyle TitleOuterBevel() const { return m_titleOuterBevel; }
    void setTitleOuterBevel(BevelStyle b) { assign(m_titleOuterBevel, b); }

    const ThgBorder &TopBorder() const { return m_topBorder; }
    void setTopBorder(const ThgBorder &b) { replace(m_topBorder, b); }
    const ThgBorder &BottomBorder() const { return m_bottomBorder; }
    void setBottomBorder(const ThgBorder &b) { replace(m_bottomBorder, b); }
    const ThgBorder &LeftBorder() const { return m_leftBorder; }
    void setLeftBorder(const ThgBorder &b) { replace(m_leftBorder, b); }
    const ThgBorder &RightBorder() const { return m_rightBorder; }
    void setRightBorder(const ThgBorder &b) { replace(m_rightBorder, b); }

protected:
    void changed(HeadingChange kind);

    // Property setters store and notify only on a real change.
    template<typename T> void assign(T &field, const T &value, HeadingChange kind = RepaintChange)
    {
        if (field == value)
            return;
        field = value;
        changed(kind);
    }
    // Fonts, pictures and borders are copied and always notify.
    template<typename T> void replace(T &field, const T &value)
    {
        field = value;
        changed(RepaintChange);
    }

private:
    ThgHeadings *m_collection;
    QString m_caption;
    QString m_name;
    HorizontalAlignment m_titleHAlignment = taCenter;
    ThgVAlignment m_titleVAlignment = hgvaCenter;
    TColor m_titleColor = clBtnFace;
    QFont m_titleFont;
    bool m_titleParentFont = true;
    ThgClipStyle m_titleClipStyle = hgclpWrap;
    BevelStyle m_titleInnerBevel = bvNone;
    BevelStyle m_titleOuterBevel = bvRaised;
    ThgBorder m_topBorder;
    ThgBorder m_bottomBorder;
    ThgBorder m_leftBorder;
    ThgBorder m_rightBorder;
};

/// One column of a THyperGrid: its title, look, formatting and editor extras.
/// While hidden it keeps its cell texts itself.
class ThgColumn : public ThgHeading
{
public:
    using ThgHeading::ThgHeading;

    ColumnControlTypes ControlType() const { return m_controlType; }
    void setControlType(ColumnControlTypes t) { assign(m_controlType, t); }
    bool Visible() const { return m_visible; }
    void setVisible(bool on) { assign(m_visible, on, LayoutChange); }
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on) { assign(m_readOnly, on); }
    int MaxTextLength() const { return m_maxTextLength; }
    void setMaxTextLength(int length) { assign(m_maxTextLength, length); }
    HorizontalAlignment ColumnHAlignment() const { return m_columnHAlignment; }
    void setColumnHAlignment(HorizontalAlignment a) { assign(m_columnHAlignment, a); }
    ThgVAlignment ColumnVAlignment() const { return m_columnVAlignment; }
    void setColumnVAlignment(ThgVAlignment a) { assign(m_columnVAlignment, a); }
    TColor ColumnColor() const { return m_columnColor; }
    void setColumnColor(TColor c) { assign(m_columnColor, c); }
    const QFont &ColumnFont() const { return m_columnFont; }
    /// A font of its own: clears ColumnParentFont.
    void setColumnFont(const QFont &font);
    bool ColumnParentFont() const { return m_columnParentFont; }
    void setColumnParentFont(bool on) { assign(m_columnParentFont, on); }
    ThgClipStyle ColumnClipStyle() const { return m_columnClipStyle; }
    void setColumnClipStyle(ThgClipStyle s) { assign(m_columnClipStyle, s); }
    BevelStyle ColumnInnerBevel() const { return m_columnInnerBevel; }
    void setColumnInnerBevel(BevelStyle b) { assign(m_columnInnerBevel, b); }
    BevelStyle ColumnOuterBevel() const { return m_columnOuterBevel; }
    void setColumnOuterBevel(BevelStyle b) { assign(m_columnOuterBevel, b); }

    /// Drop-down values and suggestions; stored silently.
    const QStringList &Items() const { return m_items; }
    void setItems(const QStringList &items) { m_items = items; }
    bool AutoSuggest() const { return m_autoSuggest; }
    void setAutoSuggest(bool on) { assign(m_autoSuggest, on); }
    bool ComboMaxWidth() const { return m_comboMaxWidth; }
    void setComboMaxWidth(bool on) { assign(m_comboMaxWidth, on); }
    int DropDownCount() const { return m_dropDownCount; }
    void setDropDownCount(int count) { assign(m_dropDownCount, count); }
    bool DropDownList() const { return m_dropDownList; }
    void setDropDownList(bool on) { assign(m_dropDownList, on); }
    ThgButtonStyle ButtonStyle() const { return m_buttonStyle; }
    void setButtonStyle(ThgButtonStyle s) { assign(m_buttonStyle, s); }
    const QPixmap &ButtonPicture() const { return m_buttonPicture; }
    void setButtonPicture(const QPixmap &picture) { replace(m_buttonPicture, picture); }
    bool DrawButtonface() const { return m_drawButtonface; }
    void setDrawButtonface(bool on) { assign(m_drawButtonface, on); }
    ThgVAlignment ButtonVAlignment() const { return m_buttonVAlignment; }
    void setButtonVAlignment(ThgVAlignment a) { assign(m_buttonVAlignment, a); }
    int HeadingIndex() const { return m_headingIndex; }
    void setHeadingIndex(int index) { assign(m_headingIndex, index); }

    ThgFormatType FormatType() const { return m_formatType; }
    void setFormatType(ThgFormatType t) { assign(m_formatType, t); }
    int Decimals() const { return m_decimals; }
    void setDecimals(int d) { assign(m_decimals, d); }
    const QString &Prefix() const { return m_prefix; }
    void setPrefix(const QString &p) { assign(m_prefix, p); }
    bool ThousandsSeparator() const { return m_thousandsSeparator; }
    void setThousandsSeparator(bool on) { assign(m_thousandsSeparator, on); }
    bool NegativeParenthesis() const { return m_negativeParenthesis; }
    void setNegativeParenthesis(bool on) { assign(m_negativeParenthesis, on); }
    int DateFormat() const { return m_dateFormat; }
    void setDateFormat(int index) { assign(m_dateFormat, index); }
    int TimeFormat() const { return m_timeFormat; }
    void setTimeFormat(int index) { assign(m_timeFormat, index); }

    /// The cell texts (one per grid row) while the column is hidden.
    QStringList HiddenCells;
    /// The column's width while hidden.
    int SavedWidth = 64;

private:
    ColumnControlTypes m_controlType;
    bool m_visible = true;
    bool m_readOnly = false;
    int m_maxTextLength = 0;
    HorizontalAlignment m_columnHAlignment = taLeftJustify;
    ThgVAlignment m_columnVAlignment = hgvaTop;
    TColor m_columnColor = clWindow;
    QFont m_columnFont;
    bool m_columnParentFont = true;
    ThgClipStyle m_columnClipStyle = hgclpEllipsis;
    BevelStyle m_columnInnerBevel = bvNone;
    BevelStyle m_columnOuterBevel = bvNone;
    QStringList m_items;
    bool m_autoSuggest = true;
    bool m_comboMaxWidth = false;
    int m_dropDownCount = 8;
    bool m_dropDownList = false;
    ThgButtonStyle m_buttonStyle = hgbstEllipsis;
    QPixmap m_buttonPicture;
    bool m_drawButtonface = true;
    ThgVAlignment m_buttonVAlignment = hgvaCenter;
    int m_headingIndex = -1;
    ThgFormatType m_formatType = hgfmtNone;
    int m_decimals = 2;
    QString m_prefix;
    bool m_thousandsSeparator = true;
    bool m_negativeParenthesis = false;
    int m_dateFormat = 2;
    int m_timeFormat = -1;
};

/// An ordered collection of headings; an item's index is its position.
class ThgHeadings
{
public:
    ThgHeadings();
    virtual ~ThgHeadings();
    ThgHeadings(const ThgHeadings &) = delete;
    ThgHeadings &operator=(const ThgHeadings &) = delete;

    int Count() const { return int(m_items.size()); }
    /// Raises EListError for an index outside the collection.
    ThgHeading *Items(int index) const;
    /// Appends an item with defaults, named by UniqueItemName.
    ThgHeading *Add();
    /// Appends count items with defaults, named as count calls of Add would
    /// name them, at a cost that grows with the items rather than its square.
    void AddItems(int count);
    void Delete(int index);
    void Move(int from, int to);
    int IndexOf(const ThgHeading *item) const;
    /// "Column " and the first number that no item's Name equals exactly.
    QString UniqueItemName() const;

    /// Called when an item's property changed, with its HeadingChange.
    std::function<void(ThgHeading *item, int kind)> ItemChanged;

protected:
    virtual std::unique_ptr<ThgHeading> createItem();

private:
    friend class ThgHeading;
    QStringList freeItemNames(int count) const;
    std::vector<std::unique_ptr<ThgHeading>> m_items;
};

class ThgColumns : public ThgHeadings
{
public:
    ThgColumn *Items(int index) const { return static_cast<ThgColumn *>(ThgHeadings::Items(index)); }
    ThgColumn *Add() { return static_cast<ThgColumn *>(ThgHeadings::Add()); }

protected:
    std::unique_ptr<ThgHeading> createItem() override;
};
