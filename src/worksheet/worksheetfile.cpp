#include "worksheetfile.h"

#include "clocksource.h"
#include "contenthash.h"
#include "errors.h"
#include "messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// A link to the file a symbolic link names, which is the one a save replaces.
int linkFollowing(const char *existing, const char *newName)
{
    return ::linkat(AT_FDCWD, existing, AT_FDCWD, newName, AT_SYMLINK_FOLLOW);
}

WorksheetFile::LinkFunction linkFile = linkFollowing;

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QString whyUnreadable(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("it is a folder");
    if (!info.isFile())
        return QStringLiteral("it is not a plain file");
    if (!info.isReadable())
        return QStringLiteral("there is no permission to read it");
    return QStringLiteral("reading it failed");
}

WorksheetFile::LinkFunction WorksheetFile::setLinkFunction(LinkFunction link)
{
    return std::exchange(linkFile, link ? link : linkFollowing);
}

WorksheetFile::WorksheetFile(QString path)
    : m_path(std::move(path))
{ }

QString WorksheetFile::backupPath() const
{
    return m_path + QStringLiteral(".bak");
}

WorksheetFile::Fingerprint WorksheetFile::fingerprintOf(const struct stat &status)
{
    Fingerprint fingerprint;
    if (!S_ISREG(status.st_mode))
        return fingerprint;
    fingerprint.isFile = true;
    fingerprint.size = status.st_size;
    fingerprint.modifiedNs = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    fingerprint.device = status.st_dev;
    fingerprint.inode = status.st_ino;
    return fingerprint;
}

WorksheetFile::Fingerprint WorksheetFile::statOf(const QString &path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return fingerprintOf(status);
}

WorksheetFile::Fingerprint WorksheetFile::statOf(int fileDescriptor)
{
    struct stat status;
    if (::fstat(fileDescriptor, &status) != 0)
        return {};
    return fingerprintOf(status);
}

bool WorksheetFile::Fingerprint::isSameFileAs(const Fingerprint &other) const
{
    return isFile && other.isFile && size == other.size && modifiedNs == other.modifiedNs && device == other.device
        && inode == other.inode;
}

void WorksheetFile::noteLoading()
{
    // Taken before the file is read: a change made in between then shows
    // at the next save.
    m_known = statOf(m_path);
    // Only the file that was there at start-up goes into the backup.
    m_keepForBackup = !m_loadedBefore && m_known.isFile;
    if (m_keepForBackup)
        m_startupFile = m_known;
    m_loadedBefore = true;
}

void WorksheetFile::noteLoaded(const QByteArray &content)
{
    m_known.contentHash = ContentHash::of(content);
    if (m_keepForBackup)
        m_startupContent = content;
    m_keepForBackup = false;
}

WorksheetFile::Save WorksheetFile::prepareSave(CsvRows rows) const
{
    Save save(std::move(rows));
    save.m_path = m_path;
    save.m_backup = m_startupContent;
    save.m_backupPath = backupPath();
    save.m_backupSource = m_startupFile;
    return save;
}

void WorksheetFile::Save::run() noexcept
{
    // The file is known by the one written, taken before it replaces the old
    // one: a change made by someone else right after still shows. The backup
    // is linked then too, while the start-up file is still in place.
    const auto beforeReplacing = [this](QFileDevice &written) {
        m_written = statOf(written.handle());
        m_backupWritten = m_backup && linkBackup();
    };
    try {
        const size_t contentHash = m_rows.saveTo(m_path, beforeReplacing);
        m_written.contentHash = contentHash;
    } catch (const WorktallyError &e) {
        m_error = e.message();
        return;
    }
    m_error.clear();
    if (!m_backup || m_backupWritten)
        return;
    QSaveFile backup(m_backupPath);
    m_backupWritten
        = backup.open(QIODevice::WriteOnly) && backup.write(*m_backup) == m_backup->size() && backup.commit();
}

bool WorksheetFile::Save::linkBackup() const
{
    // A link cannot take the place of an old backup, a rename can: the
    // backup is never half there either.
    const QByteArray backup = QFile::encodeName(m_backupPath);
    const QByteArray link = backup + ".link";
    ::unlink(link.constData());
    if (linkFile(QFile::encodeName(m_path).constData(), link.constData()) != 0)
        return false;
    // Only a file that is still the one loaded at start-up holds its bytes.
    if (!statOf(QFile::decodeName(link)).isSameFileAs(m_backupSource)
        || ::rename(link.constData(), backup.constData()) != 0) {
        ::unlink(link.constData());
        return false;
    }
    return true;
}

bool WorksheetFile::noteSaved(const Save &save)
{
    if (!save.error().isEmpty())
        return true;
    m_known = save.m_written;
    if (!m_startupContent)
        return true;
    if (!save.m_backupWritten)
        return false;
    m_startupContent.reset();
    return true;
}

bool WorksheetFile::changedOnDisk() const
{
    const Fingerprint now = statOf(m_path);
    // Where no file is (or a folder is in the way, and the write fails),
    // writing loses nothing.
    if (!now.isFile)
        return false;
    if (!m_known.isFile)
        return true;
    if (now.isSameFileAs(m_known))
        return false;
    return now.size != m_known.size || ContentHash::of(contentOf(m_path)) != m_known.contentHash;
}

bool WorksheetFile::isAsNoted() const
{
    return statOf(m_path).isSameFileAs(m_known);
}

WorksheetFile::Change WorksheetFile::askAboutChange() const
{
    const QString question = QStringLiteral(
        "%1 has been changed on disk since Worktally loaded or last saved it.\n\n"
        "Reload: show the file from disk here; this window's worksheet is kept beside it under a dated name.\n"
        "Overwrite: save this window's worksheet; the file from disk is kept beside it under a dated name.\n"
        "Cancel: save nothing now.")
                                 .arg(QDir::toNativeSeparators(m_path));
    const int choice
        = askQuestion(question, {QStringLiteral("Reload"), QStringLiteral("Overwrite"), QStringLiteral("Cancel")}, 2);
    return choice == 0 ? Change::Reload : choice == 1 ? Change::Overwrite : Change::Cancel;
}

QString WorksheetFile::datedPath() const
{
    return datedPath(QFileInfo(m_path).path(), QString());
}

QString WorksheetFile::datedPath(const QString &folder, const QString &tag) const
{
    const QFileInfo info(m_path);
    QString stem
        = info.completeBaseName() + u' ' + ClockSource::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HHmm"));
    if (!tag.isEmpty())
        stem += u' ' + tag;
    const QString suffix = u'.' + info.suffix();
    const QDir dir(folder);
    QString path = dir.filePath(stem + suffix);
    // A second copy within the same minute must not replace the first.
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(stem + QStringLiteral(" (%1)").arg(n) + suffix);
    return path;
}

QString WorksheetFile::keepDiskVersion() const
{
    const QString copy = datedPath();
    if (!QFile::copy(m_path, copy))
        throw FileCreateError(copy);
    return copy;
}

bool WorksheetFile::askQuitUnsaved() const
{
    const QString question
        = QStringLiteral("The worksheet has not been saved: %1 could not be read when Worktally started (%2), "
                         "and Worktally does not write over a file it could not read.\n\n"
                         "If you quit now, what was changed in this session is lost.")
              .arg(QDir::toNativeSeparators(m_path), whyUnreadable(m_path));
    return askQuestion(question, {QStringLiteral("Keep open"), QStringLiteral("Quit anyway")}, 0) == 1;
}
