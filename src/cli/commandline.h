#pragma once

#include <QStringList>

class QTextStream;

/// True when the arguments ask for the command line: any option other than
/// Qt's own. Qt's options (-session, -style Fusion, --platform=offscreen,
/// -reverse …, with one dash or two) are the window's, as Qt and the session
/// manager pass them; beside the command line's options they are ignored.
bool wantsCommandLine(int argc, char *argv[]);

/// Worktally started with a command-line option opens no window: it prints the balance of the worksheet in its data folder
/// (--summary, --json, --report week|month [--csv]), --help or --version.
/// It only reads: it takes no lock and writes no file, so it also runs
/// beside the window. Gives the exit code: 0 when done, 1 when the worksheet
/// could not be read, 2 for arguments it does not understand.
int runCommandLine(int argc, char *argv[]);

/// The same with the arguments (the program first), the data folder and the
/// output streams given.
int runCommandLine(const QStringList &arguments, const QString &dataFolder, QTextStream &out, QTextStream &err);
