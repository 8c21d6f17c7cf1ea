// The sources of away time, each fed by readings the test makes up, and the
// detector that merges what they see.

#include "clockjumpsource.h"
#include "clocksource.h"
#include "desktopawaydetector.h"
#include "inputidlesource.h"

#include <gtest/gtest.h>
#include <optional>
#include <QSignalSpy>
#include <QTest>

namespace {

const QDateTime Noon(QDate(2026, 3, 2), QTime(12, 0));

struct Report
{
    QDateTime from;
    QDateTime back;
    AwayDetector::Kind kind;
};

std::vector<Report> reports(const QSignalSpy &spy)
{
    std::vector<Report> result;
    for (const QList<QVariant> &arguments : spy)
        result.push_back({arguments[0].toDateTime(), arguments[1].toDateTime(),
                          arguments[2].value<AwayDetector::Kind>()});
    return result;
}

// The idle time the X server would tell, read when the source polls.
class InputIdleSourceTest : public ::testing::Test
{
protected:
    FixedClock clock{Noon};
    std::optional<qint64> idleMilliseconds = 0;
    InputIdleSource source{[this] { return idleMilliseconds; }};
    QSignalSpy spy{&source, &AwayDetector::cameBack};

    // Time passes without input, and the source polls.
    void idleFor(int seconds)
    {
        clock.advance(seconds);
        *idleMilliseconds += seconds * 1000LL;
        source.poll();
    }
    // Input came back some seconds ago, and the source polls.
    void inputSecondsAgo(int seconds, int secondsSinceLastPoll)
    {
        clock.advance(secondsSinceLastPoll);
        idleMilliseconds = seconds * 1000LL;
        source.poll();
    }
};

TEST_F(InputIdleSourceTest, ReportsFromTheLastInputToTheInputThatEndedTheRun)
{
    source.start(1);
    idleFor(10);
    inputSecondsAgo(0, 0);
    for (int i = 0; i < 14; ++i)
        idleFor(5); // 70 seconds without input, from 12:00:10
    inputSecondsAgo(2, 5);
    ASSERT_EQ(spy.count(), 1);
    const Report report = reports(spy).front();
    EXPECT_EQ(report.from, Noon.addSecs(10));
    EXPECT_EQ(report.back, Noon.addSecs(10 + 70 + 3));
    EXPECT_EQ(report.kind, AwayDetector::Kind::Idle);
}

TEST_F(InputIdleSourceTest, RunsShorterThanTheSettingAreNotReported)
{
    source.start(1);
    idleFor(59);
    inputSecondsAgo(0, 0);
    EXPECT_EQ(spy.count(), 0) << "59 seconds";
    idleFor(60);
    inputSecondsAgo(0, 0);
    EXPECT_EQ(spy.count(), 1) << "a whole minute";
}

TEST_F(InputIdleSourceTest, TimeWithoutInputBeforeTheStartDoesNotCount)
{
    idleMilliseconds = 50 * 60 * 1000; // idle since 11:10
    source.start(15);
    idleFor(14 * 60);
    inputSecondsAgo(0, 0);
    EXPECT_EQ(spy.count(), 0) << "only 14 minutes since the start";
}

TEST_F(InputIdleSourceTest, ARunThroughASleepStartsAtItsLastInput)
{
    source.start(15);
    idleFor(60);
    // The idle time leaves out the hour asleep; the wall clock does not.
    clock.advance(60 * 60);
    idleFor(5);
    inputSecondsAgo(0, 5);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(reports(spy).front().from, Noon);
}

TEST_F(InputIdleSourceTest, NothingWhenStoppedOrUnreadable)
{
    source.start(1);
    idleFor(120);
    source.stop();
    inputSecondsAgo(0, 5);
    EXPECT_EQ(spy.count(), 0) << "stopped";

    source.start(1);
    idleFor(120);
    idleMilliseconds.reset();
    source.poll();
    EXPECT_EQ(spy.count(), 0) << "unreadable";
}

// The gap between the clock that counts a sleep and the one that does not.
class ClockJumpSourceTest : public ::testing::Test
{
protected:
    FixedClock clock{Noon};
    qint64 timeAsleep = 123456;
    ClockJumpSource source{[this] { return timeAsleep; }};
    QSignalSpy spy{&source, &AwayDetector::cameBack};

