// Worktally on a real X server (the test runs under xvfb-run): several copies
// of the program started as processes, the notification area, and the print
// preview framed by a window manager.

#include "awayquestion.h"
#include "clocksource.h"
#include "fakeawaydetector.h"
#include "mainwindow.h"
#include "modules.h"
#include "onoffswitch.h"
#include "printpreview.h"
#include "stopwatchbus.h"
#include "testsupport.h"
#include "trayicon.h"
#include "x11desktop.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <sys/resource.h>

namespace {

// The visible windows of a process, by their X ids.
QStringList windowsOf(qint64 pid)
{
    return run(QStringLiteral("xdotool"),
        {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), QString::number(pid)})
        .split(u'\n', Qt::SkipEmptyParts);
}

QStringList waitForWindows(qint64 pid)
{
    QStringList windows;
    if (!QTest::qWaitFor([&] { return !(windows = windowsOf(pid)).isEmpty(); }, 15000))
        ADD_FAILURE() << "no window of process " << pid;
    return windows;
}

QString geometryOf(const QString &window)
{
    return run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), window});
}

// Copies of the program in folders of their own, sharing one runtime folder
// (where the single-instance lock lives), one data home and one state home,
// all apart from the user's own.
class Copies
{
public:
    ~Copies()
    {
        for (QProcess *p : m_processes) {
            p->kill();
            p->waitForFinished(5000);
            delete p;
        }
    }

    QString install(const QString &folder, const QString &name)
    {
        QDir().mkpath(folder);
        const QString program = QDir(folder).filePath(name);
        QFile::copy(QStringLiteral(WORKTALLY_EXECUTABLE), program);
        return program;
    }

    /// The modules beside a copy in folder, where an installation puts them.
    static void installModules(const QString &folder)
    {
        const QDir modules(QDir(folder).filePath(QStringLiteral("../lib/worktally")));
        QDir().mkpath(modules.path());
        for (const char *module : {PrintingModuleFile, SoundModuleFile})
            QFile::copy(QFileInfo(QStringLiteral(WORKTALLY_EXECUTABLE)).dir().filePath(QLatin1String(module)),
                modules.filePath(QLatin1String(module)));
    }

    /// inChild runs in the new process before the program starts.
    QProcess *start(const QString &program, const std::function<void()> &inChild = {})
    {
        auto *process = new QProcess;
        if (inChild)
            process->setChildProcessModifier(inChild);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dataHome.path());
        environment.insert(QStringLiteral("XDG_STATE_HOME"), stateHome.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        process->setProcessEnvironment(environment);
        process->start(program, {});
        EXPECT_TRUE(process->waitForStarted(5000));
        m_processes << process;
        return process;
    }

    QTemporaryDir folders;
    QTemporaryDir stateHome;
    /// Where a copy without a worksheet beside it keeps its files.
    QString dataFolder() const { return m_dataHome.filePath(QStringLiteral("Worktally")); }

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_dataHome;
    QList<QProcess *> m_processes;
};

bool isMainWindow(const QString &window)
{
    return geometryOf(window).contains(QStringLiteral("670x423"));
}

// A left click at a point of a window, as a person makes it.
void clickAt(const QString &window, QPoint at)
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(at.x()),
            QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
}

void pressKey(const QString &window, const QString &key)
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window, QStringLiteral("key"), key});
}

// The middle of the stopwatch switch in the main window.
const QPoint StopwatchSwitch(464, 72);

} // namespace

