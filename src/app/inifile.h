#pragma once

#include <optional>
#include <QByteArrayList>
#include <QString>

/// An INI file kept as the lines it was read from, so that setting a value
/// changes that key's line alone: comments, sections and keys the program
/// does not know, their order and their line ends stay as they were.
/// Section and key names are matched without regard to case; where one
/// occurs twice, the first counts.
class IniFile
{
public:
    /// Reads path; a missing file reads as an empty one. False when the file
    /// is there but cannot be read: then nothing may be written over it.
    bool read(const QString &path);
    /// Replaces path as a whole (QSaveFile); false when it cannot be written.
    bool write(const QString &path) const;

    /// The value of key in section, without the blanks around it and the
    /// quotes around it, if any; none when there is no such key.
    std::optional<QString> value(QStringView section, QStringView key) const;
    /// Sets key in section to value: in its own line where the key is
    /// there, else as a new line at the end of the section, or of a new
    /// section at the end of the file.
    void setValue(const QString &section, const QString &key, const QString &value);

private:
    struct Position
    {
        qsizetype sectionEnd = -1; // the line after the section's last key; -1 without the section
        qsizetype keyLine = -1;
    };
    Position find(QStringView section, QStringView key) const;
    QByteArray lineEnd() const;

    QByteArrayList m_lines; // each with its line end, if it had one
};
