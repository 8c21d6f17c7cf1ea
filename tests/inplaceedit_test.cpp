#include "editinggrid.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QPixmap>

TEST(GridEditing, TypingReplacesTheTextAndEnterCommits)
{
    EditingGrid g;
    g.type(QStringLiteral("xy"));
    ASSERT_TRUE(g.editorShown());
    EXPECT_EQ(g.editor()->Text(), QStringLiteral("xy"));
    EXPECT_EQ(g.grid.Cells(1, 1), QStringLiteral("1,1")); // not yet
    EXPECT_EQ(g.editor()->geometry(), g.grid.CellRect(1, 1));

    g.key(Qt::Key_Return);
    EXPECT_EQ(g.grid.Cells(1, 1), QStringLiteral("xy"));
    EXPECT_FALSE(g.editorShown());
    EXPECT_TRUE(g.grid.hasFocus());
}

// Given a table that is not its own (the worksheet model's), the grid
// shows that table, with the texts it held before, and types into it.
TEST(GridEditing, AGivenTableIsShownAndEditedInPlace)
{
    CellTable table; // outlives the grid
    EditingGrid g;
    g.grid.useCellTable(table);
    EXPECT_EQ(table.rowCount(), 6);
    EXPECT_EQ(table.text(2, 3), QStringLiteral("2,3"));
    table.setCell(2, 1, QStringLiteral("from the table"));
    EXPECT_EQ(g.grid.Cells(2, 1), QStringLiteral("from the table"));

    g.type(QStringLiteral("xy"));
    g.key(Qt::Key_Return);
    EXPECT_EQ(table.text(1, 1), QStringLiteral("xy"));
    g.grid.setRowCount(8);
    EXPECT_EQ(table.rowCount(), 8);
}

TEST(GridEditing, EscapeRestoresTheCellText)
{
    EditingGrid g;
    g.key(Qt::Key_F2); // the caret at the end
    g.type(QStringLiteral("zz"));
    EXPECT_EQ(g.editor()->Text(), QStringLiteral("1,1zz"));
    g.key(Qt::Key_Escape);
    EXPECT_FALSE(g.editorShown());
    EXPECT_EQ(g.grid.Cells(1, 1), QStringLiteral("1,1"));
    EXPECT_EQ(g.editor()->Text(), QStringLiteral("1,1"));
}

TEST(GridEditing, MovingCommitsAndTakesTheEditorAlong)
{
    EditingGrid g;
    g.doubleClick(2, 3);
    ASSERT_TRUE(g.editorShown());
    g.type(QStringLiteral("new"));
    g.key(Qt::Key_Down);
    EXPECT_EQ(g.grid.Cells(2, 3), QStringLiteral("new"));
    EXPECT_EQ(g.grid.Row(), 4);
    EXPECT_TRUE(g.editorShown());
    EXPECT_EQ(g.editor()->Text(), QStringLiteral("2,4"));
    EXPECT_EQ(g.editor()->geometry(), g.grid.CellRect(2, 4));

    // Left at the start of the text leaves the cell too.
    g.key(Qt::Key_Home);
    g.key(Qt::Key_Left);
    EXPECT_EQ(g.grid.Col(), 1);
    EXPECT_EQ(g.editor()->geometry(), g.grid.CellRect(1, 4));

    // Scrolling takes the editor along with its cell.
    g.grid.setDefaultColWidth(150);
    g.grid.setLeftCol(1);
    EXPECT_EQ(g.editor()->geometry(), g.grid.CellRect(1, 4));
    g.grid.setLeftCol(2);
    EXPECT_TRUE(g.grid.CellRect(1, 4).isEmpty());
    EXPECT_LT(g.editor()->geometry().right(), 0);
}

TEST(GridEditing, ProgramWritesShowInTheOpenEditor)
{
    EditingGrid g;
    g.edit(1, 2);
    g.grid.setCells(1, 2, QStringLiteral("from the program"));
    EXPECT_EQ(g.editor()->Text(), QStringLiteral("from the program"));
    g.grid.setRowCount(4); // structure changes close the editor, keeping its text
    EXPECT_FALSE(g.editorShown());
    EXPECT_EQ(g.grid.Cells(1, 2), QStringLiteral("from the program"));
}

