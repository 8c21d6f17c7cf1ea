#include "analogclock.h"
#include "clocksource.h"
#include "errors.h"
#include "testsupport.h"
#include "threadtimer.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QPaintEvent>
#include <QTest>
#include <thread>

namespace {

QDateTime at(int hour, int minute, int second, int day = 0)
{
    return QDateTime(QDate(2026, 3, 9).addDays(day), QTime(hour, minute, second));
}

// A clock, not shown, whose alarm counts its firings; the test moves the time
// and ticks by hand.
struct AlarmClock
{
    FixedClock time;
    TAnalogClock clock;
    int alarms = 0;

    explicit AlarmClock(const QDateTime &now)
        : time(now)
    {
        clock.OnAlarm = [this](TAnalogClock *) { ++alarms; };
        clock.setAlarmEnabled(true);
    }
    void setAlarm(int hour, int minute, int second)
    {
        clock.setAlarmHour(hour);
        clock.setAlarmMinute(minute);
        clock.setAlarmSecond(second);
    }
    int alarmsAfterTicksAt(std::initializer_list<QDateTime> times)
    {
        for (const QDateTime &t : times) {
            time.set(t);
            clock.Tick();
        }
        return alarms;
    }
};

// The main window's clock, 131 × 129 with the analog dial, on a screen of the
// given width with square pixels. It remembers the regions it paints.
class RecordingClock : public TAnalogClock
{
public:
    QList<QRegion> painted;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        painted << event->region();
        TAnalogClock::paintEvent(event);
    }
};

struct DialOnScreen
{
    FixedClock time;
    RecordingClock *clock;

    DialOnScreen(int screenWidth, const QDateTime &now)
        : time(now)
    {
        TAnalogClock::setScreenMetrics(screenWidth, screenWidth * 3 / 4, screenWidth / 4, screenWidth * 3 / 16);
        clock = new RecordingClock;
        clock->setShowMode(scAnalog);
        clock->resize(131, 129);
    }
    ~DialOnScreen()
    {
        delete clock;
        TAnalogClock::resetScreenMetrics();
    }
    QImage image() const { return clock->grab().toImage(); }
    QRgb face() const { return toQColor(clBtnFace).rgb(); }
    QRgb ink() const { return clock->palette().color(QPalette::WindowText).rgb(); }

    void show()
    {
        clock->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(clock));
        QCoreApplication::processEvents();
        clock->painted.clear();
    }
    // What one tick at the given time repaints.
    QRegion repaintedByTickAt(const QDateTime &t)
    {
        time.set(t);
        clock->Tick();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !clock->painted.isEmpty(); }, 2000));
        QRegion region;
        for (const QRegion &r : std::as_const(clock->painted))
            region += r;
        clock->painted.clear();
        return region;
    }
};

QRgb rgb(TColor color)
{
    return toQColor(color).rgb();
}

QRgb inverted(QRgb c)
{
    return qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c));
}

bool covers(const QRegion &region, const QRect &rect)
{
    return (QRegion(rect) - region).isEmpty();
}

} // namespace

// --- Alarm -----------------------------------------------------------------

TEST(ClockAlarm, FiresOnceInItsMinuteAndAgainTheNextDay)
{
    AlarmClock c(at(7, 0, 0));
    c.setAlarm(7, 30, 0);
    EXPECT_EQ(c.alarmsAfterTicksAt({at(7, 29, 59)}), 0);
    EXPECT_EQ(c.alarmsAfterTicksAt({at(7, 30, 0)}), 1);
    EXPECT_EQ(c.alarmsAfterTicksAt({at(7, 30, 1), at(7, 30, 59), at(7, 31, 0), at(23, 59, 59)}), 1);
    EXPECT_EQ(c.alarmsAfterTicksAt({at(0, 0, 0, 1), at(7, 30, 2, 1)}), 2);
}

