#include "accessibility.h"
#include "applicationname.h"
#include "commandline.h"
#include "desktopawaydetector.h"
#include "desktopfonts.h"
#include "filelocations.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "stopwatchservice.h"
#include "unixsignals.h"
#include "worksheetpreload.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <QApplication>
#include <QClipboard>

int main(int argc, char *argv[])
{
    // Asked on the command line, Worktally only prints the answer: no window,
    // no lock against a second copy, no reading ahead.
    if (wantsCommandLine(argc, argv))
        return runCommandLine(argc, argv);
    // Beyond a file-size limit (ulimit -f) a write is to fail, so that the
    // save reports it and the previous file stays, rather than the program
    // being killed half way through a save with the session unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
    FontconfigPreload fontconfig;
    QtArguments qtArguments(argc, argv);
    QApplication app(qtArguments.argc(), qtArguments.argv());
    nameApplication();
    // Ties the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(WORKTALLY_APP_ID));
    // Worktally ends by its own exit path, which saves the worksheet, never
    // because its last window closed (the main window may sit in the tray).
    QApplication::setQuitOnLastWindowClosed(false);
    installMessageBoxes();
    installAccessibility();
    // Logging out, kill or Ctrl+C leave by the same door as the Exit button,
    // so the worksheet is saved. The signals are caught from before the
    // window is built; one that comes meanwhile is acted on once it is.
    UnixSignalWatcher termination({SIGTERM, SIGINT, SIGHUP});
    TForm1 *window = nullptr;
    bool signalledEarly = false;
    QObject::connect(&termination, &UnixSignalWatcher::received, [&] {
        if (window)
            window->closeOnSignal();
        else
            signalledEarly = true;
    });
    const QString folder = dataFolder(QApplication::applicationDirPath());
    // Read on a second core while the fonts and the window are being made
    // (a large worksheet once the window is painted). A second copy, which
    // ends before its window loads anything, never uses what was read.
    WorksheetPreload worksheet(worksheetFile(folder));
    fontconfig.wait();
    registerDesktopFonts();

    TForm1 form(folder, worksheet);
    if (form.isEnding()) // a copy was already running
        return 0;
    window = &form;
    // Panels and the command line start and stop it over the session bus;
    // without one, the window runs on its own.
    auto *stopwatch = new StopwatchService(form);
    stopwatch->registerOnSessionBus();
    form.setAwayDetectorMaker([] { return makeDesktopAwayDetector(nullptr); });
    if (signalledEarly)
        QMetaObject::invokeMethod(&form, &TForm1::closeOnSignal, Qt::QueuedConnection);
    form.show();
    const int exitCode = app.exec();
    // The event loop ends only by the exit path, once the worksheet is saved
    // (or the user chose to leave it unsaved). Freeing a big worksheet's rows
    // and tearing Qt down would then keep the user, or the logout, waiting
    // for nothing: the kernel frees the memory and drops the single-instance
    // lock, and the X server removes the windows and the tray icon with the
    // connection. Only text left on the clipboard needs Qt's teardown, which
    // hands it to the desktop's clipboard manager.
    if (!QGuiApplication::clipboard()->ownsClipboard()) {
        std::fflush(nullptr);
        std::_Exit(exitCode);
    }
    return exitCode;
}
