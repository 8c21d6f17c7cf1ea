#include "stringgrid.h"

#include "accessiblegrid.h"
#include "inplaceedit.h"
#include "messages.h"

#include <algorithm>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

namespace {
// Like std::clamp, but a range that is empty (hi < lo) gives lo.
int bound(int value, int lo, int hi)
{
    return std::max(lo, std::min(value, hi));
}
} // namespace

TStringGrid::TStringGrid(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    m_cells->resize(5, 5);
    m_colWidths.assign(5, m_defaultColWidth);
    m_rowHeights.assign(5, m_defaultRowHeight);
    m_current = m_anchor = {1, 1};
    m_selection = {1, 1, 1, 1};
    m_cells->setChangeListener([this] { repaintLater(); });
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    updateScrollBars();
}

TStringGrid::~TStringGrid()
{
    m_cells->setChangeListener({});
}

void TStringGrid::useCellTable(CellTable &table)
{
    HideEditor();
    table.resize(ColCount(), RowCount());
    table.replaceCells(std::move(m_ownCells));
    m_ownCells = CellTable();
    m_cells = &table;
    m_cells->setChangeListener([this] { repaintLater(); });
    invalidateGrid();
}

void TStringGrid::repaintLater()
{
    if (!m_repaintPending) {
        m_repaintPending = true;
        viewport()->update();
    }
}

void TStringGrid::setCells(int col, int row, const QString &text)
{
    m_cells->setCell(col, row, text);
    if (m_editorMode && m_editorCell == CellPosition {col, row} && m_editor->Text() != text)
        m_editor->setText(text);
}

void TStringGrid::setColCount(int count)
{
    count = std::max(count, 0);
    const int old = ColCount();
    if (count == old)
        return;
    HideEditor();
    m_cells->resize(count, RowCount());
    m_colWidths.resize(count, m_defaultColWidth);
    m_fixedCols = bound(m_fixedCols, 0, count - 1);
    clampPositions();
    SizeChanged(old, RowCount());
}

void TStringGrid::setRowCount(int count)
{
    count = std::max(count, 1);
    const int old = RowCount();
    if (count == old)
        return;
    HideEditor();
    m_cells->resize(ColCount(), count);
    m_rowHeights.resize(count, m_defaultRowHeight);
    m_fixedRows = bound(m_fixedRows, 0, count - 1);
    clampPositions();
    SizeChanged(ColCount(), old);
}

void TStringGrid::setFixedCols(int count)
{
    count = bound(count, 0, ColCount() - 1);
    if (count == m_fixedCols)
        return;
    m_fixedCols = count;
    clampPositions();
}

void TStringGrid::setFixedRows(int count)
{
    count = bound(count, 0, RowCount() - 1);
    if (count == m_fixedRows)
        return;
    m_fixedRows = count;
    clampPositions();
}

void TStringGrid::setDefaultColWidth(int width)
{
    if (width == m_defaultColWidth)
        return;
    m_defaultColWidth = width;
    std::fill(m_colWidths.begin(), m_colWidths.end(), width);
    updateScrollBars();
    invalidateGrid();
}

void TStringGrid::setDefaultRowHeight(int height)
{
    if (height == m_defaultRowHeight)
        return;
    m_defaultRowHeight = height;
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), height);
    updateScrollBars();
    invalidateGrid();
}

int TStringGrid::ColWidths(int col) const
{
    return col >= 0 && col < ColCount() ? m_colWidths[col] : m_defaultColWidth;
}

void TStringGrid::setColWidths(int col, int width)
{
    if (col < 0 || col >= ColCount() || m_colWidths[col] == width)
        return;
    m_colWidths[col] = std::max(width, 0);
    updateScrollBars();
    invalidateGrid();
}

int TStringGrid::RowHeights(int row) const
{
    return row >= 0 && row < RowCount() ? m_rowHeights[row] : m_defaultRowHeight;
}

