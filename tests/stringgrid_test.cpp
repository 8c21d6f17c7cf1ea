#include "hypergrid.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QScrollBar>
#include <QTest>

namespace {

// A shown grid that selects whole rows, as the worksheet's Overview does.
struct RowGrid
{
    THyperGrid grid;
    int clicks = 0;

    explicit RowGrid(int rows = 20)
    {
        grid.setColCount(3);
        grid.setRowCount(rows);
        grid.setFixedCols(0);
        grid.setDefaultRowHeight(18);
        grid.setOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect
            | goDrawFocusSelected | goRowSelect);
        for (int r = 1; r < rows && r < 100; ++r)
            grid.setCells(0, r, QString::number(r));
        grid.OnClick = [this](TStringGrid *) { ++clicks; };
        grid.resize(300, 200);
        grid.show();
    }

    QPoint centre(int col, int row) const { return grid.CellRect(col, row).center(); }
};

} // namespace

TEST(GridSelection, MouseClickSelectsTheWholeRow)
{
    RowGrid g;
    QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, {}, g.centre(0, 3));
    EXPECT_EQ(g.grid.Row(), 3);
    EXPECT_EQ(g.grid.Selection(), (CellRange {0, 3, 2, 3}));
    EXPECT_EQ(g.clicks, 1);

    QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, g.centre(1, 5));
    EXPECT_EQ(g.grid.Selection(), (CellRange {0, 3, 2, 5}));
    EXPECT_EQ(g.grid.Row(), 5);

    // A click on the title row changes nothing.
    QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, {}, g.centre(1, 0));
    EXPECT_EQ(g.grid.Row(), 5);
    EXPECT_EQ(g.clicks, 2);
}

TEST(GridSelection, KeysMoveTheCurrentRowAndNotify)
{
    RowGrid g;
    g.grid.setFocus();
    QTest::keyClick(&g.grid, Qt::Key_Down);
    QTest::keyClick(&g.grid, Qt::Key_Down);
    EXPECT_EQ(g.grid.Row(), 3);
    EXPECT_EQ(g.clicks, 2);
    QTest::keyClick(&g.grid, Qt::Key_End);
    EXPECT_EQ(g.grid.Row(), 19);
    QTest::keyClick(&g.grid, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(g.grid.Selection(), (CellRange {0, 18, 2, 19}));
    QTest::keyClick(&g.grid, Qt::Key_Home);
    EXPECT_EQ(g.grid.Row(), 1);
    EXPECT_EQ(g.clicks, 5);
    QTest::keyClick(&g.grid, Qt::Key_Up); // already at the first data row: no notification
    EXPECT_EQ(g.clicks, 5);
}

TEST(GridSelection, ProgramMovesNotifyOnlyThroughTheCurrentRow)
{
    RowGrid g;
    g.grid.setRow(4);
    EXPECT_EQ(g.clicks, 1);
    g.grid.setRow(4);
    EXPECT_EQ(g.clicks, 1);
    g.grid.setSelection({0, 7, 2, 7});
    EXPECT_EQ(g.grid.Row(), 7);
    EXPECT_EQ(g.clicks, 1);
}

TEST(GridSelection, SelectCellCanRefuseAMove)
{
    RowGrid g;
    g.grid.OnSelectCell = [](TStringGrid *, int, int row, bool &can) { can = row != 2; };
    g.grid.setRow(2);
    EXPECT_EQ(g.grid.Row(), 1);
    QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, {}, g.centre(0, 2));
    EXPECT_EQ(g.grid.Row(), 1);
}

TEST(GridScrolling, AMillionRowsScrollByRowsAndShowOnlyTheVisibleOnes)
{
    RowGrid g(1000000);
    EXPECT_EQ(g.grid.verticalScrollBar()->maximum(), 1000000 - 1 - g.grid.VisibleRowCount());
    g.grid.setTopRow(g.grid.RowCount() - 1); // past the end: the last page shows
    EXPECT_EQ(g.grid.TopRow(), g.grid.RowCount() - g.grid.VisibleRowCount());
    EXPECT_FALSE(g.grid.CellRect(0, g.grid.RowCount() - 1).isEmpty());
    EXPECT_TRUE(g.grid.CellRect(0, 1).isEmpty());

    g.grid.setRow(500000);
    const QRect shown = g.grid.CellRect(0, 500000);
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_LE(shown.bottom(), g.grid.viewport()->height());
    g.grid.verticalScrollBar()->setValue(10);
    EXPECT_EQ(g.grid.TopRow(), 11);
}

TEST(GridPainting, HighlightsTheSelectedRow)
{
    RowGrid g;
    g.grid.Columns().Items(0)->setColumnColor(clAqua);
    g.grid.setSelection({0, 2, 2, 2});
    const QImage image = g.grid.viewport()->grab().toImage();
    const QRect selected = g.grid.CellRect(0, 2);
    const QRect plain = g.grid.CellRect(0, 4);
    EXPECT_EQ(image.pixelColor(selected.right() - 1, selected.top() + 1), toQColor(clHighlight));
    EXPECT_EQ(image.pixelColor(plain.right() - 1, plain.top() + 1), toQColor(clAqua));
}
