#include "clocksource.h"
#include "dateedit.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "maskededit.h"
#include "modules.h"
#include "onoffswitch.h"
#include "popupmenu.h"
#include "preferencesdialog.h"
#include "testsupport.h"
#include "worksheeteditor.h"

#include <gtest/gtest.h>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTest>

namespace {

// A shown main window over a worksheet of twenty periods, more than the grid
// shows at once, with its help pages in a program folder of its own.
struct KeyboardWindow
{
    static constexpr int DataRows = 20;
    QTemporaryDir folder;
    QTemporaryDir programFolder;
    FixedClock clock {QDateTime(QDate(2026, 12, 7), QTime(14, 5))};
    MessageRecorder messages;
    std::unique_ptr<TForm1> form;

    KeyboardWindow()
    {
        QByteArray bytes;
        for (int day = 1; day <= DataRows; ++day)
            bytes += morningPeriodCsv(day, "note " + QByteArray::number(day));
        writeFile(worksheet(), bytes + BottomLineCsv);
        form = std::make_unique<TForm1>(folder.path(), programFolder.path());
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        focusEdit();
    }

    QString worksheet() const { return folder.filePath(QStringLiteral("Hourbook.csv")); }
    THyperGrid &grid() { return *form->Grid1; }

    // Where a keyboard user types: an edit of the panel.
    void focusEdit()
    {
        form->MaskEdit1->setFocus(Qt::TabFocusReason);
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->MaskEdit1->hasFocus(); }));
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    // What a test compares: the highlight and what the panel shows.
    struct Picked
    {
        int row;
        CellRange selection;
        QStringList panel;
        bool operator==(const Picked &) const = default;
    };
    Picked picked()
    {
        return {grid().Row(), grid().Selection(),
            {form->DateEdit1->Text(), form->MaskEdit1->Text(), form->DateEdit3->Text(), form->MaskEdit2->Text(),
                form->DateEdit2->Text(), form->MaskEdit3->Text(), form->memo1->toPlainText()}};
    }
    // The same row picked with the mouse, from the panel as the key left it.
    Picked pickedByClick(int row)
    {
        const QRect cell = grid().CellRect(1, row);
        EXPECT_FALSE(cell.isEmpty()) << "row " << row << " is scrolled out of view";
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, cell.center());
        const Picked byClick = picked();
        focusEdit();
        return byClick;
    }
};

void PrintTo(const KeyboardWindow::Picked &p, std::ostream *out)
{
    *out << "row " << p.row << " [" << p.selection.Left << "," << p.selection.Top << "-" << p.selection.Right << ","
         << p.selection.Bottom << "] " << p.panel.join(QLatin1Char('|')).toStdString();
}

// Records the printing asked for, in place of the print dialog and preview.
class PrintRecorder : public PrintingModule
{
public:
    int printed = 0;
    std::unique_ptr<QWidget> createPrintPreview(const TStringGrid *, const PanelStatusBar *) override
    {
        return std::make_unique<QWidget>();
    }
    void printWorksheet(QWidget &) override { ++printed; }
    void printIntoFile(QWidget &, const QString &) override { }
    std::unique_ptr<QDialog> createAboutBox(const QString &, QWidget *) override { return nullptr; }
};

} // namespace

TEST(KeyboardShortcuts, ControlKeysPickRowsAsAClickOnThemDoes)
{
    KeyboardWindow w;
    const int last = KeyboardWindow::DataRows;
    ASSERT_EQ(w.grid().Row(), last);
    const int page = w.grid().VisibleRowCount();
    ASSERT_LT(page + 2, last) << "the worksheet must be longer than the grid shows";

    const std::pair<Qt::Key, int> steps[] = {
        {Qt::Key_Home, 1},
        {Qt::Key_Down, 2},
        {Qt::Key_PageDown, 2 + page},
        {Qt::Key_Up, 1 + page},
        {Qt::Key_End, last},
        {Qt::Key_PageUp, last - page},
        {Qt::Key_PageUp, last - 2 * page},
        {Qt::Key_PageUp, 1}, // no further than the first row
        {Qt::Key_Up, 1}, // the title row takes no click
        {Qt::Key_PageDown, 1 + page},
    };
    for (const auto &[key, row] : steps) {
        w.key(key);
        const KeyboardWindow::Picked byKey = w.picked();
        EXPECT_EQ(byKey.row, row) << "key " << key;
        EXPECT_TRUE(w.form->MaskEdit1->hasFocus()) << "key " << key;
        EXPECT_EQ(byKey, w.pickedByClick(row)) << "key " << key;
    }
    EXPECT_TRUE(w.messages.texts.isEmpty());

    // The notes keep Ctrl+Home and Ctrl+End for their own lines.
    w.form->memo1->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.form->memo1->hasFocus(); }));
    w.key(Qt::Key_Home);
    w.key(Qt::Key_End);
    EXPECT_EQ(w.grid().Row(), 1 + page);
    w.key(Qt::Key_Up);
    EXPECT_EQ(w.grid().Row(), page);
    EXPECT_EQ(w.form->memo1->toPlainText(), "note " + QString::number(page));
}

