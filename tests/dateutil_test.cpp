#include "clocksource.h"
#include "dateutil.h"
#include "testsupport.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace DateUtil;

namespace {

DateTime date(int year, int month, int day)
{
    return *tryEncodeDate(year, month, day);
}

QDateTime inYear(int year)
{
    return QDateTime(QDate(year, 6, 15), QTime(12, 0));
}

std::optional<DateTime> read(const char16_t *text, const char16_t *format = u"DD/MM/YY", QChar separator = u'-')
{
    return readDate(QStringView(text), QStringView(format), separator);
}

} // namespace

TEST(DateUtil, OrderIsThatOfTheFirstFieldLetter)
{
    EXPECT_EQ(dateOrder(u"dd/MM/yyyy"), DateFieldOrder::DayMonthYear);
    EXPECT_EQ(dateOrder(u"M/d/yy"), DateFieldOrder::MonthDayYear);
    EXPECT_EQ(dateOrder(u"ee/mm/dd"), DateFieldOrder::YearMonthDay);
    EXPECT_EQ(dateOrder(u"--"), DateFieldOrder::DayMonthYear);
}

TEST(DateUtil, TwoDigitYearsFallAroundTheCurrentYear)
{
    FixedClock clock(inYear(1999));
    EXPECT_EQ(expandYear(98), 1998);
    EXPECT_EQ(expandYear(30), 1930);
    EXPECT_EQ(expandYear(29), 2029);
    EXPECT_EQ(expandYear(100), 100);
    clock.set(inYear(2026));
    EXPECT_EQ(expandYear(98), 2098);
    EXPECT_EQ(expandYear(0), 2000);
    // From 2070 on the window slides into the next century.
    clock.set(inYear(2075));
    EXPECT_EQ(expandYear(6), 2006);
    EXPECT_EQ(expandYear(5), 2105);
}

TEST(DateUtil, ReadsByThePlacesOfTheFormat)
{
    FixedClock clock(inYear(2026));
    EXPECT_EQ(read(u"08-12-98"), date(2098, 12, 8));
    EXPECT_EQ(read(u" 8- 1-26"), date(2026, 1, 8));
    EXPECT_EQ(read(u"12/08/98", u"MM/DD/YY", u'/'), date(2098, 12, 8));
    EXPECT_EQ(read(u"1998.12.08", u"YYYY/MM/DD", u'.'), date(1998, 12, 8));
    EXPECT_EQ(read(u"29-02-00"), date(2000, 2, 29));
    for (const char16_t *text : {u"  -  -  ", u"08-12-  ", u"31-04-26", u"29-02-01", u"00-12-26", u"0a-12-26", u""})
        EXPECT_FALSE(read(text)) << QString::fromUtf16(text).toStdString();
}

TEST(DateUtil, FallsBackToNumbersBetweenSeparators)
{
    FixedClock clock(inYear(2026));
    EXPECT_EQ(read(u"8-12-98"), date(2098, 12, 8));
    EXPECT_EQ(read(u"8 -12 -1998 "), date(1998, 12, 8));
    EXPECT_EQ(read(u"08-12-1998"), date(1998, 12, 8)); // too long for the places
    // Two numbers are a day of the current year, in the format's order.
    EXPECT_EQ(read(u"8-12"), date(2026, 12, 8));
    EXPECT_EQ(read(u"12/8", u"MM/DD/YY", u'/'), date(2026, 12, 8));
    EXPECT_EQ(read(u"98/12/8", u"YY/MM/DD", u'/'), date(2098, 12, 8));
    EXPECT_FALSE(read(u"8-12-98x"));
    EXPECT_FALSE(read(u"8-12-"));
}

TEST(DateUtil, DateValuesSpanTheYearsOneTo9999)
{
    EXPECT_TRUE(isDateValue(date(1, 1, 1)));
    EXPECT_FALSE(isDateValue(date(1, 1, 1) - 1));
    EXPECT_TRUE(isDateValue(date(9999, 12, 31) + 0.5));
    EXPECT_FALSE(isDateValue(date(9999, 12, 31) + 1));
    EXPECT_FALSE(isDateValue(std::nan("")));
}
