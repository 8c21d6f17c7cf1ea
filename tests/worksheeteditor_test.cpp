#include "celltable.h"
#include "clocksource.h"
#include "datetimetext.h"
#include "errors.h"
#include "testsupport.h"
#include "workinghours.h"
#include "worksheet.h"
#include "worksheeteditor.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

const QDateTime MondayAfternoon(QDate(2026, 12, 7), QTime(14, 5));

DateTime at(const char *text)
{
    return parseDateTime(QString::fromLatin1(text));
}

QStringList morning(int day, const QString &note = {})
{
    const QString date = QStringLiteral("%1-12-26").arg(day, 2, 10, QLatin1Char('0'));
    QStringList row = dataRow(date + " 08:00", date + " 12:30", "04:30", date, "07:24");
    row[NotesColumn] = note;
    return row;
}

// Four mornings, 01 to 04 December, noted "one" to "four".
CellTable fourMornings()
{
    return worksheetCells({morning(1, "one"), morning(2, "two"), morning(3, "three"), morning(4, "four")});
}

PeriodTexts typed(const char *start, const char *end, const char *nominalDate = "02-12-26",
    const char *nominalTime = "07:24", const char *note = "typed")
{
    const auto [startDate, startTime] = splitAtBlank(QString::fromLatin1(start));
    const auto [endDate, endTime] = splitAtBlank(QString::fromLatin1(end));
    return {startDate, startTime, endDate, endTime, QString::fromLatin1(nominalDate), QString::fromLatin1(nominalTime),
        QString::fromLatin1(note)};
}

// Every row's texts in order, and which of them is the running period.
struct Rows
{
    std::vector<QStringList> texts;
    int tracked;

    explicit Rows(const CellTable &cells)
        : tracked(cells.trackedRow())
    {
        for (int row = 0; row < cells.rowCount(); ++row)
            texts.push_back(cells.rowTexts(row));
    }
    bool operator==(const Rows &) const = default;
};

void PrintTo(const Rows &rows, std::ostream *out)
{
    for (const QStringList &row : rows.texts)
        *out << row.join(u'|').toStdString() << '\n';
    *out << "tracked " << rows.tracked;
}

struct Editing
{
    FixedClock clock {MondayAfternoon};
    MessageRecorder messages;
    CellTable cells;
    WorksheetEditor editor {cells};

    explicit Editing(CellTable rows = fourMornings())
        : cells(std::move(rows))
    { }
};

} // namespace

TEST(WorksheetEditor, CheckPeriodTakesOnlyAPeriodThatReadsAndRunsForwardForLessThanADay)
{
    struct Case
    {
        const char *start, *end, *nominalDate, *nominalTime;
        const char *message; // empty when the period is taken
    };
    const Case cases[] = {
        {"31-11-26 08:00", "01-12-26 12:30", "01-12-26", "07:24", "'31-11-26 08:00' is not a valid date and time"},
        {"01-12-26 08:00", "01-12-26 25:00", "01-12-26", "07:24", "'01-12-26 25:00' is not a valid date and time"},
        {"01-12-26 08:00", "01-12-26 12:30", "31-02-26", "07:24", "'31-02-26' is not a valid date"},
        {"01-12-26 08:00", "01-12-26 12:30", "01-12-26", " 7:  ", "' 7:  ' is not a valid time"},
        {"01-12-26 08:00", "01-12-26 07:59", "01-12-26", "07:24", "The period ends before it starts."},
        {"01-12-26 08:00", "02-12-26 08:00", "01-12-26", "07:24", "A period must be shorter than 24 hours."},
        {"01-12-26 08:00", "02-12-26 07:59", "01-12-26", "07:24", ""},
        {"01-12-26 08:00", "01-12-26 08:00", "01-12-26", "07:24", ""}, // no length, as the stopwatch makes
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.start + std::string(" ") + c.end);
        const auto check = [&] { checkPeriod(c.start, c.end, c.nominalDate, c.nominalTime); };
        if (*c.message)
            EXPECT_EQ(messageOf<WorktallyError>(check), c.message);
        else
            EXPECT_NO_THROW(check());
    }
}

