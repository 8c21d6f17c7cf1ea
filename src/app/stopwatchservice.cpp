#include "stopwatchservice.h"

#include "mainwindow.h"
#include "onoffswitch.h"
#include "stopwatchbus.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

StopwatchService::StopwatchService(TForm1 &form)
    : QObject(&form)
    , m_form(form)
{
    connect(&form, &TForm1::runningChanged, this, &StopwatchService::tellChange);
}

StopwatchService::~StopwatchService()
{
    if (m_registered)
        QDBusConnection::sessionBus().interface()->unregisterService(StopwatchBus::Service);
}

bool StopwatchService::registerOnSessionBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // The object first, so that whoever sees the name appear finds it.
    if (!bus.registerObject(StopwatchBus::Path, this,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals | QDBusConnection::ExportAllProperties))
        return false;
    if (bus.interface()->registerService(StopwatchBus::Service, QDBusConnectionInterface::DontQueueService,
            QDBusConnectionInterface::DontAllowReplacement)
        != QDBusConnectionInterface::ServiceRegistered) {
        bus.unregisterObject(StopwatchBus::Path);
        return false;
    }
    m_registered = true;
    return true;
}

bool StopwatchService::isRunning() const
{
    return m_form.isRunning();
}

void StopwatchService::Start()
{
    turnTo(true);
}

void StopwatchService::Stop()
{
    turnTo(false);
}

void StopwatchService::Toggle()
{
    turnTo(!isRunning());
}

void StopwatchService::turnTo(bool running)
{
    // A box of the window waiting for an answer runs its own event loop,
    // which would let the call turn the switch in the middle of what the box
    // interrupted.
    if (QApplication::activeModalWidget()) {
        if (calledFromDBus())
            sendErrorReply(QStringLiteral("io.github.worktally.Worktally.Error.Busy"),
                QStringLiteral("Worktally is waiting for an answer in its window."));
        return;
    }
    if (running != isRunning())
        m_form.Switch1->Toggle();
}

void StopwatchService::tellChange(bool running)
{
    emit RunningChanged(running);
    // For generic tools, which watch properties rather than this interface.
    QDBusMessage changed = QDBusMessage::createSignal(
        StopwatchBus::Path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    changed << StopwatchBus::Interface << QVariantMap {{QStringLiteral("Running"), running}} << QStringList();
    QDBusConnection::sessionBus().send(changed);
}