TEST(GridEditing, RowSelectNeverOpensTheEditor)
{
    EditingGrid g(goRowSelect);
    g.column(1)->setControlType(hgctlButton | hgctlComboBox);
    g.key(Qt::Key_F2);
    g.key(Qt::Key_Return);
    g.type(QStringLiteral("abc"));
    g.doubleClick(1, 2);
    g.grid.setEditorMode(true);
    EXPECT_EQ(g.grid.InplaceEditor(), nullptr);
    for (int row = 1; row < 6; ++row)
        EXPECT_EQ(g.grid.Cells(1, row), QStringLiteral("1,%1").arg(row));
}

TEST(GridEditing, AlwaysShownEditorStaysOpenOnEnterAndEscape)
{
    EditingGrid g(goAlwaysShowEditor);
    ASSERT_TRUE(g.editorShown());
    EXPECT_TRUE(g.editor()->hasFocus());
    g.type(QStringLiteral("q"));
    g.key(Qt::Key_Return);
    EXPECT_EQ(g.grid.Cells(1, 1), QStringLiteral("q"));
    EXPECT_TRUE(g.editorShown());
    QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, {}, g.centre(3, 2));
    EXPECT_TRUE(g.editorShown());
    EXPECT_EQ(g.editor()->geometry(), g.grid.CellRect(3, 2));
    EXPECT_TRUE(g.editor()->hasFocus());
}

TEST(HgInplaceEdit, TakesTheLimitAndReadOnlyOfItsColumn)
{
    EditingGrid g;
    g.column(1)->setMaxTextLength(3);
    g.type(QStringLiteral("abcdef"));
    EXPECT_EQ(g.editor()->Text(), QStringLiteral("abc"));
    g.key(Qt::Key_Return);

    g.column(2)->setReadOnly(true);
    g.edit(2, 1);
    ASSERT_TRUE(g.editorShown());
    EXPECT_TRUE(g.editor()->isReadOnly());
    g.type(QStringLiteral("x"));
    g.key(Qt::Key_Return);
    EXPECT_EQ(g.grid.Cells(2, 1), QStringLiteral("2,1"));

    // OnGetReadOnly has the last word.
    g.grid.OnGetReadOnly = [](THyperGrid *, int col, int, bool &readOnly) { readOnly = col == 3; };
    g.edit(2, 1);
    EXPECT_FALSE(g.editor()->isReadOnly());
    g.key(Qt::Key_Escape);
    g.edit(3, 1);
    EXPECT_TRUE(g.editor()->isReadOnly());
}

TEST(HgInplaceEdit, TakesTheCellColours)
{
    EditingGrid g;
    g.column(1)->setColumnColor(YellowColor);
    g.edit(1, 1);
    EXPECT_EQ(g.editor()->palette().color(QPalette::Base), toQColor(YellowColor));
    const QImage image = g.editor()->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() - 3, image.height() - 2), toQColor(YellowColor));
}

TEST(HgInplaceEdit, OnCellEditedOnlyWhenTheTextChanged)
{
    EditingGrid g;
    QList<CellPosition> edited;
    g.grid.OnCellEdited = [&](THyperGrid *, int col, int row) { edited << CellPosition {col, row}; };
    g.edit(1, 2);
    g.key(Qt::Key_Return);
    g.edit(1, 2);
    g.type(QStringLiteral("x"));
    g.key(Qt::Key_Escape); // typed, but taken back
    EXPECT_TRUE(edited.isEmpty());

    g.edit(1, 2);
    g.type(QStringLiteral("changed"));
    g.key(Qt::Key_Return);
    EXPECT_EQ(edited, QList<CellPosition>({{1, 2}}));

    // Leaving by the arrow keys reports the cell left.
    g.edit(2, 2);
    g.type(QStringLiteral("y"));
    g.key(Qt::Key_Down);
    g.key(Qt::Key_Escape);
    EXPECT_EQ(edited, QList<CellPosition>({{1, 2}, {2, 2}}));
}

