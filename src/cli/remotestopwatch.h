#pragma once

#include <QString>

class QTextStream;

/// Calls method (Start, Stop or Toggle) of the stopwatch of the Worktally
/// window running in this session, over the session bus, and waits for the
/// window to have done it. Gives the exit code: 0 when done, 1 with the
/// reason on err when there is no session bus, no window runs or the window
/// refused.
int callRunningStopwatch(const QString &method, QTextStream &err);
