#pragma once

#include <QString>

/// Where the running window offers its stopwatch on the session bus, for
/// panels, scripts and the command line.
namespace StopwatchBus {
inline const QString Service = QStringLiteral("io.github.worktally.Worktally");
inline const QString Path = QStringLiteral("/Worktally");
inline const QString Interface = QStringLiteral("io.github.worktally.Worktally");
} // namespace StopwatchBus
