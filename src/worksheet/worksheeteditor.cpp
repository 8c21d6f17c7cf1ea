#include "worksheeteditor.h"

#include "datetimetext.h"
#include "errors.h"
#include "messages.h"
#include "sortorder.h"
#include "workinghours.h"
#include "worksheet.h"
#include "worksheettotals.h"
#include "worksheetvalues.h"

#include <cmath>

namespace {

constexpr qint64 MinutesPerDay = 24 * 60;
constexpr int FirstDataRow = 1; // below the titles

QString joined(const QString &date, const QString &time)
{
    return date + u' ' + time;
}

} // namespace

std::pair<QString, QString> splitAtBlank(const QString &text)
{
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0)
        return {QString(), text};
    return {text.left(blank), text.mid(blank + 1)};
}

// Update writes nothing that the worksheet could not use later: every text
// must read as what its column holds, and the period must run forward for
// less than a day, since its Time shows only hours and minutes. A period of
// no length is fine: the stopwatch and Insert make those.
void checkPeriod(const QString &start, const QString &end, const QString &nominalDate, const QString &nominalTime)
{
    const DateTime from = parseDateTime(start);
    const DateTime to = parseDateTime(end);
    parseDate(nominalDate);
    readDuration(nominalTime);
    const qint64 minutes = std::llround((to - from) * MinutesPerDay);
    if (minutes < 0)
        throw WorktallyError(QStringLiteral("The period ends before it starts."));
    if (minutes >= MinutesPerDay)
        throw WorktallyError(QStringLiteral("A period must be shorter than 24 hours."));
}

// Keeps the steps of one change while the editor makes it, and the change in
// the history once it is made: also when a failure ends it half-way, as what
// was written by then stays in the worksheet and can be taken back.
class WorksheetEditor::Recording
{
public:
    /// wholeRows: every row is kept before and after instead of step by step.
    Recording(WorksheetEditor &editor, int rowBefore, bool wholeRows = false)
        : m_editor(editor)
        , m_trackedBefore(editor.m_cells.trackedRow())
        , m_rowBefore(rowBefore)
        , m_rowAfter(rowBefore)
    {
        if (wholeRows)
            m_change.rowsAboutToBeReplaced(editor.m_cells);
        else
            editor.m_recording = &m_change;
    }
    ~Recording()
    {
        m_editor.m_recording = nullptr;
        m_change.finish(m_editor.m_cells, m_trackedBefore, m_rowBefore, m_rowAfter);
        if (!m_change.isEmpty())
            m_editor.m_history.add(std::move(m_change));
    }
    Recording(const Recording &) = delete;
    Recording &operator=(const Recording &) = delete;

    void setRowAfter(int row) { m_rowAfter = row; }

private:
    WorksheetEditor &m_editor;
    WorksheetChange m_change;
    const int m_trackedBefore;
    const int m_rowBefore;
    int m_rowAfter;
};

WorksheetEditor::WorksheetEditor(CellTable &cells, std::unique_ptr<RowArrangement> rows, const WorksheetValues *values)
    : m_cells(cells)
    , m_rows(rows ? std::move(rows) : std::make_unique<RowArrangement>(cells))
    , m_values(values)
{ }

WorksheetEditor::~WorksheetEditor() = default;

int WorksheetEditor::runningRow() const
{
    return std::max(m_cells.trackedRow(), 0);
}

int WorksheetEditor::bottomLine() const
{
    return m_cells.rowCount() - 1;
}

PeriodTexts WorksheetEditor::period(int row) const
{
    const auto [startDate, startTime] = splitAtBlank(m_cells.text(StartColumn, row));
    const auto [endDate, endTime] = splitAtBlank(m_cells.text(EndColumn, row));
    return {startDate, startTime, endDate, endTime, m_cells.text(NominalDateColumn, row),
        m_cells.text(NominalTimeColumn, row), m_cells.text(NotesColumn, row)};
}

