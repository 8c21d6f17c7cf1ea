#pragma once

#include <chrono>
#include <QStringList>
#include <sys/types.h>
#include <xcb/xcb.h>

/// An X server of the benchmark's own (Xvfb), so that the programs started
/// meet neither the user's desktop nor another benchmark.
class PrivateXServer
{
public:
    /// Starts Xvfb; without it, display() stays empty.
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer &) = delete;
    PrivateXServer &operator=(const PrivateXServer &) = delete;

    /// ":N", or empty when no X server could be started.
    const QString &display() const { return m_display; }

private:
    pid_t m_pid = -1;
    QString m_display;
};

/// A program started as a process of its own.
struct Probe
{
    QString program;
    QStringList arguments;
    QStringList environment; // NAME=value, before this process's
};

/// Worktally's program (the executable or startup_probe) on display, with a
/// worksheet of rows data rows in a fresh data folder of its user's and a
/// runtime folder of its own for its lock.
Probe worktallyProbe(const QString &program, const QString &display, int rows);
/// The data folder of a probe made by worktallyProbe, where its worksheet is.
QString dataFolderOf(const Probe &probe);
/// The floor on display: floor_probe, a bare window of the main window's
/// size that reads no file and shows no text.
Probe floorProbe(const QString &display);
/// A program of the build, beside the benchmarks.
QString benchProgram(const char *name);

/// Starts probe; -1 when it cannot be started.
pid_t startProbe(const Probe &probe);
/// Milliseconds from starting probe to its successful end; a negative value
/// when it failed.
double runToEnd(const Probe &probe);

/// Waits until the process has used no CPU time, on any of its threads, for
/// half a second: it has done all it had to do and waits for input. False
/// when it ends first or stays busy past the timeout.
bool waitUntilIdle(pid_t pid, std::chrono::seconds timeout);

/// A client of the X server that sees every top-level window being mapped.
class MapWatcher
{
public:
    explicit MapWatcher(const QString &display);
    ~MapWatcher();
    MapWatcher(const MapWatcher &) = delete;
    MapWatcher &operator=(const MapWatcher &) = delete;

    bool connected() const { return m_root != 0; }

    struct Started
    {
        pid_t pid = -1;
        double mappedMs = -1; // negative when no window was mapped in time
    };
    /// Starts probe and waits until a window of the main window's size is
    /// mapped, or the timeout has passed; the process is left running.
    Started startUntilMapped(const Probe &probe, std::chrono::seconds timeout);
    /// Milliseconds from starting probe until its window is mapped; the probe
    /// is killed then. Negative when none is mapped within two minutes.
    double timeToMap(const Probe &probe);

private:
    xcb_generic_event_t *nextEvent(std::chrono::steady_clock::time_point deadline);
    bool isMainWindowSized(xcb_window_t window);

    xcb_connection_t *m_connection;
    xcb_window_t m_root = 0;
};
