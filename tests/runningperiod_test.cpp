// The running period is the one the stopwatch started, wherever Insert,
// Update, Delete or a reload put its row.

#include "clocksource.h"
#include "dateedit.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "maskededit.h"
#include "onoffswitch.h"
#include "popupmenu.h"
#include "startedwindow.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

// Two mornings before today and this morning, which owes the day's hours;
// the bottom line follows.
const QByteArray ThreePeriods
    = "\"05-12-26 08:00\",\"05-12-26 12:30\",\"04:30\",\"\",\"05-12-26\",\"00:00\",\"\",\"\",\"one\"\r\n"
      "\"06-12-26 08:00\",\"06-12-26 12:30\",\"04:30\",\"\",\"06-12-26\",\"00:00\",\"\",\"\",\"two\"\r\n"
      "\"07-12-26 08:00\",\"07-12-26 12:00\",\"04:00\",\"\",\"07-12-26\",\"07:24\",\"\",\"\",\"three\"\r\n";

const QStringList MidnightRow({"07-12-26 00:00", "07-12-26 00:00", "00:00"});

// The main window over ThreePeriods at 14:05 on Monday 07-12-26.
struct Window : StartedWindow
{
    /// settings, when given, is the settings file the window starts with.
    explicit Window(const QByteArray &settings = {})
        : StartedWindow(ThreePeriods + BottomLineCsv, settings)
    { }

    /// Start, End and Time.
    QStringList period(int r) { return row(r).mid(0, 3); }
    bool running() const
    {
        return form->Switch1->StateOn() && form->Switch1->Caption() == "S&top" && form->Timer1->isActive();
    }

};

} // namespace

TEST(RunningPeriod, InsertBelowTheRunningRowLeavesItTheOneThatStopCloses)
{
    Window w;
    w.clickSwitch();
    ASSERT_EQ(w.grid().Row(), 4);
    w.press(w.form->btnInsLine);
    ASSERT_EQ(w.period(5), MidnightRow);

    w.clock.advance(2 * 3600 + 47 * 60);
    w.clickSwitch();
    EXPECT_EQ(w.row(4),
        QStringList({"07-12-26 14:05", "07-12-26 16:52", "02:47", "", "07-12-26", "00:00", "", "+02:47", ""}));
    EXPECT_EQ(w.row(5), MidnightRow + QStringList({"", "07-12-26", "00:00", "", "+00:00", ""}));
    EXPECT_EQ(w.grid().Row(), 4);
    EXPECT_TRUE(w.messages.texts.isEmpty());
}

// The tray menu's item turns the switch, and reads as the switch does
// however it was turned.
TEST(RunningPeriod, TrayItemStartsAndStopsAsTheSwitchDoes)
{
    Window w;
    QSignalSpy changes(w.form.get(), &TForm1::runningChanged);
    TPopupMenu &menu = *w.form->TrayMenu1;
    auto chooseFromTray = [&] {
        menu.popup(QPoint(0, 0));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&menu));
        QTest::keyClick(&menu, Qt::Key_T);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !menu.isVisible(); }));
    };
    EXPECT_EQ(w.form->PopStopwatch->text(), "S&tart");
    chooseFromTray();
    EXPECT_TRUE(w.running());
    EXPECT_EQ(w.form->PopStopwatch->text(), "S&top");
    EXPECT_EQ(w.row(4)[0], "07-12-26 14:05");

    w.clock.advance(50 * 60);
    chooseFromTray();
    EXPECT_FALSE(w.form->Switch1->StateOn());
    EXPECT_EQ(w.form->Switch1->Caption(), "S&tart");
    EXPECT_EQ(w.form->PopStopwatch->text(), "S&tart");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return readFile(w.worksheet()).contains("\"07-12-26 14:05\",\"07-12-26 14:55\",\"00:50\""); }));

    // Turned by the switch itself, and back by undoing that start.
    w.clickSwitch();
    EXPECT_EQ(w.form->PopStopwatch->text(), "S&top");
    QTest::keyClick(w.form.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(w.form->Switch1->StateOn());
    EXPECT_EQ(w.form->PopStopwatch->text(), "S&tart");

    QList<bool> told;
    for (const QList<QVariant> &change : changes)
        told << change[0].toBool();
    EXPECT_EQ(told, QList<bool>({true, false, true, false}));
    EXPECT_FALSE(w.form->isRunning());
    EXPECT_TRUE(w.messages.texts.isEmpty());
}

