#include "desktopfonts.h"
#include "filelocations.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "unixsignals.h"

#include <csignal>
#include <QApplication>

int main(int argc, char *argv[])
{
    // Beyond a file-size limit (ulimit -f) a write is to fail, so that the
    // save reports it and the previous file stays, rather than the program
    // being killed half way through a save with the session unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Worktally"));
    QApplication::setApplicationDisplayName(QStringLiteral("Worktally"));
    // Ties the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(WORKTALLY_APP_ID));
    // Worktally ends by its own exit path, which saves the worksheet, never
    // because its last window closed (the main window may sit in the tray).
    QApplication::setQuitOnLastWindowClosed(false);
    installMessageBoxes();
    registerDesktopFonts();

    TForm1 form(dataFolder(QApplication::applicationDirPath()));
    if (form.isEnding()) // a copy was already running
        return 0;
    // Logging out, kill or Ctrl+C leave by the same door as the Exit button,
    // so the worksheet is saved.
    UnixSignalWatcher termination({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&termination, &UnixSignalWatcher::received, &form, &TForm1::close);
    form.show();
    return app.exec();
}
