#include "screenlocksource.h"

#include "clocksource.h"

namespace {
const QString Service = QStringLiteral("org.freedesktop.ScreenSaver");
// Lockers tell on either path; both are watched and a repeated state is ignored.
const QString Paths[] = {QStringLiteral("/org/freedesktop/ScreenSaver"), QStringLiteral("/ScreenSaver")};
} // namespace

ScreenLockSource::ScreenLockSource(const QDBusConnection &bus, QObject *parent)
    : AwayDetector(parent)
    , m_bus(bus)
{
}

void ScreenLockSource::start(int minimumMinutes)
{
    m_minimumMinutes = minimumMinutes;
    m_lockedSince = {};
    if (!m_started)
        connectPaths(true);
    m_started = true;
}

void ScreenLockSource::stop()
{
    if (m_started)
        connectPaths(false);
    m_started = false;
}

void ScreenLockSource::connectPaths(bool connecting)
{
    for (const QString &path : Paths) {
        if (connecting)
            m_bus.connect(Service, path, Service, QStringLiteral("ActiveChanged"), this, SLOT(onActiveChanged(bool)));
        else
            m_bus.disconnect(Service, path, Service, QStringLiteral("ActiveChanged"), this,
                             SLOT(onActiveChanged(bool)));
    }
}

void ScreenLockSource::onActiveChanged(bool locked)
{
    const QDateTime now = ClockSource::currentDateTime();
    if (locked) {
        if (!m_lockedSince.isValid())
            m_lockedSince = now;
        return;
    }
    if (!m_lockedSince.isValid())
        return;
    const QDateTime lockedSince = std::exchange(m_lockedSince, QDateTime());
    if (lockedSince.secsTo(now) >= m_minimumMinutes * 60)
        emit cameBack(lockedSince, now, Kind::Idle);
}
