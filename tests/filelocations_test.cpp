#include "filelocations.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// An executable's folder and a user's data home ($XDG_DATA_HOME) of the
// test's own.
struct Folders
{
    QTemporaryDir root;
    const QString executable = root.filePath(QStringLiteral("bin"));
    const QString dataHome = root.filePath(QStringLiteral("data"));
    const QString userFolder = root.filePath(QStringLiteral("data/Worktally"));
    const QByteArray previousDataHome = qgetenv("XDG_DATA_HOME");
    MessageRecorder messages;

    Folders()
    {
        QDir().mkpath(executable);
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
    }
    ~Folders() { qputenv("XDG_DATA_HOME", previousDataHome); }

    void addBesideExecutable(const QString &name) const { writeFile(QDir(executable).filePath(name), ""); }
};

} // namespace

TEST(DataFolder, WorksheetOrSettingsBesideTheExecutableMakeAPortableCopy)
{
    for (const QString name : {"Hourbook.csv", "Worktally.Setup"}) {
        Folders f;
        f.addBesideExecutable(name);
        EXPECT_EQ(dataFolder(f.executable), f.executable) << name.toStdString();
        EXPECT_FALSE(QFile::exists(f.userFolder)) << name.toStdString();
    }
}

TEST(DataFolder, OtherwiseTheUsersDataFolderIsCreated)
{
    Folders f;
    f.addBesideExecutable(QStringLiteral("WORKTALLY.html")); // as in the build tree
    EXPECT_EQ(dataFolder(f.executable), f.userFolder);
    EXPECT_TRUE(QFileInfo(f.userFolder).isDir());
    EXPECT_EQ(dataFolder(f.executable), f.userFolder); // and found again
    EXPECT_TRUE(f.messages.texts.isEmpty());
}

TEST(DataFolder, AFolderThatCannotBeCreatedIsReportedAndKept)
{
    Folders f;
    writeFile(f.dataHome, ""); // a file in the way
    EXPECT_EQ(dataFolder(f.executable), f.userFolder);
    ASSERT_EQ(f.messages.texts.size(), 1);
    EXPECT_TRUE(f.messages.texts[0].startsWith("Cannot create the folder " + f.userFolder + " for the worksheet"))
        << f.messages.texts[0].toStdString();
}

TEST(ProgramFiles, BesideTheExecutableElseInTheInstallation)
{
    struct Case
    {
        QString (*find)(const QString &executableFolder);
        const char *name;
        const char *installedFolder;
    };
    const Case cases[] = {
        {helpFile, "WORKTALLY.html", "usr/share/worktally"},
        {[](const QString &folder) { return moduleFile(folder, QStringLiteral("worktally-sound.so")); },
            "worktally-sound.so", "usr/lib/worktally"},
    };
    for (const Case &c : cases) {
        QTemporaryDir root;
        const QString executable = root.filePath(QStringLiteral("usr/bin"));
        const QString beside = executable + u'/' + QLatin1String(c.name);
        const QString installed = root.filePath(QLatin1String(c.installedFolder) + u'/' + QLatin1String(c.name));
        QDir().mkpath(executable);
        EXPECT_EQ(c.find(executable), beside); // neither: a failure names this one

        QDir().mkpath(QFileInfo(installed).path());
        writeFile(installed, "");
        EXPECT_EQ(c.find(executable), installed);

        writeFile(beside, "");
        EXPECT_EQ(c.find(executable), beside);
    }
}
