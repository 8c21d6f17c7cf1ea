#pragma once

#include "datetime.h"
#include "worksheethistory.h"

#include <functional>
#include <memory>
#include <optional>
#include <QString>
#include <utility>

class CellTable;
class WorkingHours;
class WorksheetValues;

/// Told when the empty bottom line is to be edited.
inline const QString CannotEditLine = QStringLiteral("You can't edit this line");

/// A Start or End text split at its first blank: the date before, the time
/// after; without a blank, no date and the whole text as the time.
std::pair<QString, QString> splitAtBlank(const QString &text);

/// A period as the edit panel holds it: its start and end as date and time,
/// its nominal date and time and its note.
struct PeriodTexts
{
    QString startDate;
    QString startTime;
    QString endDate;
    QString endTime;
    QString nominalDate;
    QString nominalTime;
    QString notes;
};

/// Raises WorktallyError unless every text reads as what its column holds
/// and the period runs forward for less than a day.
void checkPeriod(const QString &start, const QString &end, const QString &nominalDate, const QString &nominalTime);

/// The changes a user makes to the worksheet, each one undoable: a period
/// written from the edit panel, inserted or deleted, the stopwatch's period
/// started or stopped, the worksheet reloaded from disk. It works on the
/// worksheet's rows (row 0 the titles, the last one the empty bottom line,
/// the running period the table's tracked row) and tells the row each
/// change concerns; a refusal is told through showMessage, a failure raised.
class WorksheetEditor
{
public:
    /// rows adds and removes the rows of cells; without one, the table alone
    /// changes. values, when given, are those kept of cells: asked whether a
    /// day owes time already instead of reading every row.
    explicit WorksheetEditor(
        CellTable &cells, std::unique_ptr<RowArrangement> rows = nullptr, const WorksheetValues *values = nullptr);
    ~WorksheetEditor();

    /// The row of the running period, or 0 when none runs or its row was
    /// deleted.
    int runningRow() const;
    /// The texts of row as the edit panel shows them.
    PeriodTexts period(int row) const;

    struct Written
    {
        int row; // where the period stands after the sort
        bool sortedAsText; // a Start did not read as a date, so the rows were sorted as texts
    };
    /// "Update": writes period into row (the running period ends now) and
    /// keeps the data rows in order of their Start. Nothing on the bottom
    /// line.
    std::optional<Written> update(int row, const PeriodTexts &period, DateTime now);
    /// "Insert": a period of no length below row, at midnight of row's end
    /// date: the row inserted.
    int insertBelow(int row, const WorkingHours &hours);
    /// "Delete" of the current row (the first one when it is marked): the
    /// row to make current then, or nothing when no data row is left.
    std::optional<int> deleteRow(int marked, int current);
    /// The stopwatch starts a period of no length from now above the bottom
    /// line: its row, the running period from then on. current is the row
    /// shown again once the start is undone.
    int start(DateTime now, const WorkingHours &hours, int current);
    /// The stopwatch stops: the running period ends now. Its row, or 0 when
    /// none was left to close.
    int stop(DateTime now);
    /// The running period's End and Time follow the clock; not a change of
    /// its own.
    void bringUpToNow(DateTime now);
    /// Replaces the rows by those load() puts in; a period still running
    /// goes on in them. current is the row shown once the reload is undone.
    void reload(const std::function<void()> &load, int current);

    /// Takes back the last change: the row it concerned, nothing when there
    /// is none.
    std::optional<int> undo();
    /// Makes the last change undone again: the row it concerns.
    std::optional<int> redo();
    WorksheetHistory &history() { return m_history; }

private:
    class Recording;

    int bottomLine() const;
    void write(int row, int column, const QString &text);
    void insertRow(int row);
    void removeRow(int row);
    void bringUpToNow(int row, DateTime now);
    void writeDuration(int row);
    void writeEmptyPeriod(int row, DateTime start, const WorkingHours &hours);
    // The row that stood at row before the data rows were sorted by Start.
    int sortByStart(int row, bool &sortedAsText);
    void placeRunningPeriod(const QStringList &period);

    CellTable &m_cells;
    std::unique_ptr<RowArrangement> m_rows;
    const WorksheetValues *m_values;
    WorksheetHistory m_history;
    WorksheetChange *m_recording = nullptr; // the change being made, when its steps are kept one by one
};
