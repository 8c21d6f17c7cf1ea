#pragma once

#include "pageimage.h"

#include <QLocale>
#include <QProcess>
#include <QString>

/// Sets the default locale for the lifetime of the object.
class LocaleScope
{
public:
    explicit LocaleScope(const QLocale &locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(m_saved); }

    LocaleScope(const LocaleScope &) = delete;
    LocaleScope &operator=(const LocaleScope &) = delete;

private:
    QLocale m_saved;
};

/// Every text with its baseline and font, every line with its pen.
inline QString displayListOf(const PageImage &page)
{
    QString list;
    for (const auto &text : page.texts())
        list += QStringLiteral("%1,%2 %3 %4 %5|")
                    .arg(text.origin.x(), 0, 'g', 17)
                    .arg(text.origin.y(), 0, 'g', 17)
                    .arg(text.font.family())
                    .arg(text.font.pixelSize())
                    .arg(text.text);
    for (const auto &line : page.lines())
        list += QStringLiteral("%1,%2-%3,%4/%5|")
                    .arg(line.from.x())
                    .arg(line.from.y())
                    .arg(line.to.x())
                    .arg(line.to.y())
                    .arg(line.penWidth);
    return list;
}

/// Texts the printout of the worked example shows: headings, rows and totals.
inline const char *const WorkedExamplePrintedTexts[] = {"Work began:", "Work ended:", "Remark:", "01-12-98 08:00",
    "02-12-98 21:15", "-02:54", "+00:51", "Result for the period:", "Actual Workhours:", "12:45",
    "Nominal Workhours:", "-14:48", "Difference (total for period):", "-02:03"};

/// What program (pdftotext, pdfinfo) writes to its standard output.
inline QByteArray programOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return process.readAllStandardOutput();
}