TEST(SecondStart, SecondCopyShowsItsMessageAndEndsWithoutWriting)
{
    Copies copies;
    const QString program = copies.install(copies.folders.filePath(QStringLiteral("a")), QStringLiteral("worktally"));
    QProcess *first = copies.start(program);
    ASSERT_EQ(waitForWindows(first->processId()).size(), 1);
    // The running window is the one panels and the command line reach.
    auto stopwatchOwner
        = [] { return QDBusConnection::sessionBus().interface()->servicePid(StopwatchBus::Service).value(); };
    EXPECT_EQ(stopwatchOwner(), first->processId());

    QProcess *second = copies.start(program);
    const QStringList box = waitForWindows(second->processId());
    ASSERT_EQ(box.size(), 1);
    EXPECT_FALSE(isMainWindow(box[0])); // the message, not a main window
    run(QStringLiteral("xdotool"),
        {QStringLiteral("windowfocus"), QStringLiteral("--sync"), box[0], QStringLiteral("key"),
            QStringLiteral("Return")});
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(stopwatchOwner(), first->processId());
    const QString worksheet = QDir(copies.dataFolder()).filePath(QStringLiteral("Hourbook.csv"));
    EXPECT_FALSE(QFile::exists(worksheet));

    // The first copy goes on as it was and saves when it ends, into the
    // user's data folder: nothing is written beside the executable.
    EXPECT_EQ(first->state(), QProcess::Running);
    ::kill(pid_t(first->processId()), SIGTERM);
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_TRUE(QFile::exists(worksheet));
    EXPECT_EQ(QDir(QFileInfo(program).path()).entryList(QDir::Files), QStringList({"worktally"}));
}

TEST(SecondStart, AKilledFirstCopyDoesNotBlockTheNextStart)
{
    Copies copies;
    const QString program = copies.install(copies.folders.filePath(QStringLiteral("a")), QStringLiteral("worktally"));
    QProcess *first = copies.start(program);
    ASSERT_EQ(waitForWindows(first->processId()).size(), 1);
    ::kill(pid_t(first->processId()), SIGKILL);
    first->waitForFinished(5000);

    QProcess *next = copies.start(program);
    const QStringList windows = waitForWindows(next->processId());
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(isMainWindow(windows[0]));
}

// Ended by a signal, the program saves and leaves at once, without taking
// its window apart; what the process held goes with it, the lock included.
TEST(SecondStart, AFirstCopyEndedBySignalHasSavedAndDoesNotBlockTheNextStart)
{
    Copies copies;
    const QString folder = copies.folders.filePath(QStringLiteral("a"));
    const QString program = copies.install(folder, QStringLiteral("worktally"));
    const QString worksheet = QDir(folder).filePath(QStringLiteral("Hourbook.csv"));
    writeFile(worksheet, WorkedExampleFile);
    QProcess *first = copies.start(program);
    ASSERT_EQ(waitForWindows(first->processId()).size(), 1);
    ::kill(pid_t(first->processId()), SIGTERM);
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->exitCode(), 0);
    const QByteArray saved = readFile(worksheet); // with the differences worked out
    EXPECT_TRUE(saved.startsWith("\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\","
                                 "\"-02:54\",\"Train \"\"late\"\"\"\r\n"));
    EXPECT_TRUE(saved.endsWith("\r\n" + BottomLineCsv));
    EXPECT_EQ(readFile(worksheet + QStringLiteral(".bak")), WorkedExampleFile); // the first save's backup

    QProcess *next = copies.start(program);
    const QStringList windows = waitForWindows(next->processId());
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(isMainWindow(windows[0]));
}

TEST(SecondStart, CopiesUnderAnotherNameAreNotDetected)
{
    Copies copies;
    QProcess *first
        = copies.start(copies.install(copies.folders.filePath(QStringLiteral("a")), QStringLiteral("worktally")));
    ASSERT_EQ(waitForWindows(first->processId()).size(), 1);
    QProcess *other
        = copies.start(copies.install(copies.folders.filePath(QStringLiteral("b")), QStringLiteral("worktally-copy")));
    const QStringList windows = waitForWindows(other->processId());
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(isMainWindow(windows[0]));
}

