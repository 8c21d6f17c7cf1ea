#pragma once

#include "celltable.h"
#include "screencolor.h"

#include <functional>
#include <QAbstractScrollArea>
#include <vector>

class CellEditor;

enum GridOption : unsigned {
    goFixedVertLine = 1u << 0,
    goFixedHorzLine = 1u << 1,
    goVertLine = 1u << 2,
    goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4,
    goDrawFocusSelected = 1u << 5,
    goRowSizing = 1u << 6,
    goColSizing = 1u << 7,
    goRowMoving = 1u << 8,
    goColMoving = 1u << 9,
    goEditing = 1u << 10,
    goTabs = 1u << 11,
    goRowSelect = 1u << 12,
    goAlwaysShowEditor = 1u << 13,
    goThumbTracking = 1u << 14,
};
Q_DECLARE_FLAGS(GridOptions, GridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(GridOptions)

enum CellDrawStateFlag : unsigned { SelectedCell = 1u << 0, FocusedCell = 1u << 1, FixedCell = 1u << 2 };
Q_DECLARE_FLAGS(CellDrawState, CellDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(CellDrawState)

enum class ScrollStyle { None, Horizontal, Vertical, Both };

/// A cell address: X is the column, Y the row.
struct CellPosition
{
    int X = 0;
    int Y = 0;
    bool operator==(const CellPosition &) const = default;
};

/// A block of cells, edges included.
struct CellRange
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const CellRange &) const = default;
    bool contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
};

/// A grid of text cells with fixed title rows and columns, grid lines, column
/// widths and row heights, a current cell and a selection.
///
/// Only the rows and columns on screen are ever measured or painted, and the
/// view scrolls by whole rows, so a million rows cost no more to show than ten.
/// Each cell's interior is painted by DrawCell, which descendants override.
///
/// With goEditing and without goRowSelect a cell editor opens over the
/// current cell on F2, Enter, a typed character (which replaces the text) or
/// a double click, and with goAlwaysShowEditor whenever the grid has the
/// focus. Its text goes into the cell when it closes or the current cell
/// moves; Escape brings the cell's text back.
class TStringGrid : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TStringGrid(QWidget *parent = nullptr);
    ~TStringGrid() override;

    int ColCount() const { return m_cells->columnCount(); }
    void setColCount(int count);
    int RowCount() const { return m_cells->rowCount(); }
    void setRowCount(int count);
    int FixedCols() const { return m_fixedCols; }
    void setFixedCols(int count);
    int FixedRows() const { return m_fixedRows; }
    void setFixedRows(int count);

    int DefaultColWidth() const { return m_defaultColWidth; }
    void setDefaultColWidth(int width);
    int DefaultRowHeight() const { return m_defaultRowHeight; }
    void setDefaultRowHeight(int height);
    int ColWidths(int col) const;
    void setColWidths(int col, int width);
    int RowHeights(int row) const;
    void setRowHeights(int row, int height);
    int GridLineWidth() const { return m_gridLineWidth; }
    void setGridLineWidth(int width);

    GridOptions Options() const { return m_options; }
    void setOptions(GridOptions options);
    bool DefaultDrawing() const { return m_defaultDrawing; }
    void setDefaultDrawing(bool on);
    TColor Color() const { return m_color; }
    void setColor(TColor color);
    ScrollStyle ScrollBars() const { return m_scrollBars; }
    void setScrollBars(ScrollStyle style);

    QString Cells(int col, int row) const { return m_cells->text(col, row); }
    /// An open editor on the cell shows the new text.
    void setCells(int col, int row, const QString &text);
    /// All texts, for code that reads or writes many cells at once.
    CellTable &cellTable() { return *m_cells; }
    const CellTable &cellTable() const { return *m_cells; }
    /// From now on the grid shows and edits table, which lives longer than
    /// the grid; table takes over the grid's texts and size.
    void useCellTable(CellTable &table);

    /// The current cell.
    int Col() const { return m_current.X; }
    void setCol(int col);
    int Row() const { return m_current.Y; }
    /// Makes row current; when that changes the current row, OnClick fires.
    void setRow(int row);
    CellRange Selection() const { return m_selection; }
    /// Marks a block and makes its bottom-right cell current (OnClick does not fire).
    void setSelection(const CellRange &rect);

    int TopRow() const { return m_topRow; }
    void setTopRow(int row);
    int LeftCol() const { return m_leftCol; }
    void setLeftCol(int col);
    /// Scrollable columns or rows wholly on screen.
    int VisibleColCount() const;
    int VisibleRowCount() const;

    /// The cell's rectangle inside its grid lines, in viewport coordinates;
    /// empty when the cell is scrolled out of view.
    QRect CellRect(int col, int row) const;
    /// The cell under a viewport point; -1 for a coordinate outside the cells.
    CellPosition MouseToCell(int x, int y) const;

    /// Brackets many changes of the counts (loading a file): scroll bars,
    /// selection and repaint are brought up to date once, at the end.
    void BeginUpdate() { ++m_updateCount; }
    void EndUpdate();

    void MoveColumn(int from, int to);
    void MoveRow(int from, int to);
    /// Rearranges rows first … first + order.size() - 1 at once, texts and
    /// heights together: row first + k becomes the row that stood at order[k].
    /// order must name each of those rows once.
    void permuteRows(int first, const std::vector<int> &order);
    /// Moves the row to the end and drops it.
    void DeleteRow(int row);
    void DeleteColumn(int col);

    /// Whether Options let the editor open: goEditing without goRowSelect.
    bool CanEditModify() const;
    /// Whether the cell editor is open.
    bool EditorMode() const { return m_editorMode; }
    /// Opens the editor on the current cell, when Options allow it, or
    /// closes it, keeping its text in the cell.
    void setEditorMode(bool on);
    /// The cell editor; null until it first opened.
    CellEditor *InplaceEditor() const { return m_editor; }

    /// Asked before a cell becomes current; set the flag false to refuse.
    std::function<void(TStringGrid *sender, int col, int row, bool &canSelect)> OnSelectCell;
    /// Fired after a cell's interior was painted.
    std::function<void(TStringGrid *sender, int col, int row, const QRect &rect, CellDrawState state)> OnDrawCell;
    /// The click notification: a mouse click on a cell, or the current cell
    /// moved by the keyboard or by setRow.
    std::function<void(TStringGrid *sender)> OnClick;

