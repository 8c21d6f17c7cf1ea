#pragma once

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QTest>

/// True when the edit shows the end of its text without scrolling its start
/// away: a line edit scrolls a text too wide for it to keep the cursor in view.
inline bool showsWholeText(QLineEdit *edit)
{
    const auto cursorLeft = [edit] { return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(); };
    edit->setCursorPosition(0);
    edit->grab(); // the scrolling is worked out as the edit paints
    const int start = cursorLeft();
    edit->setCursorPosition(int(edit->text().size()));
    edit->grab();
    edit->setCursorPosition(0); // placed with the scrolling of the last paint
    return cursorLeft() == start;
}

/// A shown, active window with the edit under test and a second edit that
/// the Tab key moves the focus to.
template<typename Edit> struct EditWindow
{
    QWidget window;
    Edit *edit = new Edit(&window);
    QLineEdit *other = new QLineEdit(&window);

    EditWindow()
    {
        edit->setGeometry(10, 10, 100, 21);
        other->setGeometry(10, 40, 100, 21);
        window.resize(300, 200);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        other->setFocus();
    }

    /// Clicks at the start of the text, as a user putting the cursor there.
    void clickIntoEdit() { QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(4, edit->height() / 2)); }
    void tabAway() { QTest::keyClick(edit, Qt::Key_Tab); }
};
