#pragma once

#include "csvrows.h"

#include <optional>
#include <QByteArray>
#include <QString>

struct stat;

/// Why a file that is there could not be read, in the user's words: "it is a
/// folder", "there is no permission to read it" and the like.
QString whyUnreadable(const QString &path);

/// What the program knows about the worksheet file on disk: how it looked
/// when it was loaded or last saved, so that a save notices when someone else
/// (a spreadsheet, a second machine) has changed it since; the backup of the
/// file as it was at start-up; copies beside it under dated names; and the
/// questions a save asks when writing would lose something.
class WorksheetFile
{
public:
    explicit WorksheetFile(QString path);

    const QString &path() const { return m_path; }
    /// The file as it was at start-up, kept at the first save of each run so
    /// that a mistaken change can be undone by hand.
    QString backupPath() const;

    /// Takes note of the file as it is now, just before it is loaded.
    void noteLoading();
    /// Takes note of the bytes loaded from it (LoadFromCSV's); the first load
    /// of a run also keeps them for the backup.
    void noteLoaded(const QByteArray &content);

    class Save;
    /// A save of rows to the file and, at the first save of a run, of the
    /// backup; run() writes them, on any thread.
    Save prepareSave(CsvRows rows) const;
    /// Takes note of a save that has run: of the file it wrote and of the
    /// backup. False when the backup could not be written; the next save
    /// tries again.
    bool noteSaved(const Save &save);
    /// True when the file on disk is no longer what was loaded or last saved.
    /// A file that has gone counts as unchanged (writing loses nothing), and
    /// so does one that was only touched: same content, new time.
    bool changedOnDisk() const;
    /// True when the file on disk is still the one last noted, neither
    /// replaced nor written since; told without reading it.
    bool isAsNoted() const;

    enum class Change { Reload, Overwrite, Cancel };
    /// Asks what to do about a change on disk; Cancel is the safe answer.
    Change askAboutChange() const;

    /// A free name beside the file carrying today's date and the time of day,
    /// such as "Hourbook 2026-12-07 1405.csv".
    QString datedPath() const;
    /// The same in folder, with tag after the time: "Hourbook 2026-12-07
    /// 1405 unsaved.csv".
    QString datedPath(const QString &folder, const QString &tag) const;
    /// Copies the file as it is on disk to a datedPath() and gives that name.
    QString keepDiskVersion() const;

    /// The file is there but could not be loaded: it is never written over.
    void markUnreadable() { m_unreadable = true; }
    bool isUnreadable() const { return m_unreadable; }
    /// On exit, says that the worksheet could not be saved and why; true when
    /// the user chooses to quit all the same.
    bool askQuitUnsaved() const;

    /// Makes a second name for a file, as link(2) does; replaceable so that
    /// a folder where that fails can be tried. Gives the one replaced; none
    /// puts the program's own back.
    using LinkFunction = int (*)(const char *existing, const char *newName);
    static LinkFunction setLinkFunction(LinkFunction link);

private:
    /// The file's identity as stat gives it, and the hash of its content.
    struct Fingerprint
    {
        bool isFile = false;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        quint64 device = 0;
        quint64 inode = 0;
        size_t contentHash = 0;

        /// The same file with the same size and time: its content is taken
        /// to be the same.
        bool isSameFileAs(const Fingerprint &other) const;
    };
    static Fingerprint fingerprintOf(const struct stat &status);
    static Fingerprint statOf(const QString &path);
    static Fingerprint statOf(int fileDescriptor);

    QString m_path;
    Fingerprint m_known;
    Fingerprint m_startupFile; // the file the backup keeps, as it was loaded
    bool m_loadedBefore = false;
    bool m_keepForBackup = false; // the load under way is the start-up's
    // Held from start-up until the backup is written.
    std::optional<QByteArray> m_startupContent;
    bool m_unreadable = false;
};

/// One save of the worksheet, made by WorksheetFile::prepareSave on the GUI
/// thread. It holds copies of all it writes and touches nothing else, so
/// that run() may write on another thread while the window goes on.
class WorksheetFile::Save
{
public:
    /// Writes the worksheet, then the backup if it is due.
    void run() noexcept;
    /// Empty once the worksheet is written; else why it was not.
    const QString &error() const { return m_error; }

private:
    friend class WorksheetFile;
    /// Gives the backup the start-up file's own bytes by a second name for
    /// it, taken while it is still in place; true when that was possible.
    bool linkBackup() const;

    explicit Save(CsvRows rows)
        : m_rows(std::move(rows))
    { }

    CsvRows m_rows;
    QString m_path;
    std::optional<QByteArray> m_backup;
    QString m_backupPath;
    Fingerprint m_backupSource;
    Fingerprint m_written;
    bool m_backupWritten = false;
    QString m_error = QStringLiteral("The worksheet was not written."); // until run() has written it
};
