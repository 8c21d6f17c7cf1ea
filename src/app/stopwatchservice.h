#pragma once

#include <QDBusContext>
#include <QObject>

class TForm1;

/// The window's stopwatch on the session bus: Start, Stop and Toggle turn the
/// switch as a click does, Running tells its state and RunningChanged (with
/// the standard PropertiesChanged) tells each change.
class StopwatchService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.worktally.Worktally")
    Q_PROPERTY(bool Running READ isRunning NOTIFY RunningChanged)

public:
    explicit StopwatchService(TForm1 &form);
    /// Gives the name up: the window it turned is going.
    ~StopwatchService() override;

    /// Offers the stopwatch on the session bus; false, and nothing offered,
    /// without a session bus or when another program holds the name.
    bool registerOnSessionBus();
    bool isRunning() const;

public slots:
    void Start();
    void Stop();
    void Toggle();

signals:
    void RunningChanged(bool running);

private:
    void turnTo(bool running);
    void tellChange(bool running);

    TForm1 &m_form;
    bool m_registered = false;
};
