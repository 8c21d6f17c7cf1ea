#pragma once

#include <QStringList>
#include <sys/types.h>

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
/// worksheet of rows data rows in its user's data folder and a runtime
/// folder of its own for its lock.
Probe worktallyProbe(const QString &program, const QString &display, int rows);
/// The floor on display: floor_probe, which reads the same worksheet first,
/// with the options given (such as --text).
Probe floorProbe(const QString &display, int rows, const QStringList &options = {});
/// A program of the build, beside the benchmarks.
QString benchProgram(const char *name);

/// Starts probe; -1 when it cannot be started.
pid_t startProbe(const Probe &probe);
/// Milliseconds from starting probe to its successful end; a negative value
/// when it failed.
double runToEnd(const Probe &probe);
