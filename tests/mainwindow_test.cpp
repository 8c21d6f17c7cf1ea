#include "aboutbox.h"
#include "clocksource.h"
#include "dateedit.h"
#include "editwindow.h"
#include "gridsorter.h"
#include "hypergrid.h"
#include "imagecontrast.h"
#include "mainwindow.h"
#include "maskededit.h"
#include "onoffswitch.h"
#include "panelstatusbar.h"
#include "popupmenu.h"
#include "preferencesdialog.h"
#include "singleinstance.h"
#include "startedwindow.h"
#include "testsupport.h"
#include "trayicon.h"
#include "unixsignals.h"
#include "workinghours.h"
#include "workinghourspage.h"
#include "worksheet.h"
#include "worksheetpreload.h"
#include "worksheetreport.h"
#include "worksheettotals.h"

#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionFrame>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

const QDateTime Monday(QDate(2026, 12, 7), QTime(14, 5));
const QByteArray MondayHours = "[WorkingHours]\nMon=07:24\n";

// Sets an environment variable while it lives.
class Environment
{
public:
    Environment(const char *name, const QString &value)
        : m_name(name)
        , m_previous(qgetenv(name))
    {
        qputenv(name, QFile::encodeName(value));
    }
    ~Environment() { qputenv(m_name, m_previous); }

private:
    const char *m_name;
    QByteArray m_previous;
};

// The main window over a data folder of its own, with "now" fixed; the
// program's folder, with the help pages, is another, and so is the state
// folder, where a signalled exit keeps what it could not save.
struct Session
{
    QTemporaryDir folder;
    QTemporaryDir programFolder;
    QTemporaryDir stateHome;
    Environment state {"XDG_STATE_HOME", stateHome.path()};
    FixedClock clock {Monday};
    MessageRecorder messages;
    std::unique_ptr<TForm1> form;

    QString path(const char *name) const { return folder.filePath(QString::fromUtf8(name)); }

    TForm1 &start()
    {
        form.reset(); // one main window at a time, as in the program
        form = std::make_unique<TForm1>(folder.path(), programFolder.path());
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return *form;
    }

    QString worksheet() const { return path("Hourbook.csv"); }
    QStringList row(int r) const { return form->Grid1->cellTable().rowTexts(r); }
    void clickSwitch() { QTest::mousePress(form->Switch1, Qt::LeftButton, {}, form->Switch1->rect().center()); }
    void clickRow(int r)
    {
        QTest::mouseClick(form->Grid1->viewport(), Qt::LeftButton, {}, form->Grid1->CellRect(1, r).center());
    }

    /// The worksheet in the window, as the file holds it.
    QByteArray windowCsv() const
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        form->Grid1->SaveToCSVStream(0, 1, buffer);
        return buffer.data();
    }
    /// Waits until file holds what the window holds.
    bool holdsTheWindow(const QString &file) const
    {
        return QTest::qWaitFor([&] { return readFile(file) == windowCsv(); }, 5000);
    }
    /// Where a signalled exit keeps a worksheet it saved today at time.
    QString recovery(const QString &time = QStringLiteral("1405")) const
    {
        return stateHome.filePath(QStringLiteral("Worktally/Hourbook 2026-12-07 %1 unsaved.csv").arg(time));
    }
};

} // namespace

TEST(MainWindow, FirstStartMakesAFreshWorksheet)
{
    Session s;
    TForm1 &form = s.start();
    EXPECT_EQ(form.Grid1->RowCount(), 3);
    EXPECT_EQ(s.row(1),
        QStringList({"07-12-26 14:05", "07-12-26 14:05", "00:00", "", "07-12-26", "00:00", "", "+00:00", ""}));
    EXPECT_EQ(s.row(2), QStringList(9, QString()));
    EXPECT_EQ(form.StatusBar1->PanelText(2), "+00:00");
    EXPECT_EQ(form.Grid1->Selection(), (CellRange {0, 1, 8, 1})); // the last data row
    EXPECT_FALSE(form.Switch1->StateOn());
    EXPECT_EQ(form.Switch1->Caption(), "S&tart");
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(form.DateEdit1->Text(), "07-12-26");
    EXPECT_EQ(form.MaskEdit1->Text(), "14:05");
    EXPECT_EQ(form.MaskEdit3->Text(), "00:00");
    EXPECT_EQ(form.Grid1->Columns().Items(1)->ColumnColor(), WhiteColor); // no stored colour
    EXPECT_TRUE(s.messages.texts.isEmpty());
    EXPECT_FALSE(QFile::exists(s.path("Hourbook.csv"))); // written on exit, not before
}

TEST(MainWindow, StopwatchRecordsAPeriodByMouseAndSpaceBar)
{
    Session s;
    TForm1 &form = s.start();
    s.clickSwitch();
    EXPECT_TRUE(form.Switch1->StateOn());
    EXPECT_EQ(form.Switch1->Caption(), "S&top");
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 15 * 60 * 1000);
    EXPECT_EQ(form.Grid1->RowCount(), 4);
    EXPECT_EQ(form.Grid1->Row(), 2);
    EXPECT_EQ(
        s.row(2), QStringList({"07-12-26 14:05", "07-12-26 14:05", "00:00", "", "07-12-26", "00:00", "", "00:00", ""}));

    s.clock.advance(95 * 60 + 30);
    ASSERT_TRUE(form.Switch1->hasFocus());
    QTest::keyClick(form.Switch1, Qt::Key_Space);
    EXPECT_FALSE(form.Switch1->StateOn());
    EXPECT_EQ(form.Switch1->Caption(), "S&tart");
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(s.row(2),
        QStringList({"07-12-26 14:05", "07-12-26 15:40", "01:35", "", "07-12-26", "00:00", "", "+01:35", ""}));
    EXPECT_EQ(form.StatusBar1->PanelText(2), "+01:35");
}

TEST(MainWindow, PeriodOverMidnight)
{
    Session s;
    TForm1 &form = s.start();
    s.clock.set(QDateTime(QDate(2026, 12, 7), QTime(23, 30, 40)));
    form.Switch1->setStateOn(true);
    s.clock.set(QDateTime(QDate(2026, 12, 8), QTime(0, 45, 10)));
    form.Switch1->setStateOn(false);
    EXPECT_EQ(s.row(2),
        QStringList({"07-12-26 23:30", "08-12-26 00:45", "01:15", "", "07-12-26", "00:00", "", "+01:15", ""}));
}

TEST(MainWindow, SaveNowBringsTheRunningPeriodUpToDate)
{
    Session s;
    TForm1 &form = s.start();
    form.Switch1->setStateOn(true);
    s.clock.advance(65 * 60);
    QTest::mouseClick(form.btnGem, Qt::LeftButton);
    EXPECT_TRUE(form.Switch1->StateOn());
    EXPECT_EQ(s.row(2).mid(0, 3), QStringList({"07-12-26 14:05", "07-12-26 15:10", "01:05"}));
    EXPECT_EQ(s.row(2)[7], "+01:05");
    EXPECT_TRUE(readFile(s.path("Hourbook.csv")).contains("\"07-12-26 14:05\",\"07-12-26 15:10\",\"01:05\""));

    // The timer's tick does the same.
    s.clock.advance(15 * 60);
    form.Timer1Timer();
    EXPECT_EQ(s.row(2)[1], "07-12-26 15:25");
    EXPECT_TRUE(readFile(s.path("Hourbook.csv")).contains("\"07-12-26 15:25\""));
}

