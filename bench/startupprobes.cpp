#include "startupprobes.h"

#include "samplefiles.h"

#include <chrono>
#include <csignal>
#include <deque>
#include <memory>
#include <poll.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
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

// A user's data home whose data folder holds nothing but the sample of rows
// data rows as the worksheet. A hard link gives the same bytes without
// writing them again: the program never writes into the file it read, it
// puts a new one in its place.
QString dataHome(int rows)
{
    const QString home = dataFolder() + QStringLiteral("/startup_%1").arg(rows);
    QDir(home).removeRecursively();
    QDir().mkpath(home + QStringLiteral("/Worktally"));
    const QByteArray sample = QFile::encodeName(sampleFile(rows));
    if (::link(sample.constData(), QFile::encodeName(home + WorksheetInHome).constData()) != 0)
        QFile::copy(sampleFile(rows), home + WorksheetInHome);
    return home;
}

// Both the program and the floor get a runtime folder, which Qt asks for.
QStringList onDisplay(const QString &display)
{
    static const QTemporaryDir runtime;
    return {QStringLiteral("DISPLAY=") + display, QStringLiteral("QT_QPA_PLATFORM=xcb"),
        QStringLiteral("XDG_RUNTIME_DIR=") + runtime.path()};
}

} // namespace

Probe worktallyProbe(const QString &program, const QString &display, int rows)
{
    return {program, {}, onDisplay(display) << QStringLiteral("XDG_DATA_HOME=") + dataHome(rows)};
}

QString dataFolderOf(const Probe &probe)
{
    const QString prefix = QStringLiteral("XDG_DATA_HOME=");
    for (const QString &variable : probe.environment)
        if (variable.startsWith(prefix))
            return variable.mid(prefix.size()) + QStringLiteral("/Worktally");
    return {};
}

Probe floorProbe(const QString &display)
{
    return {benchProgram("floor_probe"), {}, onDisplay(display)};
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

namespace {

// The CPU time of every thread of a process so far, in clock ticks; -1 once
// it has ended.
long long cpuTicks(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The fields after the command's name, which may hold blanks, in
    // brackets: state first, then user time and system time as 12th and 13th.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13 || fields[0] == "Z")
        return -1;
    return fields[11].toLongLong() + fields[12].toLongLong();
}

} // namespace

bool waitUntilIdle(pid_t pid, std::chrono::seconds timeout)
{
    // The CPU time sampled every 50 ms; idle once half a second has added
    // at most one tick (the clock's second hand costs a little).
    constexpr auto Interval = std::chrono::milliseconds(50);
    constexpr size_t Samples = 11;
    std::deque<long long> recent;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const long long ticks = cpuTicks(pid);
        if (ticks < 0)
            return false;
        recent.push_back(ticks);
        if (recent.size() > Samples)
            recent.pop_front();
        if (recent.size() == Samples && recent.back() - recent.front() <= 1)
            return true;
        std::this_thread::sleep_for(Interval);
    }
    return false;
}

MapWatcher::MapWatcher(const QString &display)
    : m_connection(xcb_connect(display.toLocal8Bit().constData(), nullptr))
{
    if (xcb_connection_has_error(m_connection))
        return;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

MapWatcher::~MapWatcher()
{
    xcb_disconnect(m_connection);
}

MapWatcher::Started MapWatcher::startUntilMapped(const Probe &probe, std::chrono::seconds timeout)
{
    // What earlier probes left in the queue is not this one's.
    while (xcb_generic_event_t *stale = xcb_poll_for_event(m_connection))
        free(stale);
    Started started;
    const auto start = std::chrono::steady_clock::now();
    started.pid = startProbe(probe);
    if (started.pid < 0)
        return started;
    const auto deadline = start + timeout;
    while (started.mappedMs < 0 && std::chrono::steady_clock::now() < deadline) {
        const std::unique_ptr<xcb_generic_event_t, decltype(&free)> event(nextEvent(deadline), &free);
        if (event && (event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
            if (isMainWindowSized(reinterpret_cast<xcb_map_notify_event_t *>(event.get())->window))
                started.mappedMs = elapsed.count();
        }
    }
    return started;
}

double MapWatcher::timeToMap(const Probe &probe)
{
    const Started started = startUntilMapped(probe, std::chrono::minutes(2));
    if (started.pid < 0)
        return -1;
    ::kill(started.pid, SIGKILL); // ends without saving anything
    ::waitpid(started.pid, nullptr, 0);
    return started.mappedMs;
}

xcb_generic_event_t *MapWatcher::nextEvent(std::chrono::steady_clock::time_point deadline)
{
    if (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
        return event;
    const auto wait
        = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd connection {xcb_get_file_descriptor(m_connection), POLLIN, 0};
    ::poll(&connection, 1, std::max(0, int(wait.count())));
    return xcb_poll_for_event(m_connection);
}

bool MapWatcher::isMainWindowSized(xcb_window_t window)
{
    xcb_get_geometry_reply_t *geometry
        = xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
    const bool sized = geometry && geometry->width == 670 && geometry->height == 423;
    free(geometry);
    return sized;
}
