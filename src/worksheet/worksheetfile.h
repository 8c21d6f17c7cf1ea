#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

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
    /// Takes note of the file just written, whose bytes have the ContentHash
    /// SaveToCSV gave; at the first save of a run also writes the backup.
    /// False when the backup could not be written; the next save tries again.
    bool noteSaved(size_t contentHash);
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
    /// Copies the file as it is on disk to a datedPath() and gives that name.
    QString keepDiskVersion() const;

    /// The file is there but could not be loaded: it is never written over.
    void markUnreadable() { m_unreadable = true; }
    bool isUnreadable() const { return m_unreadable; }
    /// On exit, says that the worksheet could not be saved and why; true when
    /// the user chooses to quit all the same.
    bool askQuitUnsaved() const;

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
    static Fingerprint statOf(const QString &path);

    QString m_path;
    Fingerprint m_known;
    bool m_loadedBefore = false;
    bool m_keepForBackup = false; // the load under way is the start-up's
    // Held from start-up until the backup is written.
    std::optional<QByteArray> m_startupContent;
    bool m_unreadable = false;
};
