#include "account.h"
#include "daysoff.h"
#include "errors.h"
#include "testsupport.h"
#include "workinghours.h"

#include <gtest/gtest.h>

namespace {

constexpr qint64 Day = 8 * 60;

// Monday to Friday eight hours, the weekend nothing.
WorkingHours weekdays()
{
    WorkingHours hours;
    for (int day = 1; day <= 5; ++day)
        hours.setMinutes(day, int(Day));
    return hours;
}

AccountSetting accountFrom(QDate start, qint64 opening = 0)
{
    AccountSetting account;
    account.set(start, opening);
    return account;
}

DaysOff daysOffOf(const std::vector<DayOffSpan> &spans)
{
    DaysOff daysOff;
    for (const DayOffSpan &span : spans)
        EXPECT_EQ(daysOff.add(span), std::nullopt);
    return daysOff;
}

const QDate Monday(2026, 12, 7);

} // namespace

// Each day from Start through yesterday owes what its rows typed, else its
// weekday's hours unless it is a day off that owes nothing.
TEST(Account, OwesWhatRowsTypeElseWorkingHoursUnlessADayOff)
{
    const QStringList mondayFromNine = dataRow("07-12-26 09:00", "07-12-26 15:00", "06:00", "07-12-26", "00:00");
    const QStringList mondayOwingFive = dataRow("07-12-26 09:00", "07-12-26 15:00", "06:00", "07-12-26", "05:00");
    const DayOffSpan mondayOff{Monday, Monday, DayOffKind::Vacation, ""};
    auto off = [&](DayOffKind kind) {
        DayOffSpan span = mondayOff;
        span.kind = kind;
        return std::vector{span};
    };
    struct Case
    {
        const char *name;
        QDate start;
        qint64 opening;
        QDate today;
        std::vector<QStringList> rows;
        std::vector<DayOffSpan> daysOff;
        qint64 worked, owed, balance;
    };
    const Case cases[] = {
        {"a working day without rows", Monday, 0, Monday.addDays(1), {}, {}, 0, Day, -Day},
        {"rows owing nothing: the working hours", Monday, 0, Monday.addDays(1), {mondayFromNine}, {}, 360, Day, 360 - Day},
        {"a day whose rows owe time", Monday, 0, Monday.addDays(1), {mondayOwingFive}, {}, 360, 300, 60},
        {"typed time holds on a day off", Monday, 0, Monday.addDays(1), {mondayOwingFive}, {mondayOff}, 360, 300, 60},
        {"vacation", Monday, 0, Monday.addDays(1), {mondayFromNine}, off(DayOffKind::Vacation), 360, 0, 360},
        {"holiday", Monday, 0, Monday.addDays(1), {}, off(DayOffKind::Holiday), 0, 0, 0},
        {"sick", Monday, 0, Monday.addDays(1), {}, off(DayOffKind::Sick), 0, 0, 0},
        {"flex owes its hours", Monday, 0, Monday.addDays(1), {}, off(DayOffKind::Flex), 0, Day, -Day},
        {"a weekend owes nothing", QDate(2026, 12, 5), 0, Monday,
            {dataRow("05-12-26 10:00", "05-12-26 12:00", "02:00", "05-12-26", "00:00")}, {}, 120, 0, 120},
        {"a holiday across a month end", QDate(2026, 11, 27), 0, QDate(2026, 12, 3), {},
            {{QDate(2026, 11, 30), QDate(2026, 12, 1), DayOffKind::Holiday, ""}}, 0, 2 * Day, -2 * Day},
        {"a vacation across a year end", QDate(2026, 12, 28), 0, QDate(2027, 1, 5), {},
            {{QDate(2026, 12, 30), QDate(2027, 1, 2), DayOffKind::Vacation, ""}}, 0, 3 * Day, -3 * Day},
        {"a positive opening", Monday, 10 * 60 + 30, Monday.addDays(1), {}, {}, 0, Day, 630 - Day},
        {"a negative opening", Monday, -(3 * 60 + 15), Monday.addDays(1), {}, {}, 0, Day, -195 - Day},
        {"today is not counted", Monday, 45, Monday, {mondayOwingFive}, {}, 0, 0, 45},
        {"a start after today", Monday.addDays(3), 45, Monday, {mondayOwingFive}, {}, 0, 0, 45},
    };
    for (const Case &c : cases) {
        const Account account(
            accountFrom(c.start, c.opening), WorksheetDays(worksheetCells(c.rows)), weekdays(), daysOffOf(c.daysOff), c.today);
        EXPECT_EQ(account.sums().start, c.start) << c.name;
        EXPECT_EQ(account.sums().opening, c.opening) << c.name;
        EXPECT_EQ(account.sums().worked, c.worked) << c.name;
        EXPECT_EQ(account.sums().owed, c.owed) << c.name;
        EXPECT_EQ(account.sums().balance(), c.balance) << c.name;
        EXPECT_EQ(account.days().size(), size_t(std::max(qint64(0), c.start.daysTo(c.today)))) << c.name;
    }
}

