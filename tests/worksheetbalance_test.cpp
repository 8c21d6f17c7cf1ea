#include "celltable.h"
#include "datetimetext.h"
#include "testsupport.h"
#include "today.h"
#include "worksheet.h"
#include "worksheetmodel.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QDateTime MondayAfternoon(QDate(2026, 12, 7), QTime(14, 5));

// The model's rows become cells, as a load makes them.
void load(WorksheetModel &model, const CellTable &cells)
{
    model.changeAll([&] { model.cells() = cells; });
}

// The running period brought up to now, as the window's minute update does.
WorksheetTotals bringUpTo(WorksheetModel &model, int row, const QDateTime &now)
{
    CellTable &cells = model.cells();
    const DateTime end = fromQDateTime(now);
    cells.setCell(EndColumn, row, formatDateTimeText(end));
    cells.setCell(TimeColumn, row, formatTimeText(std::abs(end - parseDateTime(cells.cell(StartColumn, row)))));
    return model.recalculate();
}

// What the kept numbers gave must be what a recalculation of every row gives.
void expectAsRecalculated(
    const CellTable &cells, const WorksheetTotals &totals, const WorksheetModel &balance, QDate today, const char *when)
{
    SCOPED_TRACE(when);
    CellTable fresh = cells;
    const WorksheetTotals recalculated = recalculateWorksheet(fresh);
    EXPECT_EQ(totals.home, recalculated.home);
    EXPECT_EQ(totals.nominal, recalculated.nominal);
    EXPECT_EQ(totals.difference, recalculated.difference);
    for (int row = 1; row < cells.rowCount(); ++row)
        EXPECT_EQ(cells.text(DiffColumn, row), fresh.text(DiffColumn, row)) << "row " << row;
    const Balance kept = balance.rowsOf(today);
    const Balance counted = WorksheetDays(fresh, today, today).on(today);
    EXPECT_EQ(kept.home, counted.home);
    EXPECT_EQ(kept.owed, counted.owed);
}

} // namespace

// Each case runs a period minute by minute from its start; what the totals,
// every Diff. and today's rows show after each minute is compared with a
// recalculation of every row.
TEST(WorksheetBalance, MinuteUpdatesGiveWhatARecalculationGives)
{
    const QStringList before = dataRow("06-12-26 08:00", "06-12-26 12:30", "04:30", "06-12-26", "07:24");
    const QStringList earlierToday = dataRow("07-12-26 08:00", "07-12-26 10:00", "02:00", "07-12-26", "07:24");
    struct Case
    {
        const char *name;
        std::vector<QStringList> rows;
        int running;
        QDateTime start;
        int minutes;
        bool recalculatedFirst = true;
        // Done to the rows before the given minute's update, unknown to the balance.
        std::function<void(CellTable &, int minute)> meanwhile = {};
    };
    const QDateTime lateSunday(QDate(2026, 12, 6), QTime(23, 50));
    const Case cases[] = {
        {"the last row runs past the hour", {before, earlierToday, {}}, 3, MondayAfternoon, 70},
        {"the difference turns from minus to plus",
            {before, dataRow("07-12-26 14:05", "07-12-26 14:05", "00:00", "07-12-26", " 0:30"), before}, 2,
            MondayAfternoon, 45},
        {"the first row runs: its End is named by the totals", {{}, before, earlierToday}, 1, MondayAfternoon, 3},
        {"past midnight: today has other rows", {earlierToday, before, {}}, 3, lateSunday, 20},
        {"no recalculation before", {before, {}}, 2, MondayAfternoon, 3, false},
        {"another row changes between minutes", {before, earlierToday, {}}, 3, MondayAfternoon, 6, true,
            [](CellTable &cells, int minute) {
                if (minute == 3)
                    cells.setCell(NominalTimeColumn, 1, QStringLiteral("01:00"));
            }},
        {"the running Time did not read before", {before, {}}, 2, MondayAfternoon, 3, true,
            [](CellTable &cells, int minute) {
                if (minute == 2)
                    cells.setCell(TimeColumn, 2, QStringLiteral("soon"));
            }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<QStringList> rows = c.rows;
        const QString startText = formatDateTimeText(fromQDateTime(c.start));
        rows[c.running - 1]
            = dataRow(startText, startText, QStringLiteral("00:00"), formatDateText(fromQDateTime(c.start)),
                rows[c.running - 1].value(NominalTimeColumn, QStringLiteral("07:24")));
        WorksheetModel balance;
        load(balance, worksheetCells(rows));
        CellTable &cells = balance.cells();
        if (c.recalculatedFirst)
            balance.recalculate();
        for (int minute = 1; minute <= c.minutes; ++minute) {
            if (c.meanwhile)
                c.meanwhile(cells, minute);
            const QDateTime now = c.start.addSecs(60 * minute);
            const WorksheetTotals totals = bringUpTo(balance, c.running, now);
            expectAsRecalculated(cells, totals, balance, now.date(), qPrintable(now.toString()));
        }
        EXPECT_EQ(tryReadMinutes(cells.cell(TimeColumn, c.running)), c.minutes);
    }
}

// Any change of the rows since the numbers were kept makes today's rows count afresh.
TEST(WorksheetBalance, TodaysRowsAreCountedAfreshOnceTheRowsChangedOrTheDayDid)
{
    WorksheetModel balance;
    load(balance,
        worksheetCells({
            dataRow("07-12-26 08:00", "07-12-26 10:00", "02:00", "07-12-26", "07:24"),
            dataRow("08-12-26 08:00", "08-12-26 09:00", "01:00", "08-12-26", "07:00"),
        }));
    CellTable &cells = balance.cells();
    const QDate monday = MondayAfternoon.date();
    balance.recalculate();
    EXPECT_EQ(balance.rowsOf(monday), (Balance {120, 444}));
    EXPECT_EQ(balance.rowsOf(monday.addDays(1)), (Balance {60, 420}));
    cells.setCell(TimeColumn, 1, QStringLiteral("03:00"));
    EXPECT_EQ(balance.rowsOf(monday), (Balance {180, 444}));
}