TEST(Modules, PrintingIsLoadedOnlyWhenPrintIsPressed)
{
    Copies copies;
    const QString folder = copies.folders.filePath(QStringLiteral("bin"));
    const QString program = copies.install(folder, QStringLiteral("worktally"));
    Copies::installModules(folder);
    QProcess *process = copies.start(program);
    const QStringList windows = waitForWindows(process->processId());
    ASSERT_EQ(windows.size(), 1);
    const QString maps = QStringLiteral("/proc/%1/maps").arg(process->processId());
    EXPECT_FALSE(readFile(maps).contains("libQt6PrintSupport"));
    EXPECT_FALSE(readFile(maps).contains("libQt6Multimedia"));

    run(QStringLiteral("xdotool"),
        {QStringLiteral("windowfocus"), QStringLiteral("--sync"), windows[0], QStringLiteral("key"),
            QStringLiteral("alt+p")});
    // The printer set-up beside the main window, from the module.
    EXPECT_TRUE(QTest::qWaitFor([&] { return windowsOf(process->processId()).size() == 2; }, 10000));
    EXPECT_TRUE(readFile(maps).contains("/lib/worktally/worktally-printing.so"));
}

TEST(Tray, WithoutANotificationAreaMinimizeKeepsTheWindowReachable)
{
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    QTemporaryDir folder;
    TForm1 form(folder.path());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_FALSE(form.TrayIcon1->isAdded());
    QTest::mouseClick(form.btnMinimer, Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.windowState() & Qt::WindowMinimized);
    form.TrayIcon1DblClick();
    EXPECT_FALSE(form.windowState() & Qt::WindowMinimized);
}

TEST(Tray, WithANotificationAreaMinimizeHidesToTheTrayAndDoubleClickRestores)
{
    Helper trayHost(QStringLiteral("trayer"),
        {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--height"), QStringLiteral("24")});
    ASSERT_TRUE(QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000));

    QTemporaryDir folder;
    TForm1 form(folder.path());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.TrayIcon1->isAdded(); }, 5000));
    QTest::mouseClick(form.btnMinimer, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    form.TrayIcon1->handleTrayMessage(TrayMouseMessage::LeftDoubleClick);
    EXPECT_TRUE(form.isVisible());
}

TEST(Tray, AwayTimeIsAskedInTheTrayBalloonAsWellWhileTheWindowIsInTheTray)
{
    Helper trayHost(QStringLiteral("trayer"),
        {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--height"), QStringLiteral("24")});
    ASSERT_TRUE(QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000));

    QTemporaryDir folder;
    writeFile(folder.filePath(QStringLiteral("Worktally.Setup")), "[Away]\nMinutes=15\n");
    FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(14, 5)));
    TForm1 form(folder.path());
    auto *detector = new FakeAwayDetector;
    form.setAwayDetector(std::unique_ptr<AwayDetector>(detector));
    QStringList notices;
    form.notify = [&](const QString &text) { notices << text; };
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.TrayIcon1->isAdded(); }, 5000));
    QTest::mousePress(form.Switch1, Qt::LeftButton, {}, form.Switch1->rect().center());
    QTest::mouseClick(form.btnMinimer, Qt::LeftButton);
    ASSERT_FALSE(form.isVisible());

    clock.set(QDateTime(QDate(2026, 12, 7), QTime(15, 30)));
    detector->comeBack(QDateTime(QDate(2026, 12, 7), QTime(14, 20)), QDateTime(QDate(2026, 12, 7), QTime(15, 20)));
    const QString question = QStringLiteral("You were away from 14:20 to 15:20 (60 minutes) while the stopwatch ran.");
    EXPECT_EQ(notices, QStringList {question});
    auto *window = form.findChild<AwayQuestion *>();
    ASSERT_TRUE(window);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->text(), question);
}

// The files that a signalled exit kept in the state home of copies.
QStringList recoveryFiles(const Copies &copies)
{
    const QDir folder(copies.stateHome.filePath(QStringLiteral("Worktally")));
    QStringList files;
    for (const QString &name : folder.entryList({QStringLiteral("Hourbook * unsaved.csv")}, QDir::Files))
        files << folder.filePath(name);
    return files;
}

