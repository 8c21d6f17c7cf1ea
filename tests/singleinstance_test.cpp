#include "errors.h"
#include "singleinstance.h"
#include "testsupport.h"
#include "unixsignals.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Holds the lock as a first copy of the program would, with its two values.
class FirstCopy
{
public:
    FirstCopy(const QString &path, const QByteArray &record)
    {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT, 0600);
        EXPECT_EQ(::flock(m_fd, LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(::write(m_fd, record.constData(), record.size()), record.size());
    }
    ~FirstCopy() { ::close(m_fd); }

private:
    int m_fd = -1;
};

// Folders below a regular file: no lock file can be made there, not even by
// root.
struct UnusableFolders
{
    QTemporaryDir folder;

    UnusableFolders() { writeFile(folder.filePath(QStringLiteral("file")), {}); }
    QString below(const QString &name) const { return folder.filePath(QStringLiteral("file/") + name); }
};

} // namespace

TEST(SingleInstance, OnlyOneGuardPerProcess)
{
    QWidget window;
    TSingleInstance guard(&window);
    EXPECT_EQ(messageOf<WorktallyError>([&] { TSingleInstance second(&window); }),
        "Only one instance of TSingleInstance is allowed");
}

TEST(SingleInstance, FirstCopyRecordsItsProcessAndWindow)
{
    QWidget window;
    TSingleInstance guard(&window);
    bool fired = false;
    guard.OnAlreadyRunning = [&](TSingleInstance *, qint64, qint64) { fired = true; };
    guard.Loaded();
    EXPECT_FALSE(fired);
    EXPECT_EQ(readFile(guard.lockFilePath()),
        QByteArray::number(qint64(::getpid())) + ' ' + QByteArray::number(qint64(window.winId())) + '\n');
    EXPECT_TRUE(guard.lockFilePath().endsWith(QStringLiteral("/test_widgets.instance")));
}

TEST(SingleInstance, SecondCopyLearnsTheFirstCopysValues)
{
    QWidget window;
    std::unique_ptr<TSingleInstance> guard = std::make_unique<TSingleInstance>(&window);
    FirstCopy first(guard->lockFilePath(), "4242 777\n");
    QList<qint64> values;
    guard->OnAlreadyRunning = [&](TSingleInstance *, qint64 instance, qint64 window) { values << instance << window; };
    guard->Loaded();
    EXPECT_EQ(values, QList<qint64>({4242, 777}));
}

TEST(SingleInstance, WithoutAHandlerTheFirstCopyIsAskedToComeForward)
{
    QWidget window;
    TSingleInstance guard(&window);
    // This process plays the first copy too: the request reaches it as a
    // signal, the guard asks the application to end.
    UnixSignalWatcher raised({SIGUSR1});
    int requests = 0;
    QObject::connect(&raised, &UnixSignalWatcher::received, [&] { ++requests; });
    FirstCopy first(guard.lockFilePath(), QByteArray::number(qint64(::getpid())) + " 1\n");
    guard.Loaded();
    // The request to end waits for the event loop, which it ends at once.
    QTimer::singleShot(2000, qApp, [] { QCoreApplication::exit(1); }); // never hang here
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return requests == 1; }, 2000));
}

TEST(SingleInstance, WithoutARuntimeFolderTheDataFolderHoldsTheLock)
{
    UnusableFolders unusable;
    QTemporaryDir data;
    QWidget window;
    TSingleInstance guard(&window);
    guard.setLockFolder(unusable.below(QStringLiteral("runtime")));
    guard.setFallbackLockFolder(data.path());
    FirstCopy first(data.filePath(QStringLiteral("test_widgets.instance")), "4242 777\n");
    QList<qint64> values;
    guard.OnAlreadyRunning = [&](TSingleInstance *, qint64 instance, qint64 window) { values << instance << window; };
    guard.Loaded();
    EXPECT_EQ(values, QList<qint64>({4242, 777}));
}

TEST(SingleInstance, WithoutAnyLockFileItWarnsOnceAndRunsOn)
{
    UnusableFolders unusable;
    MessageRecorder messages;
    QWidget window;
    TSingleInstance guard(&window);
    guard.setLockFolder(unusable.below(QStringLiteral("runtime")));
    guard.setFallbackLockFolder(unusable.below(QStringLiteral("data")));
    bool fired = false;
    guard.OnAlreadyRunning = [&](TSingleInstance *, qint64, qint64) { fired = true; };
    guard.Loaded();
    guard.Loaded();
    EXPECT_FALSE(fired);
    EXPECT_EQ(messages.texts, QStringList({"Could not make sure that only one copy of the program runs."}));
    EXPECT_EQ(messages.kinds, QList<MessageKind>({MessageKind::Warning}));
}
