// A worksheet too large to wait for at start-up: the window shows at once and
// the rows come in once they are read; whatever the user or the system does
// meanwhile waits for them and acts on the whole worksheet.

#include "clocksource.h"
#include "dateedit.h"
#include "filelocations.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "maskededit.h"
#include "onoffswitch.h"
#include "panelstatusbar.h"
#include "testsupport.h"
#include "worksheet.h"
#include "worksheetpreload.h"

#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <optional>
#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

const QDateTime Monday(QDate(2026, 12, 7), QTime(14, 5));

// A morning's period as a save writes it, with its Diff. worked out.
QByteArray period(int day, const QByteArray &note)
{
    return morningPeriodCsv(day, note).replace(",\"\",\"" + note + '"', ",\"-02:54\",\"" + note + '"');
}

QByteArray threeDays()
{
    return period(1, "first") + period(2, "second") + period(3, "third") + BottomLineCsv;
}

/// The worksheet read ahead, held back until released; no file counts as
/// read quickly.
class HeldReading
{
public:
    explicit HeldReading(const QString &path)
        : m_opened(m_open.get_future().share())
        , preload(path, [opened = m_opened] { opened.wait(); }, -1)
    { }
    ~HeldReading() { release(); }

    void release()
    {
        if (!std::exchange(m_released, true))
            m_open.set_value();
    }

private:
    std::promise<void> m_open;
    std::shared_future<void> m_opened;
    bool m_released = false;

public:
    WorksheetPreload preload;
};

/// What a started window shows, and what its first save writes.
struct Look
{
    QStringList rows;
    CellRange selection;
    int topRow = 0;
    QStringList panel;
    QStringList totals;
    QImage picture;

    static Look of(TForm1 &form)
    {
        Look look;
        for (int row = 0; row < form.Grid1->RowCount(); ++row)
            look.rows << form.Grid1->cellTable().rowTexts(row).join(u'|');
        look.selection = form.Grid1->Selection();
        look.topRow = form.Grid1->TopRow();
        look.panel = {form.DateEdit1->Text(), form.MaskEdit1->Text(), form.DateEdit3->Text(), form.MaskEdit2->Text(),
            form.DateEdit2->Text(), form.MaskEdit3->Text(), form.memo1->toPlainText()};
        for (int panel = 0; panel < 3; ++panel)
            look.totals << form.StatusBar1->PanelText(panel);
        look.picture = form.grab().toImage();
        return look;
    }
};

/// A folder holding a worksheet, started with its reading held back.
struct PendingStart
{
    QTemporaryDir folder;
    FixedClock clock {Monday};
    MessageRecorder messages;
    std::optional<HeldReading> reading;
    std::unique_ptr<TForm1> form;

    explicit PendingStart(const QByteArray &worksheet)
        : PendingStart([&](const QString &path) { writeFile(path, worksheet); })
    { }
    /// put makes what stands at the worksheet's path.
    explicit PendingStart(const std::function<void(const QString &path)> &put)
    {
        put(path());
        reading.emplace(path());
        form = std::make_unique<TForm1>(folder.path(), reading->preload);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    ~PendingStart()
    {
        reading->release(); // before the window, which waits for the reading
    }

    QString path() const { return worksheetFile(folder.path()); }
    /// Lets the reading run; the window takes the rows at its next event.
    void release() { reading->release(); }
    bool readIn() { return QTest::qWaitFor([&] { return !form->isReading(); }); }
};

/// The same worksheet started by a window that reads it itself.
struct ReadItself
{
    Look look;
    QStringList messages;
    QByteArray savedNow; // by Save now

    explicit ReadItself(const QByteArray &worksheet)
    {
        QTemporaryDir folder;
        FixedClock clock {Monday};
        MessageRecorder recorder;
        writeFile(worksheetFile(folder.path()), worksheet);
        TForm1 form(folder.path());
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        look = Look::of(form);
        QTest::mouseClick(form.btnGem, Qt::LeftButton);
        savedNow = readFile(worksheetFile(folder.path()));
        messages = recorder.texts;
    }
};

} // namespace

TEST(StartUpReading, ShowsTheWindowAtOnceAndTheRowsOnceRead)
{
    const ReadItself itself(threeDays());
    PendingStart s(threeDays());
    ASSERT_TRUE(s.form->isReading());
    EXPECT_TRUE(s.form->isVisible());
    // Painted without rows: the title row, the bottom line, no totals.
    const Look pending = Look::of(*s.form);
    EXPECT_FALSE(pending.picture.isNull());
    EXPECT_EQ(pending.rows.size(), 2);
    EXPECT_NE(pending.totals, itself.look.totals);
    EXPECT_NE(pending.picture, itself.look.picture);

    s.release();
    ASSERT_TRUE(s.readIn()); // by the queued call, without any input
    const Look read = Look::of(*s.form);
    EXPECT_EQ(read.rows, itself.look.rows);
    EXPECT_EQ(read.selection.Top, 3); // the last data row highlighted
    EXPECT_EQ(read.selection, itself.look.selection);
    EXPECT_EQ(read.topRow, itself.look.topRow);
    EXPECT_EQ(read.panel, itself.look.panel);
    EXPECT_EQ(read.panel.value(6), "third");
    EXPECT_EQ(read.totals, itself.look.totals);
    EXPECT_EQ(read.picture, itself.look.picture);
    EXPECT_TRUE(s.messages.texts.isEmpty());

    QTest::mouseClick(s.form->btnGem, Qt::LeftButton);
    EXPECT_EQ(readFile(s.path()), itself.savedNow);
    EXPECT_EQ(readFile(s.path() + ".bak"), threeDays());
}