TEST(Account, GivesEachDayAndTodayApart)
{
    const std::vector<QStringList> rows = {
        dataRow("01-01-27 09:00", "01-01-27 10:00", "01:00", "01-01-27", "00:00"), // worked on a holiday
        dataRow("04-01-27 08:00", "04-01-27 11:00", "03:00", "04-01-27", "00:00"), // today
    };
    const DaysOff daysOff = daysOffOf({{QDate(2026, 12, 31), QDate(2027, 1, 1), DayOffKind::Holiday, "New Year"},
        {QDate(2026, 12, 30), QDate(2026, 12, 30), DayOffKind::Flex, ""}});
    const QDate today(2027, 1, 4);
    const Account account(accountFrom(QDate(2026, 12, 29)), WorksheetDays(worksheetCells(rows)), weekdays(), daysOff, today);
    const std::vector<AccountDay> expected = {
        {QDate(2026, 12, 29), 0, Day, std::nullopt},
        {QDate(2026, 12, 30), 0, Day, DayOffKind::Flex},
        {QDate(2026, 12, 31), 0, 0, DayOffKind::Holiday},
        {QDate(2027, 1, 1), 60, 0, DayOffKind::Holiday},
        {QDate(2027, 1, 2), 0, 0, std::nullopt},
        {QDate(2027, 1, 3), 0, 0, std::nullopt},
    };
    EXPECT_EQ(account.days(), expected);
    EXPECT_EQ(account.today(), (AccountDay{today, 180, Day, std::nullopt}));
    EXPECT_EQ(account.sums().balance(), 60 - 2 * Day);
}

TEST(Account, NothingIsCountedWithoutAStart)
{
    const Account account(AccountSetting(), WorksheetDays(worksheetCells({})), weekdays(), DaysOff(), Monday);
    EXPECT_TRUE(account.days().empty());
    EXPECT_EQ(account.sums().balance(), 0);
    EXPECT_EQ(account.today(), AccountDay());
}

TEST(AccountSetting, ReadsStartAndASignedOpening)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Worktally.Setup"));
    struct Case
    {
        const char *file;
        QDate start;
        qint64 opening;
        const char *problem; // a part of the message, or empty
    };
    const Case cases[] = {
        {"[WorkingHours]\nMon=07:24\n", {}, 0, ""},
        {"[Account]\nStart=\nOpening=+01:00\n", {}, 0, ""},
        {"[Account]\r\nStart=07-12-26\r\nOpening=+10:30\r\n", Monday, 630, ""},
        {"[account]\nstart = \"07-12-26\"\nopening = -03:15\n", Monday, -195, ""},
        {"[Account]\nStart=07-12-26\n", Monday, 0, ""},
        {"[Account]\nStart=07-12-26\nOpening=+120:05\n", Monday, 7205, ""},
        {"[Account]\nStart=7-12-26\nOpening=-00:01\n", Monday, -1, ""},
        {"[Account]\nStart=32-12-26\nOpening=+01:00\n", {}, 0, "start, '32-12-26', is not a date"},
        {"[Account]\nStart=07-12-26\nOpening=10:30\n", {}, 0, "opening balance, '10:30', is not a signed time"},
        {"[Account]\nStart=07-12-26\nOpening=+1:5\n", {}, 0, "'+1:5'"},
        {"[Account]\nStart=07-12-26\nOpening=+01:60\n", {}, 0, "'+01:60'"},
        {"[Account]\nStart=07-12-26\nOpening=+-1:00\n", {}, 0, "'+-1:00'"},
        {"[Account]\nStart=07-12-26\nOpening=+9999999:00\n", {}, 0, "'+9999999:00'"},
    };
    for (const Case &c : cases) {
        writeFile(path, c.file);
        const AccountSetting account = AccountSetting::read(path);
        EXPECT_EQ(account.isSet(), c.start.isValid()) << c.file;
        EXPECT_EQ(account.start(), c.start) << c.file;
        EXPECT_EQ(account.openingMinutes(), c.opening) << c.file;
        EXPECT_EQ(account.problem().isEmpty(), !*c.problem) << c.file;
        EXPECT_TRUE(account.problem().contains(QString::fromUtf8(c.problem))) << c.file << account.problem().toStdString();
    }
    EXPECT_FALSE(AccountSetting::read(folder.filePath("missing")).isSet());
}

