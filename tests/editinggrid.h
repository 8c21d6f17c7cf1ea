#pragma once

#include "hginplaceedit.h"
#include "hypergrid.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>

/// A shown, active grid configured for editing (goEditing without
/// goRowSelect): four columns of 100 pixels, a title row and five data
/// rows, data cell (c, r) holding "c,r"; the focus is in the grid on (1, 1).
struct EditingGrid
{
    QWidget window;
    THyperGrid grid;

    explicit EditingGrid(GridOptions extra = {})
    {
        grid.setColCount(4);
        grid.setRowCount(6);
        grid.setFixedCols(0);
        grid.setDefaultRowHeight(22);
        grid.setOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goEditing | extra);
        for (int col = 0; col < 4; ++col) {
            grid.setColWidths(col, 100);
            for (int row = 1; row < 6; ++row)
                grid.setCells(col, row, QStringLiteral("%1,%2").arg(col).arg(row));
        }
        grid.setParent(&window);
        grid.setGeometry(0, 0, 420, 180);
        window.resize(grid.size());
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        grid.setFocus();
        grid.setCol(1);
    }

    ThgColumn *column(int col) { return grid.Columns().Items(col); }
    THgInplaceEdit *editor() const { return grid.HgInplaceEdit(); }
    bool editorShown() const { return editor() && editor()->isVisible(); }
    QPoint centre(int col, int row) const { return grid.CellRect(col, row).center(); }

    // Keys go where the user's would: to the widget with the focus.
    void key(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    void type(const QString &text)
    {
        for (QChar c : text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    // Press, release, double click and release, as the system reports one.
    void doubleClick(int col, int row)
    {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centre(col, row));
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, centre(col, row));
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, centre(col, row));
    }
    // Opens the editor on a cell, its text selected.
    void edit(int col, int row)
    {
        grid.setCol(col);
        grid.setRow(row);
        key(Qt::Key_Return);
    }
};
