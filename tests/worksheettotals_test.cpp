#include "celltable.h"
#include "errors.h"
#include "testsupport.h"
#include "worksheet.h"
#include "worksheettotals.h"

#include <gtest/gtest.h>

namespace {

const std::vector<QStringList> WorkedExample = {
    dataRow("01-12-98 08:00", "01-12-98 12:30", "04:30", "01-12-98", "07:24"),
    dataRow("02-12-98 13:00", "02-12-98 21:15", "08:15", "02-12-98", "07:24"),
};

} // namespace

TEST(Recalculation, WorkedExample)
{
    CellTable cells = worksheetCells(WorkedExample);
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
    CellTable cells = worksheetCells({});
    const WorksheetTotals totals = recalculateWorksheet(cells);
    EXPECT_EQ(totals.home, " - :   00:00  ");
    EXPECT_EQ(totals.nominal, " - :  -00:00 ");
    EXPECT_EQ(totals.difference, "+00:00");
}

TEST(Recalculation, SignsAndLargeTotals)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < 25; ++i) // 25 × 4 hours = 100 hours against 25 × 4 hours
        rows.push_back(dataRow("01-12-98 08:00", "01-12-98 12:00", "04:00", "01-12-98", " 4:00"));
    CellTable cells = worksheetCells(rows);
    const WorksheetTotals totals = recalculateWorksheet(cells);
    EXPECT_EQ(cells.text(DiffColumn, 1), "+00:00"); // equal rows get a plus
    EXPECT_EQ(totals.home, "01-12-98 - 01-12-98:   100:00  ");
    EXPECT_EQ(totals.nominal, "01-12-98 - 01-12-98:  -100:00 ");
    EXPECT_EQ(totals.difference, "+00:00");
}

TEST(Recalculation, DatesComeFromTheFirstAndLastRowsInGridOrder)
{
    CellTable cells = worksheetCells({
        dataRow("05-12-98 08:00", "05-12-98 09:00", "01:00", "06-12-98", "00:00"),
        dataRow("01-12-98 08:00", "no-blank-at-all", "01:00", "07-12-98", "00:00"),
    });
    const WorksheetTotals totals = recalculateWorksheet(cells);
    EXPECT_EQ(totals.home, "05-12-98 - :   02:00  ");
    EXPECT_EQ(totals.nominal, "06-12-98 - 07-12-98:  -00:00 ");
}

TEST(Recalculation, BadTimeStopsAtItsRowAndKeepsTheRest)
{
    CellTable cells = worksheetCells({
        dataRow("01-12-98 08:00", "01-12-98 12:30", "04:30", "01-12-98", "07:24"),
        dataRow("02-12-98 08:00", "02-12-98 12:30", "24:00", "02-12-98", "07:24"),
        dataRow("03-12-98 08:00", "03-12-98 12:30", "04:30", "03-12-98", "07:24"),
    });
    cells.setCell(DiffColumn, 3, u"old");
    EXPECT_EQ(messageOf<ConversionError>([&] { recalculateWorksheet(cells); }), "'24:00' is not a valid time");
    EXPECT_EQ(cells.text(DiffColumn, 1), "-02:54");
    EXPECT_EQ(cells.text(DiffColumn, 3), "old");
}

TEST(Recalculation, JudgesOnlyTheFirstTenCharacters)
{
    CellTable cells = worksheetCells({dataRow("", "", "     04:30 and more", "", "04:30")});
    const WorksheetTotals totals = recalculateWorksheet(cells);
    EXPECT_EQ(cells.text(DiffColumn, 1), "+00:00");
    EXPECT_EQ(totals.difference, "+00:00");
}

TEST(Recalculation, NeedsPlainHoursAndMinutes)
{
    CellTable seconds = worksheetCells({dataRow("", "", "04:30", "", "01:23:45")});
    EXPECT_EQ(
        messageOf<ConversionError>([&] { recalculateWorksheet(seconds); }), "'23:45' is not a valid integer value");
    CellTable empty = worksheetCells({dataRow("", "", "", "", "00:00")});
    EXPECT_EQ(messageOf<ConversionError>([&] { recalculateWorksheet(empty); }), "'' is not a valid time");
}

// Loading drops rows that hold nothing, but one left in the middle must not
// stop the recalculation.
TEST(Recalculation, PassesOverARowThatHoldsNothing)
{
    CellTable cells = worksheetCells({WorkedExample[0], QStringList(9, QString()), WorkedExample[1]});
    const WorksheetTotals totals = recalculateWorksheet(cells);
    EXPECT_EQ(cells.text(DiffColumn, 1), "-02:54");
    EXPECT_EQ(cells.text(DiffColumn, 2), "");
    EXPECT_EQ(cells.text(DiffColumn, 3), "+00:51");
    EXPECT_EQ(totals.difference, "-02:03");
}
