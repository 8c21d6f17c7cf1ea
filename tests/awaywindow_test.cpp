// Away time through the main window: the spans a detector reports while the
// stopwatch runs, the question, and each answer through the switch's own code.

#include "awayquestion.h"
#include "awaytimepage.h"
#include "clocksource.h"
#include "fakeawaydetector.h"
#include "filelocations.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "onoffswitch.h"
#include "preferencesdialog.h"
#include "startedwindow.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

const QByteArray Morning
    = "\"07-12-26 08:00\",\"07-12-26 12:00\",\"04:00\",\"\",\"07-12-26\",\"07:24\",\"\",\"\",\"morning\"\r\n";
const QByteArray AwayOn = "[Away]\nMinutes=15\n";

QDateTime today(int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 12, 7), QTime(hour, minute, second));
}

// The main window over Morning at 14:05 on Monday 07-12-26, watching with a
// fake detector.
struct AwayWindow : StartedWindow
{
    FakeAwayDetector *detector = new FakeAwayDetector;

    explicit AwayWindow(const QByteArray &settings = AwayOn)
        : StartedWindow(Morning + BottomLineCsv, settings)
    {
        form->setAwayDetector(std::unique_ptr<AwayDetector>(detector));
    }

    /// Start, End and Time.
    QStringList period(int r) { return row(r).mid(0, 3); }
    bool running() const { return form->Switch1->StateOn() && form->Switch1->Caption() == "S&top"; }
    AwayQuestion *question() const { return form->findChild<AwayQuestion *>(); }
    bool asked() const { return question() && question()->isVisible(); }
    bool pendingKept() const { return QFile::exists(awayPendingFile(folder.path())); }
    bool saved(const QByteArray &line)
    {
        return QTest::qWaitFor([&] { return !form->isSaving() && readFile(worksheet()).contains(line); });
    }

    /// Started at 14:05, away from 14:20 to 15:20, back at 15:30.
    void awayForAnHour()
    {
        clickSwitch();
        clock.set(today(15, 30));
        detector->comeBack(today(14, 20), today(15, 20));
    }
};

} // namespace

TEST(AwayWindow, KeepTheTimeChangesNothing)
{
    AwayWindow w;
    w.awayForAnHour();
    ASSERT_TRUE(w.asked());
    EXPECT_EQ(w.question()->text(), "You were away from 14:20 to 15:20 (60 minutes) while the stopwatch ran.");
    EXPECT_EQ(w.question()->keepButton->text(), "&Keep the time");
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.question()));
    EXPECT_TRUE(w.pendingKept());

    w.press(w.question()->keepButton);
    EXPECT_FALSE(w.asked());
    EXPECT_TRUE(w.running());
    EXPECT_EQ(w.detector->watchingFor, 15);
    EXPECT_EQ(w.period(2), QStringList({"07-12-26 14:05", "07-12-26 14:05", "00:00"}));
    EXPECT_FALSE(w.pendingKept());
}

TEST(AwayWindow, StopAtTheAwayStartEndsThePeriodThereAndTurnsTheSwitchOff)
{
    AwayWindow w;
    w.awayForAnHour();
    ASSERT_TRUE(w.asked());
    EXPECT_EQ(w.question()->stopButton->text(), "&Stop at 14:20");
    w.press(w.question()->stopButton);

    EXPECT_FALSE(w.asked());
    EXPECT_FALSE(w.form->Switch1->StateOn());
    EXPECT_EQ(w.form->Switch1->Caption(), "S&tart");
    EXPECT_FALSE(w.form->Timer1->isActive());
    EXPECT_FALSE(w.form->LiveTimer->isActive());
    EXPECT_EQ(w.detector->watchingFor, 0);
    EXPECT_EQ(w.period(2), QStringList({"07-12-26 14:05", "07-12-26 14:20", "00:15"}));
    EXPECT_EQ(w.grid().RowCount(), 4);
    EXPECT_TRUE(w.saved("\"07-12-26 14:05\",\"07-12-26 14:20\",\"00:15\""));
    EXPECT_FALSE(w.pendingKept());
    EXPECT_TRUE(w.messages.texts.isEmpty());
}

