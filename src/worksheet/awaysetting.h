#pragma once

#include <QString>

/// How long the person may be away from the computer while the stopwatch
/// runs before the program asks about that time: whole minutes, kept in the
/// settings file under [Away], key Minutes. Absent, empty, 0 or a value that
/// does not read as such a number turns the question off.
class AwaySetting
{
public:
    /// What is offered when the user turns the question on.
    static constexpr int OfferedMinutes = 15;
    /// The longest span that can be set: a day.
    static constexpr int MaximumMinutes = 24 * 60;

    /// The stored minutes; 0 when the question is off.
    static int minutes(const QString &settingsPath);
    /// Stores minutes (0 = off, kept as an empty value; a file that never had
    /// the key is left as it is then). False when the file could not be written.
    static bool write(const QString &settingsPath, int minutes);
};