TEST(WorksheetEditor, UpdateWritesThePeriodSortsTheRowsAndTellsWhereItWent)
{
    Editing e;
    std::optional<WorksheetEditor::Written> written
        = e.editor.update(3, typed("30-11-26 09:00", "30-11-26 17:15", "30-11-26", " 8:00"), at("07-12-26 14:05"));
    ASSERT_TRUE(written);
    EXPECT_EQ(written->row, 1);
    EXPECT_FALSE(written->sortedAsText);
    EXPECT_EQ(e.cells.rowTexts(1),
        QStringList({"30-11-26 09:00", "30-11-26 17:15", "08:15", "", "30-11-26", " 8:00", "", "", "typed"}));
    EXPECT_EQ(e.cells.text(NotesColumn, 2), "one");
    EXPECT_EQ(e.cells.text(NotesColumn, 3), "two");
    EXPECT_EQ(e.cells.text(NotesColumn, 4), "four");
    EXPECT_TRUE(e.messages.texts.isEmpty());

    // The running period ends now, whatever End was typed.
    e.cells.setTrackedRow(4);
    written = e.editor.update(4, typed("04-12-26 13:00", "04-12-26 13:00"), at("04-12-26 14:05"));
    EXPECT_EQ(e.cells.rowTexts(4).mid(0, 3), QStringList({"04-12-26 13:00", "04-12-26 14:05", "01:05"}));
    EXPECT_EQ(e.cells.trackedRow(), 4);

    // A Start that is no date: the rows are sorted as texts.
    e.cells.setCell(StartColumn, 2, u"sometime");
    written = e.editor.update(1, typed("03-12-26 08:00", "03-12-26 09:00"), at("07-12-26 14:05"));
    EXPECT_TRUE(written->sortedAsText);
    EXPECT_EQ(e.cells.text(StartColumn, 4), "sometime");
}

TEST(WorksheetEditor, UpdateRefusesTheBottomLineAndWritesNothingThatIsNoPeriod)
{
    Editing e;
    const Rows before(e.cells);
    EXPECT_FALSE(e.editor.update(5, typed("05-12-26 08:00", "05-12-26 09:00"), at("07-12-26 14:05")));
    EXPECT_EQ(e.messages.texts, QStringList({"You can't edit this line"}));
    EXPECT_THROW(e.editor.update(2, typed("02-12-26 09:00", "02-12-26 08:00"), at("07-12-26 14:05")), WorktallyError);
    EXPECT_EQ(Rows(e.cells), before);
    EXPECT_FALSE(e.editor.history().canUndo());
}

TEST(WorksheetEditor, InsertPutsAMidnightPeriodBelowTheRowOwingTheDaysHoursOnce)
{
    Editing e;
    WorkingHours hours;
    hours.setMinutes(6, 6 * 60); // 05-12-26 is a Saturday
    e.cells.setCell(EndColumn, 4, u"05-12-26 01:00");
    EXPECT_EQ(e.editor.insertBelow(4, hours), 5);
    EXPECT_EQ(e.cells.rowTexts(5),
        QStringList({"05-12-26 00:00", "05-12-26 00:00", "00:00", "", "05-12-26", "06:00", "", "00:00", ""}));
    EXPECT_EQ(e.editor.insertBelow(4, hours), 5);
    EXPECT_EQ(e.cells.text(NominalTimeColumn, 5), "00:00"); // the day owes its hours already
    EXPECT_EQ(e.cells.rowCount(), 8);
    EXPECT_TRUE(isEmptyRow(e.cells, 7));
}