TEST(ClockAlarm, ATimeAlreadyPassedFiresNothingUntilTomorrow)
{
    // The current minute, set after its second 0.
    AlarmClock c(at(7, 30, 20));
    c.setAlarm(7, 30, 0);
    EXPECT_EQ(c.alarmsAfterTicksAt({at(7, 30, 21), at(7, 30, 59), at(12, 0, 0), at(7, 29, 59, 1)}), 0);
    EXPECT_EQ(c.alarmsAfterTicksAt({at(7, 30, 0, 1)}), 1);
}

TEST(ClockAlarm, SwitchedOnLateInsideTheWindowDoesNotFire)
{
    AlarmClock c(at(7, 0, 0));
    c.setAlarm(7, 30, 0);
    c.clock.setAlarmEnabled(false);
    EXPECT_EQ(c.alarmsAfterTicksAt({at(7, 29, 59), at(7, 30, 0), at(7, 30, 5)}), 0);
    c.clock.setAlarmEnabled(true);
    EXPECT_EQ(c.alarmsAfterTicksAt({at(7, 30, 6), at(7, 30, 59)}), 0);
}

TEST(ClockAlarm, MidnightFiresInTheFirstMinuteOfEveryDay)
{
    AlarmClock c(at(23, 0, 0));
    EXPECT_EQ(c.alarmsAfterTicksAt({at(23, 59, 59)}), 0);
    EXPECT_EQ(c.alarmsAfterTicksAt({at(0, 0, 0, 1), at(0, 0, 30, 1), at(0, 1, 0, 1), at(12, 0, 0, 1)}), 1);
    EXPECT_EQ(c.alarmsAfterTicksAt({at(0, 0, 10, 2)}), 2);
}

TEST(ClockAlarm, AMinuteWithoutAnyTickIsMissedForThatDay)
{
    AlarmClock c(at(7, 0, 0));
    c.setAlarm(7, 30, 0);
    EXPECT_EQ(c.alarmsAfterTicksAt({at(7, 29, 59), at(7, 31, 0), at(23, 0, 0)}), 0);
    EXPECT_EQ(c.alarmsAfterTicksAt({at(7, 29, 59, 1), at(7, 30, 0, 1)}), 1);
}

TEST(ClockAlarm, AnInvalidElementRaisesAndKeepsTheAlarm)
{
    AlarmClock c(at(23, 59, 50));
    EXPECT_EQ(messageOf<ConversionError>([&] { c.clock.setAlarmHour(24); }), "''24:0:0'' is not a valid time");
    EXPECT_EQ(c.clock.AlarmHour(), 0);
    // Still midnight, still armed.
    EXPECT_EQ(c.alarmsAfterTicksAt({at(0, 0, 5, 1)}), 1);

    c.setAlarm(7, 30, 0);
    EXPECT_EQ(messageOf<ConversionError>([&] { c.clock.setAlarmMinute(60); }), "''7:60:0'' is not a valid time");
    EXPECT_EQ(c.clock.AlarmMinute(), 30);
}

TEST(ClockAlarm, WritingTheElementsInTurnArmsAsIfSetAtOnce)
{
    // On the way, 07:00 lies before 07:20 and disarms; 07:30 arms again.
    AlarmClock c(at(7, 20, 0));
    c.setAlarm(7, 30, 0);
    EXPECT_EQ(c.alarmsAfterTicksAt({at(7, 30, 0)}), 1);
}

TEST(ClockAlarm, TheSeparatorInTheMessageIsTheLocales)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Finnish, QLocale::Finland));
    AlarmClock c(at(7, 0, 0));
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(&c.clock, &change);
    EXPECT_EQ(messageOf<ConversionError>([&] { c.clock.setAlarmHour(24); }), "''24.0.0'' is not a valid time");
    QLocale::setDefault(previous);
}

// --- Dial --------------------------------------------------------------------