TEST(MainWindow, SaveNowWithTheStopwatchOffOnlyRecalculatesAndSaves)
{
    Session s;
    writeFile(s.path("Hourbook.csv"), WorkedExampleFile);
    TForm1 &form = s.start();
    s.clock.advance(3600);
    QTest::mouseClick(form.btnGem, Qt::LeftButton);
    EXPECT_EQ(s.row(2)[1], "02-12-98 21:15");
    EXPECT_EQ(readFile(s.path("Hourbook.csv")),
        QByteArray(WorkedExampleFile)
            .replace("\"07:24\",\"\",\"\",\"Train", "\"07:24\",\"\",\"-02:54\",\"Train")
            .replace("\"07:24\",\"\",\"\",\"\"", "\"07:24\",\"\",\"+00:51\",\"\""));
}

TEST(MainWindow, EveryExitBringsTheRunningPeriodUpToNow)
{
    const std::pair<const char *, std::function<void(TForm1 &)>> exits[] = {
        {"Exit button", [](TForm1 &form) { QTest::mouseClick(form.btnLuk, Qt::LeftButton); }},
        {"tray menu", [](TForm1 &form) { form.PopLuk->trigger(); }},
        {"closing the window", [](TForm1 &form) { form.close(); }},
        {"termination signal",
            [](TForm1 &form) {
                UnixSignalWatcher termination({SIGTERM}); // wired as in the program
                QObject::connect(&termination, &UnixSignalWatcher::received, &form, &TForm1::close);
                std::raise(SIGTERM);
                EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 2000));
            }},
    };
    for (const auto &[name, exit] : exits) {
        Session s;
        TForm1 &form = s.start();
        s.clickSwitch();
        s.clock.advance(40 * 60);
        exit(form);
        EXPECT_FALSE(form.isVisible()) << name;
        EXPECT_TRUE(readFile(s.worksheet()).contains("\"07-12-26 14:05\",\"07-12-26 14:45\",\"00:40\"")) << name;
    }
}

TEST(MainWindow, ExitSavesAndTheNextStartLoadsIt)
{
    Session s;
    TForm1 &form = s.start();
    form.Switch1->setStateOn(true);
    QTest::mouseClick(form.btnLuk, Qt::LeftButton);

    TForm1 &again = s.start();
    EXPECT_EQ(again.Grid1->RowCount(), 4);
    EXPECT_FALSE(again.Switch1->StateOn());
    EXPECT_EQ(again.Grid1->Selection(), (CellRange {0, 2, 8, 2}));
    EXPECT_EQ(again.Grid1->Row(), 2);
}

TEST(MainWindow, WorksheetFromAFileIsRecalculatedAtStart)
{
    Session s;
    writeFile(s.path("Hourbook.csv"), WorkedExampleFile);
    TForm1 &form = s.start();
    EXPECT_EQ(form.Grid1->RowCount(), 4);
    EXPECT_EQ(form.Grid1->Cells(7, 1), "-02:54");
    EXPECT_EQ(form.Grid1->Cells(8, 1), "Train \"late\"");
    EXPECT_EQ(form.StatusBar1->PanelText(0), "01-12-98 - 02-12-98:   12:45  ");
    EXPECT_EQ(form.StatusBar1->PanelText(1), "01-12-98 - 02-12-98:  -14:48 ");
    EXPECT_EQ(form.StatusBar1->PanelText(2), "-02:03");
}

// The pixel widths of the layout hold the worked example only in the fonts
// the program provides: the wider substitutes cut the End times and the
// first date of the nominal period.
TEST(MainWindow, WorkedExampleFitsItsCellsAndPanels)
{
    Session s;
    writeFile(s.worksheet(), WorkedExampleFile);
    TForm1 &form = s.start();
    THyperGrid &grid = *form.Grid1;
    ASSERT_EQ(grid.RowCount(), 4);
    const THgDrawInfo cell; // the margins every cell keeps around its text
    for (int row = 1; row < grid.RowCount() - 1; ++row)
        for (int col = 0; col < grid.ColCount(); ++col) {
            const ThgColumn *column = grid.Columns().Items(col);
            const QFont font = column->ColumnParentFont() ? grid.font() : column->ColumnFont();
            const QString text = grid.GetDisplayText(col, row);
            EXPECT_LE(QFontMetrics(font).horizontalAdvance(text) + 2 * cell.HMargin, grid.ColWidths(col))
                << text.toStdString() << " in " << QFontInfo(font).family().toStdString();
        }
    const PanelStatusBar &totals = *form.StatusBar1;
    const QFontMetrics metrics(totals.font());
    for (int panel = 0; panel < totals.PanelCount(); ++panel)
        EXPECT_LE(metrics.horizontalAdvance(totals.PanelText(panel)), totals.panelTextRect(panel).width())
            << totals.PanelText(panel).toStdString() << " in " << QFontInfo(totals.font()).family().toStdString();
}

TEST(MainWindow, FileEndingWithAPeriodGetsItsBottomLineAtStart)
{
    Session s;
    // The worked example less its empty last line, as a hand-edited file may be.
    const QByteArray handEdited = WorkedExampleFile.first(WorkedExampleFile.indexOf("\r\n\"\",") + 2);
    writeFile(s.path("Hourbook.csv"), handEdited);
    TForm1 &form = s.start();
    EXPECT_EQ(form.Grid1->RowCount(), 4);
    EXPECT_EQ(s.row(3), QStringList(9, QString()));
    EXPECT_EQ(readFile(s.path("Hourbook.csv")), handEdited);
    s.clickSwitch(); // the period goes below the last one, not over it
    EXPECT_EQ(s.row(2)[0], "02-12-98 13:00");
    EXPECT_EQ(s.row(3)[0], "07-12-26 14:05");
}

TEST(MainWindow, FolderThatCannotBeWrittenKeepsTheWindowOpen)
{
    Session s;
    const QString folder = s.path("program");
    QDir().mkpath(folder);
    auto form = std::make_unique<TForm1>(folder);
    form->show();
    QDir(folder).removeRecursively(); // the folder goes away under the program
    QTest::mouseClick(form->btnGem, Qt::LeftButton);
    const QString expected = "Cannot create file " + QDir(folder).filePath(QStringLiteral("Hourbook.csv"));
    EXPECT_EQ(s.messages.texts, QStringList({expected}));
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Grid1->RowCount(), 3); // nothing lost

    QDir().mkpath(folder); // the user puts it back: now closing works
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QStringLiteral("Hourbook.csv"))));
}

