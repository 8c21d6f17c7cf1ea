#pragma once

#include <QByteArray>
#include <QStringList>
#include <vector>

class QTextStream;

/// True when the arguments ask for the command line: any option other than
/// Qt's own. Qt's options (-session, -style Fusion, --platform=offscreen,
/// -reverse …, with one dash or two) are the window's, as Qt and the session
/// manager pass them; beside the command line's options they are ignored.
bool wantsCommandLine(int argc, char *argv[]);

/// The program's arguments as QApplication is to take them: Qt's options that
/// take a value, given as "--platform=offscreen" or "-platform=offscreen",
/// become the two arguments Qt reads ("--platform" "offscreen"); Qt itself
/// reads the '=' form only for -style and -stylesheet. Every other argument
/// stays as it is.
class QtArguments
{
public:
    QtArguments(int argc, char *argv[]);

    /// The count and the values for QApplication, which keeps them and may
    /// take its own options out of them: they live as long as this object.
    int &argc() { return m_count; }
    char **argv() { return m_values.data(); }

private:
    QList<QByteArray> m_arguments;
    std::vector<char *> m_values;
    int m_count;
};

/// Worktally started with a command-line option opens no window: it prints the balance of the worksheet in its data folder
/// (--summary, --json, --report week|month [--csv]), --help or --version,
/// or asks the running window to start or stop its stopwatch (--start,
/// --stop, --toggle). It only reads: it takes no lock and writes no file, so
/// it also runs beside the window. Gives the exit code: 0 when done, 1 when
/// the worksheet could not be read or the window not reached, 2 for
/// arguments it does not understand.
int runCommandLine(int argc, char *argv[]);

/// The same with the arguments (the program first), the data folder and the
/// output streams given.
int runCommandLine(const QStringList &arguments, const QString &dataFolder, QTextStream &out, QTextStream &err);