TEST(WorksheetEditor, InsertOnTheBottomLineIsRefusedAndBelowABadEndLeavesTheRowEmpty)
{
    Editing e;
    EXPECT_EQ(messageOf<WorktallyError>([&] { e.editor.insertBelow(5, WorkingHours()); }), "Cannot insert row 6");
    EXPECT_EQ(e.cells.rowCount(), 6);

    e.cells.setCell(EndColumn, 2, u"sometime later");
    const Rows before(e.cells);
    EXPECT_EQ(messageOf<WorktallyError>([&] { e.editor.insertBelow(2, WorkingHours()); }),
        "'sometime 00:00' is not a valid date and time");
    EXPECT_EQ(e.cells.rowCount(), 7);
    EXPECT_TRUE(isEmptyRow(e.cells, 3));
    // What was done is undone as one change.
    EXPECT_EQ(e.editor.undo(), 2);
    EXPECT_EQ(Rows(e.cells), before);
}

TEST(WorksheetEditor, DeleteTakesTheCurrentRowOrTheFirstAndKeepsABottomLine)
{
    Editing e;
    EXPECT_EQ(e.editor.deleteRow(1, 3), 1); // the first row marked: it goes, whichever is current
    EXPECT_EQ(e.cells.text(NotesColumn, 1), "two");
    EXPECT_EQ(e.editor.deleteRow(2, 3), 1); // a range: the current row goes
    EXPECT_EQ(e.cells.text(NotesColumn, 2), "three");
    EXPECT_EQ(e.cells.rowCount(), 4);
    EXPECT_TRUE(e.messages.texts.isEmpty());

    // The bottom line: the message, and a fresh one.
    EXPECT_EQ(e.editor.deleteRow(3, 3), 2);
    EXPECT_EQ(e.messages.texts, QStringList({"The empty bottomline cannot be deleted !"}));
    EXPECT_EQ(e.cells.rowCount(), 4);
    EXPECT_TRUE(isEmptyRow(e.cells, 3));
    EXPECT_EQ(e.cells.text(NotesColumn, 2), "three");

    e.editor.deleteRow(1, 1);
    e.editor.deleteRow(1, 1);
    EXPECT_EQ(e.cells.rowCount(), 2);
    EXPECT_FALSE(e.editor.deleteRow(1, 1)); // the bottom line alone
    EXPECT_EQ(e.messages.texts.size(), 2);
    EXPECT_EQ(e.cells.rowCount(), 2);
}

TEST(WorksheetEditor, TheStopwatchStartsAPeriodAboveTheBottomLineAndStopsItWhereverItMoved)
{
    Editing e;
    WorkingHours hours;
    hours.setMinutes(1, 7 * 60 + 24);
    EXPECT_EQ(e.editor.start(at("07-12-26 14:05"), hours, 4), 5);
    EXPECT_EQ(e.editor.runningRow(), 5);
    EXPECT_EQ(e.cells.rowTexts(5),
        QStringList({"07-12-26 14:05", "07-12-26 14:05", "00:00", "", "07-12-26", "07:24", "", "00:00", ""}));
    EXPECT_TRUE(isEmptyRow(e.cells, 6));

    e.editor.update(1, typed("08-12-26 08:00", "08-12-26 09:00"), at("07-12-26 15:00")); // sorted below it
    ASSERT_EQ(e.editor.runningRow(), 4);
    e.editor.bringUpToNow(at("07-12-26 15:30"));
    EXPECT_EQ(e.cells.rowTexts(4).mid(0, 3), QStringList({"07-12-26 14:05", "07-12-26 15:30", "01:25"}));
    EXPECT_EQ(e.editor.stop(at("07-12-26 16:52")), 4);
    EXPECT_EQ(e.cells.rowTexts(4).mid(0, 3), QStringList({"07-12-26 14:05", "07-12-26 16:52", "02:47"}));
    EXPECT_EQ(e.editor.runningRow(), 0);

    // Its row deleted while it ran: nothing to close.
    e.editor.start(at("07-12-26 17:00"), hours, 5);
    e.editor.deleteRow(6, 6);
    const Rows before(e.cells);
    EXPECT_EQ(e.editor.stop(at("07-12-26 18:00")), 0);
    EXPECT_EQ(Rows(e.cells), before);
}

