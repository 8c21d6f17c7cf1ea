#pragma once

#include "awaydetector.h"

#include <QDBusConnection>
#include <QVariantMap>

class QDBusPendingCallWatcher;

/// What systemd-logind tells: the system going to sleep and waking up, and
/// (when asked to) the session's idle hint, which the desktop sets.
class LogindSource : public AwayDetector
{
    Q_OBJECT
public:
    /// bus is the system bus but for tests.
    LogindSource(const QDBusConnection &bus, bool watchIdleHint, QObject *parent = nullptr);

    void start(int minimumMinutes) override;
    void stop() override;

private slots:
    void onPrepareForSleep(bool goingToSleep);
    void onSessionPropertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &);

private:
    void findSession(const QString &method, const QVariant &argument);
    void watchSession();
    void reportSince(QDateTime &since, Kind kind);

    QDBusConnection m_bus;
    bool m_watchIdleHint;
    int m_minimumMinutes = 0;
    QDateTime m_startedAt;
    QString m_sessionPath;
    bool m_sessionSearched = false;
    QDateTime m_asleepSince;
    QDateTime m_idleSince;
};
