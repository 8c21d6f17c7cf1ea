#include "clocksource.h"
#include "dateedit.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "maskededit.h"
#include "onoffswitch.h"
#include "panelstatusbar.h"
#include "startedwindow.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

// A main window over a worksheet of six periods on consecutive days.
struct Panel
{
    QTemporaryDir folder;
    FixedClock clock {QDateTime(QDate(2026, 12, 7), QTime(14, 5))};
    MessageRecorder messages;
    std::unique_ptr<TForm1> form;

    /// settings, when given, is the settings file the window starts with.
    explicit Panel(int rows = 6, const QByteArray &settings = {})
    {
        QByteArray bytes;
        for (int day = 1; day <= rows; ++day)
            bytes += morningPeriodCsv(day, "note " + QByteArray::number(day));
        form = startWindow(folder, bytes + BottomLineCsv, settings);
    }

    THyperGrid &grid() { return *form->Grid1; }
    void clickRow(int row)
    {
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().CellRect(1, row).center());
    }
    void press(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    void clickSwitch() { QTest::mousePress(form->Switch1, Qt::LeftButton, {}, form->Switch1->rect().center()); }
    QStringList panelTexts() const
    {
        return {form->DateEdit1->Text(), form->MaskEdit1->Text(), form->DateEdit3->Text(), form->MaskEdit2->Text(),
            form->DateEdit2->Text(), form->MaskEdit3->Text(), form->memo1->toPlainText()};
    }
    // Types over what an edit holds, as a user does: click into it, select
    // everything, type.
    void retype(QWidget *edit, const QString &text)
    {
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }
    void type(const QString &date, const QString &start, const QString &endDate, const QString &end)
    {
        retype(form->DateEdit1, date);
        retype(form->MaskEdit1, start);
        retype(form->DateEdit3, endDate);
        retype(form->MaskEdit2, end);
    }
    void typeNote(const QString &text) { retype(form->memo1->viewport(), text); }
};

} // namespace

TEST(PeriodEditing, ClickingARowLoadsItIntoThePanel)
{
    Panel p;
    p.clickRow(3);
    EXPECT_EQ(p.panelTexts(), QStringList({"03-12-98", "08:00", "03-12-98", "12:30", "03-12-98", "07:24", "note 3"}));
    EXPECT_TRUE(p.messages.texts.isEmpty());
    QTest::keyClick(&p.grid(), Qt::Key_Down); // the keyboard loads as well
    EXPECT_EQ(p.form->DateEdit1->Text(), "04-12-98");
}

TEST(PeriodEditing, AfterStartUpAndTheStopwatchThePanelShowsTheHighlightedRow)
{
    Panel p;
    EXPECT_EQ(p.panelTexts(), QStringList({"06-12-98", "08:00", "06-12-98", "12:30", "06-12-98", "07:24", "note 6"}));

    // A note added after Stop goes to the period just timed, which keeps its End.
    p.clock.set(QDateTime(QDate(2098, 12, 7), QTime(14, 5))); // after the worksheet's periods
    p.clickSwitch();
    p.clock.advance(95 * 60);
    p.clickSwitch();
    p.typeNote("timed");
    p.press(p.form->btnV1);
    EXPECT_EQ(p.grid().cellTable().rowTexts(7),
        QStringList({"07-12-98 14:05", "07-12-98 15:40", "01:35", "", "07-12-98", "00:00", "", "+01:35", "timed"}));

    // Saving while a period runs leaves the row being edited highlighted.
    p.clickSwitch();
    p.clickRow(2);
    p.typeNote("edited");
    p.press(p.form->btnGem);
    p.press(p.form->btnV1);
    EXPECT_EQ(p.grid().Cells(8, 2), "edited");
    EXPECT_EQ(p.grid().Cells(0, 8), "07-12-98 15:40");
    EXPECT_TRUE(p.messages.texts.isEmpty());
}

TEST(PeriodEditing, StopwatchOnAnEmptyWorksheetShowsAndClosesTheNewPeriod)
{
    Panel p(0); // the bottom line alone: the panel shows now
    EXPECT_EQ(p.form->MaskEdit1->Text(), "14:05");
    p.clock.advance(30 * 60);
    p.clickSwitch(); // writes the period into the current row
    EXPECT_EQ(p.form->MaskEdit1->Text(), "14:35");

    // The first data row is the running period, and Stop closes it.
    p.clock.advance(95 * 60);
    p.clickSwitch();
    EXPECT_EQ(p.grid().RowCount(), 3);
    EXPECT_EQ(p.grid().cellTable().rowTexts(1),
        QStringList({"07-12-26 14:35", "07-12-26 16:10", "01:35", "", "07-12-26", "00:00", "", "+01:35", ""}));
    EXPECT_EQ(p.form->StatusBar1->PanelText(2), "+01:35");
}

