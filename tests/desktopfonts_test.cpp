#include "desktopfonts.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>

// The test program registers the fonts as the program does, at its start.
TEST(DesktopFonts, TheWindowsFamiliesComeFromFontsWinesFolderAndNoOthers)
{
    if (!QDir(QString::fromLatin1(WineFontFolder)).exists())
        GTEST_SKIP() << "fonts-wine is not installed";
    for (const QString family : {"Tahoma", "MS Sans Serif"}) {
        QFont bold(family);
        bold.setBold(true);
        EXPECT_EQ(QFontInfo(QFont(family)).family(), family);
        EXPECT_EQ(QFontInfo(bold).family(), family);
    }
    const QStringList families = QFontDatabase::families();
    for (const char *other : {"Marlett", "Webdings", "Wingdings", "Small Fonts"})
        EXPECT_FALSE(families.contains(QLatin1String(other))) << other;
}