TEST(ClockDial, OnA1024PixelScreenTheMainWindowsClockHasItsDesignedGeometry)
{
    DialOnScreen d(1024, at(3, 0, 30));
    EXPECT_EQ(d.clock->clockRect(), QRect(3, 2, 125, 125)); // right and bottom exclusive: 128, 127
    EXPECT_EQ(d.clock->radius(), 61);
    EXPECT_EQ(d.clock->centre(), QPoint(65, 64));
    EXPECT_EQ(d.clock->handTip(ClockHand::Hour, 15), QPoint(65 + 36, 64));
    EXPECT_EQ(d.clock->handTip(ClockHand::Minute, 15), QPoint(65 + 48, 64));
    EXPECT_EQ(d.clock->handTip(ClockHand::Second, 15), QPoint(65 + 48, 64));

    const QImage image = d.image();
    // The three o'clock mark: 3 × 3 around (126, 64), raised in teal.
    EXPECT_EQ(image.pixel(125, 63), qRgb(0, 255, 255));
    EXPECT_EQ(image.pixel(126, 64), rgb(clTeal));
    EXPECT_EQ(image.pixel(127, 65), rgb(clWindowFrame));
    EXPECT_EQ(image.pixel(124, 64), d.face());
    // The minute mark at 14 is a dimple around (125, 58).
    EXPECT_EQ(image.pixel(124, 57), rgb(clBtnShadow));
    EXPECT_EQ(image.pixel(125, 58), d.face());
    EXPECT_EQ(image.pixel(126, 59), rgb(clBtnHighlight));
    // At 03:00 the hour hand's tip is 36 pixels right of the centre.
    EXPECT_EQ(image.pixel(101, 64), d.ink());
    EXPECT_EQ(image.pixel(102, 64), d.face());
}

TEST(ClockDial, TheMinuteHandReachesFurtherAndTheSecondHandInverts)
{
    DialOnScreen d(1024, at(9, 15, 30));
    QImage image = d.image();
    EXPECT_EQ(image.pixel(113, 64), d.ink());
    EXPECT_EQ(image.pixel(114, 64), d.face());

    d.time.set(at(10, 40, 15));
    d.clock->Tick();
    image = d.image();
    EXPECT_EQ(image.pixel(113, 64), inverted(d.face()));
    EXPECT_EQ(image.pixel(114, 64), d.face());
}

TEST(ClockDial, OnA1280PixelScreenTheMarksAreFlatAndTheMinuteMarksGone)
{
    DialOnScreen d(1280, at(7, 0, 30));
    const QImage image = d.image();
    for (const QPoint p : {QPoint(125, 63), QPoint(126, 64)})
        EXPECT_EQ(image.pixel(p), d.ink()) << p.x() << "," << p.y();
    EXPECT_EQ(image.pixel(127, 65), d.face());
    for (int x = 123; x <= 127; ++x)
        for (int y = 56; y <= 60; ++y)
            EXPECT_EQ(image.pixel(x, y), d.face()) << x << "," << y;
}

TEST(ClockDial, TheMarksTopLeftEdgeIsALighterShadeOfTheDotsColor)
{
    DialOnScreen d(1024, at(7, 0, 30));
    const struct
    {
        TColor dots;
        QRgb light;
    } cases[] = {
        {clTeal, qRgb(0, 255, 255)},
        {rgbColor(192, 64, 0), qRgb(255, 191, 0)},
        {rgbColor(200, 129, 1), qRgb(71, 0, 128)}, // wraps past 255
        {clRed, rgb(clBtnHighlight)},
    };
    for (const auto &c : cases) {
        d.clock->setDotsColor(c.dots);
        EXPECT_EQ(d.image().pixel(125, 63), c.light) << c.dots;
    }
}

// --- Repainting --------------------------------------------------------------