TEST(PeriodEditing, TheBottomLineCannotBeEdited)
{
    Panel p;
    p.clickRow(7);
    EXPECT_EQ(p.messages.texts, QStringList({"You can't edit this line"}));
    EXPECT_EQ(p.grid().Row(), 6);
    EXPECT_EQ(p.form->memo1->toPlainText(), "note 6");

    // Update there is refused and writes nothing.
    p.grid().setSelection({0, 7, 8, 7});
    p.press(p.form->btnV1);
    EXPECT_EQ(p.messages.texts.last(), "You can't edit this line");
    EXPECT_EQ(p.grid().cellTable().rowTexts(7), QStringList(9, QString()));
}

TEST(PeriodEditing, UpdateWritesTheRowBackSortsFollowsItAndRecalculates)
{
    Panel p;
    p.clickRow(4);
    p.type("041298", "0900", "041298", "1715");
    p.retype(p.form->MaskEdit3, "8:00");
    p.typeNote("changed");
    p.press(p.form->btnV1);
    EXPECT_EQ(p.grid().cellTable().rowTexts(4),
        QStringList({"04-12-98 09:00", "04-12-98 17:15", "08:15", "", "04-12-98", " 8:00", "", "+00:15", "changed"}));
    EXPECT_TRUE(p.messages.texts.isEmpty());

    // A start earlier than the rows above moves the row up to its place.
    p.clickRow(5);
    p.type("011198", "0800", "011198", "0900");
    p.press(p.form->btnV1);
    EXPECT_EQ(p.grid().Cells(0, 1), "01-11-98 08:00");
    EXPECT_EQ(p.grid().Cells(0, 2), "01-12-98 08:00");
    EXPECT_EQ(p.grid().Cells(0, 6), "06-12-98 08:00");
    EXPECT_EQ(p.form->StatusBar1->PanelText(0), "01-11-98 - 06-12-98:   27:15  ");

    // The highlight follows the period, so the next Update writes to it again
    // and not over the period that took its old place.
    EXPECT_EQ(p.grid().Row(), 1);
    p.typeNote("moved");
    p.press(p.form->btnV1);
    EXPECT_EQ(p.grid().Cells(8, 1), "moved");
    EXPECT_EQ(p.grid().Cells(8, 5), "changed");
}

TEST(PeriodEditing, UpdateWritesNothingThatDoesNotReadOrRunsBackwardsOrADay)
{
    struct Case
    {
        QStringList typed; // start date and time, end date and time, nominal date and time
        QString message; // empty when Update takes it
        QString time; // then written as the period's Time
    };
    const std::vector<Case> cases = {
        {{"311198", "0800", "041298", "1230", "041298", "0724"}, "'31-11-98 08:00' is not a valid date and time", {}},
        {{"041298", "0800", "041298", "2500", "041298", "0724"}, "'04-12-98 25:00' is not a valid date and time", {}},
        {{"041298", "0800", "041298", "1230", "310298", "0724"}, "'31-02-98' is not a valid date", {}},
        {{"041298", "0800", "041298", "1230", "041298", "7"}, "' 7:  ' is not a valid time", {}},
        {{"041298", "0800", "041298", "0759", "041298", "0724"}, "The period ends before it starts.", {}},
        {{"041298", "0800", "051298", "0800", "041298", "0724"}, "A period must be shorter than 24 hours.", {}},
        {{"041298", "0800", "051298", "0759", "041298", "0724"}, "", "23:59"},
        // No length: the stopwatch and Insert make such periods too.
        {{"041298", "0800", "041298", "0800", "041298", "0724"}, "", "00:00"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.join(' ').toStdString());
        Panel p;
        p.clickRow(4);
        const QStringList before = p.grid().cellTable().rowTexts(4);
        p.type(c.typed[0], c.typed[1], c.typed[2], c.typed[3]);
        p.retype(p.form->DateEdit2, c.typed[4]);
        p.retype(p.form->MaskEdit3, c.typed[5]);
        p.typeNote("typed");
        p.press(p.form->btnV1);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(p.messages.texts.isEmpty());
            EXPECT_EQ(p.grid().Cells(2, 4), c.time);
            EXPECT_EQ(p.grid().Cells(8, 4), "typed");
        } else {
            EXPECT_EQ(p.messages.texts, QStringList {c.message});
            EXPECT_EQ(p.grid().cellTable().rowTexts(4), before);
        }
    }
}

TEST(PeriodEditing, UpdateOfASingleRowNeedsNoSort)
{
    Panel p(1);
    p.clickRow(1);
    p.type("011298", "0800", "011298", "1000");
    p.press(p.form->btnV1);
    EXPECT_TRUE(p.messages.texts.isEmpty());
    EXPECT_EQ(p.grid().Cells(7, 1), "-05:24");
}

TEST(PeriodEditing, UpdateSortsTwoRowsToo)
{
    Panel p(2);
    p.clickRow(2);
    p.type("301198", "0800", "301198", "0900");
    p.press(p.form->btnV1);
    EXPECT_EQ(p.grid().Cells(0, 1), "30-11-98 08:00");
    EXPECT_EQ(p.grid().Cells(0, 2), "01-12-98 08:00");
    EXPECT_EQ(p.grid().Row(), 1); // the highlight went with the period
}

