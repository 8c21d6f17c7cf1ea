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
/// of two copies starting at once exactly one gets the lock. Where no lock
/// can be had in the runtime folder, a fallback folder holds it.
class TSingleInstance : public QObject
{
    Q_OBJECT

public:
    /// Only one guard may exist in a process; a second raises a failure.
    explicit TSingleInstance(QWidget *owner);
    ~TSingleInstance() override;

    /// Where the lock file is made: the user's runtime folder unless set.
    const QString &LockFolder() const { return m_lockFolder; }
    void setLockFolder(const QString &folder) { m_lockFolder = folder; }
    /// Where it goes when LockFolder cannot hold one (missing, read-only,
    /// full): the program's data folder, so that copies sharing their data
    /// still find each other. Set both before Loaded.
    const QString &FallbackLockFolder() const { return m_fallbackLockFolder; }
    void setFallbackLockFolder(const QString &folder) { m_fallbackLockFolder = folder; }

    /// The detection, run once at the end of the owner window's loading.
    /// Without a lock file in either folder it warns and lets this copy run.
    void Loaded();

    /// Fired in a second copy with the first copy's process and window ids.
    std::function<void(TSingleInstance *sender, qint64 hPrevInst, qint64 hPrevWnd)> OnAlreadyRunning;

    /// The lock file in LockFolder.
    QString lockFilePath() const;

protected:
    /// Without OnAlreadyRunning: asks the first copy to bring its window to
    /// the front and ends this one.
    virtual void AlreadyRunning(qint64 hPrevInst, qint64 hPrevWnd);

private:
    enum class LockState { Ours, HeldByAnotherCopy, Unavailable };
    /// Opens the lock file at path into m_lockFile and tries to lock it.
    LockState openLock(const QString &path);
    void closeLock();
    void raiseOwner();

    QWidget *m_owner;
    QString m_lockFolder;
    QString m_fallbackLockFolder;
    bool m_loaded = false;
    int m_lockFile = -1;
    UnixSignalWatcher *m_raiseRequests = nullptr;
};
