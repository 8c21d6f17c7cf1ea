#include "editinggrid.h"
#include "hghintwindow.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QScreen>
#include <QTest>

TEST(HintWindow, PlacementPullsTheHintBackOntoTheScreen)
{
    const QRect screen(0, 0, 800, 600);
    const QSize size(120, 30);
    EXPECT_EQ(ThgHintWindow::placement({100, 100}, size, screen), QPoint(100, 100));
    EXPECT_EQ(ThgHintWindow::placement({750, 100}, size, screen), QPoint(680, 100));
    EXPECT_EQ(ThgHintWindow::placement({100, 590}, size, screen), QPoint(100, 570));
    EXPECT_EQ(ThgHintWindow::placement({-20, -5}, size, screen), QPoint(0, 0));
    // Larger than the screen: the left and top edges win.
    EXPECT_EQ(ThgHintWindow::placement({10, 10}, QSize(900, 700), screen), QPoint(0, 0));
    // Where the screen is unknown (the compositor keeps it on screen): where wanted.
    EXPECT_EQ(ThgHintWindow::placement({-20, 590}, size, QRect()), QPoint(-20, 590));
}

TEST(HintWindow, ActivatedHintLiesWhollyOnScreenSizedToItsText)
{
    QWidget owner;
    ThgHintWindow hint(&owner);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QString text = QStringLiteral("Near the corner");
    hint.ActivateHint(QRect(screen.bottomRight() - QPoint(5, 5), QSize()), text);
    EXPECT_TRUE(hint.isVisible());
    EXPECT_GE(hint.width(), hint.fontMetrics().horizontalAdvance(text) + 8);
    EXPECT_EQ(hint.height(), hint.fontMetrics().height() + 6);
    EXPECT_TRUE(screen.contains(hint.geometry()));
    EXPECT_EQ(hint.geometry().bottomRight(), screen.bottomRight());

    hint.ActivateHint(QRect(-50, -50, 0, 0), text);
    EXPECT_EQ(hint.pos(), screen.topLeft());
    const QImage image = hint.grab().toImage();
    EXPECT_EQ(image.pixelColor(hint.width() / 2, hint.height() - 2), toQColor(clInfoBk));
}

namespace {

// Hints follow the current cell; OnShowCellHint names the cell.
struct HintGrid : EditingGrid
{
    QPoint offeredAt;

    HintGrid()
    {
        grid.setHintFollowsMouse(false);
        grid.OnShowCellHint = [this](THgHintGrid *, int col, int row, QString &hint, QPoint &topLeft) {
            offeredAt = topLeft;
            if (col != 3)
                hint = QStringLiteral("Cell %1,%2").arg(col).arg(row);
        };
    }

    bool hintShown() const { return grid.HintWindow() && grid.HintWindow()->isVisible(); }
};

} // namespace

TEST(CellHints, HintShowsAboveTheCellAfterTheCountdown)
{
    HintGrid g;
    g.grid.setRow(2);
    EXPECT_EQ(g.grid.HintCell(), (CellPosition {1, 2}));
    EXPECT_EQ(g.grid.HintCountdown(), 60);
    EXPECT_FALSE(g.hintShown());
    ASSERT_TRUE(QTest::qWaitFor([&] { return g.hintShown(); }, 3000));
    EXPECT_EQ(g.grid.HintWindow()->Text(), QStringLiteral("Cell 1,2"));
    const QRect cell = g.grid.CellRect(1, 2);
    const QPoint expected = g.grid.viewport()->mapToGlobal(QPoint(cell.right() + 1, cell.top() - cell.height() + 4));
    EXPECT_EQ(g.offeredAt, expected);
    EXPECT_EQ(g.grid.HintWindow()->pos(), expected);

    // Leaving the cell takes the hint away and counts down for the next.
    g.key(Qt::Key_Right);
    EXPECT_FALSE(g.hintShown());
    EXPECT_EQ(g.grid.HintCell(), (CellPosition {2, 2}));
    EXPECT_EQ(g.grid.HintCountdown(), 60);
}

TEST(CellHints, BlankHintShowsNothing)
{
    HintGrid g;
    g.grid.setCol(3);
    g.offeredAt = {};
    // The hint is shown, or not, as it is asked for.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !g.offeredAt.isNull(); }, 3000));
    EXPECT_FALSE(g.hintShown());
}

TEST(CellHints, HintCellFollowsTheMouseWhenAsked)
{
    HintGrid g;
    g.grid.setHintFollowsMouse(true);
    QTest::mouseMove(g.grid.viewport(), g.centre(2, 3));
    EXPECT_EQ(g.grid.HintCell(), (CellPosition {2, 3}));
    QTest::mouseMove(g.grid.viewport(), QPoint(g.grid.viewport()->width() - 2, g.centre(2, 3).y()));
    EXPECT_EQ(g.grid.HintCell(), (CellPosition {-1, -1}));
}

