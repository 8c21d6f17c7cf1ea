#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char **argv)
{
    // Widgets are real but never reach a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Worktally"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
