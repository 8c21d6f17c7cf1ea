#pragma once

#include "color.h"

#include <optional>
#include <QString>

/// The program's settings file (INI): the background colour under section
/// "wkyColor", key "backColor", as a decimal number.
class SettingsFile
{
public:
    explicit SettingsFile(QString path);

    /// The stored colour; none when the file, the key or a readable value
    /// is missing. "0x…" and "$…" are read as hexadecimal.
    std::optional<TColor> backgroundColor() const;
    /// False when the file could not be written.
    bool setBackgroundColor(TColor color);

    /// A stored colour value: decimal, "0x…" (more than two characters) or
    /// "$…" hexadecimal.
    static std::optional<TColor> parseColor(const QString &text);

private:
    QString m_path;
};
