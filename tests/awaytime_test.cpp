// Away spans while the stopwatch runs: which are asked about, how they merge,
// the file that keeps them across a restart, the setting and the 12-hour
// notice after an answer.

#include "awaysetting.h"
#include "awaytime.h"
#include "filelocations.h"
#include "stopwatchnotices.h"
#include "testsupport.h"
#include "today.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString PeriodStart = QStringLiteral("07-12-26 14:05");

QDateTime at(int hour, int minute, int second = 0, int day = 7)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute, second));
}

struct Spans
{
    QTemporaryDir folder;
    AwayTime away {awayPendingFile(folder.path())};

    bool report(const QDateTime &from, const QDateTime &to, bool asleep = false, const QString &start = PeriodStart)
    {
        return away.report(from, to, asleep, start, 15);
    }
    QString question() const { return away.pending() ? away.pending()->question(false) : QString(); }
    bool kept() const { return QFile::exists(awayPendingFile(folder.path())); }
};

} // namespace

TEST(AwayTime, SpanOfTheSetMinutesIsAskedAboutAndOneSecondLessIsNot)
{
    Spans spans;
    EXPECT_FALSE(spans.report(at(14, 20), at(14, 34, 59)));
    EXPECT_FALSE(spans.away.pending());
    EXPECT_FALSE(spans.kept());

    EXPECT_TRUE(spans.report(at(14, 20), at(14, 35)));
    EXPECT_EQ(spans.question(), "You were away from 14:20 to 14:35 (15 minutes) while the stopwatch ran.");
    EXPECT_EQ(spans.away.pending()->fromText(), "14:20");
    EXPECT_TRUE(spans.kept());
}

TEST(AwayTime, NothingWhileTheStopwatchIsOffOrTheSettingIsOff)
{
    Spans spans;
    EXPECT_FALSE(spans.away.report(at(14, 20), at(15, 20), false, QString(), 15));
    EXPECT_FALSE(spans.away.report(at(14, 20), at(15, 20), false, PeriodStart, 0));
    EXPECT_FALSE(spans.away.pending());
    EXPECT_FALSE(spans.kept());
}

TEST(AwayTime, OnlyThePartAfterThePeriodsStartCounts)
{
    Spans spans;
    // Away before the stopwatch started: ten minutes of it ran.
    EXPECT_FALSE(spans.report(at(13, 0), at(14, 15)));
    // Away for the whole of the stopwatch's time so far.
    EXPECT_FALSE(spans.report(at(12, 0), at(13, 0)));
    EXPECT_TRUE(spans.report(at(13, 0), at(14, 25)));
    EXPECT_EQ(spans.question(), "You were away from 14:05 to 14:25 (20 minutes) while the stopwatch ran.");
}

TEST(AwayTime, TwoSpansBeforeAnAnswerMergeFromTheFirstStartToTheLastEnd)
{
    Spans spans;
    ASSERT_TRUE(spans.report(at(14, 20), at(14, 40)));
    ASSERT_TRUE(spans.report(at(14, 50), at(15, 10)));
    EXPECT_EQ(spans.question(), "You were away from 14:20 to 15:10 (50 minutes) while the stopwatch ran.");
    // A short span changes nothing.
    EXPECT_FALSE(spans.report(at(15, 20), at(15, 25)));
    EXPECT_EQ(spans.away.pending()->to, at(15, 10));
}

TEST(AwayTime, SpanOfAnotherPeriodDoesNotChangeTheWaitingOne)
{
    Spans spans;
    ASSERT_TRUE(spans.report(at(14, 20), at(14, 40)));
    EXPECT_FALSE(spans.report(at(16, 0), at(17, 0), false, QStringLiteral("07-12-26 15:00")));
    EXPECT_EQ(spans.away.pending()->periodStart, PeriodStart);
    EXPECT_EQ(spans.away.pending()->to, at(14, 40));
}

