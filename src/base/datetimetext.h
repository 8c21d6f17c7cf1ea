#pragma once

#include "datetime.h"

#include <optional>
#include <QString>
#include <QStringList>

// The worksheet's text forms: "dd-mm-yy hh:mm" for the start and end of a
// period, "dd-mm-yy" for dates and "hh:mm" for durations and times of day.
// They are fixed (day first, "-" and ":") whatever the machine's locale says,
// so that Hourbook.csv reads the same everywhere.

/// The century that two-digit years are read into: that of the current date,
/// so "98" read in 2026 is 2098.
int currentCentury();

std::optional<DateTime> tryParseDate(QStringView text, int century);
std::optional<DateTime> tryParseTime(QStringView text);
/// A date, optionally followed by blanks and a time of day.
std::optional<DateTime> tryParseDateTime(QStringView text, int century);

/// The forms spreadsheets write dates and times back in, for texts that do
/// not read in the worksheet's own forms: a date year first (2026/12/01,
/// 2026-12-01, 2026.12.01) or day first with "/" or "." (01/12/2026, 01.12.26),
/// a time of one or two hour digits with seconds or without (8:00:00), and a
/// date and time apart by blanks or a "T". Seconds are dropped: the worksheet
/// counts whole minutes.
std::optional<DateTime> tryParseSpreadsheetDate(QStringView text, int century);
std::optional<DateTime> tryParseSpreadsheetTime(QStringView text);
/// A date, optionally followed by a time of day.
std::optional<DateTime> tryParseSpreadsheetDateTime(QStringView text, int century);

/// The throwing forms raise ConversionError with the user-facing message.
DateTime parseDate(QStringView text);
DateTime parseTime(QStringView text);
DateTime parseDateTime(QStringView text);

QString formatDateTimeText(DateTime value); // dd-mm-yy hh:mm
QString formatDateText(DateTime value); // dd-mm-yy
QString formatTimeText(DateTime value); // hh:mm (the time of day of value)

/// "hh:mm" kept on the stack, for loops over many rows.
struct TimeText
{
    QChar chars[5];
    QStringView view() const { return QStringView(chars, 5); }
};
TimeText timeText(DateTime value);

/// A signed count of minutes as at least two hour digits, ":" and two minute
/// digits, without the sign: 425 gives "07:05", 6000 gives "100:00".
QString formatMinuteTotal(qint64 minutes);

/// A whole number: optional leading blanks, an optional sign, then decimal
/// digits or "$"/"0x" and hexadecimal digits; nothing may follow.
std::optional<qint32> tryParseInteger(QStringView text);
qint32 parseInteger(QStringView text);

/// Names and separators used by the display format codes.
struct FormatSettings
{
    QChar dateSeparator = u'-';
    QChar timeSeparator = u':';
    QString shortDateFormat = QStringLiteral("dd-mm-yy");
    QStringList shortMonthNames; // January first
    QStringList longMonthNames;
    QStringList shortDayNames; // Monday first, as QDate counts
    QStringList longDayNames;
    QString amText = QStringLiteral("AM");
    QString pmText = QStringLiteral("PM");

    /// English names with the worksheet's separators.
    static FormatSettings worksheet();
    /// Names, separators and short date format of the default locale (the
    /// machine's, unless the program set another).
    static FormatSettings current();
};

/// Formats value by the display format codes: d dd ddd dddd, m mm mmm mmmm,
/// yy yyyy, h hh, n nn, s ss, ampm (12-hour clock), "/" and ":" for the
/// separators, quoted literals; m or mm right after an hour means minutes.
/// Any other character is copied.
QString formatDateTime(QStringView format, DateTime value, const FormatSettings &settings);
