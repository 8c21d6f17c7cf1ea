// Every change of the worksheet is undone with Ctrl+Z and redone with
// Ctrl+Shift+Z or Ctrl+Y, in the grid and on disk.

#include "clocksource.h"
#include "dateedit.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "maskededit.h"
#include "onoffswitch.h"
#include "panelstatusbar.h"
#include "startedwindow.h"
#include "testsupport.h"
#include "worksheet.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <QBuffer>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

QByteArray mornings(std::initializer_list<int> days)
{
    QByteArray bytes;
    for (const int day : days) {
        const QByteArray date = QByteArray::number(day).rightJustified(2, '0') + "-12-26";
        bytes += "\"" + date + " 08:00\",\"" + date + " 12:30\",\"04:30\",\"\",\"" + date
            + "\",\"07:24\",\"\",\"\",\"note " + QByteArray::number(day) + "\"\r\n";
    }
    return bytes + BottomLineCsv;
}

// The main window at 14:05 on Monday 07-12-26 over a worksheet of mornings.
struct Window : StartedWindow
{
    explicit Window(const QByteArray &worksheet = mornings({1, 2, 3, 4, 5, 6}))
        : StartedWindow(worksheet)
    { }

    /// Every row's texts but its Diff., which the recalculation after each
    /// undo and redo writes anew (Start and Insert leave it to the next one).
    std::vector<QStringList> rows()
    {
        std::vector<QStringList> all;
        for (int r = 0; r < grid().RowCount(); ++r) {
            QStringList texts = row(r);
            texts.removeAt(DiffColumn);
            all.push_back(texts);
        }
        return all;
    }
    bool running() const
    {
        return form->Switch1->StateOn() && form->Switch1->Caption() == "S&top" && form->Timer1->isActive()
            && form->LiveTimer->isActive();
    }
    bool stopped() const
    {
        return !form->Switch1->StateOn() && form->Switch1->Caption() == "S&tart" && !form->Timer1->isActive()
            && !form->LiveTimer->isActive();
    }

    void undo() { QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier); }
    void redo() { QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }
    void redoByY() { QTest::keyClick(form.get(), Qt::Key_Y, Qt::ControlModifier); }

    void typePeriod(const QString &date, const QString &start, const QString &end)
    {
        retype(form->DateEdit1, date);
        retype(form->MaskEdit1, start);
        retype(form->DateEdit3, date);
        retype(form->MaskEdit2, end);
    }

    /// The worksheet in the window, as the file holds it.
    QByteArray windowCsv() const
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        form->Grid1->SaveToCSVStream(0, 1, buffer);
        return buffer.data();
    }
    /// Waits until the file holds bytes, written by the window's background save.
    bool onDisk(const QByteArray &bytes) const
    {
        return QTest::qWaitFor([&] { return !form->isSaving() && readFile(worksheet()) == bytes; }, 5000);
    }
};

} // namespace

// A new user types a new period into the panel and presses Update without
// Insert: the highlighted period is overwritten, and Ctrl+Z brings it back.
TEST(Undo, PeriodWrittenOverByUpdateComesBackWithCtrlZAndGoesAgainWithCtrlShiftZOrCtrlY)
{
    Window w;
    const std::vector<QStringList> before = w.rows();
    const QByteArray csvBefore = w.windowCsv();
    const QString totalsBefore = w.form->StatusBar1->PanelText(0);
    w.clickRow(3);
    w.typePeriod("071226", "0900", "1000");
    w.press(w.form->btnV1);
    ASSERT_EQ(w.grid().Row(), 6); // sorted last
    ASSERT_EQ(w.row(3)[8], "note 4"); // note 3 is gone
    const std::vector<QStringList> after = w.rows();
    const QByteArray csvAfter = w.windowCsv();
    const QString totalsAfter = w.form->StatusBar1->PanelText(0);
    ASSERT_NE(totalsAfter, totalsBefore);
    ASSERT_TRUE(w.onDisk(csvAfter));

    w.undo();
    EXPECT_EQ(w.rows(), before);
    EXPECT_EQ(w.grid().Row(), 3);
    EXPECT_EQ(w.grid().Selection().Top, 3);
    EXPECT_EQ(w.form->MaskEdit1->Text(), "08:00");
    EXPECT_EQ(w.form->memo1->toPlainText(), "note 3");
    EXPECT_EQ(w.form->StatusBar1->PanelText(0), totalsBefore);
    EXPECT_TRUE(w.onDisk(csvBefore));

    w.redo();
    EXPECT_EQ(w.rows(), after);
    EXPECT_EQ(w.grid().Row(), 6);
    EXPECT_EQ(w.form->MaskEdit1->Text(), "09:00");
    EXPECT_EQ(w.form->StatusBar1->PanelText(0), totalsAfter);
    EXPECT_TRUE(w.onDisk(csvAfter));

    w.undo();
    EXPECT_TRUE(w.onDisk(csvBefore));
    w.redoByY();
    EXPECT_EQ(w.rows(), after);
    EXPECT_TRUE(w.onDisk(csvAfter));

    w.redo(); // nothing left to redo
    EXPECT_EQ(w.rows(), after);

    // A new change after an undo: what was undone cannot be redone any more.
    w.undo();
    w.press(w.form->btnInsLine);
    const std::vector<QStringList> inserted = w.rows();
    w.redo();
    EXPECT_EQ(w.rows(), inserted);
    w.undo();
    EXPECT_EQ(w.rows(), before);
    w.undo(); // the Update was undone before: nothing is left
    EXPECT_EQ(w.rows(), before);
    EXPECT_TRUE(w.onDisk(csvBefore));
    EXPECT_TRUE(w.messages.texts.isEmpty());
}

