// The worksheet read beside the making of the main window, as the program
// starts, against the window reading the file itself.

#include "clocksource.h"
#include "filelocations.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "panelstatusbar.h"
#include "testsupport.h"
#include "worksheetpreload.h"

#include <gtest/gtest.h>
#include <optional>
#include <QBuffer>
#include <QTest>
#include <QToolButton>

namespace {

const QByteArray FirstDay = "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"\","
                            "\"Train \"\"late\"\"\"\r\n";
const QByteArray SecondDay
    = "\"02-12-98 13:00\",\"02-12-98 21:15\",\"08:15\",\"\",\"02-12-98\",\"07:24\",\"\",\"\",\"\"\r\n";

// What a start shows and would save.
struct Start
{
    QStringList rows; // each row's cells joined by "|"
    QStringList totals;
    QStringList messages;
    QByteArray saved;
    QImage picture;
    QByteArray backup; // what the first save keeps of the file as it was
};

// Starts on a folder of its own holding file (none when null), then saves.
Start startOn(const QByteArray &file, bool preloaded)
{
    QTemporaryDir folderOwner;
    const QString folder = folderOwner.path();
    if (!file.isNull())
        writeFile(worksheetFile(folder), file);
    MessageRecorder messages;
    std::optional<WorksheetPreload> preload;
    if (preloaded)
        preload.emplace(worksheetFile(folder));
    const auto form = preloaded ? std::make_unique<TForm1>(folder, *preload) : std::make_unique<TForm1>(folder);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    Start start;
    for (int row = 0; row < form->Grid1->RowCount(); ++row)
        start.rows << form->Grid1->cellTable().rowTexts(row).join(u'|');
    for (int panel = 0; panel < 3; ++panel)
        start.totals << form->StatusBar1->PanelText(panel);
    QBuffer saved(&start.saved);
    saved.open(QIODevice::WriteOnly);
    form->Grid1->SaveToCSVStream(0, 1, saved);
    start.picture = form->grab().toImage();
    QTest::mouseClick(form->btnGem, Qt::LeftButton);
    start.backup = readFile(worksheetFile(folder) + QStringLiteral(".bak"));
    start.messages = messages.texts;
    return start;
}

} // namespace

TEST(WorksheetPreload, TheWindowStartsAsIfItHadReadTheFileItself)
{
    struct Case
    {
        const char *what;
        QByteArray file; // null: no file
    };
    const Case cases[] = {
        {"two days", FirstDay + SecondDay + BottomLineCsv},
        {"no bottom line", FirstDay + SecondDay},
        {"a note in Windows-1252",
            FirstDay + "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"Caf\xe9\"\r\n" + BottomLineCsv},
        {"UTF-16", utf16(FirstDay + BottomLineCsv, QStringConverter::Utf16LE)},
        {"a line wider than the grid", SecondDay.chopped(2) + ",\"tenth\"\r\n" + BottomLineCsv},
        {"a duration that is no time", FirstDay + QByteArray(SecondDay).replace("08:15", "8h15") + BottomLineCsv},
        {"an empty file", ""},
        {"no file", QByteArray()},
    };
    for (const Case &c : cases) {
        const FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(14, 5)));
        const Start preloaded = startOn(c.file, true);
        const Start itself = startOn(c.file, false);
        EXPECT_EQ(preloaded.rows, itself.rows) << c.what;
        EXPECT_EQ(preloaded.totals, itself.totals) << c.what;
        EXPECT_EQ(preloaded.messages, itself.messages) << c.what;
        EXPECT_EQ(preloaded.saved, itself.saved) << c.what;
        EXPECT_EQ(preloaded.picture, itself.picture) << c.what;
        EXPECT_EQ(preloaded.backup, itself.backup) << c.what;
    }
}

TEST(WorksheetPreload, AFileChangedSinceItWasReadIsReadAgain)
{
    QTemporaryDir folder;
    const QString path = worksheetFile(folder.path());
    writeFile(path, FirstDay + SecondDay + BottomLineCsv);
    WorksheetPreload preload(path);
    preload.wait();
    writeFile(path, SecondDay + BottomLineCsv);
    TForm1 form(folder.path(), preload);
    EXPECT_EQ(form.Grid1->RowCount(), 3);
    EXPECT_EQ(form.Grid1->Cells(0, 1), "02-12-98 13:00");
}
