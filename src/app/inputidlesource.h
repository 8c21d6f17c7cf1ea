#pragma once

#include "awaydetector.h"

#include <functional>
#include <optional>
#include <QTimer>

/// Away time read from the time since the last keyboard or pointer input,
/// which it polls while started.
class InputIdleSource : public AwayDetector
{
    Q_OBJECT
public:
    /// Milliseconds since the last input, or nothing when it cannot be read.
    using IdleReader = std::function<std::optional<qint64>()>;

    InputIdleSource(IdleReader readIdle, QObject *parent = nullptr);

    void start(int minimumMinutes) override;
    void stop() override;

    /// Reads the idle time once (the poll timer calls it).
    void poll();

private:
    IdleReader m_readIdle;
    QTimer m_pollTimer;
    int m_minimumMinutes = 0;
    QDateTime m_startedAt;
    QDateTime m_idleSince; // the last input of the current run without input
    qint64 m_lastIdle = 0;
};

/// Reads the X session's idle time from the MIT-SCREEN-SAVER extension; empty
/// when the program does not run on X11 or the server lacks the extension.
InputIdleSource::IdleReader x11IdleReader();