TEST(FileSizeLimit, SaveBeyondTheLimitIsReportedAndTheProgramGoesOn)
{
    Copies copies;
    const QString folder = copies.folders.filePath(QStringLiteral("a"));
    const QString program = copies.install(folder, QStringLiteral("worktally"));
    const QString worksheet = QDir(folder).filePath(QStringLiteral("Hourbook.csv"));
    const QByteArray row
        = "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"\",\"\"\r\n";
    writeFile(worksheet, row.repeated(2000));

    // Files may not grow beyond 64 KiB (ulimit -f); the signal's handling is
    // not inherited from this test process.
    QProcess *limited = copies.start(program, [] {
        const struct rlimit limit = {65536, 65536}, noCore = {0, 0};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::signal(SIGXFSZ, SIG_DFL);
    });
    ASSERT_EQ(waitForWindows(limited->processId()).size(), 1);
    // Exit, which saves; a recovery file would be beyond the limit too.
    ::kill(pid_t(limited->processId()), SIGTERM);
    // The failed save's message box beside the main window that stays open.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return limited->state() != QProcess::Running || windowsOf(limited->processId()).size() == 2; }, 15000));
    EXPECT_EQ(windowsOf(limited->processId()).size(), 2);
    EXPECT_EQ(readFile(worksheet), row.repeated(2000));
    EXPECT_TRUE(recoveryFiles(copies).isEmpty()); // nothing half written
}

// A logout ends the program with SIGTERM and, a few seconds later, SIGKILL:
// no box may wait for an answer then, and what cannot be written where it
// belongs is kept in the state folder, of which the next start tells once.
TEST(SignalledExit, WorksheetThatCannotBeWrittenIsKeptInTheStateFolder)
{
    Copies copies;
    const QString folder = copies.folders.filePath(QStringLiteral("a"));
    const QString program = copies.install(folder, QStringLiteral("worktally"));
    const QString worksheet = QDir(folder).filePath(QStringLiteral("Hourbook.csv"));
    writeFile(worksheet, WorkedExampleFile);
    // The folder and the file read-only: the superuser, whom the folder does
    // not stop, is stopped by the file.
    constexpr QFileDevice::Permissions readable
        = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    constexpr QFileDevice::Permissions enterable
        = QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    QFile::setPermissions(worksheet, readable);
    QFile::setPermissions(folder, readable | enterable);
    QProcess *process = copies.start(program);
    const QStringList windows = waitForWindows(process->processId());
    ASSERT_EQ(windows.size(), 1);

    // A period started: its save fails, and the box that says so waits.
    clickAt(windows[0], StopwatchSwitch);
    ASSERT_TRUE(QTest::qWaitFor([&] { return windowsOf(process->processId()).size() == 2; }, 10000));
    ::kill(pid_t(process->processId()), SIGTERM);
    ASSERT_TRUE(process->waitForFinished(10000));
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process->exitCode(), 0);
    QFile::setPermissions(folder, readable | enterable | QFileDevice::WriteOwner);
    EXPECT_EQ(readFile(worksheet), WorkedExampleFile);
    const QStringList recovered = recoveryFiles(copies);
    ASSERT_EQ(recovered.size(), 1);
    const QByteArray rows = readFile(recovered[0]);
    EXPECT_TRUE(rows.contains("\"Train \"\"late\"\"\""));
    EXPECT_TRUE(rows.contains(QDate::currentDate().toString(QStringLiteral("dd-MM-yy")).toUtf8())); // the period
    EXPECT_EQ(rows.count("\r\n"), 4);

    // The next start says where it is, once.
    const QByteArray userState = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(copies.stateHome.path()));
    MessageRecorder messages;
    for (int start = 0; start < 2; ++start) {
        TForm1 form(folder);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    qputenv("XDG_STATE_HOME", userState);
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts[0].endsWith("It was saved as " + recovered[0] + "."));
}