void TStringGrid::setRowHeights(int row, int height)
{
    if (row < 0 || row >= RowCount() || m_rowHeights[row] == height)
        return;
    m_rowHeights[row] = std::max(height, 0);
    updateScrollBars();
    invalidateGrid();
}

void TStringGrid::setGridLineWidth(int width)
{
    width = std::max(width, 0);
    if (width == m_gridLineWidth)
        return;
    m_gridLineWidth = width;
    updateScrollBars();
    invalidateGrid();
}

void TStringGrid::setOptions(GridOptions options)
{
    if (options == m_options)
        return;
    m_options = options;
    if (!CanEditModify())
        HideEditor();
    if (!(m_options & goRangeSelect))
        m_anchor = m_current;
    updateSelection();
    updateScrollBars();
    invalidateGrid();
}

void TStringGrid::setDefaultDrawing(bool on)
{
    if (on == m_defaultDrawing)
        return;
    m_defaultDrawing = on;
    invalidateGrid();
}

void TStringGrid::setColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    invalidateGrid();
}

void TStringGrid::setScrollBars(ScrollStyle style)
{
    if (style == m_scrollBars)
        return;
    m_scrollBars = style;
    updateScrollBars();
}

void TStringGrid::setCol(int col)
{
    moveCurrent(col, m_current.Y, false, true);
}

void TStringGrid::setRow(int row)
{
    moveCurrent(m_current.X, row, false, true);
}

void TStringGrid::setSelection(const CellRange &rect)
{
    CellRange r {std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom), std::max(rect.Left, rect.Right),
        std::max(rect.Top, rect.Bottom)};
    r.Left = bound(r.Left, m_fixedCols, ColCount() - 1);
    r.Right = bound(r.Right, m_fixedCols, ColCount() - 1);
    r.Top = bound(r.Top, m_fixedRows, RowCount() - 1);
    r.Bottom = bound(r.Bottom, m_fixedRows, RowCount() - 1);
    const CellPosition target {r.Right, r.Bottom};
    if (!(target == m_current) && !SelectCell(target.X, target.Y))
        return;
    m_anchor = {r.Left, r.Top};
    m_current = target;
    updateSelection();
    scrollIntoView(m_current.X, m_current.Y);
    invalidateGrid();
}

void TStringGrid::moveCurrent(int col, int row, bool extend, bool fireClick)
{
    col = bound(col, m_fixedCols, ColCount() - 1);
    row = bound(row, m_fixedRows, RowCount() - 1);
    const bool changed = !(CellPosition {col, row} == m_current);
    // What was typed belongs to the cell being left, even if it stays current.
    if (changed)
        commitEditor();
    if (changed && !SelectCell(col, row))
        return;
    m_current = {col, row};
    if (!extend || !(m_options & goRangeSelect))
        m_anchor = m_current;
    updateSelection();
    scrollIntoView(col, row);
    invalidateGrid();
    if (changed)
        StringGridAccessible::currentCellFocused(this);
    if (changed && fireClick)
        Click();
}

void TStringGrid::updateSelection()
{
    CellRange r {std::min(m_anchor.X, m_current.X), std::min(m_anchor.Y, m_current.Y),
        std::max(m_anchor.X, m_current.X), std::max(m_anchor.Y, m_current.Y)};
    if (m_options & goRowSelect) {
        r.Left = m_fixedCols;
        r.Right = ColCount() - 1;
    }
    m_selection = r;
}

int TStringGrid::lineWidth(bool fixed, bool vertical) const
{
    const GridOption option
        = vertical ? (fixed ? goFixedVertLine : goVertLine) : (fixed ? goFixedHorzLine : goHorzLine);
    return (m_options & option) ? m_gridLineWidth : 0;
}

int TStringGrid::fixedWidth() const
{
    int width = 0;
    for (int c = 0; c < m_fixedCols; ++c)
        width += m_colWidths[c] + lineWidth(true, true);
    return width;
}

int TStringGrid::fixedHeight() const
{
    int height = 0;
    for (int r = 0; r < m_fixedRows; ++r)
        height += m_rowHeights[r] + lineWidth(true, false);
    return height;
}