// Each press comes before the window had a chance to take the rows: it has to
// wait for them.
TEST(StartUpReading, PressesMeanwhileActOnTheWholeWorksheet)
{
    const QByteArray file = threeDays();
    const auto click = [](QWidget *button) { QTest::mouseClick(button, Qt::LeftButton); };
    const struct
    {
        const char *name;
        std::function<void(TForm1 &form)> press;
        QByteArray saved; // null: not compared whole
        int rows; // in the grid, afterwards
    } cases[] = {
        {"Save now", [&](TForm1 &form) { click(form.btnGem); }, file, 5},
        {"Update", [&](TForm1 &form) { click(form.btnV1); }, file, 5},
        {"Delete", [&](TForm1 &form) { click(form.btnDelete); },
            period(1, "first") + period(2, "second") + BottomLineCsv, 4},
        {"Insert", [&](TForm1 &form) { click(form.btnInsLine); }, QByteArray(), 6},
        {"Start",
            [](TForm1 &form) {
                QTest::mousePress(form.Switch1, Qt::LeftButton, {}, form.Switch1->rect().center());
            },
            QByteArray(), 6},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PendingStart s(file);
        s.release();
        ASSERT_TRUE(s.form->isReading());
        c.press(*s.form);
        EXPECT_FALSE(s.form->isReading());
        EXPECT_EQ(s.form->Grid1->RowCount(), c.rows);
        EXPECT_EQ(s.form->Grid1->Cells(NotesColumn, 1), "first");
        EXPECT_EQ(s.form->Grid1->Cells(NotesColumn, 2), "second");
        // Save now and every change are written at once.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !s.form->isSaving(); }));
        const QByteArray saved = readFile(s.path());
        if (!c.saved.isNull()) {
            EXPECT_EQ(saved, c.saved);
        }
        EXPECT_TRUE(saved.startsWith(period(1, "first") + period(2, "second")));
        EXPECT_EQ(readFile(s.path() + ".bak"), file);
        EXPECT_TRUE(s.messages.texts.isEmpty());
    }
}

TEST(StartUpReading, AnExitMeanwhileSavesTheWholeWorksheet)
{
    const QByteArray file = threeDays();
    const struct
    {
        const char *name;
        void (*exit)(TForm1 &form);
    } cases[] = {
        {"Exit", [](TForm1 &form) { QTest::mouseClick(form.btnLuk, Qt::LeftButton); }},
        {"a termination signal", [](TForm1 &form) { form.closeOnSignal(); }},
        {"the window's close", [](TForm1 &form) { form.close(); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PendingStart s(file);
        s.release();
        ASSERT_TRUE(s.form->isReading());
        c.exit(*s.form);
        EXPECT_FALSE(s.form->isVisible());
        EXPECT_EQ(readFile(s.path()), file);
        EXPECT_EQ(readFile(s.path() + ".bak"), file);
        EXPECT_TRUE(s.messages.texts.isEmpty());
    }
}

TEST(StartUpReading, AnUnreadableWorksheetIsToldAsBeforeAndNeverWrittenOver)
{
    const auto folderInItsPlace = [](const QString &path) { QDir().mkpath(path); };
    QString cannotOpen;
    {
        PendingStart s(folderInItsPlace);
        ASSERT_TRUE(s.form->isReading());
        EXPECT_TRUE(s.messages.texts.isEmpty());
        s.release();
        ASSERT_TRUE(s.readIn()); // told without any input
        cannotOpen = "Cannot open file " + s.path();
        ASSERT_EQ(s.messages.texts.size(), 1);
        EXPECT_TRUE(s.messages.texts[0].startsWith(cannotOpen));
    }
    {
        PendingStart s(folderInItsPlace);
        s.release();
        ASSERT_TRUE(s.form->isReading());
        QTest::mouseClick(s.form->btnGem, Qt::LeftButton);
        ASSERT_EQ(s.messages.texts.size(), 2);
        EXPECT_TRUE(s.messages.texts[0].startsWith("Cannot open file " + s.path()));
        EXPECT_TRUE(s.messages.texts[1].startsWith("Cannot create file "));
        EXPECT_TRUE(QFileInfo(s.path()).isDir());
    }
}

// A window the desktop keeps from being painted (minimized at once, on
// another workspace) still reads its worksheet and shows its totals.
TEST(StartUpReading, AWindowNeverPaintedStillReadsItsWorksheet)
{
    const ReadItself itself(threeDays());
    QTemporaryDir folder;
    FixedClock clock {Monday};
    MessageRecorder messages;
    writeFile(worksheetFile(folder.path()), threeDays());
    WorksheetPreload reading(worksheetFile(folder.path()), {}, -1);
    TForm1 form(folder.path(), reading);
    ASSERT_TRUE(form.isReading());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.isReading(); }, 5000));
    EXPECT_EQ(form.Grid1->Cells(NotesColumn, 3), "third");
    for (int panel = 0; panel < 3; ++panel)
        EXPECT_EQ(form.StatusBar1->PanelText(panel), itself.look.totals.value(panel));
    EXPECT_TRUE(messages.texts.isEmpty());
}