TEST(KeyboardShortcuts, BottomLineAndCurrentRowAreTreatedAsByAClick)
{
    KeyboardWindow w;
    const int last = KeyboardWindow::DataRows;

    // Past the last row comes the bottom line, which cannot be edited: the
    // last row is picked instead, as a click there does.
    w.key(Qt::Key_Down);
    EXPECT_EQ(w.messages.texts, QStringList({CannotEditLine}));
    const KeyboardWindow::Picked byKey = w.picked();
    EXPECT_EQ(byKey.row, last);
    w.focusEdit();
    w.messages.texts.clear();
    const QRect bottom = w.grid().CellRect(1, last + 1);
    ASSERT_FALSE(bottom.isEmpty());
    QTest::mouseClick(w.grid().viewport(), Qt::LeftButton, {}, bottom.center());
    EXPECT_EQ(w.messages.texts, QStringList({CannotEditLine}));
    EXPECT_EQ(byKey, w.picked());

    // The current row once more: what was typed gives way to the row, as a
    // click on it does.
    w.focusEdit();
    w.key(Qt::Key_Home);
    QTest::keyClick(w.form->MaskEdit1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w.form->MaskEdit1, "1111");
    ASSERT_EQ(w.form->MaskEdit1->Text(), "11:11");
    w.key(Qt::Key_Up);
    const KeyboardWindow::Picked again = w.picked();
    EXPECT_EQ(again.panel.value(1), "08:00");
    EXPECT_EQ(again, w.pickedByClick(1));
}

TEST(KeyboardShortcuts, SaveNowAndExitByKeys)
{
    KeyboardWindow w;
    w.form->Switch1->setStateOn(true);
    w.focusEdit();
    w.clock.advance(65 * 60);
    w.key(Qt::Key_S);
    EXPECT_TRUE(w.form->isVisible());
    EXPECT_TRUE(readFile(w.worksheet()).contains("\"07-12-26 14:05\",\"07-12-26 15:10\",\"01:05\""));

    w.clock.advance(40 * 60);
    w.key(Qt::Key_Q);
    EXPECT_FALSE(w.form->isVisible());
    EXPECT_TRUE(readFile(w.worksheet()).contains("\"07-12-26 14:05\",\"07-12-26 15:50\",\"01:45\""));
}

TEST(KeyboardShortcuts, HelpAndPrintByKeys)
{
    KeyboardWindow w;
    writeFile(w.programFolder.filePath(QStringLiteral("WORKTALLY.html")), "<html></html>");
    QList<QUrl> opened;
    w.form->openUrl = [&](const QUrl &url, const std::function<void()> &) { opened << url; };
    w.key(Qt::Key_F1, Qt::NoModifier);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].fragment(), "context-10");

    PrintRecorder printing;
    useModule(&printing);
    w.key(Qt::Key_P);
    useModule(worktallyPrintingModule());
    EXPECT_EQ(printing.printed, 1);
    EXPECT_TRUE(w.messages.texts.isEmpty());
}

TEST(KeyboardShortcuts, SetupMenuByKeysOpensThePreferences)
{
    KeyboardWindow w;
    w.key(Qt::Key_Comma);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.form->SetupMenu->isVisible(); }));
    const QPoint below = w.form->SpeedButton1->mapToGlobal(QPoint(0, w.form->SpeedButton1->height()));
    EXPECT_EQ(w.form->SetupMenu->pos(), below);
    QTest::keyClick(w.form->SetupMenu, Qt::Key_Return);
    PreferencesDialog *dialog = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        dialog = w.form->findChild<PreferencesDialog *>();
        return dialog && dialog->isVisible();
    }));
    dialog->close();
}