// The top row that shows `last` as the last wholly visible row (or at the top
// when it is taller than the view).
static int firstFitting(int last, int first, int available, const std::vector<int> &sizes, int line)
{
    int used = 0;
    int top = last;
    while (top >= first) {
        used += sizes[top] + line;
        if (used > available)
            break;
        --top;
    }
    return std::min(last, top + 1);
}

// How many items from first on lie wholly within available pixels, each
// followed by its line; the last line may fall outside.
static int countFitting(int first, int available, const std::vector<int> &sizes, int line)
{
    int used = 0;
    int count = 0;
    for (int i = first; i < int(sizes.size()); ++i) {
        used += sizes[i] + line;
        if (used > available + line)
            break;
        ++count;
    }
    return count;
}

// The items on screen along one axis: the fixed ones, then those from
// firstScrolled on, until extent is reached (the last possibly in part).
static std::vector<int> itemsOnScreen(
    int fixedCount, int firstScrolled, const std::vector<int> &sizes, int fixedLine, int line, int extent)
{
    std::vector<int> items;
    int at = 0;
    for (int i = 0; i < fixedCount && at < extent; ++i) {
        items.push_back(i);
        at += sizes[i] + fixedLine;
    }
    for (int i = firstScrolled; i < int(sizes.size()) && at < extent; ++i) {
        items.push_back(i);
        at += sizes[i] + line;
    }
    return items;
}

int TStringGrid::maxTopRow() const
{
    return std::max(m_fixedRows,
        firstFitting(
            RowCount() - 1, m_fixedRows, viewport()->height() - fixedHeight(), m_rowHeights, lineWidth(false, false)));
}

int TStringGrid::maxLeftCol() const
{
    return std::max(m_fixedCols,
        firstFitting(
            ColCount() - 1, m_fixedCols, viewport()->width() - fixedWidth(), m_colWidths, lineWidth(false, true)));
}

void TStringGrid::setTopRow(int row)
{
    row = bound(row, m_fixedRows, maxTopRow());
    if (row == m_topRow)
        return;
    m_topRow = row;
    updateScrollBars();
    invalidateGrid();
}

void TStringGrid::setLeftCol(int col)
{
    col = bound(col, m_fixedCols, maxLeftCol());
    if (col == m_leftCol)
        return;
    m_leftCol = col;
    updateScrollBars();
    invalidateGrid();
}

int TStringGrid::VisibleRowCount() const
{
    return countFitting(m_topRow, viewport()->height() - fixedHeight(), m_rowHeights, lineWidth(false, false));
}

int TStringGrid::VisibleColCount() const
{
    return countFitting(m_leftCol, viewport()->width() - fixedWidth(), m_colWidths, lineWidth(false, true));
}

void TStringGrid::scrollIntoView(int col, int row)
{
    if (row >= m_fixedRows) {
        if (row < m_topRow)
            setTopRow(row);
        else if (row >= m_topRow + VisibleRowCount())
            setTopRow(firstFitting(
                row, m_fixedRows, viewport()->height() - fixedHeight(), m_rowHeights, lineWidth(false, false)));
    }
    if (col >= m_fixedCols) {
        if (col < m_leftCol)
            setLeftCol(col);
        else if (col >= m_leftCol + VisibleColCount())
            setLeftCol(firstFitting(
                col, m_fixedCols, viewport()->width() - fixedWidth(), m_colWidths, lineWidth(false, true)));
    }
}

void TStringGrid::EndUpdate()
{
    if (m_updateCount > 0 && --m_updateCount == 0)
        clampPositions();
}

void TStringGrid::clampPositions()
{
    if (m_updateCount > 0)
        return;
    m_current.X = bound(m_current.X, m_fixedCols, ColCount() - 1);
    m_current.Y = bound(m_current.Y, m_fixedRows, RowCount() - 1);
    m_anchor.X = bound(m_anchor.X, m_fixedCols, ColCount() - 1);
    m_anchor.Y = bound(m_anchor.Y, m_fixedRows, RowCount() - 1);
    updateSelection();
    updateScrollBars();
    invalidateGrid();
}