TEST(RunningPeriod, UpdateThatSortsAnotherRowBelowTheRunningOne)
{
    Window w;
    w.clickSwitch();
    w.clock.advance(3 * 3600); // 17:05
    w.clickRow(1);
    w.retype(w.form->DateEdit1, "071226");
    w.retype(w.form->MaskEdit1, "1500");
    w.retype(w.form->DateEdit3, "071226");
    w.retype(w.form->MaskEdit2, "1600");
    w.press(w.form->btnV1);
    ASSERT_EQ(w.row(4)[8], "one");
    EXPECT_TRUE(w.running());

    w.clickSwitch();
    EXPECT_EQ(w.period(3), QStringList({"07-12-26 14:05", "07-12-26 17:05", "03:00"}));
    EXPECT_EQ(w.period(4), QStringList({"07-12-26 15:00", "07-12-26 16:00", "01:00"}));
    EXPECT_TRUE(w.messages.texts.isEmpty());
}

// The running period runs until now, whatever End the panel showed: a start
// moved past the End of the last save is no period that ends before it starts.
TEST(RunningPeriod, UpdateOfTheRunningRowChangesItAndKeepsItRunning)
{
    Window w;
    w.clickSwitch();
    w.clock.advance(30 * 60); // 14:35
    w.retype(w.form->MaskEdit1, "0730"); // it began before this morning's row
    w.retype(w.form->memo1->viewport(), "planning");
    w.press(w.form->btnV1);
    EXPECT_TRUE(w.running());
    EXPECT_EQ(w.row(3),
        QStringList({"07-12-26 07:30", "07-12-26 14:35", "07:05", "", "07-12-26", "00:00", "", "+07:05", "planning"}));
    EXPECT_EQ(w.row(4)[8], "three");
    EXPECT_EQ(w.grid().Row(), 3);

    w.clock.advance(30 * 60); // 15:05
    w.retype(w.form->MaskEdit1, "1450"); // later than the End written at 14:35
    w.press(w.form->btnV1);
    EXPECT_TRUE(w.messages.texts.isEmpty());
    EXPECT_TRUE(w.running());
    EXPECT_EQ(w.period(4), QStringList({"07-12-26 14:50", "07-12-26 15:05", "00:15"}));

    w.clock.advance(30 * 60); // 15:35
    w.clickSwitch();
    EXPECT_EQ(w.row(4),
        QStringList({"07-12-26 14:50", "07-12-26 15:35", "00:45", "", "07-12-26", "00:00", "", "+00:45", "planning"}));
    EXPECT_EQ(w.period(3), QStringList({"07-12-26 08:00", "07-12-26 12:00", "04:00"}));

    // Closed, it keeps its End.
    w.clock.advance(10 * 60);
    w.retype(w.form->memo1->viewport(), "planned");
    w.press(w.form->btnV1);
    EXPECT_EQ(w.row(4)[8], "planned");
    EXPECT_EQ(w.period(4), QStringList({"07-12-26 14:50", "07-12-26 15:35", "00:45"}));
}

TEST(RunningPeriod, DeletingTheRunningRowStopsTheStopwatchAndClosesNoOtherRow)
{
    Window w;
    const QStringList before = w.row(3);
    w.clickSwitch();
    w.clock.advance(30 * 60);
    ASSERT_EQ(w.grid().Selection().Top, 4);
    w.press(w.form->btnDelete);
    EXPECT_FALSE(w.form->Switch1->StateOn());
    EXPECT_EQ(w.form->Switch1->Caption(), "S&tart");
    EXPECT_FALSE(w.form->Timer1->isActive());
    EXPECT_FALSE(w.form->LiveTimer->isActive());
    EXPECT_EQ(w.grid().RowCount(), 5);
    EXPECT_EQ(w.row(3), before);
    EXPECT_EQ(w.row(4), QStringList(9, QString()));
    EXPECT_TRUE(w.messages.texts.isEmpty());

    w.clickSwitch(); // a fresh period, not the end of the one deleted
    EXPECT_TRUE(w.running());
    EXPECT_EQ(w.period(4), QStringList({"07-12-26 14:35", "07-12-26 14:35", "00:00"}));
}

TEST(RunningPeriod, DeletingARowAboveTheRunningOneLeavesItRunning)
{
    Window w;
    w.clickSwitch();
    w.press(w.form->btnInsLine);
    w.clickRow(1);
    w.press(w.form->btnDelete);
    EXPECT_TRUE(w.running());

    w.clock.advance(60 * 60);
    w.clickSwitch();
    EXPECT_EQ(w.period(3), QStringList({"07-12-26 14:05", "07-12-26 15:05", "01:00"}));
    EXPECT_EQ(w.period(4), MidnightRow);
}

