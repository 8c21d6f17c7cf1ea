#include "desktopfonts.h"

#include <QDir>
#include <QFontDatabase>
#include <QRawFont>

void registerDesktopFonts(const QString &folder)
{
    QStringList missing;
    for (const QString &family : {QStringLiteral("Tahoma"), QStringLiteral("MS Sans Serif")})
        if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive))
            missing << family;
    if (missing.isEmpty())
        return;
    // The folder holds other Windows families too (Symbol, Marlett, System …);
    // only those asked for join the font list, where the font chooser would
    // show them and fontconfig could fall back on them.
    for (const QFileInfo &file : QDir(folder).entryInfoList({QStringLiteral("*.ttf")}, QDir::Files)) {
        // A raw font reads the family name without registering the file.
        if (missing.contains(QRawFont(file.filePath(), 12).familyName(), Qt::CaseInsensitive))
            QFontDatabase::addApplicationFont(file.filePath());
    }
}
