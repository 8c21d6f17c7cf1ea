#include "dateutil.h"

#include "clocksource.h"
#include "datetimetext.h"

#include <algorithm>
#include <cmath>
#include <QLocale>

namespace DateUtil {

namespace {

constexpr int Absent = -2; // the format has no such field
constexpr int Invalid = -1;

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int numberOf(QStringView digits)
{
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), isAsciiDigit))
        return Invalid;
    bool ok = false;
    const int value = digits.toInt(&ok);
    return ok ? value : Invalid;
}

std::optional<DateTime> encode(int year, int month, int day)
{
    // A failed year must fail here: expanding it would make it valid.
    if (year < 0)
        return std::nullopt;
    return tryEncodeDate(expandYear(year), month, day);
}

// The characters of text under the first run of letter in format, blanks
// left out.
int positionalField(QStringView text, QStringView format, QChar letter)
{
    qsizetype i = format.indexOf(letter, 0, Qt::CaseInsensitive);
    if (i < 0)
        return Absent;
    constexpr qsizetype MaxCollected = 20;
    QString collected;
    // A text longer than its format no longer lines up with it.
    if (format.size() >= text.size()) {
        for (; i < text.size() && format[i].toUpper() == letter && collected.size() < MaxCollected; ++i)
            if (text[i] != u' ')
                collected += text[i];
    }
    return numberOf(collected);
}

std::optional<DateTime> readPositional(QStringView text, QStringView format)
{
    const int day = positionalField(text, format, u'D');
    const int month = positionalField(text, format, u'M');
    const int year = positionalField(text, format, u'Y');
    return encode(year == Absent ? ClockSource::currentYear() : year, month, day == Absent ? 1 : day);
}

// Two or three numbers between separators, anything before the first digit
// skipped, blanks allowed after each number.
std::optional<DateTime> readFreeForm(QStringView text, DateFieldOrder order, QChar separator)
{
    qsizetype pos = 0;
    while (pos < text.size() && !isAsciiDigit(text[pos]))
        ++pos;
    int numbers[3];
    int count = 0;
    for (;;) {
        const qsizetype start = pos;
        while (pos < text.size() && isAsciiDigit(text[pos]))
            ++pos;
        numbers[count++] = numberOf(text.sliced(start, pos - start));
        while (pos < text.size() && text[pos] == u' ')
            ++pos;
        if (count == 3 || pos == text.size() || text[pos] != separator)
            break;
        ++pos;
    }
    if (count < 2 || pos < text.size())
        return std::nullopt;

    if (count == 3 && order == DateFieldOrder::YearMonthDay)
        return encode(numbers[0], numbers[1], numbers[2]);
    const bool dayFirst = order == DateFieldOrder::DayMonthYear;
    const int day = numbers[dayFirst ? 0 : 1];
    const int month = numbers[dayFirst ? 1 : 0];
    return encode(count == 3 ? numbers[2] : ClockSource::currentYear(), month, day);
}

QString localeShortDateFormat()
{
    return QLocale().dateFormat(QLocale::ShortFormat);
}

} // namespace

DateFieldOrder dateOrder(QStringView format)
{
    for (QChar c : format) {
        switch (c.toUpper().unicode()) {
        case 'D':
            return DateFieldOrder::DayMonthYear;
        case 'E':
        case 'Y':
            return DateFieldOrder::YearMonthDay;
        case 'M':
            return DateFieldOrder::MonthDayYear;
        default:
            break;
        }
    }
    return DateFieldOrder::DayMonthYear;
}

DateFieldOrder localeDateOrder()
{
    return dateOrder(localeShortDateFormat());
}

QChar localeDateSeparator()
{
    // Some locales write dates with blanks only ("d MMM yyyy"); a blank cannot
    // separate fields whose empty places are blanks too.
    const QChar separator = FormatSettings::current().dateSeparator;
    return separator.isSpace() ? QChar(u'/') : separator;
}

bool localeFourDigitYear()
{
    return localeShortDateFormat().toUpper().contains(QStringLiteral("YYYY"));
}

QString dateFormat(DateFieldOrder order, bool fourDigitYear)
{
    const QString year = fourDigitYear ? QStringLiteral("YYYY") : QStringLiteral("YY");
    switch (order) {
    case DateFieldOrder::MonthDayYear:
        return QStringLiteral("MM/DD/") + year;
    case DateFieldOrder::DayMonthYear:
        return QStringLiteral("DD/MM/") + year;
    case DateFieldOrder::YearMonthDay:
        break;
    }
    return year + QStringLiteral("/MM/DD");
}

int expandYear(int year)
{
    if (year >= 100)
        return year;
    const int current = ClockSource::currentYear();
    const int century = current / 100 * 100;
    const int threshold = current - century + 30 - 100;
    return year > threshold ? year + century : year + century + 100;
}

bool isDateValue(DateTime value)
{
    static const DateTime first = *tryEncodeDate(1, 1, 1);
    static const DateTime last = *tryEncodeDate(9999, 12, 31);
    const DateTime day = std::trunc(value);
    return day >= first && day <= last;
}

std::optional<DateTime> readDate(QStringView text, QStringView format, QChar separator)
{
    if (const auto date = readPositional(text, format))
        return date;
    return readFreeForm(text, dateOrder(format), separator);
}

} // namespace DateUtil
