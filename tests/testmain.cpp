#include "applicationname.h"
#include "desktopfonts.h"
#include "modules.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    // Widgets are real but never reach a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A runtime folder of its own, so that the single-instance lock of the
    // tests never meets that of a Worktally the user is running; and a data
    // home of its own, so that no test reaches the user's worksheet, nor the
    // user's state folder with the worksheets saved by a signalled exit.
    QTemporaryDir runtime, dataHome, stateHome;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome.path()));
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication app(argc, argv);
    nameApplication(); // as the program names itself
    // The windows are measured with the fonts the program uses.
    registerDesktopFonts();
    // The modules' code is linked in, and used without the module files.
    useModule(worktallyPrintingModule());
    useModule(worktallySoundModule());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