TEST(SignalledExit, SignalWhileTheChangedOnDiskQuestionIsOpenAsksNoSecondQuestion)
{
    Copies copies;
    const QString folder = copies.folders.filePath(QStringLiteral("a"));
    const QString program = copies.install(folder, QStringLiteral("worktally"));
    const QString worksheet = QDir(folder).filePath(QStringLiteral("Hourbook.csv"));
    writeFile(worksheet, WorkedExampleFile);
    QProcess *process = copies.start(program);
    const QStringList windows = waitForWindows(process->processId());
    ASSERT_EQ(windows.size(), 1);
    const QByteArray edited = QByteArray(WorkedExampleFile).replace("Train", "Bus"); // in a spreadsheet
    writeFile(worksheet, edited);

    // "Save now" asks what to do about the file on disk.
    pressKey(windows[0], QStringLiteral("alt+s"));
    QStringList shown;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (shown = windowsOf(process->processId())).size() == 2; }, 10000));
    shown.removeAll(windows[0]);
    ::kill(pid_t(process->processId()), SIGTERM);
    pressKey(shown[0], QStringLiteral("Escape")); // Cancel
    qsizetype most = 2;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            most = std::max(most, windowsOf(process->processId()).size());
            return process->state() == QProcess::NotRunning;
        },
        10000));
    EXPECT_EQ(most, 2);
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(readFile(worksheet), edited); // never written over unasked
    const QStringList recovered = recoveryFiles(copies);
    ASSERT_EQ(recovered.size(), 1);
    EXPECT_TRUE(readFile(recovered[0]).contains("Train"));
}

TEST(SignalledExit, SignalWhileTheWindowIsBeingBuiltEndsWithTheWorksheetSaved)
{
    Copies copies;
    const QString folder = copies.folders.filePath(QStringLiteral("a"));
    const QString program = copies.install(folder, QStringLiteral("worktally"));
    const QString worksheet = QDir(folder).filePath(QStringLiteral("Hourbook.csv"));
    // Without its bottom line, which the program adds, and with a time that
    // does not read: the start-up says so in a box while the window is
    // being built.
    const QByteArray handEdited = QByteArray(WorkedExampleFile)
                                      .replace("\"07:24\",\"\",\"\",\"\"", "\"7.24\",\"\",\"\",\"\"")
                                      .chopped(BottomLineCsv.size());
    writeFile(worksheet, handEdited);
    QProcess *process = copies.start(program);
    const QStringList box = waitForWindows(process->processId());
    ASSERT_EQ(box.size(), 1);
    EXPECT_FALSE(isMainWindow(box[0]));
    ::kill(pid_t(process->processId()), SIGTERM);
    pressKey(box[0], QStringLiteral("Return"));
    ASSERT_TRUE(process->waitForFinished(10000));
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process->exitCode(), 0);
    const QByteArray saved = readFile(worksheet);
    EXPECT_TRUE(saved.contains("\"7.24\""));
    EXPECT_TRUE(saved.endsWith("\r\n" + BottomLineCsv));
}

TEST(PrintPreview, ScreenSizedPreviewFitsTheAvailableAreaWithItsFrame)
{
    QTemporaryDir folder;
    const QString ready = folder.filePath(QStringLiteral("window manager ready"));
    QProcess windowManager;
    windowManager.start(QStringLiteral("openbox"),
        {QStringLiteral("--sm-disable"), QStringLiteral("--startup"), QStringLiteral("touch '%1'").arg(ready)});
    // A panel along the bottom edge, which the available area leaves out.
    QProcess panel;
    panel.start(QStringLiteral("trayer"),
        {QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--height"), QStringLiteral("30"),
            QStringLiteral("--SetPartialStrut"), QStringLiteral("true")});
    ASSERT_TRUE(windowManager.waitForStarted(5000)); // both end with the test, killed by QProcess
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(ready); }, 10000));
    const QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen->availableGeometry() != screen->geometry(); }, 10000));

    MessageRecorder messages;
    TForm1 form(folder.path());
    auto &preview = static_cast<TPrintPrv &>(form.PrintPreview());
    preview.PrinterDialog = [&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(QStringLiteral("printout.pdf")));
        return true;
    };
    QTest::mouseClick(form.btnUdskriv, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    // The window manager frames the window after it is shown.
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview.frameGeometry() == screen->availableGeometry(); }, 5000))
        << "frame " << preview.frameGeometry().bottom() << " available " << screen->availableGeometry().bottom();
}

