#pragma once

#include "celltable.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <QStringList>
#include <vector>

/// Adds, removes and reorders the rows of a worksheet's CellTable for the
/// worksheet's commands. On its own it changes the table alone; a view that
/// keeps something of its own per row (a grid: heights, the scroll range)
/// puts in one that goes through the view.
class RowArrangement
{
public:
    explicit RowArrangement(CellTable &cells)
        : m_cells(cells)
    { }
    virtual ~RowArrangement() = default;

    /// An empty row at row, which may be rowCount(): below the last one.
    virtual void insertRow(int row);
    virtual void removeRow(int row);
    /// As CellTable::permuteRows.
    virtual void permuteRows(int first, const std::vector<int> &order) { m_cells.permuteRows(first, order); }
    virtual void resize(int columnCount, int rowCount) { m_cells.resize(columnCount, rowCount); }

protected:
    CellTable &m_cells;
};

/// One change of the worksheet as its steps, each with what it replaced, so
/// that it can be taken back and made again exactly. A step keeps the rows
/// it touched: a written row its texts before and after, a removed row its
/// texts, a sort its order; only a reload keeps the whole worksheet, before
/// and after (implicitly shared with the rows it copied).
class WorksheetChange
{
public:
    /// Before a cell of row is written: keeps the row's texts, once for the
    /// writes of a row that follow each other.
    void rowAboutToBeWritten(const CellTable &cells, int row);
    /// After a cell of row was written.
    void rowWritten(const CellTable &cells, int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(const CellTable &cells, int row);
    void rowsPermuted(int first, std::vector<int> order);
    /// Before every row is replaced; the rows after are taken by finish.
    void rowsAboutToBeReplaced(const CellTable &cells);

    /// Ends the change: the running period's row before and after it comes
    /// from the table, the rows concerned from the command.
    void finish(const CellTable &cells, int trackedBefore, int rowBefore, int rowAfter);
    /// Nothing written, moved or stopped.
    bool isEmpty() const { return m_steps.empty() && m_trackedBefore == m_trackedAfter; }
    /// Whether it put other rows in place of every row, as a reload does.
    bool replacesEveryRow() const
    {
        return std::ranges::any_of(m_steps, [](const Step &step) { return step.kind == Step::Replace; });
    }

    /// The row concerned before the change (shown once it is undone) and
    /// after it (shown once it is redone).
    int rowBefore() const { return m_rowBefore; }
    int rowAfter() const { return m_rowAfter; }

    void undo(CellTable &cells, RowArrangement &rows) const;
    void redo(CellTable &cells, RowArrangement &rows) const;

private:
    struct Step
    {
        enum Kind { Write, Insert, Remove, Permute, Replace } kind = Write;
        int row = 0; // Permute: the first row sorted
        QStringList before; // Write: the texts before; Remove: the texts removed
        QStringList after; // Write
        std::vector<int> order; // Permute
        std::shared_ptr<const CellTable> rowsBefore; // Replace
        std::shared_ptr<const CellTable> rowsAfter;
    };

    Step &addStep(Step::Kind kind, int row = 0);
    static void writeRow(CellTable &cells, int row, const QStringList &texts);
    static void replaceRows(CellTable &cells, RowArrangement &rows, const CellTable &with);

    std::vector<Step> m_steps;
    int m_trackedBefore = -1;
    int m_trackedAfter = -1;
    int m_rowBefore = 0;
    int m_rowAfter = 0;
};

/// The changes made to the worksheet during a run, to be undone and redone
/// in turn. A new change drops those undone before it.
class WorksheetHistory
{
public:
    void add(WorksheetChange change);
    void clear();
    bool canUndo() const { return m_done > 0; }
    bool canRedo() const { return m_done < m_changes.size(); }
    /// Whether undo would put other rows in place of every row.
    bool undoReplacesEveryRow() const { return canUndo() && m_changes[m_done - 1].replacesEveryRow(); }
    /// Takes back the last change made: the row it concerned, or nothing
    /// when there is none.
    std::optional<int> undo(CellTable &cells, RowArrangement &rows);
    /// Makes the last change undone again: the row it concerns.
    std::optional<int> redo(CellTable &cells, RowArrangement &rows);

private:
    std::vector<WorksheetChange> m_changes;
    size_t m_done = 0; // the changes made and not undone: the first m_done
};
