// The stopwatch started and stopped from outside the window: over the
// session bus (of the test's own) and by `worktally --start/--stop/--toggle`.

#include "clocksource.h"
#include "mainwindow.h"
#include "onoffswitch.h"
#include "startedwindow.h"
#include "stopwatchbus.h"
#include "stopwatchservice.h"
#include "testsupport.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QVariantMap>

namespace {

/// What a program on the bus hears of the stopwatch.
class BusListener : public QObject
{
    Q_OBJECT

public:
    BusListener()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        EXPECT_TRUE(bus.connect(StopwatchBus::Service, StopwatchBus::Path, StopwatchBus::Interface,
            QStringLiteral("RunningChanged"), this, SLOT(runningChanged(bool))));
        EXPECT_TRUE(
            bus.connect(StopwatchBus::Service, StopwatchBus::Path, QStringLiteral("org.freedesktop.DBus.Properties"),
                QStringLiteral("PropertiesChanged"), this, SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
    }

    QList<bool> running;
    QList<QVariantMap> properties;

private slots:
    void runningChanged(bool on) { running << on; }
    void propertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &)
    {
        if (interface == StopwatchBus::Interface)
            properties << changed;
    }
};

struct Output
{
    int exitCode = -1;
    QString out;
    QString err;
};

/// Runs the program with arguments while this process goes on answering the
/// bus, as the window does.
Output run(
    const QStringList &arguments, const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(WORKTALLY_EXECUTABLE), arguments);
    EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000));
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
        QString::fromLocal8Bit(process.readAllStandardError())};
}

/// The Running property as a panel's script reads it.
QString runningAsBusctlTells()
{
    QProcess busctl;
    busctl.start(QStringLiteral("busctl"),
        {QStringLiteral("--user"), QStringLiteral("get-property"), StopwatchBus::Service, StopwatchBus::Path,
            StopwatchBus::Interface, QStringLiteral("Running")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return busctl.state() == QProcess::NotRunning; }, 20000));
    return QString::fromLocal8Bit(busctl.readAllStandardOutput()).trimmed();
}

// A morning period; the window starts at 14:05 on 07-12-26.
const QByteArray OnePeriod
    = "\"07-12-26 08:00\",\"07-12-26 12:00\",\"04:00\",\"\",\"07-12-26\",\"07:24\",\"\",\"\",\"morning\"\r\n";

struct RemoteWindow : StartedWindow
{
    RemoteWindow()
        : StartedWindow(OnePeriod + BottomLineCsv)
    {
        service = new StopwatchService(*form);
        EXPECT_TRUE(service->registerOnSessionBus());
    }

    StopwatchService *service;
};

} // namespace

TEST(RemoteStopwatch, CommandLineTurnsTheWindowsSwitchAndTheBusTellsOfIt)
{
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    RemoteWindow w;
    BusListener listener;
    EXPECT_EQ(runningAsBusctlTells(), "b false");

    Output toggled = run({QStringLiteral("--toggle")});
    EXPECT_EQ(toggled.exitCode, 0) << toggled.err.toStdString();
    EXPECT_TRUE(w.form->Switch1->StateOn());
    EXPECT_EQ(w.form->Switch1->Caption(), "S&top");
    EXPECT_EQ(w.form->PopStopwatch->text(), "S&top");
    EXPECT_EQ(runningAsBusctlTells(), "b true");
    // Already running: nothing changes.
    EXPECT_EQ(run({QStringLiteral("--start")}).exitCode, 0);
    EXPECT_TRUE(w.form->Switch1->StateOn());

    w.clock.advance(95 * 60);
    EXPECT_EQ(run({QStringLiteral("--stop")}).exitCode, 0);
    EXPECT_FALSE(w.form->Switch1->StateOn());
    EXPECT_EQ(runningAsBusctlTells(), "b false");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return readFile(w.worksheet()).contains("\"07-12-26 14:05\",\"07-12-26 15:40\",\"01:35\""); }));
    // Already stopped: nothing changes.
    EXPECT_EQ(run({QStringLiteral("--stop")}).exitCode, 0);

    w.clock.advance(5 * 60);
    EXPECT_EQ(run({QStringLiteral("--start")}).exitCode, 0);
    EXPECT_TRUE(w.form->Switch1->StateOn());
    EXPECT_EQ(w.row(3)[0], "07-12-26 15:45");
    w.clock.advance(10 * 60);
    EXPECT_EQ(run({QStringLiteral("--toggle")}).exitCode, 0);
    EXPECT_FALSE(w.form->Switch1->StateOn());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return readFile(w.worksheet()).contains("\"07-12-26 15:45\",\"07-12-26 15:55\",\"00:10\""); }));

    const QList<bool> told({true, false, true, false});
    EXPECT_TRUE(QTest::qWaitFor([&] { return listener.running.size() >= told.size(); }));
    EXPECT_EQ(listener.running, told);
    ASSERT_EQ(listener.properties.size(), told.size());
    for (qsizetype i = 0; i < told.size(); ++i)
        EXPECT_EQ(listener.properties[i], QVariantMap({{QStringLiteral("Running"), told[i]}}));
    EXPECT_TRUE(w.messages.texts.isEmpty());
}

