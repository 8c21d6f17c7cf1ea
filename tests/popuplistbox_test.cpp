#include "editinggrid.h"
#include "hghintwindow.h"
#include "popuplistbox.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

const QStringList Fruits = {QStringLiteral("Apple"), QStringLiteral("Banana"), QStringLiteral("Bravo"),
    QStringLiteral("Charlie"), QStringLiteral("Cobalt")};

// Column 1 has a drop-down list of Fruits.
struct ListGrid : EditingGrid
{
    QList<CellPosition> selections;

    ListGrid()
    {
        column(1)->setControlType(hgctlComboBox);
        column(1)->setItems(Fruits);
        grid.OnComboSelection = [this](THyperGrid *, int col, int row) { selections << CellPosition {col, row}; };
    }

    TPopupListbox *list() const { return editor()->List(); }
    void dropDown() { key(Qt::Key_Down, Qt::AltModifier); }
    void clickItem(int row)
    {
        const QRect item = list()->visualItemRect(list()->item(row));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, item.center());
    }
};

} // namespace

TEST(DropDownList, AltDownShowsTheItemsUnderTheEditorWithTheCellTextSelected)
{
    ListGrid g;
    g.grid.setCells(1, 2, QStringLiteral(" charlie "));
    g.edit(1, 2);
    g.dropDown();
    ASSERT_TRUE(g.editor()->DroppedDown());
    EXPECT_TRUE(g.list()->isVisible());
    EXPECT_EQ(g.list()->count(), Fruits.size());
    EXPECT_EQ(g.list()->SelectedText(), QStringLiteral("Charlie"));
    const QRect edit = g.editor()->EditRect();
    EXPECT_EQ(
        g.list()->geometry().topLeft(), g.editor()->viewport()->mapToGlobal(QPoint(edit.left(), edit.bottom() + 1)));
    EXPECT_TRUE(g.editor()->hasFocus()); // the list never takes it

    g.key(Qt::Key_Down);
    EXPECT_EQ(g.list()->SelectedText(), QStringLiteral("Cobalt"));
    g.key(Qt::Key_Return);
    EXPECT_FALSE(g.list()->isVisible());
    EXPECT_EQ(g.grid.Cells(1, 2), QStringLiteral("Cobalt"));
    EXPECT_EQ(g.editor()->Text(), QStringLiteral("Cobalt"));
    EXPECT_EQ(g.selections, QList<CellPosition>({{1, 2}}));
    EXPECT_TRUE(g.editorShown());

    g.dropDown();
    g.key(Qt::Key_Up);
    g.key(Qt::Key_Escape); // closes without taking
    EXPECT_FALSE(g.editor()->DroppedDown());
    EXPECT_EQ(g.grid.Cells(1, 2), QStringLiteral("Cobalt"));
}

TEST(DropDownList, NearTheScreenBottomTheListOpensAboveTheEditor)
{
    ListGrid g;
    const QRect screen = g.window.screen()->geometry();
    g.window.move(0, screen.bottom() - g.window.height() + 1);
    g.edit(1, 5);
    g.dropDown();
    const QRect edit = g.editor()->EditRect();
    EXPECT_EQ(g.list()->geometry().bottom() + 1, g.editor()->viewport()->mapToGlobal(edit.topLeft()).y());
}

TEST(DropDownList, ListOnlyColumnIsReadOnlyButTheListSetsTheCell)
{
    ListGrid g;
    g.column(1)->setDropDownList(true);
    g.edit(1, 1);
    EXPECT_TRUE(g.editor()->isReadOnly());
    g.type(QStringLiteral("typed"));
    EXPECT_EQ(g.editor()->Text(), QStringLiteral("1,1"));

    g.dropDown();
    g.clickItem(1);
    EXPECT_FALSE(g.editor()->DroppedDown());
    EXPECT_EQ(g.grid.Cells(1, 1), QStringLiteral("Banana"));
    EXPECT_EQ(g.selections, QList<CellPosition>({{1, 1}}));
}

