#include "stopwatchnotices.h"
#include "testsupport.h"
#include "today.h"
#include "workinghours.h"

#include <gtest/gtest.h>

namespace {

const QDate Monday(2026, 12, 7);

WorkingHours mondayAndWednesday()
{
    WorkingHours hours;
    hours.setMinutes(1, 7 * 60 + 24);
    hours.setMinutes(3, 8 * 60);
    return hours;
}

} // namespace

// Home time counts on the day a period starts, nominal time on its nominal
// Date; today's target is its nominal time, or else its working hours.
TEST(Today, BalanceOfTodayAndItsWeek)
{
    const QStringList sundayBefore = dataRow("06-12-26 23:00", "07-12-26 01:00", "02:00", "06-12-26", "00:00");
    const QStringList rows[] = {
        dataRow("07-12-26 08:00", "07-12-26 10:30", "02:30", "07-12-26", "00:00"),
        dataRow("09-12-26 08:00", "09-12-26 11:00", "03:00", "09-12-26", "07:24"),
        dataRow("13-12-26 10:00", "13-12-26 11:00", "01:00", "14-12-26", "07:24"), // owed next week
        dataRow("not a date", "", "01:00", "07-12-26", "7.24"), // counts on neither side
    };
    struct Case
    {
        const char *name;
        QStringList firstRow;
        Balance today, week;
    };
    const Case cases[] = {
        {"no nominal time today: the working hours", sundayBefore, {150, 444}, {390, 888}},
        {"a nominal time dated today", dataRow("06-12-26 23:00", "07-12-26 01:00", "02:00", "07-12-26", "07:00"),
            {150, 420}, {390, 864}},
    };
    for (const Case &c : cases) {
        const CellTable cells = worksheetCells({c.firstRow, rows[0], rows[1], rows[2], rows[3]});
        const WorksheetDays days(cells);
        EXPECT_EQ(todayBalance(days, Monday, mondayAndWednesday()), c.today) << c.name;
        EXPECT_EQ(weekBalance(days, Monday, mondayAndWednesday()), c.week) << c.name;
        EXPECT_EQ(todayBalance(WorksheetDays(cells, Monday, Monday), Monday, mondayAndWednesday()), c.today) << c.name;
    }
    EXPECT_EQ(todayBalance(WorksheetDays(worksheetCells({})), Monday, WorkingHours()), Balance());
}

TEST(Today, DoneAtIsLeftOutOnceTheTargetIsMet)
{
    const QDateTime now(Monday, QTime(14, 5));
    EXPECT_EQ(targetReachedAt({60, 90}, now), QDateTime(Monday, QTime(14, 35)));
    EXPECT_EQ(targetReachedAt({89, 90}, now), QDateTime(Monday, QTime(14, 6)));
    EXPECT_EQ(targetReachedAt({90, 90}, now), std::nullopt); // met to the minute
    EXPECT_EQ(targetReachedAt({91, 90}, now), std::nullopt);
    EXPECT_EQ(todayText({90, 90}, targetReachedAt({90, 90}, now), "+00:00"), "Today 01:30 of 01:30 — balance +00:00");
}

TEST(StopwatchNotices, TargetOncePerDayLongPeriodOncePerPeriod)
{
    const QString done = "Today's 07:24 are done.";
    const QString forgotten = "The stopwatch has been running for 12 hours. Forgotten to stop it?";
    const QDateTime start(Monday, QTime(8, 0));
    StopwatchNotices notices;
    EXPECT_EQ(notices.due(start, {443, 444}, start.addSecs(443 * 60)), QStringList());
    EXPECT_EQ(notices.due(start, {444, 444}, start.addSecs(444 * 60)), QStringList({done}));
    EXPECT_EQ(notices.due(start, {445, 444}, start.addSecs(445 * 60)), QStringList());
    EXPECT_EQ(notices.due(start, {719, 444}, start.addSecs(719 * 60)), QStringList());
    EXPECT_EQ(notices.due(start, {720, 444}, start.addSecs(720 * 60)), QStringList({forgotten}));
    EXPECT_EQ(notices.due(start, {721, 444}, start.addSecs(721 * 60)), QStringList());

    const QDateTime tuesday = start.addDays(1); // a new period on a new day
    EXPECT_EQ(notices.due(tuesday, {444, 444}, tuesday.addSecs(12 * 3600)), QStringList({done, forgotten}));
    EXPECT_EQ(StopwatchNotices().due(tuesday, {60, 0}, tuesday.addSecs(3600)), QStringList()); // nothing owed
}
