#include "worksheethistory.h"

#include <QStringView>

void RowArrangement::insertRow(int row)
{
    const int last = m_cells.rowCount();
    m_cells.resize(m_cells.columnCount(), last + 1);
    m_cells.moveRow(last, row);
}

void RowArrangement::removeRow(int row)
{
    const int last = m_cells.rowCount() - 1;
    m_cells.moveRow(row, last);
    m_cells.resize(m_cells.columnCount(), last);
}

namespace {

std::shared_ptr<const CellTable> snapshot(const CellTable &cells)
{
    auto copy = std::make_shared<CellTable>(cells);
    copy->setChangeListener({}); // the copy repaints nothing
    return copy;
}

} // namespace

WorksheetChange::Step &WorksheetChange::addStep(Step::Kind kind, int row)
{
    Step &step = m_steps.emplace_back();
    step.kind = kind;
    step.row = row;
    return step;
}

void WorksheetChange::rowAboutToBeWritten(const CellTable &cells, int row)
{
    if (!m_steps.empty() && m_steps.back().kind == Step::Write && m_steps.back().row == row)
        return;
    addStep(Step::Write, row).before = cells.rowTexts(row);
}

void WorksheetChange::rowWritten(const CellTable &cells, int row)
{
    m_steps.back().after = cells.rowTexts(row);
}

void WorksheetChange::rowInserted(int row)
{
    addStep(Step::Insert, row);
}

void WorksheetChange::rowAboutToBeRemoved(const CellTable &cells, int row)
{
    addStep(Step::Remove, row).before = cells.rowTexts(row);
}

void WorksheetChange::rowsPermuted(int first, std::vector<int> order)
{
    addStep(Step::Permute, first).order = std::move(order);
}

void WorksheetChange::rowsAboutToBeReplaced(const CellTable &cells)
{
    addStep(Step::Replace).rowsBefore = snapshot(cells);
}

void WorksheetChange::finish(const CellTable &cells, int trackedBefore, int rowBefore, int rowAfter)
{
    for (Step &step : m_steps) {
        if (step.kind == Step::Replace && !step.rowsAfter)
            step.rowsAfter = snapshot(cells);
    }
    m_trackedBefore = trackedBefore;
    m_trackedAfter = cells.trackedRow();
    m_rowBefore = rowBefore;
    m_rowAfter = rowAfter;
}

void WorksheetChange::writeRow(CellTable &cells, int row, const QStringList &texts)
{
    const std::vector<QStringView> views(texts.begin(), texts.end());
    cells.setRowTexts(row, 0, views);
}

void WorksheetChange::replaceRows(CellTable &cells, RowArrangement &rows, const CellTable &with)
{
    rows.resize(with.columnCount(), with.rowCount());
    CellTable copy = with;
    cells.replaceCells(std::move(copy));
}

void WorksheetChange::undo(CellTable &cells, RowArrangement &rows) const
{
    for (auto step = m_steps.rbegin(); step != m_steps.rend(); ++step) {
        switch (step->kind) {
        case Step::Write:
            writeRow(cells, step->row, step->before);
            break;
        case Step::Insert:
            rows.removeRow(step->row);
            break;
        case Step::Remove:
            rows.insertRow(step->row);
            writeRow(cells, step->row, step->before);
            break;
        case Step::Permute: {
            // Row order[k] went to first + k: it goes back.
            std::vector<int> back(step->order.size());
            for (size_t k = 0; k < step->order.size(); ++k)
                back[step->order[k] - step->row] = step->row + int(k);
            rows.permuteRows(step->row, back);
            break;
        }
        case Step::Replace:
            replaceRows(cells, rows, *step->rowsBefore);
            break;
        }
    }
    cells.setTrackedRow(m_trackedBefore);
}

void WorksheetChange::redo(CellTable &cells, RowArrangement &rows) const
{
    for (const Step &step : m_steps) {
        switch (step.kind) {
        case Step::Write:
            writeRow(cells, step.row, step.after);
            break;
        case Step::Insert:
            rows.insertRow(step.row);
            break;
        case Step::Remove:
            rows.removeRow(step.row);
            break;
        case Step::Permute:
            rows.permuteRows(step.row, step.order);
            break;
        case Step::Replace:
            replaceRows(cells, rows, *step.rowsAfter);
            break;
        }
    }
    cells.setTrackedRow(m_trackedAfter);
}

void WorksheetHistory::add(WorksheetChange change)
{
    m_changes.resize(m_done);
    m_changes.push_back(std::move(change));
    m_done = m_changes.size();
}

void WorksheetHistory::clear()
{
    m_changes.clear();
    m_done = 0;
}

std::optional<int> WorksheetHistory::undo(CellTable &cells, RowArrangement &rows)
{
    if (!canUndo())
        return std::nullopt;
    const WorksheetChange &change = m_changes[--m_done];
    change.undo(cells, rows);
    return change.rowBefore();
}

std::optional<int> WorksheetHistory::redo(CellTable &cells, RowArrangement &rows)
{
    if (!canRedo())
        return std::nullopt;
    const WorksheetChange &change = m_changes[m_done++];
    change.redo(cells, rows);
    return change.rowAfter();
}
