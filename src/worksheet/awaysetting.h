#pragma once

#include <QString>

/// The away time setting in Worktally.Setup, section [Away], key Minutes:
/// the whole minutes without input after which the person counts as away
/// while the stopwatch runs.
class AwaySetting
{
public:
    /// The minutes set; 0 (off) when the file, the key or a positive whole
    /// number is missing.
    static int minutes(const QString &settingsPath);
};
