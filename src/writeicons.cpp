// Build-time tool: writes the program icon into an icon theme in the hicolor
// layout, so that the installed PNGs and SVG are the very drawing the
// program shows in its windows. It paints into images only, so it needs no
// display.
//
//   worktally_icons <theme folder> <icon name> <size>...

#include "programicon.h"

#include <cstdio>
#include <QBuffer>
#include <QDir>
#include <QFile>

namespace {

bool write(const QString &folder, const QString &fileName, const QByteArray &bytes)
{
    const QString path = QDir(folder).filePath(fileName);
    QFile file(path);
    if (QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush())
        return true;
    std::fprintf(stderr, "worktally_icons: cannot write %s\n", qPrintable(path));
    return false;
}

QByteArray png(int size)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    programIconImage(size).save(&buffer, "PNG");
    return bytes;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: worktally_icons <theme folder> <icon name> <size>...\n");
        return 2;
    }
    const QDir theme(QFile::decodeName(argv[1]));
    const QString name = QString::fromUtf8(argv[2]);

    bool written
        = write(theme.filePath(QStringLiteral("scalable/apps")), name + QStringLiteral(".svg"), programIconSvg());
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        written
            = write(theme.filePath(QStringLiteral("%1x%1/apps").arg(size)), name + QStringLiteral(".png"), png(size))
            && written;
    }
    return written ? 0 : 1;
}
