#include "samplefiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

QString dataFolder()
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-data");
    QDir().mkpath(folder);
    return folder;
}

static QString two(int v)
{
    return QString::number(v).rightJustified(2, u'0');
}

// A worksheet as the program saves it: periods of 4 to 9 hours over
// consecutive days with their differences, one note in three with commas and
// quotes.
QString sampleFile(int rows)
{
    const QString path = dataFolder() + QStringLiteral("/worksheet_%1.csv").arg(rows);
    if (QFile::exists(path))
        return path;
    QByteArray bytes;
    bytes.reserve(qsizetype(rows) * 120);
    for (int i = 0; i < rows; ++i) {
        const QString date = two(1 + i % 28) + u'-' + two(1 + i / 28 % 12) + u'-' + two(i / 336 % 100);
        const int startHour = 7 + i % 3;
        const int minutes = 240 + (i * 37) % 300;
        const int endHour = startHour + minutes / 60;
        const QString note = i % 3 == 0 ? QStringLiteral("Customer call, \"urgent\" fix #%1").arg(i) : QString();
        const int diff = minutes - (7 * 60 + 24);
        const QString diffText = (diff < 0 ? u'-' : u'+') + two(std::abs(diff) / 60) + u':' + two(std::abs(diff) % 60);
        const QString line
            = QStringLiteral("\"%1 %2:00\",\"%1 %3:%4\",\"%5:%4\",\"\",\"%1\",\"07:24\",\"\",\"%6\",\"%7\"\r\n")
                  .arg(date, two(startHour), two(endHour), two(minutes % 60), two(minutes / 60), diffText,
                      QString(note).replace(u'"', QStringLiteral("\"\"")));
        bytes += line.toUtf8();
    }
    bytes += "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n";
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}