TEST(MainWindow, TimeThatNoLongerParsesIsReportedButWhatWasTimedIsSaved)
{
    Session s;
    writeFile(
        s.worksheet(), QByteArray(WorkedExampleFile).replace("\"07:24\",\"\",\"\",\"\"", "\"7.24\",\"\",\"\",\"\""));
    TForm1 &form = s.start();
    const QStringList bad({"'7.24' is not a valid time"});
    EXPECT_EQ(s.messages.texts, bad); // by the start-up's recalculation
    s.clickSwitch();
    s.clock.advance(30 * 60);
    QTest::mouseClick(form.btnGem, Qt::LeftButton);
    EXPECT_EQ(s.messages.texts, bad + bad);
    EXPECT_TRUE(readFile(s.worksheet()).contains("\"07-12-26 14:05\",\"07-12-26 14:35\",\"00:30\""));

    s.clock.advance(30 * 60);
    QTest::mouseClick(form.btnLuk, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(s.messages.texts, bad + bad + bad);
    EXPECT_TRUE(readFile(s.worksheet()).contains("\"07-12-26 14:05\",\"07-12-26 15:05\",\"01:00\""));
}

TEST(MainWindow, UnreadableWorksheetIsNeverWrittenOverAndExitAsksFirst)
{
    Session s;
    QDir().mkpath(s.worksheet()); // something there that cannot be read as a file
    TForm1 &form = s.start();
    ASSERT_EQ(s.messages.texts.size(), 1);
    EXPECT_TRUE(s.messages.texts[0].startsWith("Cannot open file "));
    QTest::mouseClick(form.btnGem, Qt::LeftButton);
    EXPECT_TRUE(s.messages.texts.last().startsWith("Cannot create file "));

    s.messages.answers = {0, 1};
    QTest::mouseClick(form.btnLuk, Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(s.messages.questions.value(0).startsWith("The worksheet has not been saved: " + s.worksheet()
        + " could not be read when Worktally started (it is a folder)"));
    EXPECT_EQ(s.messages.questionButtons.value(0), QStringList({"Keep open", "Quit anyway"}));
    QTest::mouseClick(form.btnLuk, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(QFileInfo(s.worksheet()).isDir());
}

TEST(MainWindow, FirstSaveOfARunKeepsTheStartUpFileAsBackup)
{
    Session s;
    writeFile(s.worksheet(), WorkedExampleFile);
    TForm1 &form = s.start();
    QTest::mouseClick(form.Grid1->viewport(), Qt::LeftButton, {}, form.Grid1->CellRect(1, 1).center());
    QTest::mouseClick(form.btnDelete, Qt::LeftButton); // by mistake
    QTest::mouseClick(form.btnGem, Qt::LeftButton);
    EXPECT_FALSE(readFile(s.worksheet()).contains("Train"));
    EXPECT_EQ(readFile(s.path("Hourbook.csv.bak")), WorkedExampleFile);

    QTest::mouseClick(form.btnDelete, Qt::LeftButton);
    QTest::mouseClick(form.btnGem, Qt::LeftButton);
    EXPECT_EQ(readFile(s.path("Hourbook.csv.bak")), WorkedExampleFile); // once per run
}

// Whether the window read the file itself or took the rows read ahead.
TEST(MainWindow, BackupAfterAReloadIsStillTheStartUpFile)
{
    for (const bool preloaded : {false, true}) {
        SCOPED_TRACE(preloaded ? "read ahead" : "read by the window");
        Session s;
        writeFile(s.worksheet(), WorkedExampleFile);
        std::optional<WorksheetPreload> preload;
        if (preloaded) {
            preload.emplace(s.worksheet());
            s.form = std::make_unique<TForm1>(s.folder.path(), *preload);
            s.form->show();
        } else {
            s.start();
        }
        const QByteArray edited = QByteArray(WorkedExampleFile).replace("Train \"\"late\"\"", "Bus");
        writeFile(s.worksheet(), edited); // in a spreadsheet
        s.messages.answers = {0}; // Reload
        QTest::mouseClick(s.form->btnGem, Qt::LeftButton);
        ASSERT_EQ(s.row(1)[8], "Bus");
        QTest::mouseClick(s.form->btnGem, Qt::LeftButton);
        EXPECT_TRUE(readFile(s.worksheet()).contains("\"Bus\""));
        EXPECT_EQ(readFile(s.path("Hourbook.csv.bak")), WorkedExampleFile);
    }
}

TEST(MainWindow, ChangeOnDiskIsNeverWrittenOverUnasked)
{
    Session s;
    writeFile(s.worksheet(), WorkedExampleFile);
    TForm1 &form = s.start();
    s.clickSwitch();
    ASSERT_TRUE(s.holdsTheWindow(s.worksheet())); // the new period is saved
    const QByteArray edited = QByteArray(WorkedExampleFile).replace("Train \"\"late\"\"", "Bus"); // in a spreadsheet
    writeFile(s.worksheet(), edited);
    s.clock.advance(30 * 60);

    QTest::mouseClick(form.btnLuk, Qt::LeftButton); // Escape: nothing written, the window stays
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(readFile(s.worksheet()), edited);
    EXPECT_EQ(s.messages.questionButtons, QList<QStringList>({{"Reload", "Overwrite", "Cancel"}}));

    s.messages.answers = {0};
    QTest::mouseClick(form.btnLuk, Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    const QString kept = s.path("Hourbook 2026-12-07 1435.csv");
    const QString reloaded = "The worksheet from disk is shown. This window's worksheet is kept as " + kept + ".";
    EXPECT_EQ(s.messages.texts, QStringList({reloaded}));
    EXPECT_TRUE(readFile(kept).contains("Train"));
    // It runs on, in start order: the file's "98" reads as 2098.
    EXPECT_EQ(s.row(1).mid(0, 3), QStringList({"07-12-26 14:05", "07-12-26 14:35", "00:30"}));
    EXPECT_EQ(s.row(2)[8], "Bus");
    EXPECT_EQ(s.row(4), QStringList(9, QString()));
    EXPECT_EQ(form.StatusBar1->PanelText(2), "-01:33");
    EXPECT_TRUE(s.holdsTheWindow(s.worksheet())); // the reloaded worksheet with the running period

    writeFile(s.worksheet(), WorkedExampleFile); // edited once more
    s.messages.answers = {1};
    QTest::mouseClick(form.btnLuk, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    const QString keptToo = s.path("Hourbook 2026-12-07 1435 (2).csv");
    EXPECT_EQ(readFile(keptToo), WorkedExampleFile);
    EXPECT_TRUE(readFile(s.worksheet()).contains("\"Bus\""));
    EXPECT_EQ(s.messages.texts,
        QStringList({reloaded, "The worksheet was saved. The version that was on disk is kept as " + keptToo + "."}));
}

// A line appended by another program (printf … >> Hourbook.csv) lands below
// the empty bottom line; reloading takes it in without the empty row.
TEST(MainWindow, ReloadTakesInALineAppendedBelowTheBottomLine)
{
    Session s;
    writeFile(s.worksheet(), WorkedExampleFile);
    TForm1 &form = s.start();
    const ForeignWorksheet appended = foreignWorksheets().front();
    QFile file(s.worksheet());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(appended.bytes.mid(WorkedExampleFile.size()));
    file.close();

    s.messages.answers = {0}; // "Reload"
    QTest::mouseClick(form.btnGem, Qt::LeftButton);
    ASSERT_EQ(s.messages.questions.size(), 1);
    ASSERT_EQ(s.messages.texts.size(), 1);
    EXPECT_TRUE(s.messages.texts[0].startsWith("The worksheet from disk is shown."));
    QTest::mouseClick(form.btnGem, Qt::LeftButton);
    EXPECT_EQ(s.messages.texts.size(), 1);
    EXPECT_EQ(readFile(s.worksheet()), appended.saved);

    s.start();
    EXPECT_EQ(s.messages.texts.size(), 1);
    EXPECT_EQ(s.form->StatusBar1->PanelText(2), "-04:57");
    EXPECT_EQ(readWorksheet(s.folder.path()).totals.difference, "-04:57");
}

// A crash or a power cut loses nothing that the window showed: each change
// is on disk once it is made, by the same save as "Save now".
TEST(MainWindow, EveryChangeIsOnDiskAtOnce)
{
    Session s;
    writeFile(s.worksheet(), WorkedExampleFile);
    TForm1 &form = s.start();
    const std::pair<const char *, std::function<void()>> changes[] = {
        {"Start", [&] { s.clickSwitch(); }},
        {"Stop",
            [&] {
                s.clock.advance(50 * 60);
                s.clickSwitch();
            }},
        {"Update",
            [&] {
                s.clickRow(1);
                QTest::keyClicks(form.memo1, " on time");
                QTest::mouseClick(form.btnV1, Qt::LeftButton);
            }},
        {"Insert", [&] { QTest::mouseClick(form.btnInsLine, Qt::LeftButton); }},
        {"Delete",
            [&] {
                s.clickRow(form.Grid1->Row()); // the row just inserted
                QTest::mouseClick(form.btnDelete, Qt::LeftButton);
            }},
    };
    for (const auto &[name, change] : changes) {
        const QByteArray before = readFile(s.worksheet());
        change();
        EXPECT_NE(s.windowCsv(), before) << name; // something to save
        EXPECT_TRUE(s.holdsTheWindow(s.worksheet())) << name;
    }
    EXPECT_TRUE(readFile(s.worksheet()).contains("on time"));
    EXPECT_FALSE(readFile(s.worksheet()).contains("00:00\",\"01-12-98 00:00\"")); // inserted, then deleted
    EXPECT_TRUE(s.messages.texts.isEmpty());
    EXPECT_EQ(readFile(s.path("Hourbook.csv.bak")), WorkedExampleFile); // the first save keeps the start-up file
}

TEST(MainWindow, ChangeThatCannotBeSavedStaysInTheWindowAndTheNextChangeSavesIt)
{
    Session s;
    const QString folder = s.path("program");
    QDir().mkpath(folder);
    s.form = std::make_unique<TForm1>(folder);
    TForm1 &form = *s.form;
    form.show();
    QDir(folder).removeRecursively(); // the folder goes away under the program
    s.clickSwitch();
    const QString worksheet = QDir(folder).filePath(QStringLiteral("Hourbook.csv"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !s.messages.texts.isEmpty(); }, 5000));
    EXPECT_EQ(s.messages.texts, QStringList({"Cannot create file " + worksheet}));
    EXPECT_TRUE(form.Switch1->StateOn());
    EXPECT_EQ(form.Grid1->RowCount(), 4);

    QDir().mkpath(folder); // the user puts it back
    s.clock.advance(10 * 60);
    s.clickSwitch();
    EXPECT_TRUE(s.holdsTheWindow(worksheet));
    EXPECT_TRUE(readFile(worksheet).contains("\"07-12-26 14:05\",\"07-12-26 14:15\",\"00:10\""));
    EXPECT_EQ(s.messages.texts.size(), 1);
}

// While the question about a change on disk waits for its answer, neither
// the timer nor a termination signal may ask it a second time; the signal
// ends the program once it is answered.
TEST(MainWindow, SignalAndTimerDuringTheQuestionAskNoSecondOne)
{
    Session s;
    writeFile(s.worksheet(), WorkedExampleFile);
    TForm1 &form = s.start();
    UnixSignalWatcher termination({SIGTERM}); // wired as in the program
    QObject::connect(&termination, &UnixSignalWatcher::received, &form, &TForm1::closeOnSignal);
    bool signalled = false;
    QObject::connect(&termination, &UnixSignalWatcher::received, [&] { signalled = true; });
    const QByteArray edited = QByteArray(WorkedExampleFile).replace("Train \"\"late\"\"", "Bus");
    writeFile(s.worksheet(), edited);

    int questions = 0;
    setQuestionPresenter([&](const QString &, const QStringList &, int safeChoice) {
        if (++questions == 1) {
            form.Timer1Timer();
            std::raise(SIGTERM);
            EXPECT_TRUE(QTest::qWaitFor([&] { return signalled; }, 2000));
            EXPECT_TRUE(form.isVisible()); // the answer still counts
        }
        return safeChoice; // Cancel
    });
    s.clickSwitch();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 5000));
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(readFile(s.worksheet()), edited); // never written over unasked
    EXPECT_TRUE(s.holdsTheWindow(s.recovery()));
    EXPECT_TRUE(s.messages.texts.isEmpty());
}

TEST(MainWindow, TimerTickDuringTheQuestionSavesOnceItIsAnswered)
{
    Session s;
    writeFile(s.worksheet(), WorkedExampleFile);
    TForm1 &form = s.start();
    s.clickSwitch();
    ASSERT_TRUE(s.holdsTheWindow(s.worksheet()));
    writeFile(s.worksheet(), QByteArray(WorkedExampleFile).replace("Train", "Bus"));

    int questions = 0;
    setQuestionPresenter([&](const QString &, const QStringList &, int) {
        if (++questions == 1) {
            s.clock.advance(15 * 60);
            form.Timer1Timer();
        }
        return 1; // Overwrite
    });
    QTest::mouseClick(form.btnGem, Qt::LeftButton);
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return readFile(s.worksheet()).contains("\"07-12-26 14:20\""); }, 5000));
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(s.row(3)[1], "07-12-26 14:20");
}

