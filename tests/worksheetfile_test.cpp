#include "clocksource.h"
#include "hypergrid.h"
#include "testsupport.h"
#include "worksheetfile.h"
#include "worksheetrows.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

namespace {

void setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

} // namespace

TEST(WorksheetFile, ChangeIsInTheContentNotInTheTime)
{
    QTemporaryDir dir;
    WorksheetFile file(dir.filePath(QStringLiteral("Hourbook.csv")));
    file.noteLoading(); // none there yet
    writeFile(file.path(), "\"a\"\r\n");
    EXPECT_TRUE(file.changedOnDisk()); // made by someone else meanwhile

    THyperGrid grid;
    file.noteLoading();
    file.noteLoaded(grid.LoadFromCSV(0, 1, file.path()));
    EXPECT_FALSE(file.changedOnDisk());
    setModified(file.path(), QDateTime::currentDateTime().addSecs(60)); // touched
    EXPECT_FALSE(file.changedOnDisk());
    writeFile(file.path(), "\"b\"\r\n"); // the same size
    setModified(file.path(), QDateTime::currentDateTime().addSecs(60));
    EXPECT_TRUE(file.changedOnDisk());

    // Big enough to be written in several pieces, each hashed as it goes.
    grid.setRowCount(30000);
    for (int r = 1; r < grid.RowCount(); ++r)
        grid.setCells(0, r, QStringLiteral("a longer text on every row"));
    WorksheetFile::Save save = file.prepareSave(grid.csvRows(0, 1));
    save.run();
    file.noteSaved(save);
    EXPECT_FALSE(file.changedOnDisk());
    setModified(file.path(), QDateTime::currentDateTime().addSecs(120));
    EXPECT_FALSE(file.changedOnDisk());
    QFile::remove(file.path()); // nothing to lose by writing
    EXPECT_FALSE(file.changedOnDisk());
}

namespace {

QList<QStringList> loadedRows(const QByteArray &bytes)
{
    CsvEncoding encoding;
    const CellTable rows = worksheetRows(bytes, encoding);
    QList<QStringList> texts;
    for (int r = 1; r < rows.rowCount(); ++r)
        texts << rows.rowTexts(r);
    return texts;
}

QStringList row(const QString &start, const QString &end, const QString &time, const QString &date, const QString &owed,
    const QString &diff = {}, const QString &notes = {})
{
    return {start, end, time, "", date, owed, "", diff, notes};
}

const QStringList BottomLine(9, QString());

} // namespace

// Only a date or time that does not read in the worksheet's own form, but in
// a form spreadsheets write, is rewritten; nothing else changes.
TEST(WorksheetRows, OnlySpreadsheetFormsOfDatesAndTimesAreRewritten)
{
    const struct
    {
        const char *name;
        QByteArray line;
        QStringList row;
    } cases[] = {
        {"own forms", R"("01-12-98 08:00","01-12-98 12:30","04:30","","01-12-98","07:24","","-02:54","n")",
            row("01-12-98 08:00", "01-12-98 12:30", "04:30", "01-12-98", "07:24", "-02:54", "n")},
        {"read as they are", R"("1-12-98 8:00","01-12-2098 12:30"," 4:30","","1-12-2098","7:24","","x","2026/12/01")",
            row("1-12-98 8:00", "01-12-2098 12:30", " 4:30", "1-12-2098", "7:24", "x", "2026/12/01")},
        {"year first", "2026/12/01 08:00:00,2026-12-01 12:30,04:30:00,,2026.12.01,7:24:00,,21:06:00,",
            row("01-12-26 08:00", "01-12-26 12:30", "04:30", "01-12-26", "07:24", "21:06:00")},
        {"day first", "01/12/2026 08:00:59,01.12.26 12:30,4:30:00,,01/12/26,07:24:00,,,",
            row("01-12-26 08:00", "01-12-26 12:30", "04:30", "01-12-26", "07:24")},
        {"date and time apart by T", "2026-12-01T08:00:00,2026-12-01T12:30:00,04:30,,01-12-26,07:24",
            row("01-12-26 08:00", "01-12-26 12:30", "04:30", "01-12-26", "07:24")},
        {"in no form", R"("2026/13/01 08:00","2026/12/01 24:00","7.24","","12/2026/01","04:30:60")",
            row("2026/13/01 08:00", "2026/12/01 24:00", "7.24", "12/2026/01", "04:30:60")},
    };
    FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(14, 5)));
    for (const auto &c : cases)
        EXPECT_EQ(loadedRows(c.line + "\r\n"), QList<QStringList>({c.row, BottomLine})) << c.name;
}

// Rows that hold nothing and heading lines go wherever they stand; columns
// beyond the nine go only after the last that holds text.
TEST(WorksheetRows, EmptyRowsHeadingLinesAndEmptyColumnsGo)
{
    const QByteArray period = R"("01-12-98 08:00","01-12-98 12:30","04:30","","01-12-98","07:24","","","n")";
    const QStringList periodRow = row("01-12-98 08:00", "01-12-98 12:30", "04:30", "01-12-98", "07:24", "", "n");
    const QByteArray heading = R"("Start","End","Time","","Date","hh:mm","","Diff.","Notes")";
    EXPECT_EQ(loadedRows(heading + "\r\n" + period + "\r\n\r\n ,, \r\n" + heading + ",,,\r\n" + period),
        QList<QStringList>({periodRow, periodRow, BottomLine}));

    // Not a heading line: it holds more.
    const QByteArray notHeading = heading + ",x";
    EXPECT_EQ(loadedRows(notHeading + "\r\n").value(0).mid(7), QStringList({"Diff.", "Notes", "x"}));

    const QList<QStringList> wide = loadedRows(period + ",,\"x\",,,\r\n" + period + QByteArray(500, ',') + "\r\n");
    ASSERT_EQ(wide.size(), 3);
    EXPECT_EQ(wide[0], periodRow + QStringList({"", "x"}));
    EXPECT_EQ(wide[1], periodRow + QStringList({"", ""}));
    EXPECT_EQ(wide[2], QStringList(11, QString()));
}
