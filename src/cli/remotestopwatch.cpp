#include "remotestopwatch.h"

#include "stopwatchbus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QTextStream>

namespace {

// QtDBus registers its own types on first use, on whichever thread that is;
// the bus's thread, reading a reply meanwhile, then meets types not yet
// registered (QTBUG-108822) and says so on standard error.
void registerBusTypes()
{
    qRegisterMetaType<QDBusObjectPath>();
    qRegisterMetaType<QDBusSignature>();
    qRegisterMetaType<QDBusVariant>();
    qRegisterMetaType<QDBusUnixFileDescriptor>();
}

} // namespace

int callRunningStopwatch(const QString &method, QTextStream &err)
{
    registerBusTypes();
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