TEST(HgInplaceEdit, ArrowSitsLeftOfTheButtonAndTheTextEndsBeforeBoth)
{
    EditingGrid g;
    g.column(1)->setControlType(hgctlButton | hgctlComboBox);
    g.edit(1, 1);
    THgInplaceEdit *e = g.editor();
    const int width = e->width();
    EXPECT_EQ(e->ButtonRect(), QRect(width - e->DefaultButtonWidth(), 0, e->DefaultButtonWidth(), e->height()));
    EXPECT_EQ(e->ComboRect().right() + 1, e->ButtonRect().left());
    EXPECT_EQ(e->ComboRect().width(), e->DefaultButtonWidth());
    EXPECT_EQ(e->ComboRect().height(), e->height());

    // A long word wraps before the arrow.
    g.type(QString(40, u'W'));
    QTextCursor cursor(e->document());
    for (int pos = 0; pos <= 40; ++pos) {
        cursor.setPosition(pos);
        EXPECT_LT(e->cursorRect(cursor).right(), e->ComboRect().left()) << pos;
    }
}

TEST(HgInplaceEdit, CustomButtonIsAsWideAsItsPicturePlusFour)
{
    EditingGrid g;
    g.column(1)->setControlType(hgctlButton);
    g.column(1)->setButtonStyle(hgbstCustom);
    g.column(1)->setButtonPicture(QPixmap(20, 20));
    g.edit(1, 1);
    EXPECT_EQ(g.editor()->ButtonWidth(), 24);
    EXPECT_EQ(g.editor()->ButtonRect().width(), 24);

    g.column(1)->setButtonPicture(QPixmap()); // none: the default width
    g.key(Qt::Key_Escape);
    g.edit(1, 1);
    EXPECT_EQ(g.editor()->ButtonWidth(), g.editor()->DefaultButtonWidth());
}

TEST(HgInplaceEdit, ButtonClicksByMouseAndByShiftEnter)
{
    EditingGrid g;
    g.column(2)->setControlType(hgctlButton);
    QList<CellPosition> clicks;
    g.grid.OnButtonClick = [&](THyperGrid *, int col, int row) { clicks << CellPosition {col, row}; };
    g.edit(2, 3);
    THgInplaceEdit *e = g.editor();
    const QPoint button = e->ButtonRect().center();

    QTest::mousePress(e->viewport(), Qt::LeftButton, {}, button);
    EXPECT_TRUE(e->ButtonPressed());
    QTest::mouseMove(e->viewport(), QPoint(5, 5)); // off the button: released look
    EXPECT_FALSE(e->ButtonPressed());
    QTest::mouseRelease(e->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(clicks.isEmpty());

    QTest::mouseClick(e->viewport(), Qt::LeftButton, {}, button);
    EXPECT_EQ(clicks, QList<CellPosition>({{2, 3}}));
    EXPECT_FALSE(e->ButtonPressed());

    g.key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(clicks, QList<CellPosition>({{2, 3}, {2, 3}}));
    EXPECT_TRUE(g.editorShown()); // Shift+Enter is the button's, not the end of the edit
    EXPECT_EQ(g.grid.Cells(2, 3), QStringLiteral("2,3"));
}

TEST(HgInplaceEdit, HandlerFailuresAreShownNotThrownIntoTheEventLoop)
{
    EditingGrid g;
    MessageRecorder messages;
    g.column(1)->setControlType(hgctlButton);
    g.grid.OnButtonClick = [](THyperGrid *, int, int) { throw WorktallyError(QStringLiteral("button broke")); };
    g.edit(1, 1);
    g.key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(messages.texts, QStringList {QStringLiteral("button broke")});
    EXPECT_TRUE(g.editorShown());
}
