#include "celltable.h"
#include "errors.h"
#include "testsupport.h"
#include "worksheet.h"
#include "worksheettotals.h"

#include <gtest/gtest.h>

namespace {

// A worksheet with a title row, the given data rows and the bottom line.
CellTable worksheet(const std::vector<QStringList> &rows)
{
    CellTable cells;
    cells.resize(WorksheetColumnCount, int(rows.size()) + 2);
    for (size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            cells.setCell(c, int(r) + 1, rows[r][c]);
    return cells;
}

QStringList row(const QString &start, const QString &end, const QString &time, const QString &date, const QString &owed)
{
    return {start, end, time, "", date, owed, "", "", ""};
}

const std::vector<QStringList> WorkedExample = {
    row("01-12-98 08:00", "01-12-98 12:30", "04:30", "01-12-98", "07:24"),
    row("02-12-98 13:00", "02-12-98 21:15", "08:15", "02-12-98", "07:24"),
};

} // namespace

TEST(Recalculation, WorkedExample)
{
    CellTable cells = worksheet(WorkedExample);
    const WorksheetTotals totals = recalculateWorksheet(cells);
    EXPECT_EQ(cells.text(DiffColumn, 1), "-02:54");
    EXPECT_EQ(cells.text(DiffColumn, 2), "+00:51");
    EXPECT_EQ(totals.home, "01-12-98 - 02-12-98:   12:45  ");
    EXPECT_EQ(totals.nominal, "01-12-98 - 02-12-98:  -14:48 ");
    EXPECT_EQ(totals.difference, "-02:03");
    EXPECT_EQ(cells.text(DiffColumn, 3), ""); // the bottom line stays empty

    const WorksheetTotals again = recalculateWorksheet(cells);
    EXPECT_EQ(again.home, totals.home);
    EXPECT_EQ(cells.text(DiffColumn, 1), "-02:54");
}

TEST(Recalculation, EmptyWorksheet)
{
    CellTable cells = worksheet({});
    const WorksheetTotals totals = recalculateWorksheet(cells);
    EXPECT_EQ(totals.home, " - :   00:00  ");
    EXPECT_EQ(totals.nominal, " - :  -00:00 ");
    EXPECT_EQ(totals.difference, "+00:00");
}

TEST(Recalculation, SignsAndLargeTotals)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < 25; ++i) // 25 × 4 hours = 100 hours against 25 × 4 hours
        rows.push_back(row("01-12-98 08:00", "01-12-98 12:00", "04:00", "01-12-98", " 4:00"));
    CellTable cells = worksheet(rows);
    const WorksheetTotals totals = recalculateWorksheet(cells);
    EXPECT_EQ(cells.text(DiffColumn, 1), "+00:00"); // equal rows get a plus
    EXPECT_EQ(totals.home, "01-12-98 - 01-12-98:   100:00  ");
    EXPECT_EQ(totals.nominal, "01-12-98 - 01-12-98:  -100:00 ");
    EXPECT_EQ(totals.difference, "+00:00");
}

TEST(Recalculation, DatesComeFromTheFirstAndLastRowsInGridOrder)
{
    CellTable cells = worksheet({
        row("05-12-98 08:00", "05-12-98 09:00", "01:00", "06-12-98", "00:00"),
        row("01-12-98 08:00", "no-blank-at-all", "01:00", "07-12-98", "00:00"),
    });
    const WorksheetTotals totals = recalculateWorksheet(cells);
    EXPECT_EQ(totals.home, "05-12-98 - :   02:00  ");
    EXPECT_EQ(totals.nominal, "06-12-98 - 07-12-98:  -00:00 ");
}

TEST(Recalculation, BadTimeStopsAtItsRowAndKeepsTheRest)
{
    CellTable cells = worksheet({
        row("01-12-98 08:00", "01-12-98 12:30", "04:30", "01-12-98", "07:24"),
        row("02-12-98 08:00", "02-12-98 12:30", "24:00", "02-12-98", "07:24"),
        row("03-12-98 08:00", "03-12-98 12:30", "04:30", "03-12-98", "07:24"),
    });
    cells.setCell(DiffColumn, 3, u"old");
    EXPECT_EQ(messageOf<ConversionError>([&] { recalculateWorksheet(cells); }), "'24:00' is not a valid time");
    EXPECT_EQ(cells.text(DiffColumn, 1), "-02:54");
    EXPECT_EQ(cells.text(DiffColumn, 3), "old");
}

TEST(Recalculation, JudgesOnlyTheFirstTenCharacters)
{
    CellTable cells = worksheet({row("", "", "     04:30 and more", "", "04:30")});
    const WorksheetTotals totals = recalculateWorksheet(cells);
    EXPECT_EQ(cells.text(DiffColumn, 1), "+00:00");
    EXPECT_EQ(totals.difference, "+00:00");
}

TEST(Recalculation, NeedsPlainHoursAndMinutes)
{
    CellTable seconds = worksheet({row("", "", "04:30", "", "01:23:45")});
    EXPECT_EQ(
        messageOf<ConversionError>([&] { recalculateWorksheet(seconds); }), "'23:45' is not a valid integer value");
    CellTable empty = worksheet({row("", "", "", "", "00:00")});
    EXPECT_EQ(messageOf<ConversionError>([&] { recalculateWorksheet(empty); }), "'' is not a valid time");
}
