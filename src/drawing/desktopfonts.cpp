#include "desktopfonts.h"

#include <algorithm>
#include <fontconfig/fontconfig.h>
#include <QDir>
#include <QFontDatabase>

namespace {

// The name in lower case without blanks and underscores: fonts-wine names
// its files after their families (tahoma.ttf, tahomabd.ttf, ms_sans_serif.ttf).
QString squeezed(QString name)
{
    name.remove(u' ');
    name.remove(u'_');
    return name.toLower();
}

} // namespace

void registerDesktopFonts(const QString &folder)
{
    // Listing the families costs little more than the first text drawn,
    // which reads fontconfig's whole font list anyway; matching a family
    // would open a font file for each one asked.
    const QStringList installed = QFontDatabase::families();
    QStringList missing;
    for (const QString &family : {QStringLiteral("Tahoma"), QStringLiteral("MS Sans Serif")})
        if (!installed.contains(family, Qt::CaseInsensitive))
            missing << family;
    if (missing.isEmpty())
        return;
    auto isMissing = [&](const QString &family) { return missing.contains(family, Qt::CaseInsensitive); };
    // The folder holds other Windows families too (Symbol, Marlett, System …);
    // only those asked for join the font list, where the font chooser would
    // show them and fontconfig could fall back on them. Opening a font file
    // costs, so only the files named after one of them are read.
    for (const QFileInfo &file : QDir(folder).entryInfoList({QStringLiteral("*.ttf")}, QDir::Files)) {
        const QString name = squeezed(file.completeBaseName());
        if (std::ranges::none_of(missing, [&](const QString &family) { return name.startsWith(squeezed(family)); }))
            continue;
        const int id = QFontDatabase::addApplicationFont(file.filePath());
        // A file may be named after a family it does not hold.
        if (std::ranges::none_of(QFontDatabase::applicationFontFamilies(id), isMissing))
            QFontDatabase::removeApplicationFont(id);
    }
}

FontconfigPreload::FontconfigPreload()
    : m_reading(FcInit)
{ }

FontconfigPreload::~FontconfigPreload()
{
    wait();
}

void FontconfigPreload::wait()
{
    if (m_reading.joinable())
        m_reading.join();
}