void TStringGrid::updateScrollBars()
{
    m_syncingScrollBars = true;
    m_topRow = bound(m_topRow, m_fixedRows, maxTopRow());
    m_leftCol = bound(m_leftCol, m_fixedCols, maxLeftCol());

    const bool vertical = m_scrollBars == ScrollStyle::Vertical || m_scrollBars == ScrollStyle::Both;
    const bool horizontal = m_scrollBars == ScrollStyle::Horizontal || m_scrollBars == ScrollStyle::Both;
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setRange(0, maxTopRow() - m_fixedRows);
    verticalScrollBar()->setPageStep(std::max(1, VisibleRowCount()));
    verticalScrollBar()->setValue(m_topRow - m_fixedRows);
    horizontalScrollBar()->setRange(0, maxLeftCol() - m_fixedCols);
    horizontalScrollBar()->setPageStep(std::max(1, VisibleColCount()));
    horizontalScrollBar()->setValue(m_leftCol - m_fixedCols);
    m_syncingScrollBars = false;
}

void TStringGrid::scrollContentsBy(int, int)
{
    if (m_syncingScrollBars)
        return;
    m_topRow = verticalScrollBar()->value() + m_fixedRows;
    m_leftCol = horizontalScrollBar()->value() + m_fixedCols;
    runGuarded([this] { invalidateGrid(); }); // the editor follows its cell
}

std::vector<int> TStringGrid::visibleColumns() const
{
    return itemsOnScreen(
        m_fixedCols, m_leftCol, m_colWidths, lineWidth(true, true), lineWidth(false, true), viewport()->width());
}

std::vector<int> TStringGrid::visibleRows() const
{
    return itemsOnScreen(
        m_fixedRows, m_topRow, m_rowHeights, lineWidth(true, false), lineWidth(false, false), viewport()->height());
}

QRect TStringGrid::CellRect(int col, int row) const
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount())
        return {};
    if ((col >= m_fixedCols && col < m_leftCol) || (row >= m_fixedRows && row < m_topRow))
        return {};
    int x = 0;
    for (int c = 0; c < m_fixedCols && c < col; ++c)
        x += m_colWidths[c] + lineWidth(true, true);
    for (int c = m_leftCol; c < col; ++c)
        x += m_colWidths[c] + lineWidth(false, true);
    int y = 0;
    for (int r = 0; r < m_fixedRows && r < row; ++r)
        y += m_rowHeights[r] + lineWidth(true, false);
    for (int r = m_topRow; r < row; ++r) {
        y += m_rowHeights[r] + lineWidth(false, false);
        if (y > viewport()->height())
            return {};
    }
    if (x > viewport()->width())
        return {};
    return QRect(x, y, m_colWidths[col], m_rowHeights[row]);
}

CellPosition TStringGrid::MouseToCell(int x, int y) const
{
    CellPosition cell {-1, -1};
    int left = 0;
    for (int c : visibleColumns()) {
        const int right = left + m_colWidths[c] + lineWidth(c < m_fixedCols, true);
        if (x >= left && x < right) {
            cell.X = c;
            break;
        }
        left = right;
    }
    int top = 0;
    for (int r : visibleRows()) {
        const int bottom = top + m_rowHeights[r] + lineWidth(r < m_fixedRows, false);
        if (y >= top && y < bottom) {
            cell.Y = r;
            break;
        }
        top = bottom;
    }
    return cell;
}

void TStringGrid::MoveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= ColCount() || to >= ColCount())
        return;
    HideEditor();
    ColumnMoved(from, to);
    m_cells->moveColumn(from, to);
    moveItem(m_colWidths, from, to);
    invalidateGrid();
}

void TStringGrid::MoveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= RowCount() || to >= RowCount())
        return;
    HideEditor();
    m_cells->moveRow(from, to);
    moveItem(m_rowHeights, from, to);
    RowMoved(from, to);
    updateScrollBars();
    invalidateGrid();
}

