#pragma once

#include "errors.h"
#include "hypergridcolumns.h"
#include "stringgrid.h"

class QIODevice;

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

/// The string grid with timed cell hints.
class THgHintGrid : public TStringGrid
{
    Q_OBJECT

public:
    explicit THgHintGrid(QWidget *parent = nullptr);

    bool HintFollowsMouse() const { return m_hintFollowsMouse; }
    void setHintFollowsMouse(bool on) { m_hintFollowsMouse = on; }

private:
    bool m_hintFollowsMouse = true;
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
    ThgOptions HyperOptions() const { return m_hyperOptions; }
    void setHyperOptions(ThgOptions options);
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

    /// Reads an existing file; raises FileOpenError when it cannot be opened.
    void LoadFromCSV(int firstCol, int firstRow, const QString &fileName);
    /// Line k of the stream fills grid row firstRow + k from column object
    /// firstCol on; the grid only grows.
    void LoadFromCSVStream(int firstCol, int firstRow, QIODevice &stream);
    /// Replaces the file as a whole, never leaving it half written; raises
    /// FileCreateError when that fails (the old file is then untouched).
    void SaveToCSV(int firstCol, int firstRow, const QString &fileName);
    /// Writes rows firstRow … RowCount-1; false if the stream refused bytes.
    bool SaveToCSVStream(int firstCol, int firstRow, QIODevice &stream) const;

    void SaveColumnWidths(const QString &key);
    void LoadColumnWidths(const QString &key);
    /// The INI file that holds saved column widths (beside the executable
    /// unless set otherwise).
    static QString ColumnWidthsFile();
    static void setColumnWidthsFile(const QString &path);

    TGridCoord TrackedCell() const { return m_trackedCell; }

    std::function<void(THyperGrid *sender, int col, int row, bool &canExit)> OnExitCell;
    std::function<void(THyperGrid *sender, int col, int row)> OnEnterCell;
    std::function<void(THyperGrid *sender, int col, int row, bool &canExit)> OnExitRow;
    std::function<void(THyperGrid *sender, int col, int row)> OnEnterRow;

protected:
    void SizeChanged(int oldColCount, int oldRowCount) override;
    void ColumnMoved(int from, int to) override;
    void RowMoved(int from, int to) override;
    bool SelectCell(int col, int row) override;
    void DrawCell(QPainter &painter, int col, int row, const QRect &rect, TGridDrawState state) override;

    /// The text shown for a raw cell text; descendants may override.
    virtual QString PrepareDisplayText(const QString &text) const { return text; }
    virtual void EnterCell();
    virtual bool ExitCell();
    virtual void EnterRow();
    virtual bool ExitRow();

    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void ColumnChanged(ThgHeading *item, int kind);
    void HideColumnData(ThgColumn *column);
    void ShowColumnData(ThgColumn *column);
    int visibleColumnsBefore(const ThgColumn *column) const;
    void drawHeadingBand(QPainter &painter, int col, const QRect &rect, const ThgHeading &heading);

    ThgColumns m_columns;
    ThgHeadings m_headings;
    QString m_columnsRegistryKey;
    ThgOptions m_hyperOptions = ThgOptions(hgoptDrawFocusRectangle | hgoptHighlightSelection);
    TColor m_highlightColor = clHighlight;
    TColor m_highlightFontColor = clHighlightText;
    bool m_adjustColWidth = false;
    bool m_adjustRowHeight = false;
    bool m_columnClick = true;
    bool m_autoAcceptSuggestion = true;
    TGridCoord m_trackedCell;
    int m_bookkeeping = 0; // > 0 while the grid moves or counts columns for its own bookkeeping
};
