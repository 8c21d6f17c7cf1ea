// The idle time of a real X server (Xvfb, which has MIT-SCREEN-SAVER), read by
// the detector the program makes, while nobody touches the keyboard or the
// pointer for over a minute; then the pointer moves, as xdotool moves it.

#include "desktopawaydetector.h"
#include "inputidlesource.h"

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

void movePointerTo(int x, int y)
{
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"),
                                {QStringLiteral("mousemove"), QString::number(x), QString::number(y)}),
              0);
}

TEST(X11Idle, AMinuteWithoutInputIsReportedFromTheLastInputWhenThePointerMoves)
{
    const InputIdleSource::IdleReader readIdle = x11IdleReader();
    if (QGuiApplication::platformName() != u"xcb")
        GTEST_SKIP() << "no X server";
    ASSERT_TRUE(readIdle) << "the X server has no MIT-SCREEN-SAVER";

    movePointerTo(10, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return readIdle().value_or(-1) < 1000; }, 5000));
    const QDateTime lastInput = QDateTime::currentDateTime();
    const std::unique_ptr<AwayDetector> detector = makeDesktopAwayDetector(nullptr);
    QSignalSpy spy(detector.get(), &AwayDetector::cameBack);
    detector->start(1);

    ASSERT_TRUE(QTest::qWaitFor([&] { return readIdle().value_or(0) > 65 * 1000; }, 90 * 1000));
    EXPECT_TRUE(spy.isEmpty()) << "reported while still away";
    movePointerTo(200, 200);
    const QDateTime back = QDateTime::currentDateTime();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !spy.isEmpty(); }, 20 * 1000));

    EXPECT_LE(std::abs(lastInput.secsTo(spy[0][0].toDateTime())), 3);
    EXPECT_LE(std::abs(back.secsTo(spy[0][1].toDateTime())), 3);
    EXPECT_EQ(spy[0][2].value<AwayDetector::Kind>(), AwayDetector::Kind::Idle);
}

} // namespace