protected:
    /// Called after ColCount or RowCount changed, with the counts before.
    virtual void SizeChanged(int oldColCount, int oldRowCount);
    /// Called before a column's texts and width move.
    virtual void ColumnMoved(int from, int to);
    /// Called after a row's texts and height moved.
    virtual void RowMoved(int from, int to);
    /// Called after permuteRows rearranged rows first … first + order.size() - 1.
    virtual void RowsPermuted(int first, const std::vector<int> &order);
    /// Whether a cell may become current; fires OnSelectCell.
    virtual bool SelectCell(int col, int row);
    /// Paints the interior of one cell. The default draws the text when
    /// DefaultDrawing is on, then fires OnDrawCell.
    virtual void DrawCell(QPainter &painter, int col, int row, const QRect &rect, CellDrawState state);
    /// The click notification; fires OnClick.
    virtual void Click();
    /// Makes the cell editor the first time it opens; descendants make
    /// editors of their own.
    virtual CellEditor *CreateEditor();
    /// Opens the editor on the current cell when Options allow it.
    void ShowEditor();
    /// Closes the editor; its text goes into its cell.
    void HideEditor();
    /// The focus came to the grid or its editor from elsewhere.
    virtual void FocusEntered() { }
    /// The focus left both the grid and its editor.
    virtual void FocusLeft() { }

    void invalidateGrid();

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class CellEditor;
    // One repaint for any number of changes of cells before it.
    void repaintLater();
    void handleKey(QKeyEvent *event);
    // Writes the editor's text into the cell it was filled from.
    void commitEditor();
    // Keeps the open editor over the current cell and filled from it.
    void updateEditor();
    // Enter (keep) or Escape (restore the cell's text) in the editor.
    void closeEditor(bool keepText);
    void editorFocusIn();
    void editorFocusOut(Qt::FocusReason reason);
    bool ownsFocus(const QWidget *widget) const;

    // Moves the current cell; with extend the selection grows from the anchor.
    void moveCurrent(int col, int row, bool extend, bool fireClick);
    void updateSelection();
    void scrollIntoView(int col, int row);
    int maxTopRow() const;
    int maxLeftCol() const;
    int fixedWidth() const;
    int fixedHeight() const;
    void updateScrollBars();
    void clampPositions();
    void paintGridLines(QPainter &painter, const std::vector<int> &cols, const std::vector<int> &rows);
    // Columns and rows on screen, fixed ones first, possibly partly visible.
    std::vector<int> visibleColumns() const;
    std::vector<int> visibleRows() const;
    int lineWidth(bool fixed, bool vertical) const;

    CellTable m_ownCells; // the texts, unless another table is given
    CellTable *m_cells = &m_ownCells;
    std::vector<int> m_colWidths;
    std::vector<int> m_rowHeights;
    int m_fixedCols = 1;
    int m_fixedRows = 1;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    int m_gridLineWidth = 1;
    GridOptions m_options = GridOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect);
    bool m_defaultDrawing = true;
    TColor m_color = clWindow;
    ScrollStyle m_scrollBars = ScrollStyle::Both;
    CellPosition m_current;
    CellPosition m_anchor;
    CellRange m_selection;
    int m_topRow = 1;
    int m_leftCol = 1;
    int m_updateCount = 0;
    bool m_repaintPending = false;
    bool m_syncingScrollBars = false;
    CellEditor *m_editor = nullptr;
    bool m_editorMode = false;
    CellPosition m_editorCell {-1, -1}; // the cell the editor was filled from
    bool m_focusWithin = false; // the grid or its editor has the focus
};