// A box waiting for an answer has interrupted what the window was doing: the
// call waits for nothing and turns nothing.
TEST(RemoteStopwatch, WindowWaitingForAnAnswerRefusesTheCall)
{
    RemoteWindow w;
    QDialog box(w.form.get());
    box.setModal(true);
    box.show();
    const Output toggled = run({QStringLiteral("--toggle")});
    EXPECT_EQ(toggled.exitCode, 1);
    EXPECT_EQ(toggled.err, "worktally: Worktally is waiting for an answer in its window.\n");
    EXPECT_FALSE(w.form->Switch1->StateOn());

    box.close();
    EXPECT_EQ(run({QStringLiteral("--toggle")}).exitCode, 0);
    EXPECT_TRUE(w.form->Switch1->StateOn());
}

TEST(RemoteStopwatch, WithoutAWindowTheCommandLineSaysSo)
{
    {
        RemoteWindow gone; // its name goes with it
    }
    ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(StopwatchBus::Service));
    for (const QString &option : {QStringLiteral("--start"), QStringLiteral("--stop"), QStringLiteral("--toggle")}) {
        const Output output = run({option});
        EXPECT_EQ(output.exitCode, 1) << option.toStdString();
        EXPECT_EQ(output.err, "worktally: Worktally is not running.\n");
        EXPECT_EQ(output.out, "");
    }
}

TEST(RemoteStopwatch, WithoutASessionBusTheCommandLineSaysWhy)
{
    QTemporaryDir nowhere;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(
        QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + nowhere.filePath("bus"));
    const Output output = run({QStringLiteral("--toggle")}, environment);
    EXPECT_EQ(output.exitCode, 1);
    EXPECT_EQ(output.err, "worktally: No session bus: cannot reach the running Worktally.\n");
}

// The program as started from the menu, where no session bus is to be had.
TEST(RemoteStopwatch, WithoutASessionBusTheWindowRunsAsBefore)
{
    QTemporaryDir nowhere, runtime, dataHome;
    const QString worksheet = dataHome.filePath(QStringLiteral("Worktally/Hourbook.csv"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(worksheet).path()));
    writeFile(worksheet, OnePeriod + BottomLineCsv);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(
        QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + nowhere.filePath("bus"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome.path());
    QProcess window;
    window.setProcessEnvironment(environment);
    window.start(QStringLiteral(WORKTALLY_EXECUTABLE), {});
    // Its lock against a second copy shows that it got past its start.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QDir(runtime.path()).isEmpty(); }, 20000));
    ::kill(pid_t(window.processId()), SIGTERM); // as a logout ends it
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(window.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(window.exitCode(), 0);
    // Saved as it ends, the period recalculated.
    EXPECT_TRUE(readFile(worksheet).startsWith("\"07-12-26 08:00\",\"07-12-26 12:00\",\"04:00\""));
}

TEST(RemoteStopwatch, OptionsOfTheRunningWindowGoAloneAndAreInTheHelp)
{
    const Output output = run({QStringLiteral("--toggle"), QStringLiteral("--summary")});
    EXPECT_EQ(output.exitCode, 2);
    EXPECT_TRUE(output.err.startsWith("worktally: --start, --stop and --toggle go alone.\n"));

    const QString help = run({QStringLiteral("--help")}).out;
    for (const char *option : {"--start ", "--stop ", "--toggle "})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}

#include "remotestopwatch_test.moc"