TEST(AwayWindow, StopAndStartAgainEndsThePeriodAtTheAwayStartAndStartsOneNow)
{
    AwayWindow w;
    w.awayForAnHour();
    ASSERT_TRUE(w.asked());
    EXPECT_EQ(w.question()->stopAndStartAgainButton->text(), "Stop at 14:20 and start &again");
    w.press(w.question()->stopAndStartAgainButton);

    EXPECT_TRUE(w.running());
    EXPECT_EQ(w.detector->watchingFor, 15);
    EXPECT_EQ(w.period(2), QStringList({"07-12-26 14:05", "07-12-26 14:20", "00:15"}));
    EXPECT_EQ(w.period(3), QStringList({"07-12-26 15:30", "07-12-26 15:30", "00:00"}));
    EXPECT_TRUE(w.saved("\"07-12-26 14:05\",\"07-12-26 14:20\",\"00:15\""));
    EXPECT_TRUE(w.saved("\"07-12-26 15:30\",\"07-12-26 15:30\",\"00:00\""));

    // The new period is the running one: the switch closes it, not the old.
    w.clock.set(today(16, 0));
    w.clickSwitch();
    EXPECT_EQ(w.period(2), QStringList({"07-12-26 14:05", "07-12-26 14:20", "00:15"}));
    EXPECT_EQ(w.period(3), QStringList({"07-12-26 15:30", "07-12-26 16:00", "00:30"}));
}

TEST(AwayWindow, NoQuestionWhileTheStopwatchIsOffOrTheSettingIsOff)
{
    {
        AwayWindow w;
        EXPECT_EQ(w.detector->watchingFor, 0);
        w.detector->comeBack(today(14, 20), today(15, 20));
        EXPECT_FALSE(w.question());
        EXPECT_FALSE(w.pendingKept());
    }
    {
        AwayWindow w(QByteArray("[Away]\nMinutes=\n"));
        w.awayForAnHour();
        EXPECT_EQ(w.detector->watchingFor, 0);
        EXPECT_FALSE(w.question());
        EXPECT_FALSE(w.pendingKept());
        EXPECT_TRUE(w.running());
    }
}

TEST(AwayWindow, SpanShorterThanTheSettingIsNotAskedAbout)
{
    AwayWindow w;
    w.clickSwitch();
    w.detector->comeBack(today(14, 20), today(14, 34, 59));
    EXPECT_FALSE(w.question());
    w.detector->comeBack(today(14, 40), today(14, 55));
    EXPECT_TRUE(w.asked());
}

TEST(AwayWindow, SecondSpanUpdatesTheOpenQuestion)
{
    AwayWindow w;
    w.awayForAnHour();
    ASSERT_TRUE(w.asked());
    w.detector->comeBack(today(15, 40), today(16, 10), AwayDetector::Kind::Asleep);
    EXPECT_EQ(w.form->findChildren<AwayQuestion *>().size(), 1);
    EXPECT_TRUE(w.asked());
    EXPECT_EQ(w.question()->text(), "You were away from 14:20 to 16:10 (110 minutes) while the stopwatch ran.");
    w.press(w.question()->stopButton);
    EXPECT_EQ(w.period(2), QStringList({"07-12-26 14:05", "07-12-26 14:20", "00:15"}));
}

TEST(AwayWindow, SleepIsAskedAboutAsSuch)
{
    AwayWindow w;
    w.clickSwitch();
    w.clock.set(today(16, 0));
    w.detector->comeBack(today(14, 30), today(15, 55), AwayDetector::Kind::Asleep);
    ASSERT_TRUE(w.asked());
    EXPECT_EQ(w.question()->text(),
        "The computer was asleep from 14:30 to 15:55 (85 minutes) while the stopwatch ran.");
    EXPECT_EQ(w.question()->stopButton->text(), "&Stop at 14:30");
}

TEST(AwayWindow, UnansweredTheStopwatchRunsOnAndIsSavedAsRunning)
{
    AwayWindow w;
    w.awayForAnHour();
    ASSERT_TRUE(w.asked());
    w.form->Timer1Timer(); // the 15-minute save
    EXPECT_TRUE(w.running());
    EXPECT_TRUE(w.saved("\"07-12-26 14:05\",\"07-12-26 15:30\",\"01:25\""));
    EXPECT_TRUE(w.asked());
    EXPECT_TRUE(w.pendingKept());
}

