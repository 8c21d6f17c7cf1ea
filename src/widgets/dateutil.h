#pragma once

#include "datetime.h"

#include <initializer_list>
#include <optional>
#include <QChar>
#include <QString>

enum class DateFieldOrder { MonthDayYear, DayMonthYear, YearMonthDay };

enum TDayOfWeekName { Sun, Mon, Tue, Wed, Thu, Fri, Sat };

/// A set of days of the week.
class TDaysOfWeek
{
public:
    constexpr TDaysOfWeek() = default;
    constexpr TDaysOfWeek(std::initializer_list<TDayOfWeekName> days)
    {
        for (TDayOfWeekName day : days)
            m_bits |= 1u << day;
    }
    constexpr bool contains(TDayOfWeekName day) const { return m_bits & (1u << day); }
    constexpr bool operator==(const TDaysOfWeek &) const = default;

private:
    unsigned m_bits = 0;
};

// The date rules the date edits and calendars share. In formats, "/" stands
// for the date separator and D, M and Y (any case) for the fields.
namespace DateUtil {

/// The value of "no date".
constexpr DateTime NullDate = 0.0;

/// The order of the fields in a format: the first D, M, or E/Y decides.
DateFieldOrder dateOrder(QStringView format);
/// Order, separator and year width of the default locale's short date format.
DateFieldOrder localeDateOrder();
QChar localeDateSeparator();
bool localeFourDigitYear();

/// "DD/MM/YY", "MM/DD/YYYY", "YY/MM/DD" … for an order and year width.
QString dateFormat(DateFieldOrder order, bool fourDigitYear);

/// A year below 100 moved into a century around the current year: from 2000
/// to 2069 that is the current century, later the window slides up to 30
/// years ahead (in 1999, 30…99 are 1930…1999 and 0…29 are 2000…2029).
int expandYear(int year);

/// Whether the whole-day part of value is a day of the years 1 to 9999.
bool isDateValue(DateTime value);

/// Reads text laid out by format, or failing that a free-form date whose
/// fields are separated by separator and follow the format's order.
std::optional<DateTime> readDate(QStringView text, QStringView format, QChar separator);

} // namespace DateUtil