TEST(RunningPeriod, LiveUpdateSaveNowAndExitBringTheRunningRowUpToNow)
{
    Window w("[WorkingHours]\nMon=07:24\n"); // the live update needs them
    w.clickSwitch();
    w.press(w.form->btnInsLine);

    w.clock.advance(30 * 60);
    w.form->LiveTimerTimer();
    EXPECT_EQ(w.period(4), QStringList({"07-12-26 14:05", "07-12-26 14:35", "00:30"}));
    EXPECT_EQ(w.period(5), MidnightRow);

    w.clock.advance(30 * 60);
    w.press(w.form->btnGem);
    EXPECT_EQ(w.period(4), QStringList({"07-12-26 14:05", "07-12-26 15:05", "01:00"}));
    EXPECT_EQ(w.period(5), MidnightRow);
    EXPECT_TRUE(readFile(w.worksheet()).contains("\"07-12-26 14:05\",\"07-12-26 15:05\",\"01:00\""));

    w.clock.advance(30 * 60);
    w.press(w.form->btnLuk);
    EXPECT_FALSE(w.form->isVisible());
    const QByteArray saved = readFile(w.worksheet());
    EXPECT_TRUE(saved.contains("\"07-12-26 14:05\",\"07-12-26 15:35\",\"01:30\""));
    EXPECT_TRUE(saved.contains("\"07-12-26 00:00\",\"07-12-26 00:00\",\"00:00\""));
    EXPECT_TRUE(w.messages.texts.isEmpty());
}

TEST(RunningPeriod, ReloadFindsTheRunningPeriodInTheFileAndKeepsItRunning)
{
    Window w;
    w.clickSwitch();
    w.clock.advance(15 * 60);
    w.press(w.form->btnGem); // the file holds the running period now
    writeFile(w.worksheet(), readFile(w.worksheet()).replace("\"two\"", "\"two, edited\"")); // elsewhere
    w.clock.advance(15 * 60);
    w.messages.answers = {0}; // Reload
    w.press(w.form->btnGem);

    ASSERT_EQ(w.messages.questions.size(), 1);
    EXPECT_EQ(w.row(2)[8], "two, edited");
    EXPECT_EQ(w.grid().RowCount(), 6); // held once
    EXPECT_EQ(w.period(4), QStringList({"07-12-26 14:05", "07-12-26 14:20", "00:15"}));
    EXPECT_TRUE(w.running());

    w.clock.advance(25 * 60);
    w.clickSwitch();
    EXPECT_EQ(w.period(4), QStringList({"07-12-26 14:05", "07-12-26 15:00", "00:55"}));
    EXPECT_EQ(w.row(5), QStringList(9, QString()));
}

// Of two rows with its start (one copied by hand, say), the later one.
TEST(RunningPeriod, ReloadTakesTheLastRowWithTheRunningStart)
{
    Window w;
    w.clickSwitch();
    w.press(w.form->btnGem);
    const QByteArray saved = readFile(w.worksheet());
    const qsizetype start = saved.indexOf("\"07-12-26 14:05\"");
    const QByteArray running = saved.mid(start, saved.indexOf("\r\n", start) + 2 - start);
    const QByteArray copy = QByteArray(running).replace(",\"\"\r\n", ",\"copy\"\r\n");
    writeFile(w.worksheet(), QByteArray(saved).insert(start, copy));
    w.messages.answers = {0};
    w.press(w.form->btnGem);
    ASSERT_EQ(w.row(4)[8], "copy");
    ASSERT_EQ(w.grid().RowCount(), 7);

    w.clock.advance(60 * 60);
    w.clickSwitch();
    EXPECT_EQ(w.period(4), QStringList({"07-12-26 14:05", "07-12-26 14:05", "00:00"}));
    EXPECT_EQ(w.period(5), QStringList({"07-12-26 14:05", "07-12-26 15:05", "01:00"}));
}

TEST(RunningPeriod, ReloadedFileWithoutTheRunningPeriodGetsItInStartOrder)
{
    Window w;
    w.clickSwitch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.form->isSaving(); }, 5000)); // its start is saved at once
    // A period typed in elsewhere that began after this one.
    writeFile(w.worksheet(),
        ThreePeriods
            + "\"07-12-26 16:00\",\"07-12-26 17:00\",\"01:00\",\"\",\"07-12-26\",\"00:00\",\"\",\"\",\"elsewhere\"\r\n"
            + BottomLineCsv);
    w.clock.advance(4 * 3600); // 18:05
    w.messages.answers = {0};
    w.press(w.form->btnGem);
    EXPECT_EQ(w.grid().RowCount(), 7);
    EXPECT_EQ(w.period(4), QStringList({"07-12-26 14:05", "07-12-26 18:05", "04:00"}));
    EXPECT_EQ(w.row(5)[8], "elsewhere");
    EXPECT_TRUE(w.running());

    w.clock.advance(60 * 60);
    w.clickSwitch();
    EXPECT_EQ(w.period(4), QStringList({"07-12-26 14:05", "07-12-26 19:05", "05:00"}));
    EXPECT_EQ(w.period(5), QStringList({"07-12-26 16:00", "07-12-26 17:00", "01:00"}));
}