std::optional<WorksheetEditor::Written> WorksheetEditor::update(int row, const PeriodTexts &period, DateTime now)
{
    // The bottom line must stay empty: what was written there would be
    // ignored by the totals and overwritten by the stopwatch.
    if (row >= bottomLine()) {
        showMessage(CannotEditLine);
        return std::nullopt;
    }
    const QString start = joined(period.startDate, period.startTime);
    // The running period lasts until now, whatever End the panel shows from
    // the last save: its start may be moved past that End.
    const QString end = row == runningRow() ? formatDateTimeText(now) : joined(period.endDate, period.endTime);
    checkPeriod(start, end, period.nominalDate, period.nominalTime);
    Recording change(*this, row);
    write(row, NotesColumn, period.notes);
    write(row, NominalDateColumn, period.nominalDate);
    write(row, NominalTimeColumn, period.nominalTime);
    write(row, StartColumn, start);
    write(row, EndColumn, end);
    writeDuration(row);

    // A single data row is in order already. After sorting, the period just
    // written is followed, so that the next Update writes to it again.
    Written written {row, false};
    if (bottomLine() - 1 >= 2)
        written.row = sortByStart(row, written.sortedAsText);
    change.setRowAfter(written.row);
    return written;
}

int WorksheetEditor::sortByStart(int row, bool &sortedAsText)
{
    const int last = bottomLine() - 1;
    // Each Start is read once, here; the sort then compares the values.
    const int century = currentCentury();
    std::vector<SortEntry<double>> dates;
    dates.reserve(last - FirstDataRow + 1);
    for (int n = FirstDataRow; n <= last; ++n) {
        const std::optional<DateTime> start = tryParseDateTime(m_cells.cell(StartColumn, n), century);
        if (!start)
            break;
        dates.push_back({n, *start});
    }
    sortedAsText = int(dates.size()) < last - FirstDataRow + 1;
    std::vector<int> order;
    if (sortedAsText) {
        std::vector<SortEntry<QStringView>> texts;
        texts.reserve(last - FirstDataRow + 1);
        for (int n = FirstDataRow; n <= last; ++n)
            texts.push_back({n, m_cells.cell(StartColumn, n)});
        order = sortedIndices(std::move(texts), TextLess {false}, true);
    } else {
        order = sortedIndices(std::move(dates), std::less<double>(), false);
    }
    int sorted = row;
    bool moved = false;
    for (int k = 0; k < int(order.size()); ++k) {
        moved = moved || order[k] != FirstDataRow + k;
        if (order[k] == row)
            sorted = FirstDataRow + k;
    }
    // Rows already in order stay as they are: the change keeps no order then.
    if (moved) {
        m_rows->permuteRows(FirstDataRow, order);
        if (m_recording)
            m_recording->rowsPermuted(FirstDataRow, std::move(order));
    }
    return sorted;
}

int WorksheetEditor::insertBelow(int row, const WorkingHours &hours)
{
    const QString date = splitAtBlank(m_cells.text(EndColumn, row)).first;
    const int inserted = row + 1;
    if (inserted < FirstDataRow || inserted >= m_cells.rowCount())
        throw WorktallyError(QStringLiteral("Cannot insert row %1").arg(inserted));
    Recording change(*this, row);
    insertRow(inserted);
    change.setRowAfter(inserted);
    // An End that does not read leaves the row inserted and empty; the
    // change keeps it, so that it can be undone.
    writeEmptyPeriod(inserted, parseDateTime(date + QStringLiteral(" 00:00")), hours);
    return inserted;
}

std::optional<int> WorksheetEditor::deleteRow(int marked, int current)
{
    const QString bottomLineMessage = QStringLiteral("The empty bottomline cannot be deleted !");
    // With no data row left there is nothing to delete; removing the bottom
    // line itself would leave the worksheet without one.
    if (m_cells.rowCount() <= 2) {
        showMessage(bottomLineMessage);
        return std::nullopt;
    }
    if (marked == bottomLine())
        showMessage(bottomLineMessage);
    const int removed = marked == FirstDataRow ? FirstDataRow : current;
    const int shown = marked == FirstDataRow ? FirstDataRow : marked - 1;
    Recording change(*this, removed);
    removeRow(removed);
    // Deleting the bottom line brings a fresh one.
    if (!m_cells.cell(EndColumn, bottomLine()).isEmpty())
        insertRow(m_cells.rowCount());
    change.setRowAfter(shown);
    return shown;
}

int WorksheetEditor::start(DateTime now, const WorkingHours &hours, int current)
{
    Recording change(*this, current);
    insertRow(m_cells.rowCount());
    const int row = bottomLine() - 1;
    writeEmptyPeriod(row, now, hours);
    m_cells.setTrackedRow(row);
    change.setRowAfter(row);
    return row;
}