// A kill follows a termination signal within seconds: no box may wait for an
// answer, and what cannot be written where it belongs is kept in the state
// folder, of which the next start tells once.
TEST(MainWindow, SignalledExitKeepsWhatItCannotSaveInARecoveryFile)
{
    const struct
    {
        const char *name;
        std::function<void(Session &)> before;
        bool changedOnDisk;
    } obstacles[] = {
        {"unreadable at start", [](Session &s) { QDir().mkpath(s.worksheet()); }, false},
        {"read-only file",
            [](Session &s) {
                writeFile(s.worksheet(), WorkedExampleFile);
                QFile::setPermissions(s.worksheet(), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
            },
            false},
        {"changed on disk", [](Session &s) { writeFile(s.worksheet(), WorkedExampleFile); }, true},
    };
    for (const auto &obstacle : obstacles) {
        SCOPED_TRACE(obstacle.name);
        Session s;
        obstacle.before(s);
        TForm1 &form = s.start();
        s.clickSwitch();
        s.clock.advance(20 * 60);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form.isSaving(); }, 5000));
        if (obstacle.changedOnDisk)
            writeFile(s.worksheet(), QByteArray(WorkedExampleFile).replace("Train", "Bus"));
        const QByteArray onDisk = readFile(s.worksheet());
        const int shown = s.messages.texts.size();
        form.closeOnSignal();
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(s.messages.texts.size(), shown);
        EXPECT_TRUE(s.messages.questions.isEmpty());
        EXPECT_EQ(readFile(s.worksheet()), onDisk);
        const QString recovery = s.recovery(QStringLiteral("1425"));
        EXPECT_TRUE(readFile(recovery).contains("\"07-12-26 14:05\",\"07-12-26 14:25\",\"00:20\""));
        EXPECT_TRUE(s.holdsTheWindow(recovery));

        const QString told = QStringLiteral("When Worktally was last ended by the system (a logout or a kill), the "
                                            "worksheet could not be saved as %1. It was saved as %2.")
                                 .arg(s.worksheet(), recovery);
        s.start();
        EXPECT_EQ(s.messages.texts.count(told), 1);
        s.start();
        EXPECT_EQ(s.messages.texts.count(told), 1);

        // Within the same minute, the next one is kept beside it.
        if (!obstacle.changedOnDisk) {
            s.form->closeOnSignal();
            EXPECT_TRUE(s.holdsTheWindow(QString(recovery).replace(" unsaved.csv", " unsaved (2).csv")));
        }
    }
}

TEST(MainWindow, StopwatchWithNoDataRowLeft)
{
    Session s;
    TForm1 &form = s.start();
    form.Switch1->setStateOn(true);
    form.Grid1->RemoveRow(2); // the running row and the first row deleted while it runs
    form.Grid1->RemoveRow(1);
    QTest::mouseClick(form.btnGem, Qt::LeftButton);
    form.Switch1->setStateOn(false);
    EXPECT_EQ(form.Switch1->Caption(), "S&tart");
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(form.Grid1->RowCount(), 2);
    EXPECT_EQ(form.Grid1->cellTable().rowTexts(1), QStringList(9, QString()));
    EXPECT_TRUE(s.messages.texts.isEmpty());
}

