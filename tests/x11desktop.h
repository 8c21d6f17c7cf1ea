#pragma once

// What the tests on a real X server share: programs of a desktop run beside
// Worktally, and what the window manager and the task bar see of a window.

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class QWidget;

// A program run beside Worktally, with a home of its own so that it never
// touches the user's files. It ends with the helper.
struct Helper
{
    QTemporaryDir home;
    QProcess process;

    Helper(const QString &program, const QStringList &arguments);
    ~Helper();
};

/// Runs a command to its end and gives its output.
QString run(const QString &program, const QStringList &arguments);

/// A property of the window as xprop prints it.
QString windowProperty(const QWidget &window, const QString &name);

/// Whether a task bar lists the window: the window manager manages it (it is
/// in the client list on the root window) and it does not ask to be skipped.
bool taskbarListsWindow(const QWidget &window);
