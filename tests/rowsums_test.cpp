// The summary's sums read straight from the bytes of lines as the program
// writes them, against the same lines read into the table the window reads.

#include "clocksource.h"
#include "errors.h"
#include "rowsums.h"
#include "testsupport.h"
#include "today.h"
#include "worksheetrows.h"

#include <gtest/gtest.h>
#include <QStringEncoder>

namespace {

// Tuesday in ISO week 49 of 2098: its Monday is 30 November, its Sunday 6 December.
const QDate Today(2098, 12, 2);

QString shown(const RowSums &sums)
{
    const WorksheetTotals totals = sums.sums.texts();
    return QStringLiteral("%1|%2|%3|today %4 owed %5|week %6 owed %7")
        .arg(totals.home, totals.nominal, totals.difference)
        .arg(sums.today.home)
        .arg(sums.today.owed)
        .arg(sums.week.home)
        .arg(sums.week.owed);
}

// What the window's table of the same bytes adds up to: every row
// recalculated, every day counted.
RowSums readAsTable(QByteArrayView bytes)
{
    CsvEncoding encoding;
    CellTable rows = worksheetRows(bytes, encoding);
    RowSums sums;
    sums.sums = sumWorksheet(rows);
    const WorksheetDays days(rows);
    const QDate monday = Today.addDays(1 - Today.dayOfWeek());
    sums.today = days.on(Today);
    sums.week = days.over(monday, monday.addDays(6));
    return sums;
}

// The sums shown, or the message of the error that stops the reading.
template<typename Read> QString outcome(Read read)
{
    try {
        return shown(read());
    } catch (const ConversionError &e) {
        return QStringLiteral("error: ") + e.message();
    }
}

QByteArray row(const QByteArray &start, const QByteArray &end, const QByteArray &time, const QByteArray &date,
    const QByteArray &owed, const QByteArray &note = {})
{
    return '"' + start + "\",\"" + end + "\",\"" + time + "\",\"\",\"" + date + "\",\"" + owed + "\",\"\",\"\",\"" + note
        + '"';
}

struct Lines
{
    const char *name;
    QByteArray bytes;
    bool readAsBytes; // as the program writes them, so no table is needed
};

std::vector<Lines> linesOfEveryKind()
{
    const QByteArray first = row("01-12-98 08:00", "01-12-98 12:30", "04:30", "01-12-98", "07:24");
    const QByteArray second = row("02-12-98 13:00", "03-12-98 21:15", "08:15", "02-12-98", "07:24");
    const QByteArray sixFieldsOnly = "\"05-12-98 08:00\",\"05-12-98 09:00\",\"01:00\",\"\",\"05-12-98\",\"00:45\"";
    QByteArray utf16;
    utf16 += "\xFF\xFE";
    utf16 += QStringEncoder(QStringEncoder::Utf16LE)(QString::fromUtf8(WorkedExampleFile));
    return {
        {"notes with commas, quotes, zero bytes and letters in either encoding",
            row("01-12-98 08:00", "01-12-98 12:30", "04:30", "01-12-98", "07:24", "a, \"\"b\"\", c\"\",\"\"d")
                + "\r\n" + row("02-12-98 08:00", "02-12-98 09:00", "01:00", "02-12-98", "00:30", "caf\xC3\xA9 caf\xE9")
                + "\r\n" + row("03-12-98 08:00", "03-12-98 09:00", "01:00", "03-12-98", "00:30", "\"\"")
                + "\r\n" + row("04-12-98 08:00", "04-12-98 09:00", "01:00", "04-12-98", "00:30", QByteArray("a\0b", 3))
                + ",\"\",\"more fields\"\r\n" + BottomLineCsv,
            true},
        {"lines ending in LF, CR, CR CR LF or not at all",
            first + "\n" + second + "\r" + first + "\r\r\n" + second + "\n\r" + first, true},
        {"a byte-order mark", "\xEF\xBB\xBF" + first + "\r\n" + second + "\r\n" + BottomLineCsv, true},
        {"blank lines, bare commas and empty fields between the rows",
            "\r\n" + BottomLineCsv + first + "\r\n\r\n,,,\r\n\"\",,\"\"\r\n" + second + "\r\n" + BottomLineCsv, true},
        {"the six fields that count and no more", first + "\r\n" + sixFieldsOnly + "\r\n" + sixFieldsOnly, true},
        {"today's week from its Monday to its Sunday, and days that are none",
            row("29-11-98 23:00", "30-11-98 01:00", "02:00", "30-11-98", "00:10") + "\r\n"
                + row("30-11-98 09:00", "30-11-98 10:00", "01:00", "29-11-98", "00:20") + "\r\n"
                + row("31-11-98 09:00", "31-11-98 10:00", "01:00", "31-11-98", "00:40") + "\r\n"
                + row("02-12-98 25:00", "02-12-98 10:00", "01:00", "02-12-98", "01:20") + "\r\n"
                + row("02-12-98 10:00", "02-12-98 12:00", "02:00", "02-13-98", "02:40") + "\r\n"
                + row("06-12-98 23:00", "07-12-98 01:00", "02:00", "07-12-98", "05:20") + "\r\n"
                + row("02-12-97 08:00", "02-12-97 09:00", "01:00", "02-12-99", "00:05") + "\r\n" + BottomLineCsv,
            true},
        {"nothing but the bottom line", BottomLineCsv, true},
        {"a Time that is no time of day", first + "\r\n" + row("02-12-98 08:00", "02-12-98 09:00", "24:00", "02-12-98", "00:30"),
            false},
        {"an hh:mm that is no time of day", first + "\r\n" + row("02-12-98 08:00", "02-12-98 09:00", "01:00", "02-12-98", "07:60"),
            false},
        {"a line break inside a note", first.chopped(1) + "first line\r\nsecond line\"\r\n" + second, false},
        {"text after the sixth field's closing quote", sixFieldsOnly + "x,\"\",\"\",\"\"\r\n" + first, false},
        {"fields without quotes", first + "\r\n02-12-98 13:00,03-12-98 21:15,08:15,,02-12-98,07:24,,,\r\n", false},
        {"blanks between the fields", first + "\r\n" + QByteArray(second).replace(",", ", "), false},
        {"a spreadsheet's forms",
            first + "\r\n\"2098/12/02 08:00:00\",\"2098/12/02 09:00:00\",01:00:00,,2098/12/02,07:24:00,,,\r\n", false},
        {"a heading line", "Start,End,Time,,Date,hh:mm,,Diff.,Notes\r\n" + first, false},
        {"UTF-16", utf16, false},
    };
}

} // namespace

