// What screen readers ask the program's own widgets, asked in this process.

#include "analogclock.h"
#include "clocksource.h"
#include "dateedit.h"
#include "maskededit.h"
#include "panelstatusbar.h"
#include "startedwindow.h"

#include <QAccessible>
#include <QToolButton>

namespace {

QAccessibleInterface *accessible(QObject *object)
{
    QAccessibleInterface *interface = QAccessible::queryAccessibleInterface(object);
    EXPECT_NE(interface, nullptr);
    return interface;
}

TEST(Accessibility, MainWindowIsAWindow)
{
    StartedWindow s(WorkedExampleFile);
    EXPECT_EQ(accessible(s.form.get())->role(), QAccessible::Window);
}

TEST(Accessibility, SwitchIsACheckBoxThatItsToggleActionFlipsAsAClickDoes)
{
    StartedWindow s(WorkedExampleFile);
    QAccessibleInterface *onOff = accessible(s.form->Switch1);
    EXPECT_EQ(onOff->role(), QAccessible::CheckBox);
    EXPECT_EQ(onOff->text(QAccessible::Name), "Start");
    EXPECT_TRUE(onOff->state().checkable);
    EXPECT_FALSE(onOff->state().checked);

    QAccessibleActionInterface *actions = onOff->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(s.form->Switch1->StateOn());
    EXPECT_TRUE(onOff->state().checked);
    EXPECT_EQ(onOff->text(QAccessible::Name), "Stop");
    EXPECT_EQ(s.row(3).first(), "07-12-26 14:05"); // the period the stopwatch started

    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(onOff->state().checked);

    // Disabled, as a click, it does nothing.
    s.form->Switch1->setEnabled(false);
    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(s.form->Switch1->StateOn());
}

TEST(Accessibility, GridIsATableOfTheTextsItShows)
{
    StartedWindow s(WorkedExampleFile);
    QAccessibleInterface *grid = accessible(s.form->Grid1);
    EXPECT_EQ(grid->role(), QAccessible::Table);
    QAccessibleTableInterface *table = grid->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 3);
    ASSERT_EQ(table->columnCount(), 9);
    EXPECT_EQ(table->columnDescription(0), "Start");
    EXPECT_EQ(table->columnDescription(5), "hh:mm");

    QAccessibleInterface *start = table->cellAt(0, 0);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->role(), QAccessible::Cell);
    EXPECT_EQ(start->text(QAccessible::Name), "01-12-98 08:00");
    EXPECT_EQ(table->cellAt(1, 7)->text(QAccessible::Name), "+00:51");
    EXPECT_EQ(table->cellAt(0, 0), start); // one object for a cell, however often asked
    EXPECT_EQ(grid->indexOfChild(table->cellAt(1, 7)), 1 * 9 + 7);
    EXPECT_EQ(grid->child(1 * 9 + 7), table->cellAt(1, 7));
    EXPECT_EQ(table->cellAt(3, 0), nullptr);

    // The cell under a point of the screen.
    const QRect diff = table->cellAt(1, 7)->rect();
    EXPECT_EQ(grid->childAt(diff.center().x(), diff.center().y()), table->cellAt(1, 7));

    // Selecting a row selects it as a click on it does: the row is loaded
    // into the edits.
    EXPECT_TRUE(table->selectRow(1));
    EXPECT_EQ(s.grid().Row(), 2);
    EXPECT_EQ(s.form->MaskEdit1->text(), "13:00");
    EXPECT_EQ(table->selectedRows(), QList<int>({1}));
    EXPECT_TRUE(table->cellAt(1, 0)->tableCellInterface()->isSelected());
    EXPECT_FALSE(table->cellAt(0, 0)->tableCellInterface()->isSelected());
}

TEST(Accessibility, TableOfAMillionRowsReadsAnyCellAtOnce)
{
    THyperGrid grid;
    grid.setColCount(2);
    grid.Loaded();
    grid.setRowCount(1'000'001);
    grid.setCells(1, 1'000'000, QStringLiteral("last"));
    QAccessibleTableInterface *table = accessible(&grid)->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 1'000'000);
    EXPECT_EQ(table->cellAt(999'999, 0)->text(QAccessible::Name), "last");
}

TEST(Accessibility, StatusPanelsAreLabelsWithTheirWholeTexts)
{
    StartedWindow s(WorkedExampleFile);
    QAccessibleInterface *bar = accessible(s.form->StatusBar1);
    ASSERT_EQ(bar->childCount(), 4);
    QAccessibleInterface *difference = bar->child(2);
    EXPECT_EQ(difference->role(), QAccessible::StaticText);
    EXPECT_EQ(difference->text(QAccessible::Name), "-02:03");
    EXPECT_EQ(bar->child(0)->text(QAccessible::Name), "01-12-98 - 02-12-98:   12:45  ");
    EXPECT_EQ(bar->child(2), difference);
    EXPECT_EQ(bar->indexOfChild(difference), 2);
    EXPECT_EQ(difference->parent(), bar);

    s.form->StatusBar1->setPanelText(2, QStringLiteral("+01:00"));
    EXPECT_EQ(difference->text(QAccessible::Name), "+01:00");
}

TEST(Accessibility, ClockIsNamedWithTheTimeItShows)
{
    StartedWindow s(WorkedExampleFile);
    s.form->Clock1->Tick();
    EXPECT_EQ(accessible(s.form->Clock1)->text(QAccessible::Name), "14:05:00");
}

TEST(Accessibility, CalendarButtonsHaveNames)
{
    StartedWindow s(WorkedExampleFile);
    for (TDateEdit *date : {s.form->DateEdit1, s.form->DateEdit3, s.form->DateEdit2})
        EXPECT_EQ(accessible(date->button())->text(QAccessible::Name), "Calendar");
}

} // namespace