void TStringGrid::permuteRows(int first, const std::vector<int> &order)
{
    if (order.empty() || first < 0 || first + order.size() > size_t(RowCount()))
        return;
    HideEditor();
    m_cells->permuteRows(first, order);
    permuteItems(m_rowHeights, first, order);
    RowsPermuted(first, order);
    updateScrollBars();
    invalidateGrid();
}

void TStringGrid::DeleteRow(int row)
{
    MoveRow(row, RowCount() - 1);
    setRowCount(RowCount() - 1);
}

void TStringGrid::DeleteColumn(int col)
{
    MoveColumn(col, ColCount() - 1);
    setColCount(ColCount() - 1);
}

void TStringGrid::SizeChanged(int, int) { }

void TStringGrid::ColumnMoved(int, int) { }

void TStringGrid::RowMoved(int, int) { }

void TStringGrid::RowsPermuted(int, const std::vector<int> &) { }

bool TStringGrid::SelectCell(int col, int row)
{
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, col, row, canSelect);
    return canSelect;
}

void TStringGrid::Click()
{
    if (OnClick)
        OnClick(this);
}

void TStringGrid::DrawCell(QPainter &painter, int col, int row, const QRect &rect, CellDrawState state)
{
    if (m_defaultDrawing) {
        painter.setPen(palette().color(QPalette::Text));
        if ((state & SelectedCell) && !(state & FixedCell))
            painter.setPen(palette().color(QPalette::HighlightedText));
        painter.drawText(rect.adjusted(2, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop, m_cells->cell(col, row).toString());
    }
    if (OnDrawCell)
        OnDrawCell(this, col, row, rect, state);
}

void TStringGrid::invalidateGrid()
{
    viewport()->update();
    updateEditor();
}

// --- Cell editor -------------------------------------------------------------

bool TStringGrid::CanEditModify() const
{
    return (m_options & goEditing) && !(m_options & goRowSelect);
}

void TStringGrid::setEditorMode(bool on)
{
    if (on)
        ShowEditor();
    else
        HideEditor();
}

CellEditor *TStringGrid::CreateEditor()
{
    return new CellEditor(this);
}

void TStringGrid::ShowEditor()
{
    if (!CanEditModify() || m_current.X >= ColCount() || m_current.Y >= RowCount())
        return;
    if (!m_editor)
        m_editor = CreateEditor();
    m_editorMode = true;
    updateEditor();
    m_editor->show();
    m_editor->setFocus(Qt::OtherFocusReason);
}

void TStringGrid::HideEditor()
{
    if (!m_editorMode)
        return;
    commitEditor();
    m_editorMode = false;
    m_editorCell = {-1, -1};
    // The focus stays in the grid rather than wandering to the next control.
    if (m_editor->hasFocus())
        setFocus(Qt::OtherFocusReason);
    m_editor->hide();
}

void TStringGrid::commitEditor()
{
    if (m_editorMode && m_editor->Text() != Cells(m_editorCell.X, m_editorCell.Y))
        m_cells->setCell(m_editorCell.X, m_editorCell.Y, m_editor->Text());
}

void TStringGrid::updateEditor()
{
    if (m_updateCount > 0)
        return;
    if (!m_editorMode) {
        // An editor that is always shown comes back wherever the focused grid goes.
        if ((m_options & goAlwaysShowEditor) && hasFocus())
            ShowEditor();
        return;
    }
    const bool refill = !(m_editorCell == m_current);
    if (refill) {
        m_editorCell = m_current;
        m_editor->PrepareContents();
    }
    QRect bounds = CellRect(m_current.X, m_current.Y);
    if (bounds.isEmpty()) {
        // Scrolled out of view: the editor waits outside the viewport, keeping the focus.
        const QSize size(ColWidths(m_current.X), RowHeights(m_current.Y));
        bounds = QRect(QPoint(-size.width(), -size.height()), size);
    }
    if (refill || m_editor->geometry() != bounds) {
        m_editor->setGeometry(bounds);
        m_editor->PrepareBounds();
    }
}

void TStringGrid::closeEditor(bool keepText)
{
    if (!keepText)
        m_editor->setText(Cells(m_editorCell.X, m_editorCell.Y));
    if (m_options & goAlwaysShowEditor) {
        commitEditor();
        m_editor->selectAll();
    } else {
        HideEditor();
    }
}

bool TStringGrid::ownsFocus(const QWidget *widget) const
{
    return widget && (widget == this || isAncestorOf(widget));
}

void TStringGrid::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (m_focusWithin)
        return; // back from the editor
    m_focusWithin = true;
    StringGridAccessible::currentCellFocused(this);
    runGuarded([this] {
        FocusEntered();
        if (m_options & goAlwaysShowEditor)
            ShowEditor();
    });
}

