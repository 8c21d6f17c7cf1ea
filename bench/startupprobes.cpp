#include "startupprobes.h"

#include "samplefiles.h"

#include <chrono>
#include <csignal>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

const QString WorksheetInHome = QStringLiteral("/Worktally/Hourbook.csv");

} // namespace

PrivateXServer::PrivateXServer()
{
    // Xvfb picks a free display number and writes it into the pipe. It keeps
    // running as a desktop's X server does: without -noreset it would start
    // afresh each time its last client leaves, and the next program started
    // would wait for that.
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return;
    const QByteArray fd = QByteArray::number(pipeEnds[1]);
    const char *argv[] = {
        "Xvfb", "-displayfd", fd.constData(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    const bool started = posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, const_cast<char **>(argv), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (!started)
        m_pid = -1;
    // It writes the number and the line's end apart; closing the pipe before
    // the end has come would make the second write fail, which ends Xvfb.
    QByteArray number;
    char c = 0;
    while (started && ::read(pipeEnds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(pipeEnds[0]);
    if (!number.isEmpty())
        m_display = u':' + QString::fromLatin1(number);
}

PrivateXServer::~PrivateXServer()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
}

namespace {

// A user's data home holding a fresh copy of the sample of rows data rows as
// the worksheet.
QString dataHome(int rows)
{
    const QString home = dataFolder() + QStringLiteral("/startup_%1").arg(rows);
    QDir().mkpath(home + QStringLiteral("/Worktally"));
    QFile::remove(home + WorksheetInHome);
    QFile::copy(sampleFile(rows), home + WorksheetInHome);
    return home;
}

QStringList onDisplay(const QString &display)
{
    return {QStringLiteral("DISPLAY=") + display, QStringLiteral("QT_QPA_PLATFORM=xcb")};
}

} // namespace

Probe worktallyProbe(const QString &program, const QString &display, int rows)
{
    static const QTemporaryDir runtime;
    return {program, {},
        onDisplay(display) << QStringLiteral("XDG_DATA_HOME=") + dataHome(rows)
                           << QStringLiteral("XDG_RUNTIME_DIR=") + runtime.path()};
}

Probe floorProbe(const QString &display, int rows, const QStringList &options)
{
    return {benchProgram("floor_probe"),
        options + QStringList {QStringLiteral("--read"), dataHome(rows) + WorksheetInHome}, onDisplay(display)};
}

QString benchProgram(const char *name)
{
    return QCoreApplication::applicationDirPath() + u'/' + QLatin1String(name);
}

pid_t startProbe(const Probe &probe)
{
    std::vector<QByteArray> strings;
    strings.push_back(probe.program.toLocal8Bit());
    for (const QString &argument : probe.arguments)
        strings.push_back(argument.toLocal8Bit());
    const size_t argumentCount = strings.size();
    // The probe's own settings come before this process's: a program reads
    // the first of two with the same name.
    for (const QString &variable : probe.environment)
        strings.push_back(variable.toLocal8Bit());
    for (char **variable = environ; *variable; ++variable)
        strings.emplace_back(*variable);
    std::vector<char *> argv, envp;
    for (size_t i = 0; i < strings.size(); ++i)
        (i < argumentCount ? argv : envp).push_back(strings[i].data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    return pid;
}

double runToEnd(const Probe &probe)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = startProbe(probe);
    if (pid < 0)
        return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed.count() : -1;
}