// Update sorts every row: a file out of order gets back its own order.
TEST(Undo, UpdateOfAFileOutOfOrderIsUndoneToItsOwnOrder)
{
    Window w(mornings({3, 1, 4, 2}));
    const std::vector<QStringList> before = w.rows();
    const QByteArray csvBefore = w.windowCsv();
    w.clickRow(2);
    w.retype(w.form->memo1->viewport(), "changed");
    w.press(w.form->btnV1);
    ASSERT_EQ(w.row(1)[8], "changed");
    ASSERT_EQ(w.row(4)[8], "note 4");

    w.undo();
    EXPECT_EQ(w.rows(), before);
    EXPECT_EQ(w.grid().Row(), 2);
    EXPECT_TRUE(w.onDisk(csvBefore));
}

TEST(Undo, StartAndStopAreUndoneAndTheSwitchFollowsWithoutWritingARow)
{
    Window w(mornings({5, 6}));
    const std::vector<QStringList> before = w.rows();
    const QByteArray csvBefore = w.windowCsv();
    w.clickSwitch();
    ASSERT_TRUE(w.running());
    const std::vector<QStringList> started = w.rows();

    w.undo(); // the period started goes, and the stopwatch with it
    EXPECT_TRUE(w.stopped());
    EXPECT_EQ(w.rows(), before);
    EXPECT_TRUE(w.onDisk(csvBefore));

    w.redo();
    EXPECT_TRUE(w.running());
    EXPECT_EQ(w.rows(), started);
    EXPECT_EQ(w.grid().Row(), 3);

    w.clock.advance(30 * 60);
    w.clickSwitch();
    ASSERT_EQ(w.row(3).mid(0, 3), QStringList({"07-12-26 14:05", "07-12-26 14:35", "00:30"}));
    w.undo(); // the period runs again
    EXPECT_TRUE(w.running());
    EXPECT_EQ(w.rows(), started);
    EXPECT_EQ(w.grid().Row(), 3);
    EXPECT_TRUE(w.onDisk(w.windowCsv()));

    w.clock.advance(30 * 60);
    w.clickSwitch();
    EXPECT_TRUE(w.stopped());
    EXPECT_EQ(w.grid().RowCount(), 5);
    EXPECT_EQ(w.row(3).mid(0, 3), QStringList({"07-12-26 14:05", "07-12-26 15:05", "01:00"}));
    EXPECT_TRUE(w.messages.texts.isEmpty());
}