void TStringGrid::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    if (ownsFocus(QApplication::focusWidget()))
        return; // on to the editor
    m_focusWithin = false;
    runGuarded([this] { FocusLeft(); });
}

void TStringGrid::editorFocusIn()
{
    if (m_focusWithin)
        return;
    m_focusWithin = true;
    FocusEntered();
}

void TStringGrid::editorFocusOut(Qt::FocusReason reason)
{
    const bool inside = ownsFocus(QApplication::focusWidget());
    // A menu or another window in front, or an editor that always shows,
    // keeps the edit going; anything else ends it.
    const bool keepOpen = reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason
        || ((m_options & goAlwaysShowEditor) && !inside);
    if (keepOpen)
        commitEditor();
    else
        HideEditor();
    if (!inside) {
        m_focusWithin = false;
        FocusLeft();
    }
}

void TStringGrid::paintEvent(QPaintEvent *event)
{
    m_repaintPending = false;
    QPainter painter(viewport());
    const std::vector<int> cols = visibleColumns();
    const std::vector<int> rows = visibleRows();
    const bool focused = hasFocus();

    // Lines first: a cell may paint over the lines next to it (heading bands).
    paintGridLines(painter, cols, rows);
    int y = 0;
    for (int row : rows) {
        const int height = m_rowHeights[row];
        int x = 0;
        for (int col : cols) {
            const int width = m_colWidths[col];
            const QRect rect(x, y, width, height);
            x += width + lineWidth(col < m_fixedCols, true);
            if (!rect.intersects(event->rect()))
                continue;
            CellDrawState state;
            const bool fixed = col < m_fixedCols || row < m_fixedRows;
            if (fixed)
                state |= FixedCell;
            else {
                if (m_selection.contains(col, row))
                    state |= SelectedCell;
                if (focused && col == m_current.X && row == m_current.Y)
                    state |= FocusedCell;
            }
            painter.save();
            if (m_defaultDrawing) {
                QColor background = toQColor(fixed ? clBtnFace : m_color);
                if ((state & SelectedCell) && (!(state & FocusedCell) || (m_options & goDrawFocusSelected)))
                    background = toQColor(clHighlight);
                painter.fillRect(rect, background);
                painter.setClipRect(rect);
            }
            DrawCell(painter, col, row, rect, state);
            painter.restore();
        }
        y += height + lineWidth(row < m_fixedRows, false);
    }
}

