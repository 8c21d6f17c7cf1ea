// The worksheet read ahead on a thread of its own as the program starts,
// handed over once, and only while the file is as it was read.

#include "filelocations.h"
#include "testsupport.h"
#include "worksheet.h"
#include "worksheetpreload.h"
#include "worksheetrows.h"

#include <future>
#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <thread>
#include <vector>

namespace {

const QByteArray Morning
    = "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"\",\"Caf\xe9\"\r\n";

} // namespace

TEST(WorksheetReadAhead, HandsOverTheRowsTheirValuesAndTheFileOnce)
{
    QTemporaryDir folder;
    const QString path = worksheetFile(folder.path());
    writeFile(path, Morning + BottomLineCsv);
    WorksheetPreload preload(path);

    std::optional<WorksheetPreload::Rows> rows = preload.take();
    ASSERT_TRUE(rows);
    CsvEncoding encoding = CsvEncoding::Utf8;
    CellTable read = worksheetRows(readFile(path), encoding);
    const WorksheetTotals totals = recalculateWorksheet(read); // read ahead too
    ASSERT_EQ(rows->cells.rowCount(), read.rowCount());
    for (int row = 0; row < read.rowCount(); ++row)
        EXPECT_EQ(rows->cells.rowTexts(row), read.rowTexts(row)) << row;
    EXPECT_EQ(rows->cells.text(NotesColumn, 1), QStringLiteral("Caf\u00e9"));
    EXPECT_EQ(rows->encoding, CsvEncoding::Windows1252);
    EXPECT_EQ(rows->values.rowCount(), rows->cells.rowCount());
    ASSERT_TRUE(rows->file);
    EXPECT_TRUE(rows->file->isAsNoted());
    EXPECT_EQ(preload.totals().home, totals.home);
    EXPECT_EQ(preload.totals().difference, totals.difference);

    EXPECT_FALSE(preload.take()); // handed over already
}

TEST(WorksheetReadAhead, LeavesTheReadingToTheWindowWhenItCannotBeTrusted)
{
    const struct
    {
        const char *what;
        QByteArray file; // null: none
        QByteArray writtenSince; // null: untouched
    } cases[] = {
        {"no file", QByteArray(), QByteArray()},
        {"changed since it was read", Morning + BottomLineCsv, BottomLineCsv},
        {"a line wider than a worksheet", QByteArray(Morning).replace("\r\n", ",\"tenth\"\r\n"), QByteArray()},
    };
    for (const auto &c : cases) {
        QTemporaryDir folder;
        const QString path = worksheetFile(folder.path());
        if (!c.file.isNull())
            writeFile(path, c.file);
        WorksheetPreload preload(path);
        preload.wait();
        if (!c.writtenSince.isNull())
            writeFile(path, c.writtenSince);
        EXPECT_FALSE(preload.take()) << c.what;
    }
}

TEST(WorksheetReadAhead, TellsWhetherItIsWorthWaitingForAndWhenItIsRead)
{
    QTemporaryDir folder;
    const QString path = worksheetFile(folder.path());
    for (const qint64 size : {WorksheetPreload::QuickReadBytes, WorksheetPreload::QuickReadBytes + 1}) {
        writeFile(path, QByteArray(size, 'x'));
        EXPECT_EQ(WorksheetPreload(path).readsQuickly(), size == WorksheetPreload::QuickReadBytes) << size;
    }

    writeFile(path, Morning + BottomLineCsv);
    std::promise<void> open;
    std::shared_future<void> opened = open.get_future().share();
    WorksheetPreload preload(path, [opened] { opened.wait(); });
    std::vector<std::thread::id> toldOn;
    preload.whenRead([&] { toldOn.push_back(std::this_thread::get_id()); });
    EXPECT_FALSE(preload.isRead());
    EXPECT_TRUE(toldOn.empty()); // held back
    open.set_value();
    preload.wait();
    EXPECT_TRUE(preload.isRead());
    ASSERT_EQ(toldOn.size(), 1u);
    EXPECT_NE(toldOn[0], std::this_thread::get_id()); // by the reading thread, as it ends
    preload.whenRead([&] { toldOn.push_back(std::this_thread::get_id()); });
    ASSERT_EQ(toldOn.size(), 2u);
    EXPECT_EQ(toldOn[1], std::this_thread::get_id()); // read already: at once
    EXPECT_TRUE(preload.take());
}
