#include "clocksource.h"
#include "popupcalendar.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QTest>
#include <QToolButton>

namespace {

DateTime date(int year, int month, int day)
{
    return *tryEncodeDate(year, month, day);
}

// A shown calendar panel with the focus on its calendar, "today" being
// 10 June 2026.
struct PanelWindow
{
    FixedClock clock {QDateTime(QDate(2026, 6, 10), QTime(9, 0))};
    CalendarPanel panel;
    TLocCalendar *calendar = panel.calendar();

    PanelWindow()
    {
        panel.show();
        panel.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&panel));
        calendar->setFocus();
    }

    void key(int key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(calendar, Qt::Key(key), modifiers); }
    void click(int column, int row)
    {
        QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->cellRect(column, row).center());
    }
};

// Pixels of a cell in a strong red.
int redPixels(const QImage &image, const QRect &cell)
{
    int count = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 150 && c.green() < 90 && c.blue() < 90;
        }
    return count;
}

} // namespace

TEST(CalendarGrid, FirstOfTheMonthStandsInItsWeekdaysColumn)
{
    TCalendarGrid grid;
    // 1 February 2021 was a Monday, the first day of the week.
    grid.setCalendarDate(date(2021, 2, 10));
    EXPECT_EQ(grid.dayAt(0, 1), 1);
    EXPECT_EQ(grid.dayAt(6, 4), 28);
    EXPECT_EQ(grid.dayAt(0, 5), 0);
    // 1 August 2021 was a Sunday, the day before it.
    grid.setCalendarDate(date(2021, 8, 10));
    EXPECT_EQ(grid.dayAt(5, 1), 0);
    EXPECT_EQ(grid.dayAt(6, 1), 1);
    EXPECT_EQ(grid.dayAt(1, 6), 31);
    EXPECT_EQ(grid.dayAt(2, 6), 0);
    grid.setStartOfWeek(Sun);
    EXPECT_EQ(grid.dayAt(0, 1), 1);
    EXPECT_EQ(grid.dayAt(0, 0), 0); // the day names' row
}

TEST(CalendarGrid, StepsKeepTheDayWhereTheMonthHasIt)
{
    TCalendarGrid grid;
    const auto stepped = [&grid](DateTime from, void (TCalendarGrid::*step)(int), int count) {
        grid.setCalendarDate(from);
        (grid.*step)(count);
        return grid.CalendarDate();
    };
    const auto months = &TCalendarGrid::stepMonths;
    const auto years = &TCalendarGrid::stepYears;
    EXPECT_EQ(stepped(date(2021, 1, 31), months, 1), date(2021, 2, 28));
    EXPECT_EQ(stepped(date(2024, 1, 31), months, 1), date(2024, 2, 29));
    EXPECT_EQ(stepped(date(2024, 1, 15), months, -1), date(2023, 12, 15));
    EXPECT_EQ(stepped(date(2000, 2, 29), years, -1), date(1999, 2, 28));
    // The leap day becomes the 28th even where the new year has one.
    EXPECT_EQ(stepped(date(2000, 2, 29), years, 4), date(2004, 2, 28));
}

TEST(CalendarGrid, KeysMoveTheDayAndFireOnChange)
{
    PanelWindow w;
    QList<DateTime> changes;
    w.calendar->OnChange = [&changes](TCalendarGrid *sender) { changes << sender->CalendarDate(); };
    w.calendar->setCalendarDate(date(2026, 3, 1));
    w.key(Qt::Key_Left);
    EXPECT_EQ(w.calendar->CalendarDate(), date(2026, 2, 28));
    w.key(Qt::Key_Right);
    w.key(Qt::Key_Plus, Qt::KeypadModifier);
    w.key(Qt::Key_Minus, Qt::KeypadModifier);
    // Up and down stay inside the month.
    w.key(Qt::Key_Up);
    w.key(Qt::Key_Down);
    w.key(Qt::Key_T);
    EXPECT_EQ(changes,
        QList<DateTime>({date(2026, 3, 1), date(2026, 2, 28), date(2026, 3, 1), date(2026, 3, 2), date(2026, 3, 1),
            date(2026, 3, 8), date(2026, 6, 10)}));
}

TEST(CalendarGrid, OnlyCellsWithADayCanBeClicked)
{
    PanelWindow w;
    w.calendar->setCalendarDate(date(2021, 8, 10));
    w.click(0, 1);
    w.click(3, 0);
    w.click(6, 6);
    EXPECT_EQ(w.calendar->CalendarDate(), date(2021, 8, 10));
    w.click(6, 1);
    EXPECT_EQ(w.calendar->CalendarDate(), date(2021, 8, 1));
}