    void sleep(int seconds)
    {
        timeAsleep += seconds * 1000LL;
        clock.advance(seconds);
        source.check();
    }
};

TEST_F(ClockJumpSourceTest, AGapOverAMinuteIsASleep)
{
    source.start(1);
    sleep(61);
    ASSERT_EQ(spy.count(), 1);
    const Report report = reports(spy).front();
    EXPECT_EQ(report.from, Noon);
    EXPECT_EQ(report.back, Noon.addSecs(61));
    EXPECT_EQ(report.kind, AwayDetector::Kind::Asleep);
}

TEST_F(ClockJumpSourceTest, ShortGapsAndSleepsUnderTheSettingAreNotReported)
{
    source.start(0);
    sleep(59);
    EXPECT_EQ(spy.count(), 0) << "under a minute";
    source.start(5);
    sleep(4 * 60);
    EXPECT_EQ(spy.count(), 0) << "under the setting";
}

TEST_F(ClockJumpSourceTest, ASleepBeforeTheStartIsNotReported)
{
    timeAsleep += 3600 * 1000;
    source.start(0);
    source.check();
    EXPECT_EQ(spy.count(), 0);
}

// A source whose reports the test makes.
class ScriptedSource : public AwayDetector
{
public:
    using AwayDetector::AwayDetector;
    void start(int) override {}
    void stop() override {}
    void tell(int fromMinute, int backMinute, Kind kind)
    {
        emit cameBack(Noon.addSecs(fromMinute * 60), Noon.addSecs(backMinute * 60), kind);
    }
};

class DesktopAwayDetectorTest : public ::testing::Test
{
protected:
    DesktopAwayDetector detector{50};
    ScriptedSource *idle = add();
    ScriptedSource *lock = add();
    ScriptedSource *sleep = add();
    QSignalSpy spy{&detector, &AwayDetector::cameBack};

    ScriptedSource *add()
    {
        auto source = std::make_unique<ScriptedSource>();
        ScriptedSource *added = source.get();
        detector.addSource(std::move(source));
        return added;
    }
    // One report more, or none once the hold is over.
    bool waitForReports(int count)
    {
        return QTest::qWaitFor([&] { return spy.count() >= count; }, 2000);
    }
};

TEST_F(DesktopAwayDetectorTest, OneAbsenceSeenByTwoSourcesIsReportedOnceAsTheirUnion)
{
    detector.start(15);
    lock->tell(5, 40, AwayDetector::Kind::Idle); // locked five minutes after the last input
    idle->tell(0, 40, AwayDetector::Kind::Idle);
    ASSERT_TRUE(waitForReports(1));
    EXPECT_FALSE(waitForReports(2));
    const Report report = reports(spy).front();
    EXPECT_EQ(report.from, Noon);
    EXPECT_EQ(report.back, Noon.addSecs(40 * 60));
}

TEST_F(DesktopAwayDetectorTest, AnIdleRunEndingInALongerSleepIsASleep)
{
    detector.start(15);
    sleep->tell(20, 80, AwayDetector::Kind::Asleep);
    idle->tell(0, 81, AwayDetector::Kind::Idle);
    ASSERT_TRUE(waitForReports(1));
    const Report report = reports(spy).front();
    EXPECT_EQ(report.from, Noon);
    EXPECT_EQ(report.back, Noon.addSecs(81 * 60));
    EXPECT_EQ(report.kind, AwayDetector::Kind::Asleep);
}

TEST_F(DesktopAwayDetectorTest, SeparateAbsencesAreReportedEach)
{
    detector.start(15);
    idle->tell(0, 20, AwayDetector::Kind::Idle);
    sleep->tell(60, 90, AwayDetector::Kind::Asleep);
    ASSERT_TRUE(waitForReports(2));
    EXPECT_EQ(reports(spy)[1].from, Noon.addSecs(60 * 60));
}

TEST_F(DesktopAwayDetectorTest, ALateReportOfAnAbsenceAlreadyReportedAddsNothing)
{
    detector.start(15);
    sleep->tell(0, 60, AwayDetector::Kind::Asleep);
    ASSERT_TRUE(waitForReports(1));
    sleep->tell(1, 60, AwayDetector::Kind::Asleep); // the clocks' gap, checked later
    EXPECT_FALSE(waitForReports(2));

    idle->tell(-30, 61, AwayDetector::Kind::Idle); // it saw more: idle before the sleep
    ASSERT_TRUE(waitForReports(2));
    EXPECT_EQ(reports(spy)[1].from, Noon.addSecs(-30 * 60));
}

TEST_F(DesktopAwayDetectorTest, StoppingReportsWhatWasSeen)
{
    detector.start(15);
    idle->tell(0, 20, AwayDetector::Kind::Idle);
    detector.stop();
    EXPECT_EQ(spy.count(), 1);
}

} // namespace