// In memory only, leaving the highlight and what the edit panel shows alone.
TEST(MainWindow, LiveUpdateBringsTheRunningPeriodUpToTheMinute)
{
    Session s;
    writeFile(s.path("Worktally.Setup"), MondayHours);
    TForm1 &form = s.start();
    s.clickSwitch();
    ASSERT_TRUE(form.LiveTimer->isActive());
    EXPECT_EQ(form.LiveTimer->interval(), 60 * 1000);
    ASSERT_TRUE(s.holdsTheWindow(s.worksheet())); // the start of the period
    QTest::mouseClick(form.Grid1->viewport(), Qt::LeftButton, {}, form.Grid1->CellRect(1, 1).center());
    form.MaskEdit3->setText("07:24"); // being typed
    s.clock.advance(95 * 60 + 20);
    form.LiveTimerTimer();
    EXPECT_EQ(s.row(2),
        QStringList({"07-12-26 14:05", "07-12-26 15:40", "01:35", "", "07-12-26", "00:00", "", "+01:35", ""}));
    // The fresh worksheet's first row owes Monday's hours.
    EXPECT_EQ(form.StatusBar1->PanelText(2), "-05:49");
    EXPECT_EQ(form.TrayIcon1->Detail(), "Today 01:35 of 07:24 — done at 21:29 — balance -05:49");
    EXPECT_TRUE(form.LiveTimer->isActive());
    EXPECT_EQ(form.LiveTimer->interval(), 40 * 1000); // at 15:41:00
    EXPECT_EQ(form.Grid1->Selection(), (CellRange {0, 1, 8, 1}));
    EXPECT_EQ(form.MaskEdit3->Text(), "07:24");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.isSaving(); }, 5000));
    EXPECT_FALSE(readFile(s.worksheet()).contains("15:40")); // saved at the start, not since
    EXPECT_TRUE(s.messages.texts.isEmpty());

    s.clickSwitch();
    EXPECT_FALSE(form.LiveTimer->isActive());
    EXPECT_EQ(form.TrayIcon1->Detail(), "Today 01:35 of 07:24 — balance -05:49");
}

TEST(MainWindow, LiveUpdateThatCannotRecalculateChangesNoTextAndSaysNothing)
{
    Session s;
    writeFile(s.path("Worktally.Setup"), MondayHours);
    writeFile(
        s.worksheet(), QByteArray(WorkedExampleFile).replace("\"07:24\",\"\",\"\",\"\"", "\"7.24\",\"\",\"\",\"\""));
    TForm1 &form = s.start();
    s.clickSwitch();
    s.messages.texts.clear(); // the start-up's report of the bad time
    const QStringList running = s.row(3);
    s.clock.advance(30 * 60);
    form.LiveTimerTimer();
    EXPECT_EQ(s.row(3), running);
    EXPECT_TRUE(s.messages.texts.isEmpty());
    EXPECT_TRUE(form.LiveTimer->isActive());
}

TEST(MainWindow, LiveUpdateTellsOnceThatTodaysTargetIsReached)
{
    Session s;
    writeFile(s.path("Worktally.Setup"), "[WorkingHours]\nMon=01:00\n");
    TForm1 &form = s.start();
    QStringList notices;
    form.notify = [&](const QString &text) { notices << text; };
    s.clickSwitch();
    for (int minute = 1; minute <= 62; ++minute) {
        s.clock.advance(60);
        form.LiveTimerTimer();
        EXPECT_EQ(notices.size(), minute < 60 ? 0 : 1) << minute;
    }
    EXPECT_EQ(notices, QStringList({"Today's 01:00 are done."}));
    EXPECT_EQ(form.TrayIcon1->Detail(), "Today 01:02 of 01:00 — balance +00:02"); // reached: no "done at"
}

// The status bar's three totals and every Diff. the window shows.
QStringList totalsAndDifferences(const TForm1 &form)
{
    QStringList texts;
    for (int panel = 0; panel < 3; ++panel)
        texts << form.StatusBar1->PanelText(panel);
    for (int row = 1; row < form.Grid1->RowCount(); ++row)
        texts << form.Grid1->Cells(DiffColumn, row);
    return texts;
}

// The same worked out afresh from every row the window holds.
QStringList recalculatedTotalsAndDifferences(const TForm1 &form)
{
    CellTable rows = form.Grid1->cellTable();
    rows.setChangeListener({});
    const WorksheetTotals totals = recalculateWorksheet(rows);
    QStringList texts {totals.home, totals.nominal, totals.difference};
    for (int row = 1; row < rows.rowCount(); ++row)
        texts << rows.text(DiffColumn, row);
    return texts;
}

// Each minute works out the running row alone; what changed meanwhile (a row
// inserted above it, a time typed into the grid) is taken in all the same.
// The status bar, every Diff. and the tooltip read as after a recalculation
// of every row, past midnight too.
TEST(MainWindow, LiveUpdatesShowWhatARecalculationShows)
{
    const QByteArray today
        = "\"07-12-26 08:00\",\"07-12-26 12:00\",\"04:00\",\"\",\"07-12-26\",\"07:00\",\"\",\"\",\"\"\r\n";
    const struct
    {
        const char *name;
        QTime start;
        int minutes;
    } runs[] = {{"afternoon", QTime(14, 5), 75}, {"past midnight", QTime(23, 55), 10}};
    for (const auto &run : runs) {
        SCOPED_TRACE(run.name);
        Session s;
        s.clock.set(QDateTime(Monday.date(), run.start));
        writeFile(s.path("Worktally.Setup"), "[WorkingHours]\nMon=07:24\nTue=06:00\n");
        writeFile(s.worksheet(), workedExampleWith(today));
        TForm1 &form = s.start();
        s.clickSwitch();
        for (int minute = 1; minute <= run.minutes; ++minute) {
            s.clock.advance(60);
            if (minute == 2) {
                s.clickRow(1);
                QTest::mouseClick(form.btnInsLine, Qt::LeftButton);
            }
            if (minute == 3)
                form.Grid1->setCells(NominalTimeColumn, 1, QStringLiteral("01:00"));
            form.LiveTimerTimer();
        }
        const QStringList shown = totalsAndDifferences(form);
        EXPECT_EQ(shown, recalculatedTotalsAndDifferences(form));
        const QString tooltip = form.TrayIcon1->Detail();
        form.Button1Click();
        EXPECT_EQ(form.TrayIcon1->Detail(), tooltip);
        EXPECT_EQ(totalsAndDifferences(form), shown);
    }
}

// The settings file is read at the start and after the dialog's OK only.
TEST(MainWindow, LiveUpdateUsesTheWorkingHoursReadAtTheStartUntilTheDialogChangesThem)
{
    Session s;
    writeFile(s.path("Worktally.Setup"), MondayHours);
    TForm1 &form = s.start();
    s.clickSwitch();
    form.Grid1->setCells(NominalTimeColumn, 1, QStringLiteral("00:00")); // today's rows owe nothing: the hours do
    writeFile(s.path("Worktally.Setup"), "[WorkingHours]\nMon=01:00\n"); // changed behind the program's back
    s.clock.advance(60);
    form.LiveTimer->start(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.row(2)[1] == "07-12-26 14:06"; }));
    EXPECT_EQ(form.TrayIcon1->Detail(), "Today 00:01 of 07:24 — done at 21:29 — balance +00:01");

    QFile::remove(s.path("Worktally.Setup"));
    s.clock.advance(60);
    form.LiveTimer->start(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.row(2)[1] == "07-12-26 14:07"; }));
    EXPECT_EQ(form.TrayIcon1->Detail(), "Today 00:02 of 07:24 — done at 21:29 — balance +00:02");

    form.PopPreferences->trigger();
    auto *dialog = form.findChild<PreferencesDialog *>();
    ASSERT_TRUE(dialog);
    QTest::mouseClick(dialog->workingHoursPage->dayEdits[0], Qt::LeftButton);
    QTest::keyClick(dialog->workingHoursPage->dayEdits[0], Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(dialog->workingHoursPage->dayEdits[0], "0100");
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
    EXPECT_EQ(form.TrayIcon1->Detail(), "Today 00:02 of 01:00 — done at 15:05 — balance +00:02");
    s.clock.advance(60);
    form.LiveTimerTimer();
    EXPECT_EQ(form.TrayIcon1->Detail(), "Today 00:03 of 01:00 — done at 15:05 — balance +00:03");
    EXPECT_TRUE(s.messages.texts.isEmpty());
}

