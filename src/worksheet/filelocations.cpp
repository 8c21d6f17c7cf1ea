#include "filelocations.h"

#include "messages.h"

#include <filesystem>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString findDataFolder(const QString &executableFolder)
{
    const QDir beside(executableFolder);
    if (QFile::exists(beside.filePath(QStringLiteral("Hourbook.csv")))
        || QFile::exists(beside.filePath(QStringLiteral("Worktally.Setup"))))
        return executableFolder;

    // AppDataLocation for an application named Worktally without an
    // organisation, but independent of the name the running process gave
    // itself, so that every copy meets the same files.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Worktally"));
}

QString dataFolder(const QString &executableFolder)
{
    const QString folder = findDataFolder(executableFolder);
    if (folder == executableFolder)
        return folder;
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (error || !QFileInfo(folder).isDir()) {
        const QString why = error ? QString::fromStdString(error.message()) : QStringLiteral("it is not a folder");
        showMessage(QStringLiteral("Cannot create the folder %1 for the worksheet and the settings (%2).\n\n"
                                   "Worktally runs, but nothing can be saved until that folder can be created.")
                        .arg(QDir::toNativeSeparators(folder), why),
            MessageKind::Error);
    }
    return folder;
}

QString worksheetFile(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("Hourbook.csv"));
}

QString settingsFile(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("Worktally.Setup"));
}

QString daysOffFile(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("DaysOff.csv"));
}

QString awayPendingFile(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("Away.pending"));
}

QString recoveryFolder()
{
    // As the XDG base directories have it: a relative path counts as unset.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (QDir::isRelativePath(state))
        state = QDir::home().filePath(QStringLiteral(".local/state"));
    return QDir(state).filePath(QStringLiteral("Worktally"));
}

QString recoveryNoticeFile()
{
    return QDir(recoveryFolder()).filePath(QStringLiteral("unsaved worksheets"));
}

namespace {

// A file that comes with the program: beside the executable in a build tree,
// else in its installed folder, given relative to the executable's. When
// neither is there, the one beside the executable, so that a failure names a
// file.
QString programFile(const QString &executableFolder, const QString &installedFolder, const QString &name)
{
    const QString beside = QDir(executableFolder).filePath(name);
    const QString installed = QDir(executableFolder).filePath(installedFolder + u'/' + name);
    if (!QFile::exists(beside) && QFile::exists(installed))
        return QDir::cleanPath(installed);
    return beside;
}

} // namespace

QString helpFile(const QString &executableFolder)
{
    return programFile(executableFolder, QStringLiteral("../share/worktally"), QStringLiteral("WORKTALLY.html"));
}

QString moduleFile(const QString &executableFolder, const QString &name)
{
    return programFile(executableFolder, QStringLiteral("../lib/worktally"), name);
}
