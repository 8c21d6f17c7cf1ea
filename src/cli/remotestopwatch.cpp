#include "remotestopwatch.h"

#include "stopwatchbus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTextStream>

int callRunningStopwatch(const QString &method, QTextStream &err)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        err << "worktally: No session bus: cannot reach the running Worktally.\n";
        return 1;
    }
    if (!bus.interface()->isServiceRegistered(StopwatchBus::Service)) {
        err << "worktally: Worktally is not running.\n";
        return 1;
    }
    const QDBusMessage reply = bus.call(
        QDBusMessage::createMethodCall(StopwatchBus::Service, StopwatchBus::Path, StopwatchBus::Interface, method));
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // Also when the window ended between the question and the call.
        err << "worktally: " << reply.errorMessage() << '\n';
        return 1;
    }
    return 0;
}
