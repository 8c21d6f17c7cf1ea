#include "datetime.h"

#include <gtest/gtest.h>

TEST(DateTimeValue, CountsDaysFromTheLastDaysOf1899)
{
    EXPECT_EQ(*tryEncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(*tryEncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(*tryEncodeDate(1998, 12, 1), 36130.0);
    EXPECT_EQ(*tryEncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(decodeDate(36130.75), (CalendarDate {1998, 12, 1}));
}

TEST(DateTimeValue, RejectsDatesThatDoNotExist)
{
    EXPECT_TRUE(tryEncodeDate(2000, 2, 29)); // divisible by 400
    EXPECT_FALSE(tryEncodeDate(1900, 2, 29)); // divisible by 100 only
    EXPECT_TRUE(tryEncodeDate(2024, 2, 29));
    EXPECT_FALSE(tryEncodeDate(2026, 2, 29));
    EXPECT_FALSE(tryEncodeDate(2026, 4, 31));
    EXPECT_FALSE(tryEncodeDate(2026, 13, 1));
    EXPECT_FALSE(tryEncodeDate(2026, 0, 1));
    EXPECT_FALSE(tryEncodeTime(24, 0));
    EXPECT_FALSE(tryEncodeTime(23, 60));
    EXPECT_TRUE(tryEncodeTime(23, 59, 59, 999));
}

TEST(DateTimeValue, DecodesTimeRoundedToTheMillisecond)
{
    const DateTime t = *tryEncodeTime(14, 5, 30, 250);
    EXPECT_EQ(decodeTime(36130 + t), (TimeOfDay {14, 5, 30, 250}));
    // 7:24 is not exact in binary; it must not read back as 7:23:59.999.
    const DateTime owed = *tryEncodeTime(7, 24);
    EXPECT_EQ(decodeTime(owed), (TimeOfDay {7, 24, 0, 0}));
    EXPECT_EQ(decodeTime(*tryEncodeTime(7, 24) - *tryEncodeTime(4, 30)), (TimeOfDay {2, 54, 0, 0}));
}

TEST(DateTimeValue, ValueJustBeforeMidnightBelongsToTheNextDay)
{
    const DateTime almost = 36130.0 + (MillisecondsPerDay - 0.2) / MillisecondsPerDay;
    EXPECT_EQ(decodeTime(almost), (TimeOfDay {0, 0, 0, 0}));
    EXPECT_EQ(decodeDate(almost), (CalendarDate {1998, 12, 2}));
}

TEST(DateTimeValue, BeforeTheEpochTheFractionIsStillTheTimeOfDay)
{
    EXPECT_EQ(decodeDate(-1.25), (CalendarDate {1899, 12, 29}));
    EXPECT_EQ(decodeTime(-1.25), (TimeOfDay {6, 0, 0, 0}));
    EXPECT_EQ(combineDateAndTime(-1, 0.25), -1.25);
}

TEST(DateTimeValue, ConvertsToAndFromQt)
{
    const QDateTime moment(QDate(2026, 12, 7), QTime(14, 5));
    const DateTime value = fromQDateTime(moment);
    EXPECT_EQ(toQDateTime(value), moment);
    EXPECT_EQ(toQDate(value), QDate(2026, 12, 7));
    EXPECT_EQ(dayOfWeek(value), 1); // a Monday
}