int WorksheetEditor::stop(DateTime now)
{
    const int row = runningRow();
    Recording change(*this, row);
    m_cells.setTrackedRow(-1);
    // Once its row is gone (deleted while the period ran) there is no period
    // to close.
    if (row)
        bringUpToNow(row, now);
    return row;
}

void WorksheetEditor::bringUpToNow(DateTime now)
{
    if (const int row = runningRow())
        bringUpToNow(row, now);
}

void WorksheetEditor::bringUpToNow(int row, DateTime now)
{
    write(row, EndColumn, formatDateTimeText(now));
    writeDuration(row);
}

void WorksheetEditor::reload(const std::function<void()> &load, int current)
{
    // A running period is still being timed: it goes on in the reloaded rows.
    const int running = runningRow();
    const QStringList runningPeriod = running ? m_cells.rowTexts(running) : QStringList();
    Recording change(*this, current, true);
    load();
    if (!runningPeriod.isEmpty())
        placeRunningPeriod(runningPeriod);
    change.setRowAfter(std::max(bottomLine() - 1, FirstDataRow));
}

// The file usually holds the running period already, saved at its start or
// since; a second row of it would be counted twice and never closed.
void WorksheetEditor::placeRunningPeriod(const QStringList &period)
{
    const QString &start = period[StartColumn];
    const int last = bottomLine() - 1;
    for (int row = last; row >= FirstDataRow; --row) {
        if (m_cells.cell(StartColumn, row) == start) {
            m_cells.setTrackedRow(row);
            return;
        }
    }
    // Not there: it goes where its Start belongs, below the last row that
    // starts no later; at the end unless the file holds later periods.
    const int century = currentCentury();
    int row = last + 1;
    if (const std::optional<DateTime> begun = tryParseDateTime(start, century)) {
        while (row > FirstDataRow) {
            const std::optional<DateTime> above = tryParseDateTime(m_cells.cell(StartColumn, row - 1), century);
            if (!above || *above <= *begun)
                break;
            --row;
        }
    }
    insertRow(row);
    for (int col = 0; col < period.size(); ++col)
        write(row, col, period[col]);
    m_cells.setTrackedRow(row);
}

std::optional<int> WorksheetEditor::undo()
{
    return m_history.undo(m_cells, *m_rows);
}

std::optional<int> WorksheetEditor::redo()
{
    return m_history.redo(m_cells, *m_rows);
}

void WorksheetEditor::write(int row, int column, const QString &text)
{
    if (m_recording)
        m_recording->rowAboutToBeWritten(m_cells, row);
    m_cells.setCell(column, row, text);
    if (m_recording)
        m_recording->rowWritten(m_cells, row);
}

void WorksheetEditor::insertRow(int row)
{
    m_rows->insertRow(row);
    if (m_recording)
        m_recording->rowInserted(row);
}

void WorksheetEditor::removeRow(int row)
{
    if (m_recording)
        m_recording->rowAboutToBeRemoved(m_cells, row);
    m_rows->removeRow(row);
}

// Start and End are stored to the minute, so the duration is the difference
// of the two minute readings. Start is read first: when both are unreadable,
// the message names Start. End before Start gives the same duration as the
// two swapped.
void WorksheetEditor::writeDuration(int row)
{
    const DateTime start = parseDateTime(m_cells.cell(StartColumn, row));
    const DateTime end = parseDateTime(m_cells.cell(EndColumn, row));
    write(row, TimeColumn, formatTimeText(std::abs(end - start)));
}

// A new period owes the weekday's working hours when no row of that day owes
// any yet, else nothing.
void WorksheetEditor::writeEmptyPeriod(int row, DateTime start, const WorkingHours &hours)
{
    const QString owed = m_values ? hours.nominalTimeOfNewRow(m_values->owesOn(m_cells, toQDate(start)), start)
                                  : hours.nominalTimeOfNewRow(m_cells, start);
    const QString startText = formatDateTimeText(start);
    write(row, StartColumn, startText);
    write(row, EndColumn, startText);
    write(row, TimeColumn, QStringLiteral("00:00"));
    write(row, NominalDateColumn, formatDateText(start));
    write(row, NominalTimeColumn, owed);
    write(row, DiffColumn, QStringLiteral("00:00"));
}
