#pragma once

#include "awaydetector.h"

#include <memory>
#include <QTimer>
#include <vector>

/// The desktop's away detectors together: each absence, seen by one source
/// or by several (an idle run ending in a sleep, a lock seen by the locker and
/// by the idle time), is reported once, as the span they saw together.
class DesktopAwayDetector : public AwayDetector
{
    Q_OBJECT
public:
    /// holdMilliseconds is how long a report waits for the other sources to
    /// tell of the same absence; it should exceed their polling interval.
    explicit DesktopAwayDetector(int holdMilliseconds, QObject *parent = nullptr);
    ~DesktopAwayDetector() override;

    /// Takes a source in; its reports are merged with the others'.
    void addSource(std::unique_ptr<AwayDetector> source);

    void start(int minimumMinutes) override;
    void stop() override;

private:
    struct Span
    {
        QDateTime from;
        QDateTime back;
        Kind kind;
        bool isValid() const { return from.isValid(); }
        bool touches(const Span &other) const;
    };

    void take(const Span &span);
    void reportHeld();

    std::vector<std::unique_ptr<AwayDetector>> m_sources;
    QTimer m_holdTimer;
    Span m_held{};
    qint64 m_heldAsleepSeconds = 0;
    Span m_reported{};
};

/// The detector made of what this desktop offers: the X11 idle time (or else
/// logind's idle hint), the screen locker, logind's sleep signal and the
/// clocks' sleep gap. Sources the desktop lacks stay silent.
std::unique_ptr<AwayDetector> makeDesktopAwayDetector(QObject *parent);