TEST(AccountSetting, WritingChangesOnlyItsOwnLines)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Worktally.Setup"));
    const QByteArray byHand = "; kept by hand\r\n[Account]\r\nStart=01-01-26\r\n[WorkingHours]\r\nMon=07:24\r\n";
    writeFile(path, byHand);

    AccountSetting account;
    account.set(Monday, -195);
    ASSERT_TRUE(account.write(path));
    EXPECT_EQ(readFile(path),
        "; kept by hand\r\n[Account]\r\nStart=07-12-26\r\nOpening=-03:15\r\n[WorkingHours]\r\nMon=07:24\r\n");
    const AccountSetting read = AccountSetting::read(path);
    EXPECT_EQ(read.start(), Monday);
    EXPECT_EQ(read.openingMinutes(), -195);

    account.set(Monday, 0);
    ASSERT_TRUE(account.write(path));
    EXPECT_EQ(AccountSetting::read(path).openingMinutes(), 0);
    EXPECT_TRUE(readFile(path).contains("Opening=+00:00\r\n"));

    account.set({}, 0);
    ASSERT_TRUE(account.write(path));
    EXPECT_EQ(readFile(path), "; kept by hand\r\n[Account]\r\nStart=\r\nOpening=\r\n[WorkingHours]\r\nMon=07:24\r\n");
    EXPECT_FALSE(AccountSetting::read(path).isSet());

    // Turning off an account that was never set leaves the file alone.
    const QByteArray without = "[WorkingHours]\nMon=07:24\n";
    writeFile(path, without);
    ASSERT_TRUE(AccountSetting().write(path));
    EXPECT_EQ(readFile(path), without);
}

TEST(DaysOff, BadLinesAreNamedAndWrittenBackInTheirPlace)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("DaysOff.csv"));
    // Windows-1252 ("Caf\xE9") stays Windows-1252.
    const QByteArray file = "\"24-12-26\",\"02-01-27\",\"Vacation\",\"Caf\xE9 \"\"Lux\"\"\"\r\n"
                            "\"05-01-27\",\"04-01-27\",\"Sick\",\"\"\r\n"
                            "\"06-01-27\",\"06-01-27\",\"Holidays\",\"\"\r\n"
                            "\"3x-01-27\",\"07-01-27\",\"Sick\",\"\"\r\n"
                            "\"08-01-27\",\"Flex\",\"\"\r\n"
                            "\"02-01-27\",\"03-01-27\",\"Holiday\",\"overlaps the first\"\r\n"
                            "\"11-01-27\",\"11-01-27\",\"Flex\",\"\"\r\n";
    writeFile(path, file);
    DaysOff daysOff = DaysOff::read(path);
    const std::vector<DayOffSpan> spans = {
        {QDate(2026, 12, 24), QDate(2027, 1, 2), DayOffKind::Vacation, QString::fromUtf8("Café \"Lux\"")},
        {QDate(2027, 1, 11), QDate(2027, 1, 11), DayOffKind::Flex, ""},
    };
    EXPECT_EQ(daysOff.spans(), spans);
    const QStringList problems = {
        "DaysOff.csv, line 2: the last day comes before the first.",
        "DaysOff.csv, line 3: 'Holidays' is not a kind of day off (Vacation, Holiday, Sick or Flex).",
        "DaysOff.csv, line 4: '3x-01-27' is not a valid date.",
        "DaysOff.csv, line 5: 3 fields instead of 4.",
        "DaysOff.csv, line 6: it overlaps Vacation 24-12-26 – 02-01-27 of an earlier line.",
    };
    ASSERT_EQ(daysOff.problems().size(), problems.size());
    for (qsizetype line = 0; line < problems.size(); ++line)
        EXPECT_TRUE(daysOff.problems()[line].startsWith(problems[line])) << daysOff.problems()[line].toStdString();

    daysOff.write(path);
    EXPECT_EQ(readFile(path), file);

    // A change keeps the bad lines where they were.
    ASSERT_EQ(daysOff.replace(1, {QDate(2027, 1, 11), QDate(2027, 1, 12), DayOffKind::Sick, "flu"}), std::nullopt);
    daysOff.remove(0);
    ASSERT_EQ(daysOff.add({QDate(2027, 2, 1), QDate(2027, 2, 1), DayOffKind::Holiday, ""}), std::nullopt);
    daysOff.write(path);
    QByteArray changed = file;
    changed.replace(changed.indexOf("\"24-12-26\""), changed.indexOf("\r\n") + 2, "");
    changed.replace("\"11-01-27\",\"11-01-27\",\"Flex\",\"\"", "\"11-01-27\",\"12-01-27\",\"Sick\",\"flu\"");
    changed += "\"01-02-27\",\"01-02-27\",\"Holiday\",\"\"\r\n";
    EXPECT_EQ(readFile(path), changed);
}