// Each kind of line adds up to what the table of the same lines adds up to,
// an error included; the lines as the program writes them without a table.
TEST(RowSums, LinesOfEveryKindAddUpAsTheirTableDoes)
{
    const FixedClock clock(QDateTime(Today, QTime(10, 0)));
    for (const Lines &lines : linesOfEveryKind()) {
        EXPECT_EQ(sumWrittenLines(lines.bytes, Today).has_value(), lines.readAsBytes) << lines.name;
        EXPECT_EQ(outcome([&] { return sumLines(lines.bytes, Today); }),
            outcome([&] { return readAsTable(lines.bytes); }))
            << lines.name;
    }
    for (const ForeignWorksheet &file : foreignWorksheets())
        EXPECT_EQ(outcome([&] { return sumLines(file.bytes, Today); }),
            outcome([&] { return readAsTable(file.bytes); }))
            << file.name;
}

// Sums of runs of rows one after another are those of all the rows.
TEST(RowSums, RunsOfRowsAddUpToAllOfThem)
{
    const FixedClock clock(QDateTime(Today, QTime(10, 0)));
    const QByteArray early = row("29-11-98 08:00", "30-11-98 12:30", "04:30", "30-11-98", "07:24") + "\r\n";
    const QByteArray late = row("02-12-98 13:00", "03-12-98 21:15", "08:15", "02-12-98", "07:24") + "\r\n";
    RowSums sums;
    for (const QByteArray &run : {BottomLineCsv, early + late, BottomLineCsv, late + early, BottomLineCsv})
        sums += sumLines(run, Today);
    EXPECT_EQ(shown(sums), shown(readAsTable(early + late + late + early)));
}