TEST(PeriodEditing, InsertPutsAMidnightRowBelowTheCurrentOne)
{
    Panel p;
    p.clickRow(6);
    p.press(p.form->btnInsLine);
    EXPECT_EQ(p.grid().RowCount(), 9);
    EXPECT_EQ(p.grid().cellTable().rowTexts(7),
        QStringList({"06-12-98 00:00", "06-12-98 00:00", "00:00", "", "06-12-98", "00:00", "", "00:00", ""}));
    EXPECT_EQ(p.grid().cellTable().rowTexts(8), QStringList(9, QString()));
    EXPECT_EQ(p.grid().Row(), 7);
    EXPECT_EQ(p.form->MaskEdit1->Text(), "00:00");
    EXPECT_TRUE(p.form->DateEdit1->hasFocus());
}

TEST(PeriodEditing, InsertedFirstRowOfADayOwesItsWeekdaysWorkingHours)
{
    Panel p(6, "[WorkingHours]\nSat=06:00\n"); // 06-12-98 is a Saturday
    p.grid().setCells(5, 6, QStringLiteral(" 0:00")); // the day owes nothing yet
    p.clickRow(6);
    p.press(p.form->btnInsLine);
    EXPECT_EQ(p.grid().cellTable().rowTexts(7).mid(4, 4), QStringList({"06-12-98", "06:00", "", "00:00"}));
    p.grid().setCells(4, 7, QStringLiteral("6-12-2098")); // the same day, as typed into the file
    p.press(p.form->btnInsLine);
    EXPECT_EQ(p.grid().Cells(5, 8), "00:00");
}

TEST(PeriodEditing, InsertOnTheBottomLineOrBelowABadEnd)
{
    Panel p;
    p.grid().setSelection({0, 7, 8, 7});
    p.press(p.form->btnInsLine);
    EXPECT_EQ(p.messages.texts, QStringList({"Cannot insert row 8"}));
    EXPECT_EQ(p.grid().RowCount(), 8);

    p.grid().setCells(1, 3, QStringLiteral("sometime later"));
    p.grid().setSelection({0, 3, 8, 3});
    p.press(p.form->btnInsLine);
    EXPECT_EQ(p.messages.texts.last(), "'sometime 00:00' is not a valid date and time");
    EXPECT_EQ(p.grid().RowCount(), 9);
    EXPECT_EQ(p.grid().cellTable().rowTexts(4), QStringList(9, QString()));
}

TEST(PeriodEditing, DeleteFirstRowRowFiveARangeAndTheBottomLine)
{
    Panel p;
    p.clickRow(1);
    p.press(p.form->btnDelete);
    EXPECT_EQ(p.grid().RowCount(), 7);
    EXPECT_EQ(p.grid().Cells(0, 1), "02-12-98 08:00");
    EXPECT_EQ(p.grid().Row(), 1);
    // Row 1 stays current; the panel shows the period now there, not the
    // one deleted, which the next Update would bring back over it.
    EXPECT_EQ(p.form->memo1->toPlainText(), "note 2");

    p.grid().setSelection({0, 5, 8, 5}); // 06-12-98
    p.press(p.form->btnDelete);
    EXPECT_EQ(p.grid().Cells(0, 5), "");
    EXPECT_EQ(p.grid().Row(), 4);
    EXPECT_EQ(p.form->DateEdit1->Text(), "05-12-98");

    // A range: only the current row goes.
    p.clickRow(2);
    QTest::mouseClick(p.grid().viewport(), Qt::LeftButton, Qt::ShiftModifier, p.grid().CellRect(1, 3).center());
    p.press(p.form->btnDelete);
    EXPECT_EQ(p.grid().RowCount(), 5);
    EXPECT_EQ(p.grid().Cells(0, 2), "03-12-98 08:00");
    EXPECT_EQ(p.grid().Cells(0, 3), "05-12-98 08:00");

    // The bottom line: the message, then a fresh bottom line; no period lost.
    p.grid().setSelection({0, 4, 8, 4});
    p.press(p.form->btnDelete);
    EXPECT_EQ(p.messages.texts, QStringList({"The empty bottomline cannot be deleted !"}));
    EXPECT_EQ(p.grid().RowCount(), 5);
    EXPECT_EQ(p.grid().Cells(0, 3), "05-12-98 08:00");
    EXPECT_EQ(p.grid().cellTable().rowTexts(4), QStringList(9, QString()));
    EXPECT_EQ(p.grid().Row(), 3);
    EXPECT_EQ(p.form->DateEdit1->Text(), "05-12-98");
}

TEST(PeriodEditing, DeleteWithOnlyTheBottomLineLeftChangesNothing)
{
    Panel p(1);
    p.grid().setSelection({0, 1, 8, 1});
    p.press(p.form->btnDelete);
    EXPECT_EQ(p.grid().RowCount(), 2);
    p.press(p.form->btnDelete);
    EXPECT_EQ(p.messages.texts, QStringList({"The empty bottomline cannot be deleted !"}));
    EXPECT_EQ(p.grid().RowCount(), 2);
    EXPECT_EQ(p.form->StatusBar1->PanelText(2), "+00:00");
}
