#include "clocksource.h"
#include "hypergrid.h"
#include "mainwindow.h"
#include "testsupport.h"
#include "worksheetpreload.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

namespace {

// Lines that hold anything beyond blanks, control characters, quotes and
// commas: the periods of a file, whatever its encoding.
int periodsIn(const QByteArray &bytes)
{
    int periods = 0;
    for (const QByteArray &line : QByteArray(bytes).replace('\r', '\n').split('\n'))
        if (std::any_of(line.begin(), line.end(), [](char c) { return uchar(c) > 32 && c != '"' && c != ','; }))
            ++periods;
    return periods;
}

QList<QStringList> dataRows(const THyperGrid &grid)
{
    QList<QStringList> rows;
    for (int r = 1; r < grid.RowCount(); ++r)
        rows << grid.cellTable().rowTexts(r);
    return rows;
}

} // namespace

// Each file is read by the main window at start-up and written back when it
// closes: no period may go missing, and what was read must be what the saved
// file holds.
TEST(BadWorksheetFiles, ComeBackFromAStartAndAnExitAsTheyWereRead)
{
    QByteArray twelvePeriods;
    for (int day = 1; day <= 12; ++day)
        twelvePeriods += morningPeriodCsv(day, day == 6 ? QByteArray("lunch\0break", 11) : "note");
    QByteArray garbage;
    for (int i = 0; i < 5000; ++i)
        garbage.append(char((i * 7919) % 256));
    QByteArray wideLine = morningPeriodCsv(1, "wide").chopped(2);
    for (int i = 0; i < 10000; ++i)
        wideLine += ",\"" + QByteArray::number(i) + '"';
    const QByteArray workedExample
        = morningPeriodCsv(1, "Train \"\"late\"\"") + morningPeriodCsv(2, "") + BottomLineCsv;
    const QByteArray accented = morningPeriodCsv(1, "K\xC3\xB8") + morningPeriodCsv(2, "\xC3\xA6") + BottomLineCsv;

    const struct
    {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"well-formed", workedExample},
        {"zero bytes", twelvePeriods + BottomLineCsv + QByteArray("\"a\",\"b\0c\",\"d\"\r\n\"e\"", 19)},
        {"garbage", garbage},
        {"one long field", QByteArray(300000, 'x')},
        {"unclosed quotes", morningPeriodCsv(1, "unclosed").chopped(3) + "\r\n\"unclosed,\"\r\n\r\n,,,,,,,,,,\r\n"},
        {"line ends only", "\n\r\n\r\r\r"},
        {"UTF-16 LE", utf16(accented, QStringConverter::Utf16LE)},
        {"UTF-16 BE", utf16(accented, QStringConverter::Utf16BE)},
        {"Windows-1252", morningPeriodCsv(1, "K\xF8") + morningPeriodCsv(2, "\x80 5\x96") + BottomLineCsv},
        {"UTF-8 and one Windows-1252 line",
            morningPeriodCsv(1, "K\xC3\xB8") + morningPeriodCsv(2, "K\xF8") + BottomLineCsv},
        {"byte-order marks", "\xEF\xBB\xBF" + morningPeriodCsv(1, "\xEF\xBB\xBFnote") + BottomLineCsv},
        {"ten thousand fields", wideLine + "\r\n" + BottomLineCsv},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Hourbook.csv"));
        writeFile(path, c.bytes);
        FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(14, 5)));
        MessageRecorder messages; // a damaged file may hold texts that do not parse
        QList<QStringList> read;
        {
            TForm1 form(folder.path());
            form.show();
            read = dataRows(*form.Grid1);
            ASSERT_TRUE(form.close());
        }
        const QByteArray saved = readFile(path);
        EXPECT_GE(periodsIn(saved), periodsIn(c.bytes));
        THyperGrid again;
        again.setRowCount(2);
        again.LoadFromCSV(0, 1, path);
        EXPECT_EQ(dataRows(again), read);
    }
}

// Files that other programs wrote or changed: a start reads them without a
// message, whether the rows were read ahead or by the window, and the exit
// saves them in the program's own forms.
TEST(BadWorksheetFiles, FromOtherProgramsStartWithoutAMessageAndAreSavedInOwnForms)
{
    for (const ForeignWorksheet &file : foreignWorksheets()) {
        for (const bool preloaded : {false, true}) {
            SCOPED_TRACE(std::string(file.name) + (preloaded ? ", read ahead" : ""));
            QTemporaryDir folder;
            const QString path = folder.filePath(QStringLiteral("Hourbook.csv"));
            writeFile(path, file.bytes);
            FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(14, 5)));
            MessageRecorder messages;
            {
                std::optional<WorksheetPreload> preload;
                if (preloaded)
                    preload.emplace(path);
                const auto form = preloaded ? std::make_unique<TForm1>(folder.path(), *preload)
                                            : std::make_unique<TForm1>(folder.path());
                form->show();
                EXPECT_EQ(dataRows(*form->Grid1), csvLines(file.saved));
                ASSERT_TRUE(form->close());
            }
            EXPECT_EQ(messages.texts, QStringList());
            EXPECT_EQ(readFile(path), file.saved);
        }
    }
}