TEST(DaysOff, RefusesReversedAndOverlappingSpans)
{
    DaysOff daysOff;
    const DayOffSpan christmas{QDate(2026, 12, 24), QDate(2026, 12, 26), DayOffKind::Holiday, ""};
    ASSERT_EQ(daysOff.add(christmas), std::nullopt);

    EXPECT_EQ(daysOff.add({QDate(2026, 12, 28), QDate(2026, 12, 27), DayOffKind::Vacation, ""}),
        "The last day, 27-12-26, comes before the first, 28-12-26.");
    EXPECT_EQ(daysOff.add({QDate(2026, 12, 26), QDate(2026, 12, 30), DayOffKind::Vacation, ""}),
        "Vacation 26-12-26 – 30-12-26 overlaps Holiday 24-12-26 – 26-12-26.");
    EXPECT_NE(daysOff.add({QDate(2026, 12, 20), QDate(2026, 12, 24), DayOffKind::Sick, ""}), std::nullopt);
    EXPECT_NE(daysOff.add({QDate(2026, 12, 25), QDate(2026, 12, 25), DayOffKind::Flex, ""}), std::nullopt);
    EXPECT_EQ(daysOff.spans(), std::vector({christmas}));

    // Side by side is no overlap; a span may be replaced by one that overlaps itself only.
    const DayOffSpan nextDays{QDate(2026, 12, 27), QDate(2026, 12, 31), DayOffKind::Vacation, ""};
    ASSERT_EQ(daysOff.add(nextDays), std::nullopt);
    EXPECT_EQ(daysOff.replace(0, {QDate(2026, 12, 23), QDate(2026, 12, 26), DayOffKind::Holiday, ""}), std::nullopt);
    EXPECT_NE(daysOff.replace(0, {QDate(2026, 12, 23), QDate(2026, 12, 27), DayOffKind::Holiday, ""}), std::nullopt);
    EXPECT_EQ(daysOff.kindOn(QDate(2026, 12, 23)), DayOffKind::Holiday);
    EXPECT_EQ(daysOff.kindOn(QDate(2026, 12, 31)), DayOffKind::Vacation);
    EXPECT_EQ(daysOff.kindOn(QDate(2027, 1, 1)), std::nullopt);
}

TEST(DaysOff, AMissingFileHasNoDaysOff)
{
    QTemporaryDir folder;
    const DaysOff daysOff = DaysOff::read(folder.filePath("DaysOff.csv"));
    EXPECT_TRUE(daysOff.spans().empty());
    EXPECT_TRUE(daysOff.problems().isEmpty());
    EXPECT_EQ(messageOf<FileOpenError>([&] { DaysOff::read(folder.path()); }).isEmpty(), false);
}
