#include "accessiblegrid.h"

#include "hypergrid.h"
#include "stringgrid.h"

#include <QPointer>

namespace {

/// One scrollable cell of a grid.
class GridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    GridCellAccessible(StringGridAccessible *table, int row, int column)
        : m_table(table)
        , m_grid(table->grid())
        , m_row(row)
        , m_column(column)
    {
    }

    bool isValid() const override
    {
        return m_grid && m_row < m_table->rowCount() && m_column < m_table->columnCount();
    }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_table->window(); }
    QAccessibleInterface *parent() const override { return m_table; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? m_table->shownText(gridCol(), gridRow()) : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override
    {
        const QRect cell = m_grid->CellRect(gridCol(), gridRow());
        if (cell.isEmpty())
            return {};
        return QRect(m_grid->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.selectable = true;
        state.selected = isSelected();
        state.focusable = true;
        state.focused = m_grid->hasFocus() && m_grid->Col() == gridCol() && m_grid->Row() == gridRow();
        state.invisible = rect().isEmpty();
        state.offscreen = state.invisible;
        return state;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this) : nullptr;
    }

    bool isSelected() const override { return m_grid->Selection().contains(gridCol(), gridRow()); }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return m_table; }

private:
    int gridCol() const { return m_table->gridCol(m_column); }
    int gridRow() const { return m_table->gridRow(m_row); }

    StringGridAccessible *m_table;
    QPointer<TStringGrid> m_grid;
    int m_row;
    int m_column;
};

} // namespace

StringGridAccessible::StringGridAccessible(TStringGrid *grid)
    : QAccessibleWidget(grid, QAccessible::Table)
{
}

StringGridAccessible::~StringGridAccessible()
{
    for (QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
}

void StringGridAccessible::currentCellFocused(TStringGrid *grid)
{
    // Without a listener the event would only make interfaces nobody reads.
    if (!QAccessible::isActive() || !grid->hasFocus())
        return;
    const int row = grid->Row() - grid->FixedRows();
    const int column = grid->Col() - grid->FixedCols();
    if (row < 0 || column < 0)
        return;
    QAccessibleEvent focus(grid, QAccessible::Focus);
    focus.setChild(row * (grid->ColCount() - grid->FixedCols()) + column);
    QAccessible::updateAccessibility(&focus);
}

TStringGrid *StringGridAccessible::grid() const
{
    return static_cast<TStringGrid *>(widget());
}

QString StringGridAccessible::shownText(int gridCol, int gridRow) const
{
    auto *hyperGrid = qobject_cast<THyperGrid *>(grid());
    if (!hyperGrid || gridCol >= hyperGrid->VisibleColumnCount())
        return grid()->Cells(gridCol, gridRow);
    // The top title row shows the column's caption, when it has one.
    if (gridRow == 0 && gridRow < grid()->FixedRows()) {
        const QString caption = hyperGrid->ColumnAt(gridCol)->Caption();
        return caption.isEmpty() ? grid()->Cells(gridCol, gridRow) : caption;
    }
    return gridRow < grid()->FixedRows() ? grid()->Cells(gridCol, gridRow) : hyperGrid->GetDisplayText(gridCol, gridRow);
}

int StringGridAccessible::gridCol(int column) const
{
    return grid()->FixedCols() + column;
}

int StringGridAccessible::gridRow(int row) const
{
    return grid()->FixedRows() + row;
}

void *StringGridAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

int StringGridAccessible::columnCount() const
{
    return std::max(0, grid()->ColCount() - grid()->FixedCols());
}

int StringGridAccessible::rowCount() const
{
    return std::max(0, grid()->RowCount() - grid()->FixedRows());
}

int StringGridAccessible::childCount() const
{
    return rowCount() * columnCount();
}

QAccessibleInterface *StringGridAccessible::child(int index) const
{
    const int columns = columnCount();
    return index < 0 || columns == 0 ? nullptr : cellAt(index / columns, index % columns);
}

int StringGridAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *cell = child ? const_cast<QAccessibleInterface *>(child)->tableCellInterface() : nullptr;
    if (!cell || cell->table() != this)
        return -1;
    return cell->rowIndex() * columnCount() + cell->columnIndex();
}

QAccessibleInterface *StringGridAccessible::cellAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return nullptr;
    const qint64 key = (qint64(row) << 32) | column;
    QAccessible::Id &id = m_cells[key];
    if (!id)
        id = QAccessible::registerAccessibleInterface(
            new GridCellAccessible(const_cast<StringGridAccessible *>(this), row, column));
    return QAccessible::accessibleInterface(id);
}

QAccessibleInterface *StringGridAccessible::childAt(int x, int y) const
{
    // Only the cell under the point, never a walk through all the rows.
    const QPoint at = grid()->viewport()->mapFromGlobal(QPoint(x, y));
    const CellPosition cell = grid()->MouseToCell(at.x(), at.y());
    return cellAt(cell.Y - grid()->FixedRows(), cell.X - grid()->FixedCols());
}

QAccessibleInterface *StringGridAccessible::focusChild() const
{
    if (!grid()->hasFocus())
        return nullptr;
    return cellAt(grid()->Row() - grid()->FixedRows(), grid()->Col() - grid()->FixedCols());
}

QString StringGridAccessible::columnDescription(int column) const
{
    if (grid()->FixedRows() == 0 || column < 0 || column >= columnCount())
        return {};
    // A second title level reads above the column's own title.
    QStringList titles;
    for (int row = 0; row < grid()->FixedRows(); ++row)
        if (const QString title = shownText(gridCol(column), row); !title.isEmpty())
            titles << title;
    return titles.join(u' ');
}

QString StringGridAccessible::rowDescription(int row) const
{
    if (grid()->FixedCols() == 0 || row < 0 || row >= rowCount())
        return {};
    return grid()->Cells(grid()->FixedCols() - 1, gridRow(row));
}

int StringGridAccessible::selectedCellCount() const
{
    const CellRange s = grid()->Selection();
    return (s.Right - s.Left + 1) * (s.Bottom - s.Top + 1);
}

QList<QAccessibleInterface *> StringGridAccessible::selectedCells() const
{
    const CellRange s = grid()->Selection();
    QList<QAccessibleInterface *> cells;
    for (int row = s.Top; row <= s.Bottom; ++row)
        for (int col = s.Left; col <= s.Right; ++col)
            if (QAccessibleInterface *cell = cellAt(row - grid()->FixedRows(), col - grid()->FixedCols()))
                cells << cell;
    return cells;
}

QList<int> StringGridAccessible::selectedColumns() const
{
    // A column counts as selected when the selection holds all its rows.
    const CellRange s = grid()->Selection();
    QList<int> columns;
    if (s.Top == grid()->FixedRows() && s.Bottom == grid()->RowCount() - 1)
        for (int col = s.Left; col <= s.Right; ++col)
            columns << col - grid()->FixedCols();
    return columns;
}

QList<int> StringGridAccessible::selectedRows() const
{
    const CellRange s = grid()->Selection();
    QList<int> rows;
    if (s.Left == grid()->FixedCols() && s.Right == grid()->ColCount() - 1)
        for (int row = s.Top; row <= s.Bottom; ++row)
            rows << row - grid()->FixedRows();
    return rows;
}

bool StringGridAccessible::selectRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    grid()->setRow(gridRow(row));
    return true;
}