TEST(MainWindow, WithoutWorkingHoursTheTooltipIsTheNameAndTheRunningPeriodWaitsForTheSave)
{
    Session s;
    TForm1 &form = s.start();
    s.clickSwitch();
    s.clock.advance(30 * 60);
    form.LiveTimerTimer();
    EXPECT_EQ(s.row(2)[1], "07-12-26 14:05");
    EXPECT_EQ(form.TrayIcon1->Detail(), "");
}

TEST(MainWindow, TooltipTellsTodayFromTheStartOn)
{
    Session s;
    writeFile(s.path("Worktally.Setup"), MondayHours);
    const QByteArray today
        = "\"07-12-26 08:00\",\"07-12-26 12:00\",\"04:00\",\"\",\"07-12-26\",\"07:00\",\"\",\"\",\"\"\r\n";
    writeFile(s.worksheet(), workedExampleWith(today));
    WorksheetPreload preload(s.worksheet()); // as the program starts
    const TForm1 form(s.folder.path(), preload);
    EXPECT_EQ(form.TrayIcon1->Detail(), "Today 04:00 of 07:00 — balance -05:03");
}

TEST(MainWindow, BackgroundColourIsChosenStoredAndRead)
{
    Session s;
    writeFile(s.path("Worktally.Setup"), "[wkyColor]\nbackColor=$FF\n");
    TForm1 &form = s.start();
    EXPECT_EQ(form.backgroundColor(), clRed);
    EXPECT_EQ(form.Grid1->Color(), clRed);
    EXPECT_EQ(form.Grid1->Columns().Items(8)->ColumnColor(), clRed);
    EXPECT_EQ(form.Grid1->Columns().Items(3)->ColumnColor(), clSilver);
    EXPECT_EQ(form.MaskEdit4->palette().color(QPalette::Base), QColor(Qt::red));

    QColor offered;
    form.chooseColor = [&](const QColor &initial) -> std::optional<QColor> {
        offered = initial;
        return std::nullopt; // cancelled
    };
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(offered, QColor(Qt::red));
    EXPECT_EQ(form.backgroundColor(), clRed);

    form.chooseColor = [](const QColor &) { return std::optional<QColor>(QColor(0, 0x80, 0xFF)); };
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(form.Grid1->Color(), rgbColor(0, 0x80, 0xFF));
    EXPECT_EQ(form.memo1->palette().color(QPalette::Base), QColor(0, 0x80, 0xFF));
    EXPECT_TRUE(readFile(s.path("Worktally.Setup")).contains("backColor=16744448"));
    EXPECT_TRUE(s.messages.texts.isEmpty());
}

TEST(MainWindow, EditTextsAndSwitchPicturesStandOutOnTheirBackgrounds)
{
    Session s;
    TForm1 &form = s.start();
    for (QColor chosen : {QColor(Qt::black), QColor(0, 0, 0x80), QColor(Qt::white)}) {
        form.chooseColor = [&](const QColor &) { return std::optional<QColor>(chosen); };
        QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
        const QRect inside = form.MaskEdit1->rect().adjusted(4, 4, -4, -4); // the time, inside the frame
        EXPECT_GT(strongestContrast(form.MaskEdit1->grab().toImage(), inside, chosen), 128)
            << chosen.name().toStdString();
    }
    // The pictures' smoothed edges show no trace of the magenta key colour
    // (red and blue well above green), neither the window's nor the built-in.
    TOnOffSwitch builtIn;
    for (TOnOffSwitch *sw : {form.Switch1, &builtIn})
        for (bool on : {true, false}) {
            sw->setStateOn(on);
            const QImage image = sw->grab().toImage();
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    ASSERT_LE(std::min(c.red(), c.blue()), c.green() + 24) << x << "," << y;
                }
        }
}

TEST(MainWindow, UnreadableColourGivesTheDefaultSilently)
{
    for (const char *stored : {"backColor=blue\n", "backColor=0x\n", "other=1\n"}) {
        Session s;
        writeFile(s.path("Worktally.Setup"), QByteArray("[wkyColor]\n") + stored);
        TForm1 &form = s.start();
        EXPECT_EQ(form.backgroundColor(), WhiteColor) << stored;
        EXPECT_TRUE(s.messages.texts.isEmpty());
    }
}

TEST(MainWindow, SettingsThatCannotBeWrittenAreReported)
{
    Session s;
    QDir().mkpath(s.path("Worktally.Setup")); // in the way of the settings file
    TForm1 &form = s.start();
    form.chooseColor = [](const QColor &) { return std::optional<QColor>(QColor(Qt::yellow)); };
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(s.messages.texts, QStringList({"Color selection dialog failed to load."}));
}

// Settings kept by hand, with CR LF line ends: the program's own keys change,
// everything around them stays byte for byte.
TEST(MainWindow, ChoosingAColourOrWorkingHoursChangesOnlyThoseLinesOfTheSettings)
{
    Session s;
    const QByteArray byHand = "; Worktally's settings, kept by hand\r\n"
                              "[Window]\r\nleft=10\r\n\r\n"
                              "[wkyColor]\r\n# the fields\r\nbackColor=255\r\nfavourite = teal\r\n\r\n"
                              "[WorkingHours]\r\nMon=07:24\r\n; Fridays are short\r\n";
    writeFile(s.path("Worktally.Setup"), byHand);
    TForm1 &form = s.start();
    EXPECT_EQ(form.backgroundColor(), clRed);

    form.chooseColor = [](const QColor &) { return std::optional<QColor>(QColor(Qt::blue)); };
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    QByteArray expected = QByteArray(byHand).replace("backColor=255", "backColor=16711680");
    EXPECT_EQ(readFile(s.path("Worktally.Setup")), expected);

    form.PopPreferences->trigger();
    auto *dialog = form.findChild<PreferencesDialog *>();
    ASSERT_TRUE(dialog);
    QTest::mouseClick(dialog->workingHoursPage->dayEdits[4], Qt::LeftButton);
    QTest::keyClick(dialog->workingHoursPage->dayEdits[4], Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(dialog->workingHoursPage->dayEdits[4], "0630");
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
    expected.replace("Mon=07:24\r\n", "Mon=07:24\r\nTue=\r\nWed=\r\nThu=\r\nFri=06:30\r\nSat=\r\nSun=\r\n");
    EXPECT_EQ(readFile(s.path("Worktally.Setup")), expected);
    EXPECT_TRUE(s.messages.texts.isEmpty());
}

TEST(MainWindow, DamagedSettingsKeepTheirBytesAndGainOnlyTheColour)
{
    Session s;
    const QByteArray damaged = QByteArray("\x00\xff\xfe[wkyColor\n=\\x01 backColor\n%General%\x7f", 34);
    writeFile(s.path("Worktally.Setup"), damaged);
    TForm1 &form = s.start();
    EXPECT_EQ(form.backgroundColor(), WhiteColor);
    form.chooseColor = [](const QColor &) { return std::optional<QColor>(QColor(Qt::red)); };
    QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(readFile(s.path("Worktally.Setup")), damaged + "\n[wkyColor]\nbackColor=255\n");
    EXPECT_TRUE(s.messages.texts.isEmpty());
}

TEST(MainWindow, WorkingHoursThatDoNotReadAreToldAtStartAndInTheDialogOnly)
{
    Session s;
    writeFile(s.path("Worktally.Setup"), "[WorkingHours]\nMon=25:00\nTue=07:24\nWed=\n");
    TForm1 &form = s.start();
    EXPECT_EQ(s.messages.texts, QStringList({"'25:00' is not a valid time"}));

    s.clickSwitch();
    for (int minute = 0; minute < 3; ++minute) {
        s.clock.advance(60);
        form.LiveTimerTimer();
    }
    s.clickSwitch();
    EXPECT_EQ(s.messages.texts.size(), 1);

    form.PopPreferences->trigger();
    EXPECT_EQ(s.messages.texts, QStringList(2, "'25:00' is not a valid time"));
    auto *dialog = form.findChild<PreferencesDialog *>();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->workingHoursPage->dayEdits[0]->Text().remove(u':').trimmed(), "");
    EXPECT_EQ(dialog->workingHoursPage->dayEdits[1]->Text(), "07:24");
}