TEST(ClockRepaint, ATickThatMovesOnlyTheSecondHandRepaintsOnlyAroundIt)
{
    DialOnScreen d(1024, at(10, 40, 15));
    d.show();
    const QRegion region = d.repaintedByTickAt(at(10, 40, 16));
    const QPoint centre = d.clock->centre();
    // The box around both hands, with a pixel to spare.
    const QRect secondHands = QRect(centre, d.clock->handTip(ClockHand::Second, 15))
                                  .united(QRect(centre, d.clock->handTip(ClockHand::Second, 16)))
                                  .adjusted(-1, -1, 1, 1);
    EXPECT_FALSE(region.isEmpty());
    EXPECT_TRUE((region - secondHands).isEmpty());
}

TEST(ClockRepaint, ANewMinuteRepaintsTheFatHandsAsWell)
{
    DialOnScreen d(1024, at(10, 40, 59));
    d.show();
    const QRegion region = d.repaintedByTickAt(at(10, 41, 0));
    for (const QPoint tip : {d.clock->handTip(ClockHand::Minute, 40), d.clock->handTip(ClockHand::Minute, 41),
             d.clock->handTip(ClockHand::Hour, 53)})
        EXPECT_TRUE(region.contains(tip));
    EXPECT_FALSE(covers(region, d.clock->rect()));
}

TEST(ClockRepaint, AJumpOfTheSystemTimeRepaintsEverything)
{
    DialOnScreen d(1024, at(10, 40, 15));
    d.show();
    EXPECT_TRUE(covers(d.repaintedByTickAt(at(11, 40, 15)), d.clock->rect()));
}

TEST(ClockRepaint, DigitsRepaintByCellUntilTheHourChanges)
{
    DialOnScreen d(1024, at(9, 59, 58));
    d.clock->setShowMode(scDigital);
    d.clock->setLeadingZero(false);
    d.show();
    const QRegion seconds = d.repaintedByTickAt(at(9, 59, 59));
    const QList<QRect> cells = d.clock->digitCells(); // "9:59:59"
    ASSERT_EQ(cells.size(), 7);
    EXPECT_EQ(seconds, QRegion(cells[5]) | cells[6]);

    EXPECT_TRUE(covers(d.repaintedByTickAt(at(10, 0, 0)), d.clock->rect()));
    EXPECT_EQ(d.clock->digitCells().size(), 8);
}

TEST(ClockRepaint, AutoSizeFitsTheDigitsToTheWidth)
{
    DialOnScreen d(1024, at(10, 0, 0));
    d.clock->setShowMode(scDigital);
    d.clock->resize(300, 120);
    d.show();
    d.clock->setAutoSize(true);
    const auto digitsWidth = [&] {
        const QList<QRect> cells = d.clock->digitCells();
        return cells.last().right() - cells.first().left() + 1;
    };
    // The panel's 296 pixels less a margin of 30, give or take the rounding
    // of eight cells.
    EXPECT_NEAR(digitsWidth(), 266, 8);
    d.clock->resize(200, 120);
    EXPECT_NEAR(digitsWidth(), 166, 8);
    d.clock->setShowSeconds(false);
    EXPECT_NEAR(digitsWidth(), 166, 5);
}

// --- The clock's own timer ---------------------------------------------------

TEST(ClockTimer, TicksByItselfAndNotAfterTheClockIsGone)
{
    int reads = 0;
    auto *clock = new TAnalogClock;
    clock->OnGetTime = [&](TAnalogClock *, DateTime &) { ++reads; };
    ASSERT_TRUE(QTest::qWaitFor([&] { return reads >= 2; }, 3000));
    // Busy long enough for the worker to post a tick it then waits for.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    delete clock;
    const int atDestruction = reads;
    // The tick it had posted, had it run, would have run before this event;
    // a timer left running would have ticked beside a second one.
    bool handled = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { handled = true; }, Qt::QueuedConnection);
    int beside = 0;
    TThreadTimer timer;
    timer.setInterval(450); // the clock's
    timer.setOnTimer([&](TThreadTimer *) { ++beside; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return handled && beside >= 2; }, 5000));
    EXPECT_EQ(reads, atDestruction);
}
