#include "localedates.h"

#include "datetimetext.h"

#include <QLocale>

QString displayPatternOf(const QString &localeFormat)
{
    QString out;
    for (qsizetype i = 0; i < localeFormat.size(); ++i) {
        const QChar c = localeFormat[i];
        if (c == u'\'') { // a quoted literal goes over unchanged
            const qsizetype end = localeFormat.indexOf(u'\'', i + 1);
            const qsizetype stop = end < 0 ? localeFormat.size() : end + 1;
            out.append(QStringView(localeFormat).mid(i, stop - i));
            i = stop - 1;
        } else if (c == u'a' || c == u'A') {
            out.append(QStringLiteral("ampm"));
            if (i + 1 < localeFormat.size() && localeFormat[i + 1].toLower() == u'p')
                ++i;
        } else if (c == u't' || c == u'z') {
            while (out.endsWith(u' ')) // with the blank that set it apart
                out.chop(1);
        } else {
            out.append(c);
        }
    }
    return out;
}

namespace {

QString localeText(const QString &localeFormat, DateTime value)
{
    return formatDateTime(displayPatternOf(localeFormat), value, FormatSettings::current());
}

} // namespace

QString shortDateText(DateTime value)
{
    return localeText(QLocale().dateFormat(QLocale::ShortFormat), value);
}

QString longDateText(DateTime value)
{
    return localeText(QLocale().dateFormat(QLocale::LongFormat), value);
}

QString shortTimeText(DateTime value)
{
    return localeText(QLocale().timeFormat(QLocale::ShortFormat), value);
}

QString longTimeText(DateTime value)
{
    return localeText(QLocale().timeFormat(QLocale::LongFormat), value);
}
