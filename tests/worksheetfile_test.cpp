#include "hypergrid.h"
#include "testsupport.h"
#include "worksheetfile.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

const QByteArray StartupBytes = "\"01-12-26 08:00\";\"01-12-26 12:00\"\r\n";

struct stat statusOf(const QString &path)
{
    struct stat status {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status;
}

// A worksheet loaded at start-up from StartupBytes, with a backup left from
// an earlier run.
struct StartedWorksheet
{
    QTemporaryDir dir;
    WorksheetFile file{dir.filePath(QStringLiteral("Hourbook.csv"))};
    THyperGrid grid;
    ino_t startupInode = 0;
    timespec startupModified{};

    StartedWorksheet()
    {
        writeFile(file.path(), StartupBytes);
        // Older than any copy made now, whose inode may be the freed one.
        setModified(file.path(), QDateTime::currentDateTime().addSecs(-3600));
        writeFile(file.backupPath(), "\"an older run\"\r\n");
        startupInode = statusOf(file.path()).st_ino;
        startupModified = statusOf(file.path()).st_mtim;
        file.noteLoading();
        file.noteLoaded(grid.LoadFromCSV(0, 1, file.path()));
        grid.setCells(0, 1, QStringLiteral("changed"));
    }

    bool save()
    {
        WorksheetFile::Save save = file.prepareSave(grid.csvRows(0, 1));
        save.run();
        return save.error().isEmpty() && file.noteSaved(save);
    }
};

// Links as the program does, noting what was there at that moment.
struct LinkSpy
{
    static inline WorksheetFile::LinkFunction programs = nullptr;
    static inline QString worksheet;
    static inline QByteArray worksheetThen;
    static inline nlink_t linksThen = 0;

    static int link(const char *existing, const char *newName)
    {
        const int result = programs(existing, newName);
        worksheet = QFile::decodeName(existing);
        worksheetThen = readFile(worksheet);
        linksThen = statusOf(worksheet).st_nlink;
        return result;
    }
};

int failingLink(const char *, const char *)
{
    errno = EPERM;
    return -1;
}

} // namespace

TEST(WorksheetFile, ChangeIsInTheContentNotInTheTime)
{
    QTemporaryDir dir;
    WorksheetFile file(dir.filePath(QStringLiteral("Hourbook.csv")));
    file.noteLoading(); // none there yet
    writeFile(file.path(), "\"a\"\r\n");
    EXPECT_TRUE(file.changedOnDisk()); // made by someone else meanwhile

    THyperGrid grid;
    file.noteLoading();
    file.noteLoaded(grid.LoadFromCSV(0, 1, file.path()));
    EXPECT_FALSE(file.changedOnDisk());
    setModified(file.path(), QDateTime::currentDateTime().addSecs(60)); // touched
    EXPECT_FALSE(file.changedOnDisk());
    writeFile(file.path(), "\"b\"\r\n"); // the same size
    setModified(file.path(), QDateTime::currentDateTime().addSecs(60));
    EXPECT_TRUE(file.changedOnDisk());

    // Big enough to be written in several pieces, each hashed as it goes.
    grid.setRowCount(30000);
    for (int r = 1; r < grid.RowCount(); ++r)
        grid.setCells(0, r, QStringLiteral("a longer text on every row"));
    WorksheetFile::Save save = file.prepareSave(grid.csvRows(0, 1));
    save.run();
    file.noteSaved(save);
    EXPECT_FALSE(file.changedOnDisk());
    setModified(file.path(), QDateTime::currentDateTime().addSecs(120));
    EXPECT_FALSE(file.changedOnDisk());
    QFile::remove(file.path()); // nothing to lose by writing
    EXPECT_FALSE(file.changedOnDisk());
}

TEST(WorksheetFileBackup, IsTheStartupFileItselfUnderASecondName)
{
    StartedWorksheet s;
    ASSERT_TRUE(s.save());
    EXPECT_EQ(readFile(s.file.backupPath()), StartupBytes);
    const struct stat backup = statusOf(s.file.backupPath());
    EXPECT_EQ(backup.st_ino, s.startupInode); // not a copy
    EXPECT_EQ(backup.st_mtim.tv_sec, s.startupModified.tv_sec);
    EXPECT_EQ(backup.st_mtim.tv_nsec, s.startupModified.tv_nsec);
    EXPECT_EQ(backup.st_nlink, 1u); // the new worksheet is a file of its own
    EXPECT_NE(statusOf(s.file.path()).st_ino, s.startupInode);
    EXPECT_NE(readFile(s.file.path()), StartupBytes);
    EXPECT_FALSE(QFile::exists(s.file.backupPath() + QStringLiteral(".link")));

    // Saved again, the worksheet leaves the backup as it is.
    s.grid.setCells(0, 1, QStringLiteral("changed again"));
    ASSERT_TRUE(s.save());
    EXPECT_EQ(statusOf(s.file.backupPath()).st_ino, s.startupInode);
}

TEST(WorksheetFileBackup, WorksheetStaysInPlaceWhileTheBackupIsLinked)
{
    StartedWorksheet s;
    LinkSpy::programs = WorksheetFile::setLinkFunction(LinkSpy::link);
    const bool saved = s.save();
    WorksheetFile::setLinkFunction(nullptr);
    ASSERT_TRUE(saved);
    EXPECT_EQ(LinkSpy::worksheet, s.file.path());
    EXPECT_EQ(LinkSpy::worksheetThen, StartupBytes);
    EXPECT_EQ(LinkSpy::linksThen, 2u);
    EXPECT_EQ(statusOf(s.file.backupPath()).st_ino, s.startupInode);
}

TEST(WorksheetFileBackup, IsWrittenWhereItCannotBeLinked)
{
    {
        // A folder that takes no links.
        StartedWorksheet s;
        WorksheetFile::setLinkFunction(failingLink);
        const bool saved = s.save();
        WorksheetFile::setLinkFunction(nullptr);
        ASSERT_TRUE(saved);
        EXPECT_EQ(readFile(s.file.backupPath()), StartupBytes);
        EXPECT_FALSE(QFile::exists(s.file.backupPath() + QStringLiteral(".link")));
    }
    {
        // Changed on disk since start-up (and saved over all the same).
        StartedWorksheet s;
        writeFile(s.file.path(), "\"someone else's\"\r\n");
        ASSERT_TRUE(s.save());
        EXPECT_EQ(readFile(s.file.backupPath()), StartupBytes);
        EXPECT_FALSE(QFile::exists(s.file.backupPath() + QStringLiteral(".link")));
    }
    {
        // Replaced on disk by a file of the same size and time.
        StartedWorksheet s;
        const QString other = s.dir.filePath(QStringLiteral("other.csv"));
        writeFile(other, QByteArray(StartupBytes).replace('8', '9'));
        QFile original(s.file.path());
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        QFile replacement(other);
        ASSERT_TRUE(replacement.open(QIODevice::ReadWrite));
        ASSERT_TRUE(replacement.setFileTime(
            original.fileTime(QFileDevice::FileModificationTime), QFileDevice::FileModificationTime));
        replacement.close();
        ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(s.file.path()).constData()), 0);
        ASSERT_TRUE(s.save());
        EXPECT_EQ(readFile(s.file.backupPath()), StartupBytes);
    }
}