// After "OK" the tray's tooltip tells today against the new hours, before
// the next minute or period comes.
TEST(MainWindow, TooltipTellsTodayAsSoonAsWorkingHoursAreSet)
{
    Session s;
    TForm1 &form = s.start();
    EXPECT_EQ(form.TrayIcon1->Detail(), "");
    form.PopPreferences->trigger();
    auto *dialog = form.findChild<PreferencesDialog *>();
    ASSERT_TRUE(dialog);
    QTest::mouseClick(dialog->workingHoursPage->dayEdits[0], Qt::LeftButton);
    QTest::keyClick(dialog->workingHoursPage->dayEdits[0], Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(dialog->workingHoursPage->dayEdits[0], "0724");
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
    EXPECT_EQ(form.TrayIcon1->Detail(), "Today 00:00 of 07:24 — balance +00:00");
}

TEST(MainWindow, FirstPeriodOfADayOwesItsWeekdaysWorkingHours)
{
    Session s;
    writeFile(s.worksheet(), WorkedExampleFile);
    writeFile(s.path("Worktally.Setup"), "[WorkingHours]\nMon=07:24\n");
    TForm1 &form = s.start();
    const QString nominalTotal = form.StatusBar1->PanelText(1);
    s.clickSwitch();
    EXPECT_EQ(
        s.row(3), QStringList({"07-12-26 14:05", "07-12-26 14:05", "00:00", "", "07-12-26", "07:24", "", "00:00", ""}));
    EXPECT_EQ(form.StatusBar1->PanelText(1), nominalTotal); // no recalculation at the start
    s.clickSwitch();
    EXPECT_EQ(s.row(3)[7], "-07:24");
    s.clickSwitch(); // a second period that Monday owes nothing more
    EXPECT_EQ(s.row(4)[5], "00:00");
}

TEST(MainWindow, WorkingHoursAreSetFromTheSetupButtonAndTheTrayMenu)
{
    Session s;
    TForm1 &form = s.start();
    const auto type = [](MaskedEdit *edit, const QString &time) {
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, time);
    };

    PreferencesDialog *dialog = openPreferencesFromSetup(form);
    ASSERT_TRUE(dialog);
    type(dialog->workingHoursPage->dayEdits[0], "0724");
    type(dialog->workingHoursPage->dayEdits[4], "6:30");
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    const WorkingHours stored = WorkingHours::read(form.settingsPath());
    EXPECT_EQ(stored.minutes(1), 7 * 60 + 24);
    EXPECT_EQ(stored.minutes(5), 6 * 60 + 30);
    EXPECT_EQ(stored.minutes(2), std::nullopt);

    // From the tray, asked twice: one dialog with the stored days. A time
    // that does not read keeps it open; Cancel stores nothing.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QByteArray settings = readFile(form.settingsPath());
    form.PopPreferences->trigger();
    form.PopPreferences->trigger();
    ASSERT_EQ(form.findChildren<PreferencesDialog *>().size(), 1);
    dialog = form.findChild<PreferencesDialog *>();
    EXPECT_EQ(dialog->workingHoursPage->dayEdits[0]->Text(), "07:24");
    type(dialog->workingHoursPage->dayEdits[1], "2500");
    QTest::mouseClick(dialog->btnOK, Qt::LeftButton);
    EXPECT_EQ(s.messages.texts, QStringList({"'25:00' is not a valid time"}));
    ASSERT_TRUE(dialog->isVisible());
    type(dialog->workingHoursPage->dayEdits[1], "0800");
    QTest::mouseClick(dialog->btnCancel, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(readFile(form.settingsPath()), settings);
}

TEST(MainWindow, ToolBarAndLayout)
{
    Session s;
    TForm1 &form = s.start();
    EXPECT_EQ(form.windowTitle(), "Worktally");
    EXPECT_EQ(form.size(), QSize(670, 423));
    EXPECT_EQ(form.btnGem->text(), "&Save now");
    EXPECT_EQ(form.btnGem->toolTip(), "Save actual worksheet at actual time");
    EXPECT_EQ(form.btnLuk->geometry(), QRect(513, 4, 76, 33));
    EXPECT_EQ(form.btnUdskriv->geometry(), QRect(326, 4, 78, 33));
    EXPECT_EQ(form.Switch1->geometry(), QRect(408, 48, 113, 49));
    EXPECT_EQ(form.Grid1->geometry(), QRect(0, 181, 670, 217));
    EXPECT_EQ(form.StatusBar1->geometry(), QRect(0, 398, 670, 25));
    EXPECT_EQ(form.Switch1->nextInFocusChain(), static_cast<QWidget *>(form.DateEdit1));

    const THyperGrid &grid = *form.Grid1;
    EXPECT_EQ(grid.RowHeights(0), 36);
    const int widths[] = {90, 87, 50, 10, 87, 50, 10, 65, 193};
    for (int c = 0; c < 9; ++c)
        EXPECT_EQ(grid.ColWidths(c), widths[c]);
    EXPECT_EQ(grid.Headings().Items(0)->Caption(), "Home Worktime");
    EXPECT_EQ(grid.Headings().Items(1)->Name(), "Column 2");
    EXPECT_EQ(grid.Columns().Items(4)->HeadingIndex(), 1);
    EXPECT_EQ(grid.Columns().Items(6)->TitleColor(), clSilver);
    EXPECT_EQ(grid.Columns().Items(8)->ButtonPicture().size(), QSize(20, 20));

    EXPECT_EQ(form.SortAStringGrid1->GridToSort(), form.Grid1);
    EXPECT_EQ(form.SortAStringGrid1->SortType(), TSortAStringGrid::ToSortType::Date);
    EXPECT_TRUE(form.SortAStringGrid1->ShowMessageOnError());
}

namespace {

// Each of the window's masked edits shows its whole text.
void expectWholeTexts(const TForm1 &form)
{
    const QList<MaskedEdit *> edits = form.findChildren<MaskedEdit *>();
    ASSERT_EQ(edits.size(), 7);
    for (MaskedEdit *edit : edits) {
        EXPECT_TRUE(showsWholeText(edit)) << edit->displayText().toStdString();
        // Measured as the style lays the text out: inside its frame and the
        // text margins, 2 pixels either side and one for the cursor.
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
        const QMargins margins = edit->textMargins();
        const int room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit).width()
            - margins.left() - margins.right() - 2 * 2;
        EXPECT_GE(room, edit->fontMetrics().horizontalAdvance(edit->displayText()) + 1)
            << edit->displayText().toStdString();
    }
}

} // namespace

