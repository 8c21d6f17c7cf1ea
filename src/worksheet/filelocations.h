#pragma once

#include <QString>

/// The folder for what Worktally writes and the user adds: Hourbook.csv and
/// its backup, Worktally.Setup and alarm.wav. A copy that finds Hourbook.csv
/// or Worktally.Setup beside its executable goes on using that folder (a
/// portable copy carried with its files, or one that has always kept them
/// there); every other copy uses the user's data folder, $XDG_DATA_HOME/Worktally,
/// so that neither a rebuild nor an installation the user cannot write to
/// loses them. The user's folder is created when missing; when it cannot be,
/// an error box says so and the folder is given all the same: Worktally runs,
/// but its saves fail until the folder can be made.
QString dataFolder(const QString &executableFolder);

/// The folder dataFolder gives, without creating it: for readers that must
/// leave the disk as they found it.
QString findDataFolder(const QString &executableFolder);

/// Hourbook.csv in dataFolder.
QString worksheetFile(const QString &dataFolder);
/// Worktally.Setup in dataFolder.
QString settingsFile(const QString &dataFolder);
/// DaysOff.csv in dataFolder: the vacation, holidays, sick and flex days.
QString daysOffFile(const QString &dataFolder);
/// Away.pending in dataFolder: the away time still to be asked about.
QString awayPendingFile(const QString &dataFolder);

/// Where a worksheet goes that could not be written where it belongs when
/// a signal ended the program: $XDG_STATE_HOME/Worktally, normally
/// ~/.local/state/Worktally.
QString recoveryFolder();
/// The list, in recoveryFolder(), of those files the next start tells of.
QString recoveryNoticeFile();

/// The help pages: beside the executable in a build tree, else where the
/// installation puts them, ../share/worktally/ from the executable. When
/// neither is there, the one beside the executable, so that a failure names
/// a file.
QString helpFile(const QString &executableFolder);

/// A module of the program (see modules.h): beside the executable in a build
/// tree, else where the installation puts it, ../lib/worktally/ from the
/// executable; when neither is there, the one beside the executable.
QString moduleFile(const QString &executableFolder, const QString &name);
