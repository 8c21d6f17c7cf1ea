#pragma once

#include <functional>
#include <QObject>
#include <QString>

class QWidget;
class UnixSignalWatcher;

/// Finds out, while the main window loads, whether another copy of the same
/// program file is already running, and tells which process and window that
/// first copy has.
///
/// The first copy holds an exclusive lock on a file in the user's runtime
/// folder, named after the program file, and writes its process id and window
/// id into it. The kernel drops the lock when that process ends in any way,
/// crashes and kill -9 included, so a dead copy never blocks the next start;
/// of two copies starting at once exactly one gets the lock.
class TSingleInstance : public QObject
{
    Q_OBJECT

public:
    /// Only one guard may exist in a process; a second raises a failure.
    explicit TSingleInstance(QWidget *owner);
    ~TSingleInstance() override;

    /// The detection, run once at the end of the owner window's loading.
    void Loaded();

    /// Fired in a second copy with the first copy's process and window ids.
    std::function<void(TSingleInstance *sender, qint64 hPrevInst, qint64 hPrevWnd)> OnAlreadyRunning;

    /// Where the lock files live: the user's runtime folder.
    static QString lockFolder();
    QString lockFilePath() const;

protected:
    /// Without OnAlreadyRunning: asks the first copy to bring its window to
    /// the front and ends this one.
    virtual void AlreadyRunning(qint64 hPrevInst, qint64 hPrevWnd);

private:
    void raiseOwner();

    QWidget *m_owner;
    int m_lockFile = -1;
    UnixSignalWatcher *m_raiseRequests = nullptr;
};