TEST(Undo, DeleteAndInsertAreUndoneAndTheDeletedRunningPeriodRunsAgain)
{
    Window w(mornings({4, 5, 6}));
    const std::vector<QStringList> before = w.rows();
    w.clickRow(2);
    w.press(w.form->btnDelete);
    ASSERT_EQ(w.grid().RowCount(), 4);
    w.clickRow(1);
    w.undo();
    EXPECT_EQ(w.rows(), before);
    EXPECT_EQ(w.grid().Row(), 2);
    EXPECT_EQ(w.form->memo1->toPlainText(), "note 5");
    EXPECT_TRUE(w.onDisk(w.windowCsv()));

    w.press(w.form->btnInsLine);
    ASSERT_EQ(w.grid().RowCount(), 6);
    const std::vector<QStringList> inserted = w.rows();
    w.undo();
    EXPECT_EQ(w.rows(), before);
    w.redoByY();
    EXPECT_EQ(w.rows(), inserted);
    EXPECT_EQ(w.grid().Row(), 3);
    w.undo();

    w.clickSwitch();
    const std::vector<QStringList> started = w.rows();
    w.press(w.form->btnDelete); // the running period
    ASSERT_TRUE(w.stopped());
    w.undo();
    EXPECT_TRUE(w.running());
    EXPECT_EQ(w.rows(), started);
    w.redo();
    EXPECT_TRUE(w.stopped());
    EXPECT_EQ(w.rows(), before);
    EXPECT_TRUE(w.onDisk(w.windowCsv()));
    EXPECT_TRUE(w.messages.texts.isEmpty());
}

TEST(Undo, ReloadIsUndoneToTheWindowsWorksheet)
{
    Window w(mornings({5, 6}));
    w.clickSwitch();
    ASSERT_TRUE(w.onDisk(w.windowCsv()));
    const std::vector<QStringList> before = w.rows();
    writeFile(w.worksheet(), readFile(w.worksheet()).replace("\"note 5\"", "\"note 5, edited\"")); // elsewhere
    w.messages.answers = {0}; // Reload
    w.press(w.form->btnGem);
    ASSERT_EQ(w.messages.questions.size(), 1);
    ASSERT_EQ(w.row(1)[NotesColumn], "note 5, edited");
    const std::vector<QStringList> reloaded = w.rows();

    w.undo();
    EXPECT_EQ(w.rows(), before);
    EXPECT_TRUE(w.running());
    EXPECT_TRUE(w.onDisk(w.windowCsv()));
    // What the reload brought in is written over, and kept beside it.
    const QStringList kept = QDir(w.folder.path()).entryList({QStringLiteral("Hourbook 2*.csv")});
    ASSERT_EQ(kept.size(), 2); // the window's rows at the reload, and the reloaded ones
    const auto holdsTheEdit = [&](const QString &name) {
        return readFile(w.folder.filePath(name)).contains("note 5, edited");
    };
    EXPECT_EQ(std::ranges::count_if(kept, holdsTheEdit), 1);
    ASSERT_EQ(w.messages.texts.size(), 2);
    EXPECT_TRUE(w.messages.texts.last().startsWith("The worksheet from before the reload is shown again."));
    w.redo();
    EXPECT_EQ(w.rows(), reloaded);
    EXPECT_TRUE(w.running());
    EXPECT_TRUE(w.onDisk(w.windowCsv()));
    EXPECT_EQ(w.messages.questions.size(), 1); // saved over its own file without asking
}

TEST(Undo, TheNotesKeepTheirOwnCtrlZ)
{
    Window w(mornings({5, 6}));
    w.clickRow(1);
    w.retype(w.form->memo1->viewport(), "written");
    w.press(w.form->btnV1);
    ASSERT_EQ(w.row(1)[8], "written");

    QTest::keyClick(w.form->memo1, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(w.form->memo1, " more");
    ASSERT_EQ(w.form->memo1->toPlainText(), "written more");
    QTest::keyClick(w.form->memo1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.form->memo1->toPlainText(), "written");
    EXPECT_EQ(w.row(1)[8], "written"); // the Update stays
}

// Rows that come and go in a change or its undo come and go in the grid as
// well: its scroll range follows.
TEST(Undo, TheGridsScrollRangeFollowsTheRowsOfEveryChange)
{
    Window w(mornings({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    QScrollBar &scroll = *w.grid().verticalScrollBar();
    const int range = scroll.maximum();
    ASSERT_GT(range, 0);
    w.clickRow(w.grid().TopRow());
    w.press(w.form->btnDelete);
    EXPECT_EQ(scroll.maximum(), range - 1);
    w.undo();
    EXPECT_EQ(scroll.maximum(), range);
    w.press(w.form->btnInsLine);
    EXPECT_EQ(scroll.maximum(), range + 1);
    w.undo();
    EXPECT_EQ(scroll.maximum(), range);
    w.redo();
    EXPECT_EQ(scroll.maximum(), range + 1);
}