TEST(AwayTime, SleepIsToldAsSuchOnlyWhenTheComputerSleptThroughout)
{
    Spans spans;
    ASSERT_TRUE(spans.report(at(14, 20), at(15, 20), true));
    EXPECT_EQ(spans.question(), "The computer was asleep from 14:20 to 15:20 (60 minutes) while the stopwatch ran.");
    EXPECT_EQ(spans.away.pending()->question(true),
        "While Worktally last ran the computer was asleep from 14:20 to 15:20 (60 minutes).");
    ASSERT_TRUE(spans.report(at(15, 30), at(15, 50), false));
    EXPECT_EQ(spans.question(), "You were away from 14:20 to 15:50 (90 minutes) while the stopwatch ran.");
}

TEST(AwayTime, SpanOverMidnightShowsTheDates)
{
    Spans spans;
    ASSERT_TRUE(spans.report(at(23, 50), at(7, 10, 0, 8), true));
    EXPECT_EQ(spans.question(),
        "The computer was asleep from 07-12-26 23:50 to 08-12-26 07:10 (440 minutes) while the stopwatch ran.");
    EXPECT_EQ(spans.away.pending()->fromText(), "07-12-26 23:50");
}

TEST(AwayTime, WaitingSpanIsTakenUpAtTheNextStartAndGoneOnceAnswered)
{
    QTemporaryDir folder;
    {
        AwayTime away(awayPendingFile(folder.path()));
        ASSERT_TRUE(away.report(at(14, 20, 30), at(15, 20), true, PeriodStart, 15));
        EXPECT_FALSE(away.isFromLastRun());
    }
    AwayTime next(awayPendingFile(folder.path()));
    ASSERT_TRUE(next.readLastRun());
    EXPECT_TRUE(next.isFromLastRun());
    EXPECT_EQ(next.pending()->from, at(14, 20, 30));
    EXPECT_EQ(next.pending()->to, at(15, 20));
    EXPECT_TRUE(next.pending()->asleep);
    EXPECT_EQ(next.pending()->periodStart, PeriodStart);
    EXPECT_EQ(next.pending()->question(true),
        "While Worktally last ran the computer was asleep from 14:20 to 15:20 (60 minutes).");

    next.answered();
    EXPECT_FALSE(next.pending());
    EXPECT_FALSE(QFile::exists(awayPendingFile(folder.path())));
    EXPECT_FALSE(AwayTime(awayPendingFile(folder.path())).readLastRun());
}

TEST(AwayTime, UnreadableWaitingFileIsDropped)
{
    QTemporaryDir folder;
    const QString path = awayPendingFile(folder.path());
    writeFile(path, "From=yesterday\nTo=2026-12-07T15:20:00\nKind=Idle\nPeriod=07-12-26 14:05\n");
    AwayTime away(path);
    EXPECT_FALSE(away.readLastRun());
    EXPECT_FALSE(away.pending());
    EXPECT_FALSE(QFile::exists(path));
}

TEST(StopwatchNotices, LongPeriodNoticeIsNotGivenWithinTheHourAfterAnAwayAnswer)
{
    const QString longNotice = QStringLiteral("The stopwatch has been running for 12 hours. Forgotten to stop it?");
    const QDateTime start = at(8, 0);
    const Balance nothingOwed {};
    {
        StopwatchNotices notices;
        notices.awayAnswered(start, at(19, 30));
        EXPECT_TRUE(notices.due(start, nothingOwed, at(20, 0)).isEmpty());
        // Counted as told for the period: not given later either.
        EXPECT_TRUE(notices.due(start, nothingOwed, at(21, 0)).isEmpty());
    }
    {
        StopwatchNotices notices;
        notices.awayAnswered(start, at(18, 59));
        EXPECT_EQ(notices.due(start, nothingOwed, at(20, 0)), QStringList {longNotice});
    }
    {
        // An answer about another period does not count.
        StopwatchNotices notices;
        notices.awayAnswered(at(7, 0), at(19, 30));
        EXPECT_EQ(notices.due(start, nothingOwed, at(20, 0)), QStringList {longNotice});
    }
}
