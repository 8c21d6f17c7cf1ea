#pragma once

#include "csvcodec.h"
#include "csvrows.h"
#include "errors.h"
#include "hghintgrid.h"
#include "hypergridcolumns.h"

#include <map>
#include <optional>
#include <QFont>
#include <QPixmap>
#include <variant>

class QFileDevice;
class QIODevice;
class QPainter;
class THgInplaceEdit;
class THyperGrid;

enum CellStateFlag : unsigned {
    hgcsSelected = 1u << 0,
    hgcsFocused = 1u << 1,
    hgcsFixed = 1u << 2,
    hgcsHeading = 1u << 3
};
Q_DECLARE_FLAGS(ThgCellStates, CellStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(ThgCellStates)

/// What the text painter needs for one cell or heading band.
struct THgDrawInfo
{
    QPainter *Canvas = nullptr;
    ThgVAlignment VAlign = hgvaTop;
    HorizontalAlignment HAlign = taLeftJustify;
    QString Text;
    QRect Rect; // the area for the text, before the margins
    int HMargin = 2;
    int VMargin = 2;
    ThgClipStyle ClipStyle = hgclpClip;
    int Col = 0;
    int Row = 0;
    THyperGrid *Grid = nullptr;
    ThgCellStates State;
};

/// The picture a cell or heading shows beside its text, as OnGetCellImage
/// hands it over: a picture, or an image list and the index into it.
struct CellImage
{
    std::variant<std::monostate, QPixmap, QList<QPixmap>> PictureOrImageList;
    int ImageIndex = -1;
    ThgImagePosition Position = hgipLeft;
    HorizontalAlignment HAlign = taCenter;
    ThgVAlignment VAlign = hgvaCenter;
    int Margin = 2;
};

/// Failures of the grid's own operations; the grid is unchanged when raised.
class EhgException : public WorktallyError
{
public:
    using WorktallyError::WorktallyError;
};

class EhgColumnIndexOutOfRange : public EhgException
{
public:
    EhgColumnIndexOutOfRange();
};

class EhgRowIndexOutOfRange : public EhgException
{
public:
    using EhgException::EhgException;
};

class EhgInvalidColumnName : public EhgException
{
public:
    explicit EhgInvalidColumnName(const QString &name);
};

/// The grid that holds the worksheet: column objects with titles, colours,
/// fonts, alignment and formatting, a second title level of headings spanning
/// adjacent columns, hidden columns that keep their texts, and the worksheet
/// file's reading and writing.
///
/// Invariants: ColCount equals VisibleColumnCount; grid column c shows the
/// c-th visible column object; every hidden column keeps at least RowCount
/// texts in HiddenCells.
class THyperGrid : public THgHintGrid
{
    Q_OBJECT

public:
    explicit THyperGrid(QWidget *parent = nullptr);
    ~THyperGrid() override;

    ThgColumns &Columns() { return m_columns; }
    const ThgColumns &Columns() const { return m_columns; }
    ThgHeadings &Headings() { return m_headings; }
    const ThgHeadings &Headings() const { return m_headings; }

    const QString &ColumnsRegistryKey() const { return m_columnsRegistryKey; }
    void setColumnsRegistryKey(const QString &key) { m_columnsRegistryKey = key; }
    HyperGridOptions HyperOptions() const { return m_hyperOptions; }
    void setHyperOptions(HyperGridOptions options);
    TColor HyperHighlightColor() const { return m_highlightColor; }
    void setHyperHighlightColor(TColor color);
    TColor HyperHighlightFontColor() const { return m_highlightFontColor; }
    void setHyperHighlightFontColor(TColor color);
    bool HyperAdjustColWidth() const { return m_adjustColWidth; }
    void setHyperAdjustColWidth(bool on) { m_adjustColWidth = on; }
    bool HyperAdjustRowHeight() const { return m_adjustRowHeight; }
    void setHyperAdjustRowHeight(bool on) { m_adjustRowHeight = on; }
    bool HyperColumnClick() const { return m_columnClick; }
    void setHyperColumnClick(bool on) { m_columnClick = on; }
    bool AutoAcceptSuggestion() const { return m_autoAcceptSuggestion; }
    void setAutoAcceptSuggestion(bool on) { m_autoAcceptSuggestion = on; }
    static QString Version() { return QStringLiteral("1.96"); }

    /// The column object shown at grid column col.
    ThgColumn *ColumnAt(int col) const;
    /// The grid column showing column; -1 when it is null, hidden or not shown.
    int GridColOf(const ThgColumn *column) const;
    /// The first column whose Name equals name, ignoring letter case.
    ThgColumn *ColumnByName(const QString &name) const;
    int VisibleColumnCount() const;

    void RemoveRow(int row);
    void InsertRow(int row);
    /// Selects the whole row; does nothing while Options holds goEditing.
    void SelectRow(int row);

    /// Ends configuration in code: ColCount follows the visible columns and
    /// the saved column widths come back.
    void Loaded();
    /// Sets ColCount without adding or freeing column objects.
    void SetColCountQuiet(int count);

    /// Reads an existing regular file; raises FileOpenError for anything else
    /// or when it cannot be opened. Returns the bytes read.
    QByteArray LoadFromCSV(int firstCol, int firstRow, const QString &fileName);
    /// Line k of the stream fills grid row firstRow + k from column object
    /// firstCol on; the grid only grows.
    void LoadFromCSVStream(int firstCol, int firstRow, QIODevice &stream);
    /// Sets the encoding of the last file read, in which a save writes again,
    /// for rows that were read away from the grid.
    void setCsvFileEncoding(CsvEncoding encoding) { m_csvEncoding = encoding; }
    /// Replaces the file as a whole, never leaving it half written; raises
    /// FileCreateError when that fails (the old file is then untouched).
    /// Returns the ContentHash of the bytes written.
    size_t SaveToCSV(int firstCol, int firstRow, const QString &fileName);
    /// Writes rows firstRow … RowCount-1; false if the stream refused bytes.
    /// A file read in Windows-1252 is written in it again, as long as every
    /// character fits; everything else is written in UTF-8.
    bool SaveToCSVStream(int firstCol, int firstRow, QIODevice &stream) const;
    /// The rows SaveToCSV would write, as a copy that another thread can
    /// write while the grid goes on changing.
    CsvRows csvRows(int firstCol, int firstRow) const;

    void SaveColumnWidths(const QString &key);
    void LoadColumnWidths(const QString &key);
    /// The INI file that holds saved column widths (beside the executable
    /// unless set otherwise).
    static QString ColumnWidthsFile();
    static void setColumnWidthsFile(const QString &path);

    CellPosition TrackedCell() const { return m_trackedCell; }
    /// The cell editor, once it first opened.
    THgInplaceEdit *HgInplaceEdit() const;

    /// The heading whose band (the upper half of title row 0, less 2
    /// pixels) lies under a viewport point; -1 for none.
    int HeadingAt(int x, int y) const;

    /// The text shown in a data cell: the raw text formatted by its column.
    QString GetDisplayText(int col, int row);
    /// Paints one edge and tells its thickness (0 for hgbrdNone).
    static int DrawBorderLine(QPainter &painter, const ThgBorder &border, QPoint from, QPoint to, QPoint inward);
    /// Draws the borders inside r, which shrinks by each edge's thickness.
    static void DrawCellBorders(QPainter &painter, QRect &r, const ThgBorder &top, const ThgBorder &left,
        const ThgBorder &bottom, const ThgBorder &right);
    /// Draws the outer and inner bevel inside r, which shrinks by them.
    static void DrawBevels(QPainter &painter, QRect &r, BevelStyle outer, BevelStyle inner);
    /// Places the cell's picture and cuts its area from r; with paint off it
    /// only cuts (the editor keeps its text clear of the picture that way).
    void DrawCellImage(int col, int row, QPainter *painter, bool paint, QRect &r, int headingIndex);
    /// Draws the text of info with its margins, alignment and clipping, and
    /// asks for a taller row or wider column when it does not fit.
    void DrawCellText(const THgDrawInfo &info);

    using ExitHandler = std::function<void(THyperGrid *sender, int col, int row, bool &canExit)>;
    using EnterHandler = std::function<void(THyperGrid *sender, int col, int row)>;
    ExitHandler OnExitCell;
    EnterHandler OnEnterCell;
    ExitHandler OnExitRow;
    EnterHandler OnEnterRow;
    /// A formatted column's text is not a number or date; S shows as it is
    /// left.
    std::function<void(THyperGrid *sender, int col, int row, ThgColumn *column, QString &S)> OnConversionError;
    /// Before a data cell's text is formatted; Convert false shows S as is.
    std::function<void(THyperGrid *sender, int col, int row, ThgColumn *column, QString &S, bool &Convert)>
        OnDisplayText;
    std::function<void(THyperGrid *sender, int col, int row, ThgHeading *column, ThgCellStates state, ThgBorder &top,
        ThgBorder &right, ThgBorder &bottom, ThgBorder &left)>
        OnChangeCellBorders;
    /// After the colours, font, alignment and bevels of a cell are set.
    std::function<void(THyperGrid *sender, int col, int row, ThgHeading *column, ThgCellStates state, TColor &color,
        QFont &font, TColor &fontColor, HorizontalAlignment &hAlign, ThgVAlignment &vAlign, BevelStyle &outerBevel,
        BevelStyle &innerBevel)>
        OnChangeCellAttributes;
    std::function<void(THyperGrid *sender, int col, int row, int headingIndex, CellImage &image)> OnGetCellImage;

    /// The cell button was clicked, or Shift+Enter pressed in a button cell.
    std::function<void(THyperGrid *sender, int col, int row)> OnButtonClick;
    /// The editor is prepared for a cell; the handler may change ReadOnly.
    std::function<void(THyperGrid *sender, int col, int row, bool &readOnly)> OnGetReadOnly;
    /// The editor text changed in a column without a suggesting list.
    std::function<void(THyperGrid *sender, int col, int row, const QString &cellText, QString &suggestion)>
        OnGetSuggestion;
    /// A value was taken from the drop-down list or from a suggestion.
    std::function<void(THyperGrid *sender, int col, int row)> OnComboSelection;
    /// The editor left a cell whose text it changed.
    std::function<void(THyperGrid *sender, int col, int row)> OnCellEdited;
    /// A title cell or heading was clicked (HyperColumnClick).
    std::function<void(THyperGrid *sender, int col, int row, int headingIndex, Qt::MouseButton button,
        Qt::KeyboardModifiers shift, int x, int y)>
        OnFixedCellClick;

protected:
    void SizeChanged(int oldColCount, int oldRowCount) override;
    void ColumnMoved(int from, int to) override;
    void RowMoved(int from, int to) override;
    void RowsPermuted(int first, const std::vector<int> &order) override;
    bool SelectCell(int col, int row) override;
    void DrawCell(QPainter &painter, int col, int row, const QRect &rect, CellDrawState state) override;

    /// The text shown for a raw cell text; descendants may override.
    virtual QString PrepareDisplayText(const QString &text) const { return text; }
    virtual void EnterCell();
    virtual bool ExitCell();
    virtual void EnterRow();
    virtual bool ExitRow();
    /// Fires OnCellEdited.
    virtual void CellEdited(int col, int row);
    CellEditor *CreateEditor() override;

    void FocusEntered() override;
    void FocusLeft() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    friend class THgInplaceEdit;
    // The title cell or heading held down by the mouse (HyperColumnClick).
    struct TitlePress
    {
        bool Tracking = false;
        CellPosition Cell {-1, -1};
        int Heading = -1;
        Qt::MouseButton Button = Qt::NoButton;
        bool Inside = false; // the pointer is over the pressed cell or heading
        bool Pressed = false; // Inside with the left button down: drawn lowered
    };
    // Leaving or entering the tracked cell or row, with the handler of which.
    bool exitTracked(const ExitHandler &handler);
    void enterTracked(const EnterHandler &handler);
    bool pressTitle(const QMouseEvent *event);
    void trackPress(QPoint at, Qt::MouseButtons buttons);
    void repaintPress();
    bool isPressedCell(int col, int row) const;
    bool isPressedHeading(int headingIndex, int firstCol, int lastCol) const;

    void ColumnChanged(ThgHeading *item, int kind);
    void HideColumnData(ThgColumn *column);
    void ShowColumnData(ThgColumn *column);
    int visibleColumnsBefore(const ThgColumn *column) const;
    /// LoadFromCSVStream's work, on the bytes read.
    void readCsv(int firstCol, int firstRow, QByteArrayView bytes);
    /// GridColOf of every column object in collection order, in one pass.
    std::vector<int> gridColumns() const;
    struct CellAttributes
    {
        THgDrawInfo info;
        TColor color;
        TColor fontColor;
        BevelStyle outerBevel;
        BevelStyle innerBevel;
    };
    /// Colours, font (into the work font), alignment and bevels of a cell
    /// or, for a heading band, of the heading.
    CellAttributes GetCellAttributes(int col, int row, ThgHeading *object, CellDrawState drawState);
    void DrawHeadingCell(QPainter &painter, int col, int row, const QRect &cellRect, ThgHeading *heading);
    // Row and column growth is applied after the paint, never during it.
    void postSize(std::map<int, int> &posted, int index, int size);
    void applyPostedSizes();

    ThgColumns m_columns;
    ThgHeadings m_headings;
    QString m_columnsRegistryKey;
    HyperGridOptions m_hyperOptions = HyperGridOptions(hgoptDrawFocusRectangle | hgoptHighlightSelection);
    TColor m_highlightColor = clHighlight;
    TColor m_highlightFontColor = clHighlightText;
    bool m_adjustColWidth = false;
    bool m_adjustRowHeight = false;
    bool m_columnClick = true;
    bool m_autoAcceptSuggestion = true;
    CellPosition m_trackedCell;
    TitlePress m_press;
    QFont m_workFont; // the cell font, reused for every cell
    ThgBorder m_workBorders[4]; // top, left, bottom, right
    QPixmap m_headingBitmap; // the band of a heading, resized as needed
    std::map<int, int> m_postedRowHeights;
    std::map<int, int> m_postedColWidths;
    bool m_sizesPosted = false;
    CsvEncoding m_csvEncoding = CsvEncoding::Utf8; // of the last file read
    int m_bookkeeping = 0; // > 0 while the grid moves or counts columns for its own bookkeeping
};