TEST(DropDownList, ReadOnlyColumnIgnoresListSelections)
{
    ListGrid g;
    g.column(1)->setReadOnly(true);
    g.edit(1, 1);
    g.dropDown();
    ASSERT_TRUE(g.editor()->DroppedDown());
    g.clickItem(3);
    EXPECT_FALSE(g.editor()->DroppedDown());
    g.dropDown();
    g.key(Qt::Key_Down);
    g.key(Qt::Key_Return);
    EXPECT_EQ(g.grid.Cells(1, 1), QStringLiteral("1,1"));
    EXPECT_EQ(g.editor()->Text(), QStringLiteral("1,1"));
    EXPECT_TRUE(g.selections.isEmpty());
}

TEST(DropDownList, ArrowPressDropsDownAndADragSelectsInTheList)
{
    ListGrid g;
    g.edit(1, 1);
    THgInplaceEdit *e = g.editor();
    QTest::mousePress(e->viewport(), Qt::LeftButton, {}, e->ComboRect().center());
    ASSERT_TRUE(e->DroppedDown());
    EXPECT_TRUE(e->ComboPressed());
    const QPoint onBravo = g.list()->viewport()->mapToGlobal(g.list()->visualItemRect(g.list()->item(2)).center());
    QTest::mouseMove(e->viewport(), e->viewport()->mapFromGlobal(onBravo));
    EXPECT_FALSE(e->ComboPressed());
    EXPECT_EQ(g.list()->SelectedText(), QStringLiteral("Bravo"));
    QTest::mouseRelease(e->viewport(), Qt::LeftButton, {}, e->viewport()->mapFromGlobal(onBravo));
    EXPECT_FALSE(e->DroppedDown());
    EXPECT_EQ(g.grid.Cells(1, 1), QStringLiteral("Bravo"));

    // A click on the arrow of an open list closes it untaken.
    QTest::mouseClick(e->viewport(), Qt::LeftButton, {}, e->ComboRect().center());
    ASSERT_TRUE(e->DroppedDown());
    g.key(Qt::Key_Down);
    QTest::mouseClick(e->viewport(), Qt::LeftButton, {}, e->ComboRect().center());
    EXPECT_FALSE(e->DroppedDown());
    EXPECT_EQ(g.grid.Cells(1, 1), QStringLiteral("Bravo"));
}

TEST(DropDownList, HeightFollowsTheItemsUpToDropDownCount)
{
    ListGrid g;
    ThgColumn *column = g.column(1);
    column->setItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    column->setDropDownCount(8);
    column->setComboMaxWidth(true);
    g.edit(1, 1);
    g.dropDown();
    const int itemHeight = g.list()->ItemHeight();
    const int editWidth = g.editor()->EditRect().width() + 1;
    EXPECT_EQ(g.list()->height(), 3 * itemHeight + 4);
    EXPECT_EQ(g.list()->width(), editWidth); // no scroll bar allowance
    g.key(Qt::Key_Escape);

    QStringList nine;
    for (int i = 1; i <= 9; ++i)
        nine << QStringLiteral("item %1").arg(i);
    column->setItems(nine);
    g.dropDown();
    EXPECT_EQ(g.list()->height(), 8 * itemHeight + 4);
    // 16 for the scroll bar, and 4 more as the editor is now narrower.
    EXPECT_EQ(g.list()->width(), editWidth + 16 + 4);
    g.key(Qt::Key_Escape);

    column->setComboMaxWidth(false);
    g.dropDown();
    EXPECT_EQ(g.list()->height(), 8 * itemHeight + 4);
    EXPECT_EQ(g.list()->width(), editWidth);
}

