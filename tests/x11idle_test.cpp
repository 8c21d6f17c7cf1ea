// Away time on a real X server (Xvfb, which has MIT-SCREEN-SAVER): the main
// window with the detector the program makes, the stopwatch running while
// nobody touches the keyboard or the pointer for over a minute; then the
// pointer moves, as xdotool moves it, and the question is answered.

#include "awayquestion.h"
#include "desktopawaydetector.h"
#include "inputidlesource.h"
#include "onoffswitch.h"
#include "startedwindow.h"

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

void movePointerTo(int x, int y)
{
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"),
                                {QStringLiteral("mousemove"), QString::number(x), QString::number(y)}),
              0);
}

QString minuteText(const QDateTime &time)
{
    return time.toString(QStringLiteral("dd-MM-yy hh:mm"));
}

TEST(X11Idle, AMinuteWithoutInputIsAskedAboutWhenThePointerMovesAndStopAtEndsThePeriodThere)
{
    const InputIdleSource::IdleReader readIdle = x11IdleReader();
    if (QGuiApplication::platformName() != u"xcb")
        GTEST_SKIP() << "no X server";
    ASSERT_TRUE(readIdle) << "the X server has no MIT-SCREEN-SAVER";

    QTemporaryDir folder;
    auto form = startWindow(folder, BottomLineCsv, "[Away]\nMinutes=1\n");
    std::unique_ptr<QSignalSpy> cameBack;
    form->setAwayDetectorMaker([&] {
        std::unique_ptr<AwayDetector> detector = makeDesktopAwayDetector(nullptr);
        cameBack = std::make_unique<QSignalSpy>(detector.get(), &AwayDetector::cameBack);
        return detector;
    });

    movePointerTo(10, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return readIdle().value_or(-1) < 1000; }, 5000));
    const QDateTime lastInput = QDateTime::currentDateTime();
    // The click is made by the test, not by the X server: the idle time runs on.
    ASSERT_TRUE(QTest::qWaitFor([&] { return readIdle().value_or(0) > 1500; }, 5000));
    const QDateTime clicked = QDateTime::currentDateTime();
    QTest::mousePress(form->Switch1, Qt::LeftButton, {}, form->Switch1->rect().center());
    QCoreApplication::processEvents();
    ASSERT_TRUE(form->Switch1->StateOn());
    EXPECT_GT(readIdle().value_or(0), 1500);
    ASSERT_TRUE(cameBack) << "no detector made";

    ASSERT_TRUE(QTest::qWaitFor([&] { return readIdle().value_or(0) > 65 * 1000; }, 90 * 1000));
    EXPECT_TRUE(cameBack->isEmpty()) << "reported while still away";
    EXPECT_FALSE(form->findChild<AwayQuestion *>()) << "asked while still away";
    movePointerTo(200, 200);
    const QDateTime back = QDateTime::currentDateTime();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const auto *question = form->findChild<AwayQuestion *>();
        return question && question->isVisible();
    }, 20 * 1000));

    ASSERT_EQ(cameBack->size(), 1);
    EXPECT_LE(std::abs(lastInput.secsTo((*cameBack)[0][0].toDateTime())), 3);
    EXPECT_LE(std::abs(back.secsTo((*cameBack)[0][1].toDateTime())), 3);
    EXPECT_EQ((*cameBack)[0][2].value<AwayDetector::Kind>(), AwayDetector::Kind::Idle);

    // Away from the last input, or from the period's start when the click
    // fell in the next minute.
    const QDateTime clickMinute(clicked.date(), QTime(clicked.time().hour(), clicked.time().minute()));
    const QDateTime awayStart = std::max(lastInput, clickMinute);
    QPushButton *stop = form->findChild<AwayQuestion *>()->stopButton;
    EXPECT_EQ(stop->text(), "&Stop at " + awayStart.toString(QStringLiteral("hh:mm")));
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_FALSE(form->Switch1->StateOn());
    QTest::mouseClick(form->btnLuk, Qt::LeftButton);
    ASSERT_FALSE(form->isVisible());

    const QByteArray saved = readFile(folder.filePath(QStringLiteral("Hourbook.csv")));
    const QString period = QStringLiteral("\"%1\",\"%2\",\"00:00\"").arg(minuteText(clicked), minuteText(awayStart));
    EXPECT_TRUE(saved.contains(period.toUtf8())) << saved.constData();
}

} // namespace
