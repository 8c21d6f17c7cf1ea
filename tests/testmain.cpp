#include "accessibility.h"
#include "applicationname.h"
#include "desktopfonts.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char **argv)
{
    // Widgets are real but never reach a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PrivateFolders folders;
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication app(argc, argv);
    nameApplication(); // as the program names itself
    installAccessibility();
    // The windows are measured with the fonts the program uses.
    registerDesktopFonts();
    setUpModules();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
