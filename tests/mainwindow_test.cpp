#include "hypergrid.h"
#include "mainwindow.h"
#include "statusbar.h"
#include "testsupport.h"

#include <gtest/gtest.h>

TEST(MainWindow, LoadsTheWorksheetBesideItAndShowsTheTotals)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Hourbook.csv")),
        "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"\",\"\"\r\n"
        "\"02-12-98 13:00\",\"02-12-98 21:15\",\"08:15\",\"\",\"02-12-98\",\"07:24\",\"\",\"\",\"\"\r\n"
        "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    TForm1 form(dir.path());
    EXPECT_EQ(form.Grid1->RowCount(), 4);
    EXPECT_EQ(form.Grid1->Cells(7, 2), "+00:51");
    EXPECT_EQ(form.StatusBar1->PanelText(0), "01-12-98 - 02-12-98:   12:45  ");
    EXPECT_EQ(form.StatusBar1->PanelText(1), "01-12-98 - 02-12-98:  -14:48 ");
    EXPECT_EQ(form.StatusBar1->PanelText(2), "-02:03");
}

TEST(MainWindow, OverviewGridLayout)
{
    QTemporaryDir dir;
    TForm1 form(dir.path());
    const THyperGrid &grid = *form.Grid1;
    EXPECT_EQ(grid.ColCount(), 9);
    EXPECT_EQ(grid.FixedCols(), 0);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.RowHeights(0), 36);
    EXPECT_EQ(grid.DefaultRowHeight(), 18);
    const int widths[] = {90, 87, 50, 10, 87, 50, 10, 65, 193};
    for (int c = 0; c < 9; ++c)
        EXPECT_EQ(grid.ColWidths(c), widths[c]);
    EXPECT_EQ(grid.Headings().Items(0)->Caption(), "Home Worktime");
    EXPECT_EQ(grid.Headings().Items(1)->Caption(), "Nominal Worktime");
    EXPECT_EQ(grid.Headings().Items(1)->Name(), "Column 2");
    EXPECT_EQ(grid.Columns().Items(8)->Name(), "Column 9");
    EXPECT_EQ(grid.Columns().Items(4)->HeadingIndex(), 1);
    EXPECT_EQ(grid.Columns().Items(6)->TitleColor(), clSilver);
    EXPECT_EQ(grid.Columns().Items(8)->ButtonPicture().size(), QSize(20, 20));
    EXPECT_TRUE(grid.Options() & goRowSelect);
}