TEST(DropDownList, WidestItemSetsTheWidthWithComboMaxWidth)
{
    ListGrid g;
    const QString wide = QStringLiteral("A rather long item that outgrows the cell");
    g.column(1)->setItems({QStringLiteral("short"), wide});
    g.column(1)->setComboMaxWidth(true);
    g.edit(1, 1);
    g.dropDown();
    EXPECT_EQ(g.list()->width(), g.list()->fontMetrics().horizontalAdvance(wide) + 4);
}

TEST(DropDownList, TypedLettersSearchAndRestartAfterTwoSeconds)
{
    ListGrid g;
    qint64 now = 100000;
    g.edit(1, 1);
    g.dropDown();
    g.list()->setClock([&] { return now; });
    g.type(QStringLiteral("br"));
    EXPECT_EQ(g.list()->SelectedText(), QStringLiteral("Bravo"));
    now += 2001;
    g.type(QStringLiteral("c"));
    EXPECT_EQ(g.list()->SearchText(), QStringLiteral("c"));
    EXPECT_EQ(g.list()->SelectedText(), QStringLiteral("Charlie"));
    now += 2000; // not more than 2 seconds: the search goes on
    g.type(QStringLiteral("O"));
    EXPECT_EQ(g.list()->SelectedText(), QStringLiteral("Cobalt"));
    g.key(Qt::Key_Backspace);
    EXPECT_TRUE(g.list()->SearchText().isEmpty());
    EXPECT_EQ(g.editor()->Text(), QStringLiteral("1,1")); // the letters went to the list only
}

TEST(DropDownList, SearchTextStopsGrowingAtThirtyTwoCharacters)
{
    TPopupListbox list(nullptr);
    list.setItems({QString(40, u'x')});
    for (int i = 0; i < 40; ++i)
        QTest::keyClick(&list, 'x');
    EXPECT_EQ(list.SearchText(), QString(32, u'x'));
}

TEST(Suggestions, ItemsCompleteTheTypedTextAndEnterTakesTheCompletion)
{
    ListGrid g;
    g.edit(1, 3);
    g.type(QStringLiteral("ch"));
    ThgHintWindow *hint = g.editor()->SuggestionHint();
    ASSERT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->Text(), QStringLiteral("Charlie"));
    EXPECT_LT(hint->geometry().bottom(), g.editor()->mapToGlobal(QPoint(0, 0)).y());

    g.key(Qt::Key_Return);
    EXPECT_FALSE(hint->isVisible());
    EXPECT_EQ(g.grid.Cells(1, 3), QStringLiteral("Charlie"));
    EXPECT_EQ(g.selections, QList<CellPosition>({{1, 3}}));
    EXPECT_FALSE(g.editorShown());

    // The full text needs no suggestion.
    g.edit(1, 3);
    g.type(QStringLiteral("Apple"));
    EXPECT_FALSE(hint->isVisible());
}

TEST(Suggestions, HandlerSuggestsElsewhereAndLeavingTheCellTakesTheSuggestion)
{
    EditingGrid g;
    QString asked;
    g.grid.OnGetSuggestion = [&](THyperGrid *, int, int, const QString &text, QString &suggestion) {
        asked = text;
        suggestion = text == QStringLiteral("he") ? QStringLiteral("hello") : QString();
    };
    g.edit(2, 1);
    g.type(QStringLiteral("he"));
    EXPECT_EQ(asked, QStringLiteral("he"));
    ASSERT_TRUE(g.editor()->SuggestionHint()->isVisible());
    g.key(Qt::Key_Down); // AutoAcceptSuggestion
    EXPECT_EQ(g.grid.Cells(2, 1), QStringLiteral("hello"));
    EXPECT_FALSE(g.editor()->SuggestionHint()->isVisible());

    g.grid.setAutoAcceptSuggestion(false);
    g.type(QStringLiteral("he"));
    g.key(Qt::Key_Down);
    EXPECT_EQ(g.grid.Cells(2, 2), QStringLiteral("he"));
}