TEST(CalendarGrid, WeekendColumnsAreDrawnInTheWeekendColour)
{
    TCalendarGrid grid;
    grid.resize(grid.sizeHint());
    grid.setCalendarDate(date(2021, 8, 10)); // Sundays in column 6
    QImage image = grid.grab().toImage();
    EXPECT_GT(redPixels(image, grid.cellRect(6, 0)), 0);
    EXPECT_GT(redPixels(image, grid.cellRect(6, 2)), 0);
    EXPECT_EQ(redPixels(image, grid.cellRect(5, 2)), 0);
    // The selected cell looks selected instead.
    grid.setCalendarDate(date(2021, 8, 8));
    grid.setWeekends({Sat, Sun});
    image = grid.grab().toImage();
    EXPECT_EQ(redPixels(image, grid.cellRect(6, 2)), 0);
    EXPECT_EQ(image.pixelColor(grid.cellRect(6, 2).topLeft()), grid.palette().color(QPalette::Highlight));
    EXPECT_GT(redPixels(image, grid.cellRect(5, 2)), 0);
}

TEST(LocCalendar, TodayHasALoweredFrame)
{
    FixedClock clock(QDateTime(QDate(2021, 8, 11), QTime(9, 0)));
    TLocCalendar calendar;
    calendar.resize(calendar.sizeHint());
    calendar.setCalendarDate(date(2021, 8, 20));
    const QImage image = calendar.grab().toImage();
    const QRect today = calendar.cellRect(2, 3); // a Wednesday
    const QRgb shadow = toQColor(clBtnShadow).rgb();
    EXPECT_EQ(image.pixel(today.topLeft() + QPoint(3, 0)), shadow);
    EXPECT_EQ(image.pixel(today.topLeft() + QPoint(0, 3)), shadow);
    EXPECT_EQ(image.pixel(today.bottomRight() - QPoint(1, 3)), toQColor(clBtnHighlight).rgb());
    EXPECT_NE(image.pixel(calendar.cellRect(3, 3).topLeft() + QPoint(3, 0)), shadow);
}

TEST(CalendarPanel, PageKeysAndButtonsStepMonthsAndYears)
{
    PanelWindow w;
    const auto title
        = [](int month, int year) { return QLocale().standaloneMonthName(month) + u' ' + QString::number(year); };
    w.calendar->setCalendarDate(date(2024, 1, 31));
    w.key(Qt::Key_PageDown);
    EXPECT_EQ(w.calendar->CalendarDate(), date(2024, 2, 29));
    EXPECT_EQ(w.panel.title(), title(2, 2024));
    w.key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(w.calendar->CalendarDate(), date(2023, 2, 28));
    w.key(Qt::Key_PageDown, Qt::ControlModifier);
    w.key(Qt::Key_PageUp);
    EXPECT_EQ(w.calendar->CalendarDate(), date(2024, 1, 28));
    for (auto step : {CalendarPanel::NextYear, CalendarPanel::PreviousMonth})
        QTest::mouseClick(w.panel.stepButton(step), Qt::LeftButton);
    EXPECT_EQ(w.calendar->CalendarDate(), date(2024, 12, 28));
    for (auto step : {CalendarPanel::NextMonth, CalendarPanel::PreviousYear})
        QTest::mouseClick(w.panel.stepButton(step), Qt::LeftButton);
    EXPECT_EQ(w.panel.title(), title(1, 2024));
    EXPECT_TRUE(w.panel.stepButton(CalendarPanel::NextMonth)->autoRepeat());
}

TEST(PopupCalendar, PlacedBelowTheAnchorAndOntoTheScreen)
{
    const QRect screen(0, 0, 800, 600);
    const QSize size(150, 120);
    const QRect anchor(300, 100, 100, 21);
    EXPECT_EQ(TPopupCalendar::placement(anchor, size, epaRight, screen), QPoint(250, 121));
    EXPECT_EQ(TPopupCalendar::placement(anchor, size, epaLeft, screen), QPoint(300, 121));
    // No room below: above the anchor.
    EXPECT_EQ(TPopupCalendar::placement(anchor.translated(0, 450), size, epaLeft, screen), QPoint(300, 430));
    // Pushed back sideways.
    EXPECT_EQ(TPopupCalendar::placement(anchor.translated(-280, 0), size, epaRight, screen), QPoint(0, 121));
    EXPECT_EQ(TPopupCalendar::placement(anchor.translated(450, 0), size, epaLeft, screen), QPoint(650, 121));
    // Where the screen is unknown (the compositor keeps it on screen): below, as aligned.
    EXPECT_EQ(TPopupCalendar::placement(anchor.translated(-280, 450), size, epaRight, QRect()), QPoint(-30, 571));
}
