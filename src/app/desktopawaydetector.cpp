#include "desktopawaydetector.h"

#include "clockjumpsource.h"
#include "inputidlesource.h"
#include "logindsource.h"
#include "screenlocksource.h"

#include <QDBusConnection>

namespace {
// Sources see the same absence with a few seconds between them (polling, the
// input that unlocks before the unlock itself).
constexpr qint64 SameAbsenceSeconds = 60;
// Longer than the sources' polling interval.
constexpr int HoldMilliseconds = 6000;
} // namespace

bool DesktopAwayDetector::Span::touches(const Span &other) const
{
    return from.secsTo(other.back) >= -SameAbsenceSeconds && other.from.secsTo(back) >= -SameAbsenceSeconds;
}

DesktopAwayDetector::DesktopAwayDetector(int holdMilliseconds, QObject *parent)
    : AwayDetector(parent)
{
    m_holdTimer.setSingleShot(true);
    m_holdTimer.setInterval(holdMilliseconds);
    connect(&m_holdTimer, &QTimer::timeout, this, &DesktopAwayDetector::reportHeld);
}

DesktopAwayDetector::~DesktopAwayDetector() = default;

void DesktopAwayDetector::addSource(std::unique_ptr<AwayDetector> source)
{
    connect(source.get(), &AwayDetector::cameBack, this,
            [this](const QDateTime &from, const QDateTime &back, Kind kind) { take({from, back, kind}); });
    m_sources.push_back(std::move(source));
}

void DesktopAwayDetector::start(int minimumMinutes)
{
    m_reported = {};
    for (const auto &source : m_sources)
        source->start(minimumMinutes);
}

void DesktopAwayDetector::stop()
{
    for (const auto &source : m_sources)
        source->stop();
    // What was seen until now still happened while watching.
    if (m_holdTimer.isActive()) {
        m_holdTimer.stop();
        reportHeld();
    }
}

void DesktopAwayDetector::take(const Span &span)
{
    if (m_held.isValid() && !m_held.touches(span)) {
        m_holdTimer.stop();
        reportHeld();
    }
    if (!m_held.isValid()) {
        m_held = span;
        m_heldAsleepSeconds = 0;
        m_holdTimer.start();
    }
    m_held.from = std::min(m_held.from, span.from);
    m_held.back = std::max(m_held.back, span.back);
    if (span.kind == Kind::Asleep)
        m_heldAsleepSeconds = std::max(m_heldAsleepSeconds, span.from.secsTo(span.back));
    // An idle run takes in a sleep that follows it; the absence is a sleep
    // when the sleep was most of it.
    m_held.kind = 2 * m_heldAsleepSeconds > m_held.from.secsTo(m_held.back) ? Kind::Asleep : Kind::Idle;
}

void DesktopAwayDetector::reportHeld()
{
    const Span held = std::exchange(m_held, Span{});
    if (!held.isValid())
        return;
    // A source that tells late of an absence already reported adds nothing
    // unless it saw more of it.
    if (m_reported.isValid() && m_reported.from.secsTo(held.from) >= -SameAbsenceSeconds
        && held.back.secsTo(m_reported.back) >= -SameAbsenceSeconds)
        return;
    m_reported = held;
    emit cameBack(held.from, held.back, held.kind);
}

std::unique_ptr<AwayDetector> makeDesktopAwayDetector(QObject *parent)
{
    auto detector = std::make_unique<DesktopAwayDetector>(HoldMilliseconds, parent);
    const QDBusConnection systemBus = QDBusConnection::systemBus();
    // The X server counts every input itself; logind's hint is the desktop's
    // own estimate and only stands in where there is no X server to ask.
    InputIdleSource::IdleReader readIdle = x11IdleReader();
    const bool hasX11IdleTime = bool(readIdle);
    if (hasX11IdleTime)
        detector->addSource(std::make_unique<InputIdleSource>(std::move(readIdle)));
    if (systemBus.isConnected())
        detector->addSource(std::make_unique<LogindSource>(systemBus, !hasX11IdleTime));
    const QDBusConnection sessionBus = QDBusConnection::sessionBus();
    if (sessionBus.isConnected())
        detector->addSource(std::make_unique<ScreenLockSource>(sessionBus));
    // Without logind (or with a logind that misses a sleep), the clocks still
    // tell; a sleep seen both ways is reported once.
    detector->addSource(std::make_unique<ClockJumpSource>());
    return detector;
}