// Under the Adwaita style the frame and text margins take more room than the
// given widths leave: the alarm's time then widens to show "00:00" whole,
// while under the styles where everything fits the layout stays as it is.
TEST(MainWindow, TimeAndDateEditsShowTheirWholeTextUnderEveryStyle)
{
    Session s;
    TForm1 &form = s.start();
    EXPECT_EQ(form.MaskEdit4->geometry(), QRect(8, 24, 46, 21));
    EXPECT_EQ(form.MaskEdit4->Text(), "00:00");
    EXPECT_EQ(form.DateEdit1->geometry(), QRect(50, 28, 100, 21));
    EXPECT_EQ(form.DateEdit2->geometry(), QRect(232, 28, 100, 21));
    EXPECT_EQ(form.MaskEdit3->geometry(), QRect(231, 55, 100, 21));
    expectWholeTexts(form);

    QStyle *adwaita = QStyleFactory::create(QStringLiteral("Adwaita"));
    ASSERT_NE(adwaita, nullptr) << "the Adwaita style (adwaita-qt6) is not installed";
    // The application's own style is kept aside, not deleted, and given back.
    QStyle *fusion = QApplication::style();
    fusion->setParent(nullptr);
    const auto restore = qScopeGuard([fusion] { QApplication::setStyle(fusion); });
    QApplication::setStyle(adwaita);
    EXPECT_EQ(form.MaskEdit4->geometry().topLeft(), QPoint(8, 24));
    EXPECT_GT(form.MaskEdit4->width(), 46);
    EXPECT_EQ(form.MaskEdit4->height(), 21);
    expectWholeTexts(form);
    // A window made under the style, which sets text margins of its own as it
    // polishes the edits, fits as well.
    expectWholeTexts(s.start());
}

TEST(MainWindow, TrayMenuItemsAndTheirHandlers)
{
    Session s;
    TForm1 &form = s.start();
    const QList<QAction *> items = form.TrayMenu1->actions();
    ASSERT_EQ(items.size(), 7);
    EXPECT_EQ(items[0]->text(), "&Worktally");
    EXPECT_EQ(items[1], form.PopStopwatch);
    EXPECT_EQ(items[1]->text(), "S&tart");
    EXPECT_EQ(items[1]->toolTip(), "Start/stop the stopwatch by clicking this button");
    EXPECT_EQ(items[2]->text(), "SorrelbySoft &WWW");
    EXPECT_EQ(items[3]->text(), "&About Worktally");
    EXPECT_EQ(items[4], form.PopPreferences);
    EXPECT_TRUE(items[5]->isSeparator());
    EXPECT_EQ(items[6]->text(), "E&xit");
    EXPECT_EQ(items[6]->toolTip(), "Gemmer aktuel tid og lukker Worktally-programmet");
    EXPECT_EQ(form.TrayMenu1->defaultAction(), form.PopRestore1);
    EXPECT_EQ(form.TrayIcon1->Hint(), "Worktally");
    EXPECT_EQ(form.TrayIcon1->PopupMenu(), form.TrayMenu1);

    QList<QUrl> opened;
    form.openUrl = [&](const QUrl &url, const std::function<void()> &) { opened << url; };
    form.PopWWW1->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].scheme(), "https");

    // A double click on the icon runs the default item: the window comes back.
    form.showMinimized();
    form.TrayIcon1->handleTrayMessage(TrayMouseMessage::LeftDoubleClick);
    EXPECT_FALSE(form.windowState() & Qt::WindowMinimized);

    // "Exit" in the tray menu is the tool bar's Exit: saved and closed.
    form.PopLuk->trigger();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(QFile::exists(s.path("Hourbook.csv")));
}

// Tray hosts speaking D-Bus report a single activation and never a double
// click. (A window hidden in the tray: the desktop test.)
TEST(MainWindow, ASingleActivationOfTheTrayIconBringsBackAMinimizedWindow)
{
    Session s;
    TForm1 &form = s.start();
    form.showMinimized();
    emit form.TrayIcon1->systemTrayIcon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(form.isMinimized());
}

TEST(MainWindow, AboutWindowOpensModallyAndCloses)
{
    Session s;
    TForm1 &form = s.start();
    QPointer<TAboutBox> about;
    QStringList shown; // its caption, name and version
    QString information;
    QTimer::singleShot(0, &form, [&] {
        about = qobject_cast<TAboutBox *>(QApplication::activeModalWidget());
        ASSERT_TRUE(about);
        shown = {about->windowTitle(), about->ProductName->text(), about->Version->text()};
        information = about->Memo1->toPlainText();
        QTest::mouseClick(about->SpeedButton2, Qt::LeftButton);
    });
    form.popAbout->trigger();
    EXPECT_EQ(shown, QStringList({" ", "Worktally", "version 1.00"}));
    // Where the worksheet and the alarm sound are: the data folder.
    EXPECT_TRUE(information.contains("Hourbook.csv in the data folder,\n  " + s.folder.path() + "\n"))
        << information.toStdString();
    EXPECT_TRUE(information.contains("alarm.wav in the data folder")) << information.toStdString();
    EXPECT_FALSE(information.contains("beside the program")) << information.toStdString();
    EXPECT_TRUE(about.isNull()); // freed once closed
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(MainWindow, HelpOpensAtTheMainWindowsPageOrSaysWhatIsMissing)
{
    Session s;
    TForm1 &form = s.start();
    QList<QUrl> opened;
    form.openUrl = [&](const QUrl &url, const std::function<void()> &) { opened << url; };
    const QString help = s.programFolder.filePath(QStringLiteral("WORKTALLY.html"));
    QTest::mouseClick(form.btnAbout, Qt::LeftButton);
    EXPECT_EQ(s.messages.texts, QStringList({"Cannot open file " + help}));
    EXPECT_TRUE(opened.isEmpty());

    writeFile(help, "<html></html>");
    QTest::mouseClick(form.btnAbout, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toLocalFile(), help);
    EXPECT_EQ(opened[0].fragment(), "context-10");
}

// The desktop's opener is xdg-open: one on PATH that finds no browser says so
// on standard error alone and ends in failure.
TEST(MainWindow, HelpSaysSoWhenTheDesktopsOpenerFails)
{
    Session s;
    TForm1 &form = s.start();
    const QString help = s.programFolder.filePath(QStringLiteral("WORKTALLY.html"));
    writeFile(help, "<html></html>");
    QTemporaryDir bin;
    const QString opener = bin.filePath(QStringLiteral("xdg-open"));
    const QString asked = bin.filePath(QStringLiteral("asked"));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
    const auto restorePath = qScopeGuard([&] { qputenv("PATH", path); });
    const auto openerGone = [&] { return form.findChild<QProcess *>() == nullptr; };

    for (const char *exit : {"3", "0"}) {
        s.messages.texts.clear();
        const QString script = QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\n"
                                              "echo \"xdg-open: no method available for opening '$1'\" >&2\n"
                                              "exit %2\n")
                                   .arg(asked, QString::fromLatin1(exit));
        writeFile(opener, script.toUtf8());
        QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QTest::mouseClick(form.btnAbout, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(openerGone, 10000)) << exit;
        EXPECT_EQ(QUrl(QString::fromUtf8(readFile(asked).trimmed())).toLocalFile(), help);
        if (QByteArray(exit) == "3")
            EXPECT_EQ(s.messages.texts,
                QStringList({"No web browser could be started to show the help pages " + help
                    + ".\n\nOpen that file in a web browser."}));
        else
            EXPECT_TRUE(s.messages.texts.isEmpty());
    }
}

TEST(MainWindow, SecondCopyShowsItsMessageAndEndsWithoutWriting)
{
    Session s;
    TForm1 &form = s.start();
    // Where copies sharing this worksheet meet when the runtime folder fails.
    EXPECT_EQ(form.SingleInstance1->FallbackLockFolder(), s.folder.path());
    form.SingleInstance1->OnAlreadyRunning(form.SingleInstance1, 1, 2);
    EXPECT_EQ(s.messages.texts,
        QStringList({"Worktally is already running.\n\rYou can only run one instance at a "
                     "time.\n\r The new session will be terminated."}));
    EXPECT_TRUE(form.isEnding());
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(QFile::exists(s.path("Hourbook.csv")));
}
