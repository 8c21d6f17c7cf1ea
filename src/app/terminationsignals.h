#pragma once

#include <QObject>

class QSocketNotifier;

/// Turns SIGTERM, SIGINT and SIGHUP (log-out, kill, Ctrl+C) into a Qt signal
/// on the GUI thread, so that the program leaves by its normal exit path and
/// saves the worksheet. The signal handler itself only writes one byte to a
/// pipe; all the work happens in the event loop.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    QSocketNotifier *m_notifier = nullptr;
};