TEST(WorksheetEditor, ReloadKeepsTheRunningPeriodInTheLastRowWithItsStartOrWhereItsStartBelongs)
{
    const QStringList running = dataRow("03-12-26 14:05", "03-12-26 14:20", "00:15", "03-12-26", "00:00");
    struct Case
    {
        const char *name;
        std::vector<QStringList> file;
        int row; // where the running period goes on
        int rowCount;
    };
    QStringList copy = running;
    copy[NotesColumn] = "copy";
    const Case cases[] = {
        {"in the file", {morning(1), morning(2), running}, 3, 5},
        {"twice in the file", {morning(1), running, copy}, 3, 5},
        {"not in the file", {morning(1), morning(2), morning(4, "later")}, 3, 6},
        {"not in a file of earlier periods", {morning(1), morning(2)}, 3, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Editing e(worksheetCells({morning(1), running}));
        e.cells.setTrackedRow(2);
        e.editor.reload([&] { e.cells = worksheetCells(c.file); }, 1);
        EXPECT_EQ(e.editor.runningRow(), c.row);
        EXPECT_EQ(e.cells.rowCount(), c.rowCount);
        EXPECT_EQ(e.cells.rowTexts(c.row).mid(0, 3), running.mid(0, 3));
    }
}

// Each change, undone, gives back every row's texts in their order and the
// running period; redone, what the change made.
TEST(WorksheetEditor, EveryChangeIsUndoneAndRedoneExactly)
{
    WorkingHours hours;
    hours.setMinutes(1, 7 * 60 + 24);
    // Out of order, as a file edited elsewhere may be: Update sorts them all.
    // Row 4 is the running period, unless the case starts one.
    const CellTable unsorted = worksheetCells({morning(3, "three"), morning(1, "one"), morning(4, "four"),
        dataRow("07-12-26 14:05", "07-12-26 14:05", "00:00", "07-12-26", "00:00"), morning(2, "two")});
    using Change = std::function<std::optional<int>(WorksheetEditor &, CellTable &)>;
    struct Case
    {
        const char *name;
        bool running;
        Change change; // the row it concerns
        int rowBefore; // the row concerned once it is undone
    };
    const DateTime now = at("07-12-26 15:00");
    const Case cases[] = {
        {"update", true,
            [&](WorksheetEditor &editor, CellTable &) {
                return std::optional(editor.update(2, typed("06-12-26 09:00", "06-12-26 10:00"), now)->row);
            },
            2},
        {"update of the running period", true,
            [&](WorksheetEditor &editor, CellTable &) {
                return std::optional(editor.update(4, typed("07-12-26 13:00", "07-12-26 13:00"), now)->row);
            },
            4},
        {"insert", true,
            [&](WorksheetEditor &editor, CellTable &) { return std::optional(editor.insertBelow(3, hours)); }, 3},
        {"delete", true, [](WorksheetEditor &editor, CellTable &) { return editor.deleteRow(2, 2); }, 2},
        {"delete of the running period", true,
            [](WorksheetEditor &editor, CellTable &) { return editor.deleteRow(4, 4); }, 4},
        {"start", false,
            [&](WorksheetEditor &editor, CellTable &) { return std::optional(editor.start(now, hours, 2)); }, 2},
        {"stop", true, [&](WorksheetEditor &editor, CellTable &) { return std::optional(editor.stop(now)); }, 4},
        {"reload", true,
            [](WorksheetEditor &editor, CellTable &cells) {
                editor.reload([&] { cells = worksheetCells({morning(5, "from disk")}); }, 2);
                return std::optional(2);
            },
            2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Editing e(unsorted);
        e.cells.setTrackedRow(c.running ? 4 : -1);
        const Rows before(e.cells);
        const std::optional<int> concerned = c.change(e.editor, e.cells);
        const Rows after(e.cells);
        ASSERT_NE(after, before);

        EXPECT_EQ(e.editor.undo(), c.rowBefore);
        EXPECT_EQ(Rows(e.cells), before);
        EXPECT_FALSE(e.editor.undo()); // nothing more
        EXPECT_EQ(e.editor.redo(), concerned);
        EXPECT_EQ(Rows(e.cells), after);
        EXPECT_FALSE(e.editor.redo());
        e.editor.undo();
        EXPECT_EQ(Rows(e.cells), before);
    }
}

TEST(WorksheetEditor, ChangesAreUndoneLastFirstAndANewChangeDropsThoseUndone)
{
    Editing e;
    const Rows start(e.cells);
    e.editor.update(1, typed("01-12-26 09:00", "01-12-26 10:00"), at("07-12-26 15:00"));
    const Rows updated(e.cells);
    e.editor.deleteRow(2, 2);
    const Rows deleted(e.cells);
    e.editor.start(at("07-12-26 15:00"), WorkingHours(), 2);

    e.editor.undo();
    EXPECT_EQ(Rows(e.cells), deleted);
    e.editor.undo();
    EXPECT_EQ(Rows(e.cells), updated);
    EXPECT_TRUE(e.editor.history().canRedo());

    e.editor.insertBelow(1, WorkingHours()); // the delete and the start are gone for good
    const Rows inserted(e.cells);
    EXPECT_FALSE(e.editor.history().canRedo());
    EXPECT_FALSE(e.editor.redo());
    e.editor.undo();
    EXPECT_EQ(Rows(e.cells), updated);
    e.editor.undo();
    EXPECT_EQ(Rows(e.cells), start);
    EXPECT_FALSE(e.editor.history().canUndo());
    e.editor.redo();
    e.editor.redo();
    EXPECT_EQ(Rows(e.cells), inserted);
}

// The window's rows are changed through the grid, which keeps something of
// its own for each row (its height): it must hear of every row that comes,
// goes or moves, in a change and in its undo.
TEST(WorksheetEditor, RowsComeGoAndMoveThroughTheArrangementGiven)
{
    // Keeps each row's note beside the table, as a grid keeps its heights.
    struct NotedRows : RowArrangement
    {
        explicit NotedRows(CellTable &cells)
            : RowArrangement(cells)
        {
            for (int row = 0; row < cells.rowCount(); ++row)
                notes.push_back(cells.text(NotesColumn, row));
        }
        std::vector<QString> notes;

        void insertRow(int row) override
        {
            RowArrangement::insertRow(row);
            notes.insert(notes.begin() + row, QString());
        }
        void removeRow(int row) override
        {
            RowArrangement::removeRow(row);
            notes.erase(notes.begin() + row);
        }
        void permuteRows(int first, const std::vector<int> &order) override
        {
            RowArrangement::permuteRows(first, order);
            permuteItems(notes, first, order);
        }
        void resize(int columns, int rows) override
        {
            RowArrangement::resize(columns, rows);
            notes.resize(rows);
        }
        // Each row kept stands beside its own row.
        bool followTheRows() const
        {
            if (int(notes.size()) != m_cells.rowCount())
                return false;
            for (int row = 0; row < m_cells.rowCount(); ++row) {
                if (!notes[row].isEmpty() && notes[row] != m_cells.text(NotesColumn, row))
                    return false;
            }
            return true;
        }
    };
    CellTable cells = fourMornings();
    auto noted = std::make_unique<NotedRows>(cells);
    NotedRows &rows = *noted;
    WorksheetEditor editor(cells, std::move(noted));
    const Rows start(cells);
    const DateTime now = at("07-12-26 15:00");
    const std::function<void()> changes[] = {
        [&] { editor.update(1, typed("05-12-26 09:00", "05-12-26 10:00", "05-12-26", "07:24", "one"), now); },
        [&] { editor.insertBelow(1, WorkingHours()); },
        [&] { editor.deleteRow(1, 1); },
        [&] { editor.start(now, WorkingHours(), 1); },
        [&] { editor.reload([&] { rows.resize(WorksheetColumnCount, 2); }, 1); },
    };
    for (const auto &change : changes) {
        change();
        EXPECT_TRUE(rows.followTheRows());
    }
    while (editor.undo())
        EXPECT_TRUE(rows.followTheRows());
    EXPECT_EQ(Rows(cells), start);
    while (editor.redo())
        EXPECT_TRUE(rows.followTheRows());
}
