#pragma once

#include <memory>
#include <QString>
#include <QtGlobal>

class QDialog;
class QWidget;
class PanelStatusBar;
class TStringGrid;

// Printing and the alarm sound bring in Qt Print Support and Qt Multimedia,
// with the print system's and the sound system's libraries behind them.
// Loading those on every start would slow it down for what most sessions
// never use, so their code lives in modules, shared libraries that the
// program loads when they are first needed. A module holds only its own code
// and runs on the program's copy of everything else (the grid, the widgets,
// the worksheet), so that each library exists once in the process; it loads
// only into a program that exports those (CMake: worktally_loads_modules).

/// The print preview with its page printer, and the about window, whose
/// "Print" prints its text.
class PrintingModule
{
public:
    virtual ~PrintingModule() = default;

    /// The preview window, hidden, printing the worksheet in grid with the
    /// totals in the status bar. The program knows it only as a window; the
    /// calls below take it back.
    virtual std::unique_ptr<QWidget> createPrintPreview(const TStringGrid *grid, const PanelStatusBar *totals) = 0;
    /// "Print": the printer set-up, then, unless it was cancelled, the
    /// worksheet in the preview.
    virtual void printWorksheet(QWidget &preview) = 0;
    /// In place of the print dialog, sets the printer up to print into a PDF
    /// file, for tests that print with nobody at the dialog.
    virtual void printIntoFile(QWidget &preview, const QString &pdfFile) = 0;
    virtual std::unique_ptr<QDialog> createAboutBox(const QString &settingsPath, QWidget *parent) = 0;
};

/// The alarm sound.
class SoundModule
{
public:
    virtual ~SoundModule() = default;

    /// Plays a wave file to its end and only then returns; a file that
    /// cannot be played plays nothing.
    virtual void playWaveToEnd(const QString &path) = 0;
};

/// The module in use: the one given to useModule, else the one in the
/// module file found from the executable's folder (moduleFile), loaded at
/// the first call. Raises FileOpenError naming that file when it cannot be
/// loaded; the next call tries again.
PrintingModule &printingModule();
SoundModule &soundModule();

/// For programs that link a module's code in, as the tests do.
void useModule(PrintingModule *module);
void useModule(SoundModule *module);

/// Each module's one entry point, which gives its interface. A program that
/// links a module's code in can call it directly.
extern "C" {
Q_DECL_EXPORT PrintingModule *worktallyPrintingModule();
Q_DECL_EXPORT SoundModule *worktallySoundModule();
}

/// The file names of the modules.
inline constexpr char PrintingModuleFile[] = "worktally-printing.so";
inline constexpr char SoundModuleFile[] = "worktally-sound.so";

/// Loads the module file at path (once per process; later calls give the
/// same module). Raises FileOpenError naming path when it cannot be loaded.
PrintingModule &loadPrintingModule(const QString &path);
SoundModule &loadSoundModule(const QString &path);
