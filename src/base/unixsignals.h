#pragma once

#include <initializer_list>
#include <QObject>
#include <vector>

/// Turns Unix signals into a Qt signal on the GUI thread. The signal handler
/// itself only writes the signal's number to a socket pair; the event loop
/// reads it and tells every watcher that asked for that signal, so no work is
/// ever done inside the handler.
class UnixSignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit UnixSignalWatcher(std::initializer_list<int> signalNumbers, QObject *parent = nullptr);
    ~UnixSignalWatcher() override;

    bool watches(int signalNumber) const;

signals:
    void received(int signalNumber);

private:
    std::vector<int> m_signals;
};
