#include "logindsource.h"

#include "clocksource.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <unistd.h>

namespace {
const QString Service = QStringLiteral("org.freedesktop.login1");
const QString ManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString ManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString SessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
} // namespace

LogindSource::LogindSource(const QDBusConnection &bus, bool watchIdleHint, QObject *parent)
    : AwayDetector(parent)
    , m_bus(bus)
    , m_watchIdleHint(watchIdleHint)
{
}

void LogindSource::start(int minimumMinutes)
{
    if (m_startedAt.isValid())
        stop();
    m_minimumMinutes = minimumMinutes;
    m_startedAt = ClockSource::currentDateTime();
    m_asleepSince = {};
    m_idleSince = {};
    m_bus.connect(Service, ManagerPath, ManagerInterface, QStringLiteral("PrepareForSleep"), this,
                  SLOT(onPrepareForSleep(bool)));
    if (!m_watchIdleHint)
        return;
    if (!m_sessionPath.isEmpty())
        watchSession();
    else if (!m_sessionSearched)
        findSession(QStringLiteral("GetSessionByPID"), QVariant::fromValue(uint(getpid())));
}

void LogindSource::stop()
{
    m_startedAt = {};
    m_bus.disconnect(Service, ManagerPath, ManagerInterface, QStringLiteral("PrepareForSleep"), this,
                     SLOT(onPrepareForSleep(bool)));
    if (!m_sessionPath.isEmpty())
        m_bus.disconnect(Service, m_sessionPath, PropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                         SLOT(onSessionPropertiesChanged(QString, QVariantMap, QStringList)));
}

// Asked without waiting: the system bus must never hold up the window.
void LogindSource::findSession(const QString &method, const QVariant &argument)
{
    m_sessionSearched = true;
    QDBusMessage call = QDBusMessage::createMethodCall(Service, ManagerPath, ManagerInterface, method);
    call << argument;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, method](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *finished;
        if (!reply.isError()) {
            m_sessionPath = reply.value().path();
            watchSession();
        } else if (method == u"GetSessionByPID") {
            // A program started outside the session (by the user's service
            // manager, say) belongs to none; logind's "auto" is then the
            // user's display session.
            const QString id = qEnvironmentVariable("XDG_SESSION_ID", QStringLiteral("auto"));
            findSession(QStringLiteral("GetSession"), id);
        }
    });
}

void LogindSource::watchSession()
{
    if (!m_startedAt.isValid())
        return;
    m_bus.connect(Service, m_sessionPath, PropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                  SLOT(onSessionPropertiesChanged(QString, QVariantMap, QStringList)));
}

void LogindSource::onPrepareForSleep(bool goingToSleep)
{
    if (goingToSleep)
        m_asleepSince = ClockSource::currentDateTime();
    else
        reportSince(m_asleepSince, Kind::Asleep);
}

void LogindSource::onSessionPropertiesChanged(const QString &interface, const QVariantMap &changed,
                                              const QStringList &)
{
    const auto idleHint = changed.constFind(QStringLiteral("IdleHint"));
    if (interface != SessionInterface || idleHint == changed.cend())
        return;
    if (!idleHint->toBool()) {
        reportSince(m_idleSince, Kind::Idle);
        return;
    }
    // Microseconds of the real-time clock; the desktop sets the hint some
    // time after the last input and may tell when that input was.
    const auto since = changed.constFind(QStringLiteral("IdleSinceHint"));
    const qint64 microseconds = since != changed.cend() ? since->toLongLong() : 0;
    m_idleSince = microseconds > 0 ? QDateTime::fromMSecsSinceEpoch(microseconds / 1000)
                                   : ClockSource::currentDateTime();
}

void LogindSource::reportSince(QDateTime &since, Kind kind)
{
    if (!since.isValid() || !m_startedAt.isValid())
        return;
    const QDateTime from = std::max(since, m_startedAt);
    const QDateTime now = ClockSource::currentDateTime();
    since = {};
    if (from.secsTo(now) >= m_minimumMinutes * 60)
        emit cameBack(from, now, kind);
}