TEST(CellHints, NoHandlerNoCountdown)
{
    EditingGrid g;
    g.grid.setHintFollowsMouse(false);
    g.grid.setRow(3);
    EXPECT_EQ(g.grid.HintCell(), (CellPosition {1, 3}));
    EXPECT_EQ(g.grid.HintCountdown(), 0);
}

namespace {

// Title cells as push buttons: columns 0 and 1 under heading 0, a 40-pixel
// title row with raised captions.
struct TitleGrid : EditingGrid
{
    struct Click
    {
        int col, row, heading;
        Qt::MouseButton button;
        bool operator==(const Click &) const = default;
    };
    QList<Click> clicks;

    TitleGrid()
    {
        grid.setRowHeights(0, 40);
        grid.Headings().Add()->setCaption(QStringLiteral("Band"));
        column(0)->setHeadingIndex(0);
        column(1)->setHeadingIndex(0);
        grid.OnFixedCellClick = [this](THyperGrid *, int col, int row, int heading, Qt::MouseButton button,
                                    Qt::KeyboardModifiers, int, int) {
            clicks << Click {col, row, heading, button};
        };
    }

    QRgb pixel(QPoint at) { return grid.viewport()->grab().toImage().pixel(at); }
};

QRgb rgb(TColor color)
{
    return toQColor(color).rgb();
}

} // namespace

TEST(TitleClick, HeadingAtFindsTheBandInTheUpperHalfOfTheTitle)
{
    TitleGrid g;
    EXPECT_EQ(g.grid.HeadingAt(150, 5), 0);
    EXPECT_EQ(g.grid.HeadingAt(150, 17), 0);
    EXPECT_EQ(g.grid.HeadingAt(150, 18), -1); // 40 / 2 - 2
    EXPECT_EQ(g.grid.HeadingAt(250, 5), -1); // column 2 has no heading
    EXPECT_EQ(g.grid.HeadingAt(150, 60), -1); // a data row
}

TEST(TitleClick, PressedTitleDrawsLoweredAndReleaseClicks)
{
    TitleGrid g;
    const QRect title = g.grid.CellRect(2, 0);
    EXPECT_EQ(g.pixel(title.topLeft()), rgb(clBtnHighlight));

    QTest::mousePress(g.grid.viewport(), Qt::LeftButton, {}, title.center());
    EXPECT_EQ(g.pixel(title.topLeft()), rgb(clBtnShadow));
    EXPECT_EQ(g.grid.Row(), 1); // the press is the title's alone
    QTest::mouseRelease(g.grid.viewport(), Qt::LeftButton, {}, title.center());
    EXPECT_EQ(g.pixel(title.topLeft()), rgb(clBtnHighlight));
    EXPECT_EQ(g.clicks, QList<TitleGrid::Click>({{2, 0, -1, Qt::LeftButton}}));
}

TEST(TitleClick, HeadingBandPressesAsOneAndDraggingOffCancels)
{
    TitleGrid g;
    const QPoint onBand(150, 5);
    QTest::mousePress(g.grid.viewport(), Qt::LeftButton, {}, onBand);
    EXPECT_EQ(g.pixel({0, 0}), rgb(clBtnShadow)); // the band's left end, in column 0
    EXPECT_EQ(g.pixel({0, 25}), rgb(clBtnHighlight)); // the caption below is not pressed

    QTest::mouseMove(g.grid.viewport(), QPoint(150, 30));
    EXPECT_EQ(g.pixel({0, 0}), rgb(clBtnHighlight));
    QTest::mouseRelease(g.grid.viewport(), Qt::LeftButton, {}, QPoint(150, 30));
    EXPECT_TRUE(g.clicks.isEmpty());

    QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, {}, onBand);
    EXPECT_EQ(g.clicks, QList<TitleGrid::Click>({{1, 0, 0, Qt::LeftButton}}));
}

TEST(TitleClick, OffWhenHyperColumnClickIsFalse)
{
    TitleGrid g;
    g.grid.setHyperColumnClick(false);
    const QRect title = g.grid.CellRect(2, 0);
    QTest::mousePress(g.grid.viewport(), Qt::LeftButton, {}, title.center());
    EXPECT_EQ(g.pixel(title.topLeft()), rgb(clBtnHighlight));
    QTest::mouseRelease(g.grid.viewport(), Qt::LeftButton, {}, title.center());
    EXPECT_TRUE(g.clicks.isEmpty());
}
