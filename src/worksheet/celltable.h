#pragma once

#include <algorithm>
#include <functional>
#include <QList>
#include <QString>
#include <QStringList>
#include <span>
#include <vector>

/// Moves an item to another index; the items between shift by one.
template<typename List> void moveItem(List &items, int from, int to)
{
    if (from < to)
        std::rotate(items.begin() + from, items.begin() + from + 1, items.begin() + to + 1);
    else
        std::rotate(items.begin() + to, items.begin() + from, items.begin() + from + 1);
}

/// Rearranges items first … first + order.size() - 1 of items: item first + k
/// becomes the one that stood at order[k]; order names each of them once.
template<typename List> void permuteItems(List &items, int first, const std::vector<int> &order)
{
    std::vector<typename List::value_type> moved;
    moved.reserve(order.size());
    for (const int from : order)
        moved.push_back(std::move(items[from]));
    std::move(moved.begin(), moved.end(), items.begin() + first);
}

/// Told of every change of a CellTable's rows: of a row's cells once they
/// changed, of a change of rows before and after it. Indices are those of the
/// table as it is when told.
class CellTableObserver
{
public:
    virtual ~CellTableObserver() = default;

    /// Cells of row changed, nothing else.
    virtual void rowChanged(int row) = 0;
    /// Rows added empty at the end, or cut at the end.
    virtual void beforeRowsInserted(int first, int count) = 0;
    virtual void rowsInserted(int first, int count) = 0;
    virtual void beforeRowsRemoved(int first, int count) = 0;
    virtual void rowsRemoved(int first, int count) = 0;
    virtual void beforeRowMoved(int from, int to) = 0;
    virtual void rowMoved(int from, int to) = 0;
    /// As CellTable::permuteRows has it.
    virtual void beforeRowsPermuted(int first, const std::vector<int> &order) = 0;
    virtual void rowsPermuted(int first, const std::vector<int> &order) = 0;
    /// Any row may have changed: rows taken over, columns moved or cut.
    virtual void beforeReset() = 0;
    virtual void reset() = 0;
};

/// The texts of a grid: rows × columns of strings.
///
/// A worksheet can have a million rows, so each row keeps all its cells in one
/// string, every cell preceded by its length. That costs one allocation per row
/// instead of one per cell; reading a cell walks at most the row's few cells.
/// A row stores only the cells up to its last non-empty one.
///
/// The rows are shared between copies until one of them changes, so a copy
/// (a printout's, a save's) costs the same for any number of rows; the first
/// change after it copies the list of rows, not their texts. A copy has no
/// listener and no observer.
class CellTable
{
public:
    int rowCount() const { return int(m_rows.size()); }
    int columnCount() const { return m_columnCount; }

    /// Rows are added empty or cut at the end; columns cut away lose their texts.
    void resize(int columnCount, int rowCount);

    /// The text of a cell; valid until the row is changed. Cells outside the
    /// table read as empty.
    QStringView cell(int column, int row) const;
    QString text(int column, int row) const { return cell(column, row).toString(); }
    void setCell(int column, int row, QStringView text);

    QStringList rowTexts(int row) const;
    /// The texts of all columnCount() cells of a row, read in one pass (cell
    /// by cell walks the row for each); valid until the row is changed.
    void rowCells(int row, std::vector<QStringView> &cells) const;
    /// A row as it is kept (see packedrow.h), for reading every cell of many
    /// rows fast; valid until the row is changed. Empty outside the table.
    QStringView packedRow(int row) const
    {
        return row >= 0 && row < rowCount() ? QStringView(m_rows[row]) : QStringView();
    }
    /// Overwrites the cells firstColumn … firstColumn + texts.size() - 1 of row.
    void setRowTexts(int row, int firstColumn, std::span<const QStringView> texts);
    void clearRow(int row);

    /// Moves a row to another index; the rows between shift by one.
    void moveRow(int from, int to);
    void swapRows(int a, int b);
    /// Rearranges the rows first … first + order.size() - 1 at once: row
    /// first + k becomes the row that stood at order[k]. order must name each
    /// of those rows once.
    void permuteRows(int first, const std::vector<int> &order);
    /// Moves a column to another index in every row.
    void moveColumn(int from, int to);

    /// A row followed through every move of rows, so that it is known by
    /// identity rather than by index: its index now, or -1 when no row is
    /// followed or the one followed was cut away.
    int trackedRow() const { return m_trackedRow; }
    void setTrackedRow(int row) { m_trackedRow = row >= 0 && row < rowCount() ? row : -1; }

    /// Takes over every row of other, which must have as many rows and
    /// columns; the change listener stays this table's. For rows made away
    /// from the table, on another thread.
    void replaceCells(CellTable &&other);

    /// Called after every change of a cell (not of the size), for repainting.
    void setChangeListener(std::function<void()> listener) { m_listeners.changed = std::move(listener); }
    /// Told of every change of the rows, for what is worked out from them;
    /// null for none.
    void setObserver(CellTableObserver *observer) { m_listeners.observer = observer; }

    /// Counts the changes of cells and of the size: what was worked out from
    /// the texts while it read the same still holds.
    quint64 revision() const { return m_revision; }

private:
    void changed(int row)
    {
        ++m_revision;
        if (m_listeners.observer)
            m_listeners.observer->rowChanged(row);
        if (m_listeners.changed)
            m_listeners.changed();
    }
    // Who is told of changes: not copied with the rows.
    struct Listeners
    {
        std::function<void()> changed;
        CellTableObserver *observer = nullptr;

        Listeners() = default;
        Listeners(const Listeners &) { }
        Listeners &operator=(const Listeners &) { return *this; }
    };

    QList<QString> m_rows;
    int m_columnCount = 0;
    int m_trackedRow = -1;
    quint64 m_revision = 0;
    Listeners m_listeners;
};