void TStringGrid::paintGridLines(QPainter &painter, const std::vector<int> &cols, const std::vector<int> &rows)
{
    const QColor fixedLine = toQColor(BlackColor);
    const QColor dataLine = toQColor(clSilver);
    int gridBottom = 0;
    for (int row : rows)
        gridBottom += m_rowHeights[row] + lineWidth(row < m_fixedRows, false);
    int gridRight = 0;
    for (int col : cols)
        gridRight += m_colWidths[col] + lineWidth(col < m_fixedCols, true);
    const int fixedBottom = std::min(fixedHeight(), gridBottom);
    const int fixedRight = std::min(fixedWidth(), gridRight);

    int x = 0;
    for (int col : cols) {
        x += m_colWidths[col];
        const bool fixedCol = col < m_fixedCols;
        if (const int fixedLineWidth = lineWidth(true, true)) // through the title rows
            painter.fillRect(x, 0, fixedLineWidth, fixedCol ? gridBottom : fixedBottom, fixedLine);
        if (!fixedCol) {
            if (const int w = lineWidth(false, true))
                painter.fillRect(x, fixedBottom, w, gridBottom - fixedBottom, dataLine);
        }
        x += lineWidth(fixedCol, true);
    }
    int y = 0;
    for (int row : rows) {
        y += m_rowHeights[row];
        const bool fixedRow = row < m_fixedRows;
        if (const int w = lineWidth(true, false))
            painter.fillRect(0, y, fixedRow ? gridRight : fixedRight, w, fixedLine);
        if (!fixedRow) {
            if (const int w = lineWidth(false, false))
                painter.fillRect(fixedRight, y, gridRight - fixedRight, w, dataLine);
        }
        y += lineWidth(fixedRow, false);
    }
    // The area right of and below the cells shows the grid's colour.
    const QColor background = toQColor(m_color);
    painter.fillRect(gridRight, 0, viewport()->width() - gridRight, viewport()->height(), background);
    painter.fillRect(0, gridBottom, gridRight, viewport()->height() - gridBottom, background);
}

void TStringGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    runGuarded([this] { updateEditor(); });
}

void TStringGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const CellPosition cell = MouseToCell(event->position().toPoint().x(), event->position().toPoint().y());
    if (cell.X < m_fixedCols || cell.Y < m_fixedRows)
        return;
    const bool extend = (event->modifiers() & Qt::ShiftModifier) && (m_options & goRangeSelect);
    moveCurrent(cell.X, cell.Y, extend, false);
    Click();
}

void TStringGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || !(m_options & goRangeSelect))
        return;
    const CellPosition cell = MouseToCell(event->position().toPoint().x(), event->position().toPoint().y());
    if (cell.X >= m_fixedCols && cell.Y >= m_fixedRows && !(cell == m_current))
        moveCurrent(cell.X, cell.Y, true, false);
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && CanEditModify() && MouseToCell(at.x(), at.y()) == m_current) {
        runGuarded([this] { ShowEditor(); });
        return;
    }
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

namespace {
// A key that types a character rather than commanding something.
bool typesCharacter(const QKeyEvent *event)
{
    return !event->text().isEmpty() && event->text().at(0).isPrint()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}
} // namespace

void TStringGrid::keyPressEvent(QKeyEvent *event)
{
    runGuarded([&] { handleKey(event); });
}

void TStringGrid::handleKey(QKeyEvent *event)
{
    if (CanEditModify()) {
        switch (event->key()) {
        case Qt::Key_F2:
            ShowEditor();
            if (m_editorMode)
                m_editor->moveCursor(QTextCursor::End);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            ShowEditor();
            return;
        default:
            if (typesCharacter(event)) {
                // The character replaces the text, which the editor opens selected.
                ShowEditor();
                if (m_editorMode && !m_editor->isReadOnly())
                    m_editor->keyPressEvent(event);
                return;
            }
        }
    }
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const bool rowSelect = m_options & goRowSelect;
    int col = m_current.X;
    int row = m_current.Y;
    const int page = std::max(1, VisibleRowCount());
    switch (event->key()) {
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_Left:
        if (rowSelect)
            setLeftCol(m_leftCol - 1);
        else
            --col;
        break;
    case Qt::Key_Right:
        if (rowSelect)
            setLeftCol(m_leftCol + 1);
        else
            ++col;
        break;
    case Qt::Key_PageUp:
        row -= page;
        break;
    case Qt::Key_PageDown:
        row += page;
        break;
    case Qt::Key_Home:
        if (control || rowSelect)
            row = m_fixedRows;
        else
            col = m_fixedCols;
        break;
    case Qt::Key_End:
        if (control || rowSelect)
            row = RowCount() - 1;
        else
            col = ColCount() - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    moveCurrent(col, row, extend, true);
}