namespace {

std::unique_ptr<Helper> startNotificationArea()
{
    auto area = std::make_unique<Helper>(QStringLiteral("trayer"), QStringList {"--edge", "top", "--height", "24"});
    EXPECT_TRUE(QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000));
    return area;
}

} // namespace

// The task bar lists the shown window, also beside its tray icon: only the
// window hidden in the tray leaves it. Nothing tells when a window manager
// has left a state alone, so a state that must not come is given a second.
TEST(TrayOnTheDesktop, TheIconDocksIntoALateNotificationAreaAndTheTaskBarListsTheShownWindow)
{
    ASSERT_TRUE(QTest::qWaitFor([] { return !QSystemTrayIcon::isSystemTrayAvailable(); }, 5000));
    QTemporaryDir folder;
    TForm1 form(folder.path());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // A window manager keeps the windows' states as on a desktop. It takes on
    // the windows shown before it starts; one shown while it starts up might
    // be missed.
    Helper windowManager(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return windowProperty(form, QStringLiteral("WM_STATE")).contains("Normal"); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return taskbarListsWindow(form); }, 5000));

    // The notification area starts after the program, as at login.
    std::unique_ptr<Helper> area = startNotificationArea();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.TrayIcon1->isAdded(); }, 5000));
    EXPECT_FALSE(QTest::qWaitFor([&] { return !taskbarListsWindow(form); }, 1000));

    // Into the tray, out of the task bar.
    QTest::mouseClick(form.btnMinimer, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !taskbarListsWindow(form); }, 5000));
    const QStringList icon = windowsOf(QCoreApplication::applicationPid());
    ASSERT_EQ(icon.size(), 1);
    // A right click on the icon pops the menu up without waiting for it; a
    // menu that waited would hold the test up until it closed, which it does
    // after three seconds.
    QTimer closer;
    closer.setSingleShot(true);
    QObject::connect(&closer, &QTimer::timeout, [&] { form.TrayMenu1->close(); });
    closer.start(3000);
    run(QStringLiteral("xdotool"), {"mousemove", "--window", icon[0], "5", "5", "click", "3"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == form.TrayMenu1; }, 2000));
    EXPECT_TRUE(form.isHidden());
    form.TrayMenu1->close();

    // Back by a click on the icon, into the task bar.
    run(QStringLiteral("xdotool"), {"mousemove", "--window", icon[0], "5", "5", "click", "1"});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(QTest::qWaitFor([&] { return taskbarListsWindow(form); }, 5000));
    EXPECT_FALSE(QTest::qWaitFor([&] { return !taskbarListsWindow(form); }, 1000));

    // The notification area goes away while the window hides in it: the
    // window comes back, with its entry in the task bar.
    QTest::mouseClick(form.btnMinimer, Qt::LeftButton);
    area.reset();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(QTest::qWaitFor([&] { return taskbarListsWindow(form); }, 5000));
}

TEST(TrayOnTheDesktop, ASecondCopyPutsNoIconIntoTheTray)
{
    std::unique_ptr<Helper> area = startNotificationArea();
    Copies copies;
    const QString program = copies.install(copies.folders.filePath(QStringLiteral("a")), QStringLiteral("worktally"));
    QProcess *first = copies.start(program);
    // The window and its icon.
    ASSERT_TRUE(QTest::qWaitFor([&] { return windowsOf(first->processId()).size() == 2; }, 10000));

    QProcess *second = copies.start(program);
    const QStringList box = waitForWindows(second->processId());
    ASSERT_EQ(box.size(), 1);
    EXPECT_FALSE(isMainWindow(box[0]));
    // Its message stays alone: no icon docks beside it. The notification
    // area docks icons in the order they ask, so once an icon this test asks
    // for now is in, one the second copy had asked for would be in as well.
    const qint64 self = QCoreApplication::applicationPid();
    const qsizetype before = windowsOf(self).size();
    QPixmap square(16, 16);
    square.fill(Qt::darkCyan);
    QSystemTrayIcon later {QIcon(square)};
    later.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return windowsOf(self).size() > before; }, 10000));
    EXPECT_EQ(windowsOf(second->processId()).size(), 1);
}