TEST(AwayWindow, UnansweredAtExitIsAskedAtTheNextStartAndAppliedToThatPeriod)
{
    QTemporaryDir folder;
    FixedClock clock(today(14, 5));
    MessageRecorder messages;
    {
        auto form = startWindow(folder, Morning + BottomLineCsv, AwayOn);
        auto *detector = new FakeAwayDetector;
        form->setAwayDetector(std::unique_ptr<AwayDetector>(detector));
        QTest::mousePress(form->Switch1, Qt::LeftButton, {}, form->Switch1->rect().center());
        clock.set(today(15, 30));
        detector->comeBack(today(14, 20), today(15, 20));
        clock.set(today(15, 45));
        QTest::mouseClick(form->btnLuk, Qt::LeftButton);
        ASSERT_FALSE(form->isVisible());
    }
    const QString worksheet = folder.filePath(QStringLiteral("Hourbook.csv"));
    EXPECT_TRUE(readFile(worksheet).contains("\"07-12-26 14:05\",\"07-12-26 15:45\",\"01:40\""));
    ASSERT_TRUE(QFile::exists(awayPendingFile(folder.path())));

    clock.set(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    auto form = std::make_unique<TForm1>(folder.path());
    form->show();
    auto *question = form->findChild<AwayQuestion *>();
    ASSERT_TRUE(question && question->isVisible());
    EXPECT_EQ(question->text(), "While Worktally last ran you were away from 14:20 to 15:20 (60 minutes).");
    EXPECT_FALSE(form->Switch1->StateOn());

    QTest::mouseClick(question->stopAndStartAgainButton, Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(awayPendingFile(folder.path())));
    EXPECT_TRUE(form->Switch1->StateOn());
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const QByteArray saved = readFile(worksheet);
        return !form->isSaving() && saved.contains("\"07-12-26 14:05\",\"07-12-26 14:20\",\"00:15\"")
            && saved.contains("\"08-12-26 09:00\",\"08-12-26 09:00\",\"00:00\"");
    }));
    EXPECT_FALSE(readFile(worksheet).contains("15:45"));
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST(AwayWindow, LongPeriodNoticeIsNotGivenRightAfterTheAwayAnswer)
{
    AwayWindow w("[WorkingHours]\nMon=07:24\n[Away]\nMinutes=15\n"); // the minute update needs them
    QStringList notices;
    w.form->notify = [&](const QString &text) { notices << text; };
    w.clickSwitch();
    w.clock.set(QDateTime(QDate(2026, 12, 8), QTime(2, 10)));
    w.detector->comeBack(today(18, 0), QDateTime(QDate(2026, 12, 8), QTime(2, 0)), AwayDetector::Kind::Asleep);
    ASSERT_TRUE(w.asked());
    w.press(w.question()->keepButton);
    w.form->LiveTimerTimer();
    EXPECT_FALSE(notices.join('\n').contains("12 hours"));
    EXPECT_TRUE(w.running());
}

TEST(AwayWindow, StopAtAppliesToThePeriodStoppedMeanwhile)
{
    AwayWindow w;
    w.awayForAnHour();
    ASSERT_TRUE(w.asked());
    w.clickSwitch(); // stopped at 15:30 with the question open
    ASSERT_EQ(w.period(2), QStringList({"07-12-26 14:05", "07-12-26 15:30", "01:25"}));
    w.press(w.question()->stopButton);
    EXPECT_FALSE(w.form->Switch1->StateOn());
    EXPECT_EQ(w.period(2), QStringList({"07-12-26 14:05", "07-12-26 14:20", "00:15"}));
    EXPECT_TRUE(w.saved("\"07-12-26 14:05\",\"07-12-26 14:20\",\"00:15\""));
}

TEST(AwayWindow, DetectorIsMadeOnlyOnceTheSettingIsOnWhileTheStopwatchRuns)
{
    StartedWindow w(Morning + BottomLineCsv);
    int made = 0;
    FakeAwayDetector *detector = nullptr;
    w.form->setAwayDetectorMaker([&] {
        ++made;
        detector = new FakeAwayDetector;
        return std::unique_ptr<AwayDetector>(detector);
    });
    w.clickSwitch();
    w.clickSwitch();
    EXPECT_EQ(made, 0); // setting off: nothing is made, no bus is asked

    writeFile(w.folder.filePath(QStringLiteral("Worktally.Setup")), AwayOn);
    w.clickSwitch();
    ASSERT_EQ(made, 1);
    EXPECT_EQ(detector->watchingFor, 15);
    w.clickSwitch();
    EXPECT_EQ(detector->watchingFor, 0);
    w.clickSwitch();
    EXPECT_EQ(made, 1); // made once, started again
    EXPECT_EQ(detector->watchingFor, 15);
}

TEST(AwayWindow, AwayTimeTurnedOnInThePreferencesIsWatchedAtOnce)
{
    AwayWindow w(QByteArray("[Away]\nMinutes=\n"));
    w.clickSwitch();
    EXPECT_EQ(w.detector->watchingFor, 0);
    w.form->PopPreferences->trigger();
    auto *dialog = w.form->findChild<PreferencesDialog *>();
    ASSERT_TRUE(dialog);
    dialog->awayTimePage->minutesBox->setValue(20);
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
    EXPECT_EQ(w.detector->watchingFor, 20);
}
