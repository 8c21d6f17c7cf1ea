#include "clocksource.h"
#include "datetimetext.h"
#include "errors.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {
const QDateTime Monday(QDate(2026, 12, 7), QTime(14, 5));

DateTime at(int y, int mo, int d, int h = 0, int mi = 0)
{
    return combineDateAndTime(*tryEncodeDate(y, mo, d), *tryEncodeTime(h, mi));
}
} // namespace

TEST(WorksheetText, TwoDigitYearsFallIntoTheCurrentCentury)
{
    FixedClock clock(Monday);
    EXPECT_EQ(parseDateTime(u"08-12-98 14:05"), at(2098, 12, 8, 14, 5));
    EXPECT_EQ(parseDate(u"01-12-26"), at(2026, 12, 1));
    EXPECT_EQ(parseDate(u"1-2-3"), at(2003, 2, 1));
    EXPECT_EQ(parseDate(u"01-12-1998"), at(1998, 12, 1)); // four digits stay
    clock.set(QDateTime(QDate(1999, 6, 1), QTime(8, 0)));
    EXPECT_EQ(parseDate(u"01-12-98"), at(1998, 12, 1));
}

TEST(WorksheetText, ReadsDateAndTimeForms)
{
    FixedClock clock(Monday);
    EXPECT_EQ(parseDateTime(u"07-12-26"), at(2026, 12, 7)); // a date alone is midnight
    EXPECT_EQ(parseDateTime(u"29-02-00 23:59"), at(2000, 2, 29, 23, 59));
    for (const char16_t *bad : {u"", u"29-02-01 10:00", u"31-04-26", u"07-12-26 24:00", u"07/12/26 10:00",
             u"07-12-26 10 :00", u"07-12-26x", u"10:00", u"today"}) {
        EXPECT_FALSE(tryParseDateTime(bad, 2000)) << QString::fromUtf16(bad).toStdString();
    }
    EXPECT_EQ(
        messageOf<ConversionError>([&] { parseDateTime(u"not a date"); }), "'not a date' is not a valid date and time");
}

TEST(WorksheetText, ReadsTimesOfDay)
{
    EXPECT_EQ(parseTime(u"04:30"), *tryEncodeTime(4, 30));
    EXPECT_EQ(parseTime(u" 7:30"), *tryEncodeTime(7, 30)); // the time edits keep a leading blank
    EXPECT_EQ(parseTime(u"0:00"), 0.0);
    EXPECT_EQ(parseTime(u"01:23:45"), *tryEncodeTime(1, 23, 45));
    for (const char16_t *bad : {u"", u"24:00", u"12:60", u"7 :30", u"7: 30", u"ab:cd", u"12", u":30", u"  :  "})
        EXPECT_FALSE(tryParseTime(bad)) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(messageOf<ConversionError>([&] { parseTime(u"24:00"); }), "'24:00' is not a valid time");
}

TEST(WorksheetText, WritesTheFixedForms)
{
    const DateTime t = at(2098, 12, 8, 14, 5);
    EXPECT_EQ(formatDateTimeText(t), "08-12-98 14:05");
    EXPECT_EQ(formatDateText(t), "08-12-98");
    EXPECT_EQ(formatTimeText(t), "14:05");
    // Seconds are dropped, not rounded: 08:59:50 still reads 08:59.
    EXPECT_EQ(formatTimeText(*tryEncodeTime(8, 59, 50)), "08:59");
    // A difference of a day or more shows what is left after whole days.
    EXPECT_EQ(formatTimeText(at(2026, 12, 8, 10, 0) - at(2026, 12, 7, 8, 30)), "01:30");
}

TEST(WorksheetText, MinuteTotalsKeepEveryHourDigit)
{
    EXPECT_EQ(formatMinuteTotal(0), "00:00");
    EXPECT_EQ(formatMinuteTotal(425), "07:05");
    EXPECT_EQ(formatMinuteTotal(765), "12:45");
    EXPECT_EQ(formatMinuteTotal(6000), "100:00");
    EXPECT_EQ(formatMinuteTotal(-123), "02:03");
    EXPECT_EQ(formatMinuteTotal(3LL * 1000 * 1000 * 1000), "50000000:00"); // no 32-bit wrap
}

TEST(WorksheetText, ReadsWholeNumbers)
{
    EXPECT_EQ(parseInteger(u"7"), 7);
    EXPECT_EQ(parseInteger(u"  7"), 7);
    EXPECT_EQ(parseInteger(u"-12"), -12);
    EXPECT_EQ(parseInteger(u"+12"), 12);
    EXPECT_EQ(parseInteger(u"$FF"), 255);
    EXPECT_EQ(parseInteger(u"0x10"), 16);
    EXPECT_EQ(parseInteger(u"$FFFFFFFF"), -1);
    EXPECT_EQ(parseInteger(u"-2147483648"), INT32_MIN);
    for (const char16_t *bad : {u"", u" ", u"7 ", u"23:45", u"2147483648", u"$", u"1e3", u"$1FFFFFFFF"})
        EXPECT_FALSE(tryParseInteger(bad)) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(messageOf<ConversionError>([&] { parseInteger(u"23:45"); }), "'23:45' is not a valid integer value");
}

TEST(DisplayFormat, FormatsDatesWithNamesAndSeparators)
{
    FormatSettings settings = FormatSettings::worksheet();
    settings.dateSeparator = u'.';
    const DateTime t = at(2026, 12, 7, 14, 5);
    EXPECT_EQ(formatDateTime(u"dd/mm/yy", t, settings), "07.12.26");
    EXPECT_EQ(formatDateTime(u"d/m", t, settings), "7.12");
    EXPECT_EQ(formatDateTime(u"d-mmm-yy", t, settings), "7-Dec-26");
    EXPECT_EQ(formatDateTime(u"mmmm d, yyyy", t, settings), "December 7, 2026");
    EXPECT_EQ(formatDateTime(u"ddd mmmm d, yyyy", t, settings), "Mon December 7, 2026");
    EXPECT_EQ(formatDateTime(u"dddd mmmm d, yyyy", t, settings), "Monday December 7, 2026");
}

TEST(DisplayFormat, FormatsTimesOnTwentyFourAndTwelveHourClocks)
{
    const FormatSettings settings = FormatSettings::worksheet();
    EXPECT_EQ(formatDateTime(u"h:nn", at(2026, 12, 7, 14, 5), settings), "14:05");
    EXPECT_EQ(formatDateTime(u"hh:mm", at(2026, 12, 7, 9, 5), settings), "09:05"); // mm after hh: minutes
    EXPECT_EQ(formatDateTime(u"h:nn ampm", at(2026, 12, 7, 14, 5), settings), "2:05 PM");
    EXPECT_EQ(formatDateTime(u"h:nn:ss ampm", at(2026, 12, 7, 0, 0), settings), "12:00:00 AM");
    EXPECT_EQ(formatDateTime(u"'at' h:nn", at(2026, 12, 7, 8, 0), settings), "at 8:00");
}
