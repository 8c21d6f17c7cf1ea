#pragma once

#include "awaydetector.h"

#include <QDBusConnection>

/// The screen locker of the desktop (org.freedesktop.ScreenSaver on the
/// session bus), where there is one: away from the lock until the unlock.
class ScreenLockSource : public AwayDetector
{
    Q_OBJECT
public:
    /// bus is the session bus but for tests.
    explicit ScreenLockSource(const QDBusConnection &bus, QObject *parent = nullptr);

    void start(int minimumMinutes) override;
    void stop() override;

private slots:
    void onActiveChanged(bool locked);

private:
    void connectPaths(bool connecting);

    QDBusConnection m_bus;
    int m_minimumMinutes = 0;
    bool m_started = false;
    QDateTime m_lockedSince;
};
