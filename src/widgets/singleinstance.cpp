#include "singleinstance.h"

#include "errors.h"
#include "messages.h"
#include "unixsignals.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace {

TSingleInstance *processGuard = nullptr;

QString userRuntimeFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

// The lock file in folder, named after the program file.
QString lockFileIn(const QString &folder)
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return QDir(folder).filePath(program + QStringLiteral(".instance"));
}

// The first copy asks nothing of a second one; a second one sends this to
// the first to have its window brought to the front.
constexpr int RaiseSignal = SIGUSR1;

} // namespace

TSingleInstance::TSingleInstance(QWidget *owner)
    : QObject(owner)
    , m_owner(owner)
    , m_lockFolder(userRuntimeFolder())
{
    if (processGuard)
        throw WorktallyError(QStringLiteral("Only one instance of TSingleInstance is allowed"));
    processGuard = this;
}

TSingleInstance::~TSingleInstance()
{
    closeLock(); // releases the lock
    processGuard = nullptr;
}

QString TSingleInstance::lockFilePath() const
{
    return lockFileIn(m_lockFolder);
}

TSingleInstance::LockState TSingleInstance::openLock(const QString &path)
{
    m_lockFile = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFile < 0)
        return LockState::Unavailable;
    if (::flock(m_lockFile, LOCK_EX | LOCK_NB) == 0)
        return LockState::Ours;
    if (errno == EWOULDBLOCK)
        return LockState::HeldByAnotherCopy;
    closeLock();
    return LockState::Unavailable;
}

void TSingleInstance::closeLock()
{
    if (m_lockFile >= 0)
        ::close(m_lockFile);
    m_lockFile = -1;
}

void TSingleInstance::Loaded()
{
    if (std::exchange(m_loaded, true))
        return;
    // Without a lock every copy would run as the first and overwrite the
    // others' data, so a runtime folder that cannot hold one is no reason to
    // give up.
    LockState state = openLock(lockFilePath());
    if (state == LockState::Unavailable && !m_fallbackLockFolder.isEmpty())
        state = openLock(lockFileIn(m_fallbackLockFolder));

    if (state == LockState::Unavailable) {
        showMessage(
            QStringLiteral("Could not make sure that only one copy of the program runs."), MessageKind::Warning);
        return;
    }
    if (state == LockState::HeldByAnotherCopy) {
        char record[64] = {};
        const ssize_t length = ::pread(m_lockFile, record, sizeof record - 1, 0);
        closeLock();
        qint64 instance = 0;
        qint64 window = 0;
        if (length > 0)
            std::sscanf(record, "%lld %lld", &instance, &window);
        AlreadyRunning(instance, window);
        return;
    }

    const QByteArray record = QByteArray::number(qint64(::getpid())) + ' '
        + QByteArray::number(m_owner ? qint64(m_owner->window()->winId()) : 0) + '\n';
    if (::ftruncate(m_lockFile, 0) == 0) [[maybe_unused]]
        const ssize_t written = ::pwrite(m_lockFile, record.constData(), record.size(), 0);
    m_raiseRequests = new UnixSignalWatcher({RaiseSignal}, this);
    connect(m_raiseRequests, &UnixSignalWatcher::received, this, &TSingleInstance::raiseOwner);
}

void TSingleInstance::AlreadyRunning(qint64 hPrevInst, qint64 hPrevWnd)
{
    if (OnAlreadyRunning) {
        OnAlreadyRunning(this, hPrevInst, hPrevWnd);
        return;
    }
    if (hPrevInst > 0)
        ::kill(pid_t(hPrevInst), RaiseSignal);
    // The event loop may not run yet: the request to end waits for it.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

// Brings the window to the front; a minimised or hidden window stays so.
void TSingleInstance::raiseOwner()
{
    if (!m_owner)
        return;
    QWidget *window = m_owner->window();
    window->raise();
    window->activateWindow();
}
