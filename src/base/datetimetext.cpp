#include "datetimetext.h"

#include "clocksource.h"
#include "errors.h"

#include <QLocale>

namespace {

// A small cursor over the text being read; all readers share its rules.
struct Scanner
{
    QStringView text;
    qsizetype pos = 0;

    bool atEnd() const { return pos >= text.size(); }
    QChar peek() const { return atEnd() ? QChar() : text[pos]; }

    void skipBlanks()
    {
        while (!atEnd() && text[pos] == u' ')
            ++pos;
    }

    bool take(QChar c)
    {
        if (peek() != c)
            return false;
        ++pos;
        return true;
    }

    // Reads one to maxDigits decimal digits; digitCount tells how many.
    bool number(int &value, int &digitCount, int maxDigits = 4)
    {
        value = 0;
        digitCount = 0;
        while (!atEnd() && text[pos].isDigit() && text[pos].unicode() < 128) {
            if (++digitCount > maxDigits)
                return false;
            value = value * 10 + (text[pos].unicode() - '0');
            ++pos;
        }
        return digitCount > 0;
    }
};

bool scanTime(Scanner &s, DateTime &time)
{
    int hour, minute, second = 0, digits;
    if (!s.number(hour, digits) || !s.take(u':') || !s.number(minute, digits))
        return false;
    if (s.take(u':') && !s.number(second, digits))
        return false;
    const auto t = tryEncodeTime(hour, minute, second);
    if (!t)
        return false;
    time = *t;
    return true;
}

bool scanDate(Scanner &s, int century, DateTime &date)
{
    int day, month, year, digits;
    if (!s.number(day, digits) || !s.take(u'-') || !s.number(month, digits) || !s.take(u'-') || !s.number(year, digits))
        return false;
    if (digits <= 2)
        year += century;
    const auto d = tryEncodeDate(year, month, day);
    if (!d)
        return false;
    date = *d;
    return true;
}

// A spreadsheet's date: year first when the first number has four digits,
// otherwise day first; "-" only year first, as day first it is the
// worksheet's own form.
bool scanSpreadsheetDate(Scanner &s, int century, DateTime &date)
{
    int first, month, last, firstDigits, digits, lastDigits;
    if (!s.number(first, firstDigits))
        return false;
    const QChar separator = s.peek();
    if (separator != u'/' && separator != u'.' && !(separator == u'-' && firstDigits == 4))
        return false;
    ++s.pos;
    if (!s.number(month, digits, 2) || !s.take(separator) || !s.number(last, lastDigits))
        return false;
    const bool yearFirst = firstDigits == 4;
    if (yearFirst ? lastDigits > 2 : lastDigits != 2 && lastDigits != 4)
        return false;
    const int year = yearFirst ? first : lastDigits == 2 ? century + last : last;
    const auto d = tryEncodeDate(year, month, yearFirst ? last : first);
    if (!d)
        return false;
    date = *d;
    return true;
}

// A spreadsheet's time: two minute digits, and two second digits, dropped.
bool scanSpreadsheetTime(Scanner &s, DateTime &time)
{
    int hour, minute, second = 0, digits;
    if (!s.number(hour, digits, 2) || !s.take(u':') || !s.number(minute, digits, 2) || digits != 2)
        return false;
    if (s.take(u':') && (!s.number(second, digits, 2) || digits != 2 || second > 59))
        return false;
    const auto t = tryEncodeTime(hour, minute, 0);
    if (!t)
        return false;
    time = *t;
    return true;
}

// Leading and trailing blanks are allowed around the whole text, never inside
// a field or around a separator.
bool finished(Scanner &s)
{
    s.skipBlanks();
    return s.atEnd();
}

void appendTwoDigits(QString &out, int value)
{
    out.append(QChar(u'0' + value / 10 % 10));
    out.append(QChar(u'0' + value % 10));
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

int currentCentury()
{
    return ClockSource::currentYear() / 100 * 100;
}

namespace {

// The whole text as scan reads it, with blanks allowed around it.
template<typename Scan> std::optional<DateTime> scanWhole(QStringView text, Scan scan)
{
    Scanner s {text};
    s.skipBlanks();
    DateTime value;
    if (!scan(s, value) || !finished(s))
        return std::nullopt;
    return value;
}

// A date, then a time after blanks (or, where spreadsheets write one, a "T");
// without a time, midnight.
template<typename ScanDate, typename ScanTime>
bool scanDateAndTime(Scanner &s, DateTime &value, ScanDate scanDate, ScanTime scanTime, bool timeAfterT)
{
    DateTime date, time = 0;
    if (!scanDate(s, date))
        return false;
    const qsizetype afterDate = s.pos;
    if (!(timeAfterT && s.take(u'T')))
        s.skipBlanks();
    if (s.pos > afterDate && !s.atEnd() && !scanTime(s, time))
        return false;
    value = combineDateAndTime(date, time);
    return true;
}

} // namespace

std::optional<DateTime> tryParseDate(QStringView text, int century)
{
    return scanWhole(text, [century](Scanner &s, DateTime &date) { return scanDate(s, century, date); });
}

std::optional<DateTime> tryParseTime(QStringView text)
{
    return scanWhole(text, scanTime);
}

std::optional<DateTime> tryParseDateTime(QStringView text, int century)
{
    return scanWhole(text, [century](Scanner &s, DateTime &value) {
        return scanDateAndTime(
            s, value, [century](Scanner &s, DateTime &date) { return scanDate(s, century, date); }, scanTime, false);
    });
}

std::optional<DateTime> tryParseSpreadsheetDate(QStringView text, int century)
{
    return scanWhole(
        text, [century](Scanner &s, DateTime &date) { return scanSpreadsheetDate(s, century, date); });
}

std::optional<DateTime> tryParseSpreadsheetTime(QStringView text)
{
    return scanWhole(text, scanSpreadsheetTime);
}

std::optional<DateTime> tryParseSpreadsheetDateTime(QStringView text, int century)
{
    return scanWhole(text, [century](Scanner &s, DateTime &value) {
        return scanDateAndTime(
            s, value, [century](Scanner &s, DateTime &date) { return scanSpreadsheetDate(s, century, date); },
            scanSpreadsheetTime, true);
    });
}

DateTime parseDate(QStringView text)
{
    if (const auto v = tryParseDate(text, currentCentury()))
        return *v;
    throw ConversionError::invalidDate(text);
}

DateTime parseTime(QStringView text)
{
    if (const auto v = tryParseTime(text))
        return *v;
    throw ConversionError::invalidTime(text);
}

DateTime parseDateTime(QStringView text)
{
    if (const auto v = tryParseDateTime(text, currentCentury()))
        return *v;
    throw ConversionError::invalidDateTime(text);
}

QString formatDateText(DateTime value)
{
    const CalendarDate d = decodeDate(value);
    QString out;
    out.reserve(8);
    appendTwoDigits(out, d.day);
    out.append(u'-');
    appendTwoDigits(out, d.month);
    out.append(u'-');
    appendTwoDigits(out, d.year % 100);
    return out;
}

TimeText timeText(DateTime value)
{
    const TimeOfDay t = decodeTime(value);
    return {{QChar(u'0' + t.hour / 10), QChar(u'0' + t.hour % 10), QChar(u':'), QChar(u'0' + t.minute / 10),
        QChar(u'0' + t.minute % 10)}};
}

QString formatTimeText(DateTime value)
{
    return timeText(value).view().toString();
}

QString formatDateTimeText(DateTime value)
{
    return formatDateText(value) + u' ' + formatTimeText(value);
}

QString formatMinuteTotal(qint64 minutes)
{
    const qint64 magnitude = minutes < 0 ? -minutes : minutes;
    const qint64 hours = magnitude / 60;
    QString out = hours < 10 ? QStringLiteral("0") + QString::number(hours) : QString::number(hours);
    out.append(u':');
    appendTwoDigits(out, int(magnitude % 60));
    return out;
}

std::optional<qint32> tryParseInteger(QStringView text)
{
    Scanner s {text};
    s.skipBlanks();
    bool negative = false;
    if (s.take(u'-'))
        negative = true;
    else
        s.take(u'+');

    qint64 value = 0;
    int digits = 0;
    bool hex = s.take(u'$');
    if (!hex && s.peek() == u'0' && s.pos + 1 < text.size() && (text[s.pos + 1] == u'x' || text[s.pos + 1] == u'X')) {
        hex = true;
        s.pos += 2;
    }
    if (hex) {
        for (int d; !s.atEnd() && (d = hexDigit(s.peek())) >= 0; ++s.pos, ++digits) {
            value = value * 16 + d;
            if (value > 0xFFFFFFFFLL)
                return std::nullopt;
        }
        value = qint32(quint32(value)); // $FFFFFFFF reads as -1, as 32-bit hex does
    } else {
        for (; !s.atEnd() && s.peek().unicode() >= '0' && s.peek().unicode() <= '9'; ++s.pos, ++digits) {
            value = value * 10 + (s.peek().unicode() - '0');
            if (value > 0x80000000LL)
                return std::nullopt;
        }
    }
    if (digits == 0 || !s.atEnd())
        return std::nullopt;
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return qint32(value);
}

qint32 parseInteger(QStringView text)
{
    if (const auto v = tryParseInteger(text))
        return *v;
    throw ConversionError::invalidInteger(text);
}

namespace {
// Default separators and formats with the month and day names of locale.
FormatSettings withNamesOf(const QLocale &locale)
{
    FormatSettings s;
    for (int i = 1; i <= 12; ++i) {
        s.shortMonthNames << locale.monthName(i, QLocale::ShortFormat);
        s.longMonthNames << locale.monthName(i, QLocale::LongFormat);
    }
    for (int i = 1; i <= 7; ++i) {
        s.shortDayNames << locale.dayName(i, QLocale::ShortFormat);
        s.longDayNames << locale.dayName(i, QLocale::LongFormat);
    }
    return s;
}
} // namespace

FormatSettings FormatSettings::worksheet()
{
    return withNamesOf(QLocale::c());
}

FormatSettings FormatSettings::current()
{
    const QLocale locale;
    FormatSettings s = withNamesOf(locale);
    s.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    s.dateSeparator = u'/';
    for (QChar c : std::as_const(s.shortDateFormat)) {
        if (!c.isLetter() && c != u'\'') {
            s.dateSeparator = c;
            break;
        }
    }
    const QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
    s.timeSeparator = u':';
    for (QChar c : timeFormat) {
        if (!c.isLetter() && !c.isSpace()) {
            s.timeSeparator = c;
            break;
        }
    }
    s.amText = locale.amText();
    s.pmText = locale.pmText();
    return s;
}

QString formatDateTime(QStringView format, DateTime value, const FormatSettings &settings)
{
    const CalendarDate date = decodeDate(value);
    const TimeOfDay time = decodeTime(value);
    const int weekday = dayOfWeek(value);
    const bool twelveHour = format.contains(u"ampm", Qt::CaseInsensitive);

    QString out;
    bool afterHour = false; // "m" right after an hour is a minute
    qsizetype i = 0;
    const qsizetype n = format.size();
    auto runLength = [&](QChar c) {
        qsizetype k = i;
        while (k < n && format[k].toLower() == c)
            ++k;
        return k - i;
    };
    auto number = [&out](int value, bool twoDigits) {
        if (twoDigits)
            appendTwoDigits(out, value);
        else
            out.append(QString::number(value));
    };

    while (i < n) {
        const QChar c = format[i].toLower();
        if (format.mid(i, 4).compare(u"ampm", Qt::CaseInsensitive) == 0) {
            out.append(time.hour < 12 ? settings.amText : settings.pmText);
            i += 4;
            continue;
        }
        if (format[i] == u'"' || format[i] == u'\'') {
            const QChar quote = format[i];
            qsizetype end = format.indexOf(quote, i + 1);
            if (end < 0)
                end = n;
            out.append(format.mid(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        const qsizetype len
            = (c == u'd' || c == u'm' || c == u'y' || c == u'h' || c == u'n' || c == u's') ? runLength(c) : 1;
        switch (c.unicode()) {
        case 'd':
            if (len <= 2)
                number(date.day, len == 2);
            else
                out.append(
                    len == 3 ? settings.shortDayNames.value(weekday - 1) : settings.longDayNames.value(weekday - 1));
            afterHour = false;
            break;
        case 'm':
            if (afterHour && len <= 2)
                number(time.minute, len == 2);
            else if (len <= 2)
                number(date.month, len == 2);
            else
                out.append(len == 3 ? settings.shortMonthNames.value(date.month - 1)
                                    : settings.longMonthNames.value(date.month - 1));
            afterHour = false;
            break;
        case 'y':
            if (len <= 2)
                appendTwoDigits(out, date.year % 100);
            else
                out.append(QString::number(date.year).rightJustified(4, u'0'));
            afterHour = false;
            break;
        case 'h': {
            int hour = time.hour;
            if (twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            number(hour, len >= 2);
            afterHour = true;
            break;
        }
        case 'n':
            number(time.minute, len >= 2);
            afterHour = false;
            break;
        case 's':
            number(time.second, len >= 2);
            afterHour = false;
            break;
        case '/':
            out.append(settings.dateSeparator);
            break;
        case ':':
            out.append(settings.timeSeparator);
            break;
        default:
            out.append(format[i]);
            break;
        }
        i += len;
    }
    return out;
}
