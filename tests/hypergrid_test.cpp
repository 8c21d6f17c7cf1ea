#include "hypergrid.h"
#include "testsupport.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <QBuffer>
#include <QDir>
#include <QSettings>
#include <QStringEncoder>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QStringList names(const ThgColumns &columns)
{
    QStringList list;
    for (int i = 0; i < columns.Count(); ++i)
        list << columns.Items(i)->Name();
    return list;
}

QStringList column(const THyperGrid &grid, int col)
{
    QStringList texts;
    for (int row = 0; row < grid.RowCount(); ++row)
        texts << grid.Cells(col, row);
    return texts;
}

// A grid of three columns a, b, c and four rows a0 … c3.
void fill(THyperGrid &grid)
{
    grid.setColCount(3);
    grid.setRowCount(4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            grid.setCells(c, r, QStringLiteral("%1%2").arg(QChar(u'a' + c)).arg(r));
}

void load(THyperGrid &grid, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    grid.LoadFromCSVStream(0, 1, buffer);
}

QByteArray save(const THyperGrid &grid)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(grid.SaveToCSVStream(0, 1, buffer));
    return buffer.data();
}

} // namespace

TEST(HyperGridColumns, OneNamedColumnObjectPerInitialColumn)
{
    THyperGrid grid;
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(names(grid.Columns()), QStringList({"Column 1", "Column 2", "Column 3", "Column 4", "Column 5"}));
    EXPECT_EQ(grid.DefaultRowHeight(), 20);
    EXPECT_FALSE(grid.DefaultDrawing());
    EXPECT_EQ(grid.Version(), "1.96");
}

TEST(HyperGridColumns, ColumnCountFreesOrAddsColumnObjects)
{
    THyperGrid grid;
    grid.setColCount(9);
    grid.Columns().Items(4)->setName(QStringLiteral("Column 8")); // a taken number is skipped later
    grid.Columns().Items(5)->setName(QStringLiteral("Column 06")); // takes no number
    grid.setColCount(7);
    EXPECT_EQ(names(grid.Columns()),
        QStringList({"Column 1", "Column 2", "Column 3", "Column 4", "Column 8", "Column 06", "Column 7"}));
    grid.setColCount(10);
    EXPECT_EQ(grid.Columns().Count(), 10);
    EXPECT_EQ(names(grid.Columns()).mid(7), QStringList({"Column 5", "Column 6", "Column 9"}));
}

TEST(HyperGridColumns, FindsColumnsByNameIgnoringCase)
{
    THyperGrid grid;
    grid.Columns().Items(1)->setName(QStringLiteral("Notes"));
    EXPECT_EQ(grid.ColumnByName(QStringLiteral("NOTES")), grid.Columns().Items(1));
    EXPECT_EQ(messageOf<EhgInvalidColumnName>([&] { grid.ColumnByName(QStringLiteral("Missing")); }),
        "Invalid column name \"Missing\"");
    // Names that differ in case are different names when picking a new one.
    grid.Columns().Items(0)->setName(QStringLiteral("column 6"));
    EXPECT_EQ(grid.Columns().UniqueItemName(), "Column 1");
}

TEST(HyperGridColumns, HiddenColumnKeepsItsTextsAndWidth)
{
    THyperGrid grid;
    fill(grid);
    grid.setColWidths(1, 33);
    ThgColumn *middle = grid.Columns().Items(1);
    middle->setVisible(false);
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.VisibleColumnCount(), 2);
    EXPECT_EQ(column(grid, 1), QStringList({"c0", "c1", "c2", "c3"}));
    EXPECT_EQ(middle->HiddenCells, QStringList({"b0", "b1", "b2", "b3"}));
    EXPECT_EQ(grid.ColumnAt(1), grid.Columns().Items(2));
    EXPECT_EQ(grid.GridColOf(middle), -1);

    grid.setCells(1, 2, QStringLiteral("changed c2"));
    middle->setVisible(true);
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(column(grid, 1), QStringList({"b0", "b1", "b2", "b3"}));
    EXPECT_EQ(column(grid, 2), QStringList({"c0", "c1", "changed c2", "c3"}));
    EXPECT_EQ(grid.ColWidths(1), 33);
    EXPECT_TRUE(middle->HiddenCells.isEmpty());
}

TEST(HyperGridColumns, ColumnAtRaisesBeyondTheVisibleColumns)
{
    THyperGrid grid;
    grid.setColCount(3);
    grid.Columns().Items(2)->setVisible(false);
    EXPECT_EQ(messageOf<EhgColumnIndexOutOfRange>([&] { grid.ColumnAt(2); }), "THyperGrid: Column index out of range");
    EXPECT_THROW(grid.ColumnAt(-1), ListIndexError);
}

TEST(HyperGridColumns, MovingAColumnMovesItsObject)
{
    THyperGrid grid;
    fill(grid);
    ThgColumn *first = grid.Columns().Items(0);
    grid.MoveColumn(0, 2);
    EXPECT_EQ(grid.Columns().Items(2), first);
    EXPECT_EQ(column(grid, 2), QStringList({"a0", "a1", "a2", "a3"}));
}

TEST(HyperGridRows, InsertAndRemoveKeepHiddenColumnsInStep)
{
    THyperGrid grid;
    fill(grid);
    ThgColumn *middle = grid.Columns().Items(1);
    middle->setVisible(false);
    grid.InsertRow(2);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(column(grid, 0), QStringList({"a0", "a1", "", "a2", "a3"}));
    EXPECT_EQ(middle->HiddenCells.mid(0, 5), QStringList({"b0", "b1", "", "b2", "b3"}));
    EXPECT_EQ(grid.RowHeights(2), grid.DefaultRowHeight());

    grid.RemoveRow(1);
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(column(grid, 0), QStringList({"a0", "", "a2", "a3"}));
    middle->setVisible(true);
    EXPECT_EQ(column(grid, 1), QStringList({"b0", "", "b2", "b3"}));
}

TEST(HyperGridRows, PermutedRowsTakeTheirHiddenTextsAlong)
{
    THyperGrid grid;
    fill(grid);
    grid.Columns().Items(1)->setVisible(false);
    grid.permuteRows(1, {3, 1, 2});
    EXPECT_EQ(column(grid, 0), QStringList({"a0", "a3", "a1", "a2"}));
    EXPECT_EQ(grid.Columns().Items(1)->HiddenCells, QStringList({"b0", "b3", "b1", "b2"}));
}

TEST(HyperGridRows, RefusesRowsOutsideTheDataRange)
{
    THyperGrid grid;
    fill(grid);
    EXPECT_EQ(messageOf<EhgRowIndexOutOfRange>([&] { grid.InsertRow(grid.RowCount()); }), "Cannot insert row 4");
    EXPECT_EQ(messageOf<EhgRowIndexOutOfRange>([&] { grid.RemoveRow(0); }), "Cannot delete row 0");
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.Cells(0, 0), "a0");
}

TEST(HyperGridRows, SelectRowIsIdleWhileEditingIsOn)
{
    THyperGrid grid;
    fill(grid);
    grid.setFixedCols(0);
    grid.setOptions(grid.Options() | goEditing);
    grid.SelectRow(3);
    EXPECT_EQ(grid.Row(), 1);
    grid.setOptions(grid.Options() & ~GridOptions(goEditing));
    grid.SelectRow(3);
    EXPECT_EQ(grid.Selection(), (CellRange {0, 3, 2, 3}));
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.Row(), 3);
}

TEST(HyperGridEvents, ExitAndEnterFireAroundAMoveAndCanRefuseIt)
{
    THyperGrid grid;
    fill(grid);
    QStringList log;
    bool refuse = false;
    grid.OnExitCell = [&](THyperGrid *, int c, int r, bool &can) {
        log << QStringLiteral("exit cell %1,%2").arg(c).arg(r);
        can = !refuse;
    };
    grid.OnExitRow = [&](THyperGrid *, int c, int r, bool &) { log << QStringLiteral("exit row %1,%2").arg(c).arg(r); };
    grid.OnEnterRow = [&](THyperGrid *, int c, int r) { log << QStringLiteral("enter row %1,%2").arg(c).arg(r); };
    grid.OnEnterCell = [&](THyperGrid *, int c, int r) { log << QStringLiteral("enter cell %1,%2").arg(c).arg(r); };
    grid.setRow(2);
    EXPECT_EQ(log, QStringList({"exit cell 1,1", "exit row 1,1", "enter row 1,2", "enter cell 1,2"}));
    log.clear();
    refuse = true;
    grid.setRow(3);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.TrackedCell(), (CellPosition {1, 2}));
}

TEST(HyperGridRepaint, ColumnColorRepaintsOnlyOnAChange)
{
    THyperGrid grid;
    int repaints = 0;
    auto original = grid.Columns().ItemChanged;
    grid.Columns().ItemChanged = [&](ThgHeading *item, int kind) {
        ++repaints;
        original(item, kind);
    };
    ThgColumn *col = grid.Columns().Items(0);
    col->setColumnColor(col->ColumnColor());
    EXPECT_EQ(repaints, 0);
    col->setColumnColor(clAqua);
    EXPECT_EQ(repaints, 1);
    col->setColumnFont(col->ColumnFont()); // fonts always notify and leave the parent font
    EXPECT_EQ(repaints, 2);
    EXPECT_FALSE(col->ColumnParentFont());
}

TEST(WorksheetFile, RoundTripKeepsEveryCellAndTheBottomLine)
{
    THyperGrid grid;
    grid.setColCount(9);
    grid.setRowCount(4);
    const QStringList row1
        = {"01-12-98 08:00", "01-12-98 12:30", "04:30", "", "01-12-98", "07:24", "", "-02:54", "Train \"late\", at 8"};
    const QStringList row2
        = {"02-12-98 13:00", "02-12-98 21:15", "08:15", "", "02-12-98", "07:24", "", "+00:51", "  blanks  "};
    for (int c = 0; c < 9; ++c) {
        grid.setCells(c, 1, row1[c]);
        grid.setCells(c, 2, row2[c]);
    }
    const QByteArray bytes = save(grid);
    EXPECT_TRUE(bytes.startsWith("\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\","
                                 "\"-02:54\",\"Train \"\"late\"\", at 8\"\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\n\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));

    THyperGrid copy;
    copy.setColCount(9);
    copy.setRowCount(2);
    load(copy, bytes);
    EXPECT_EQ(copy.RowCount(), 4);
    for (int r = 1; r < 4; ++r)
        EXPECT_EQ(copy.cellTable().rowTexts(r), grid.cellTable().rowTexts(r)) << r;
}

TEST(WorksheetFile, NotesWithLineBreaksStayOnTheirRow)
{
    THyperGrid grid;
    grid.setColCount(2);
    grid.setRowCount(4);
    grid.setCells(1, 1, QStringLiteral("line one\r\nline two\nthree"));
    grid.setCells(1, 2, QStringLiteral("next row"));
    THyperGrid copy;
    copy.setColCount(2);
    copy.setRowCount(2);
    load(copy, save(grid));
    EXPECT_EQ(copy.RowCount(), 4);
    EXPECT_EQ(copy.Cells(1, 1), "line one line two three");
    EXPECT_EQ(copy.Cells(1, 2), "next row");
}

TEST(WorksheetFile, ExtraFieldsAddColumnsThatAreSavedToo)
{
    THyperGrid grid;
    grid.setColCount(2);
    grid.setRowCount(2);
    load(grid, "\"a\",\"b\",\"c\"\r\n\"\",\"\"\r\n");
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.Columns().Count(), 3);
    EXPECT_EQ(grid.Cells(2, 1), "c");
    EXPECT_EQ(save(grid), QByteArray("\"a\",\"b\",\"c\"\r\n\"\",\"\",\"\"\r\n"));
}

// A run of commas in a damaged file: every field still becomes a column.
TEST(WorksheetFile, ThousandsOfFieldsOnALineAllBecomeColumns)
{
    THyperGrid grid;
    grid.setColCount(9);
    grid.setRowCount(2);
    QByteArray line = "\"0\"";
    for (int i = 1; i < 10000; ++i)
        line += ",\"" + QByteArray::number(i) + '"';
    line += "\r\n";
    load(grid, line);
    EXPECT_EQ(grid.ColCount(), 10000);
    EXPECT_EQ(grid.Columns().Count(), 10000);
    EXPECT_EQ(grid.Columns().Items(9999)->Name(), "Column 10000");
    EXPECT_EQ(grid.Cells(9999, 1), "9999");
    EXPECT_EQ(save(grid), line);
}

TEST(WorksheetFile, ReadingOnlyGrowsTheGrid)
{
    THyperGrid grid;
    grid.setColCount(2);
    grid.setRowCount(5);
    grid.setCells(0, 4, QStringLiteral("kept"));
    load(grid, "");
    EXPECT_EQ(grid.RowCount(), 5);
    load(grid, "\"x\"\r\n");
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.Cells(0, 1), "x");
    EXPECT_EQ(grid.Cells(0, 4), "kept");
}

TEST(WorksheetFile, HiddenColumnsReadAndWriteTheirOwnTexts)
{
    THyperGrid grid;
    grid.setColCount(3);
    grid.setRowCount(2);
    grid.Columns().Items(1)->setVisible(false);
    load(grid, "\"a\",\"b\",\"c\"\r\n\"d\",\"e\",\"f\"\r\n");
    EXPECT_EQ(grid.Cells(0, 2), "d");
    EXPECT_EQ(grid.Cells(1, 2), "f");
    EXPECT_EQ(grid.Columns().Items(1)->HiddenCells.mid(1, 2), QStringList({"b", "e"}));
    EXPECT_EQ(save(grid), QByteArray("\"a\",\"b\",\"c\"\r\n\"d\",\"e\",\"f\"\r\n"));
}

TEST(WorksheetFile, DamagedFilesLoadWithoutACrash)
{
    QByteArray garbage;
    for (int i = 0; i < 5000; ++i)
        garbage.append(char((i * 7919) % 256));
    const QByteArray cases[] = {
        garbage,
        QByteArray("\"a\",\"b\0c\",\"d\"\r\n\"e\"", 19),
        QByteArray(300000, 'x'),
        QByteArray("\"unclosed,\"\r\n\r\n\r\n,,,,,,,,,,\r\n"),
        QByteArray("\n\r\n\r\r\r"),
    };
    for (const QByteArray &bytes : cases) {
        THyperGrid grid;
        grid.setColCount(9);
        grid.setRowCount(2);
        load(grid, bytes);
        EXPECT_GE(grid.RowCount(), 2);
        EXPECT_EQ(grid.ColCount(), grid.Columns().Count());
        // What could be read is saved so that it reads back as it was.
        THyperGrid copy;
        copy.setColCount(9);
        copy.setRowCount(2);
        load(copy, save(grid));
        EXPECT_EQ(copy.RowCount(), grid.RowCount());
        EXPECT_EQ(copy.ColCount(), grid.ColCount());
        for (int r = 1; r < grid.RowCount(); ++r)
            ASSERT_EQ(copy.cellTable().rowTexts(r), grid.cellTable().rowTexts(r)) << r;
    }
}

TEST(WorksheetFile, FilesAreWrittenBackInTheEncodingTheyWereReadIn)
{
    const QByteArray windows1252 = "\"K\xF8"
                                   "b m\xE6lk \x80 3\"\r\n";
    const QByteArray utf8 = "\"K\xC3\xB8"
                            "b m\xC3\xA6lk \xE2\x82\xAC 3\"\r\n";
    const struct
    {
        QByteArray file;
        QString newText; // typed over the first cell before saving, unless empty
        QByteArray saved;
    } cases[] = {
        {windows1252, {}, windows1252},
        {windows1252, QStringLiteral("\u03A9"), "\"\xCE\xA9\"\r\n"}, // a letter Windows-1252 lacks
        {windows1252 + utf8, {}, utf8 + utf8},
    };
    for (const auto &c : cases) {
        THyperGrid grid;
        grid.setColCount(1);
        grid.setRowCount(2);
        load(grid, c.file);
        if (!c.newText.isEmpty())
            grid.setCells(0, 1, c.newText);
        EXPECT_EQ(save(grid), c.saved) << c.file.toStdString();
    }
}

TEST(WorksheetFile, MissingFileAndFailedSaveAreReported)
{
    QTemporaryDir dir;
    THyperGrid grid;
    const QString missing = dir.filePath(QStringLiteral("Hourbook.csv"));
    EXPECT_EQ(messageOf<FileOpenError>([&] { grid.LoadFromCSV(0, 1, missing); }), "Cannot open file " + missing);

    // A folder that does not exist cannot take the file.
    const QString unwritable = dir.filePath(QStringLiteral("no/such/folder/Hourbook.csv"));
    EXPECT_EQ(
        messageOf<FileCreateError>([&] { grid.SaveToCSV(0, 1, unwritable); }), "Cannot create file " + unwritable);
}

TEST(WorksheetFile, OnlyARegularFileIsRead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Hourbook.csv"));
    const QByteArray name = QFile::encodeName(path);
    ASSERT_EQ(mkfifo(name.constData(), 0600), 0);
    // A writer that waits for a reader of the pipe. Had the grid opened it,
    // it would read a line and the pipe's end instead of waiting for ever.
    std::thread writer([&] {
        const int pipe = open(name.constData(), O_WRONLY);
        EXPECT_EQ(write(pipe, "\"x\"\r\n", 5), 5);
        close(pipe);
    });
    THyperGrid grid;
    EXPECT_EQ(messageOf<FileOpenError>([&] { grid.LoadFromCSV(0, 1, path); }), "Cannot open file " + path);
    const int reader = open(name.constData(), O_RDONLY | O_NONBLOCK); // lets the writer go
    writer.join();
    close(reader);
}

TEST(WorksheetFile, FailedSaveLeavesThePreviousFileIntact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Hourbook.csv"));
    writeFile(path, "\"old\"\r\n");
    THyperGrid grid;
    grid.setRowCount(3000);
    for (int r = 1; r < 3000; ++r)
        grid.setCells(0, r, QStringLiteral("a longer text on every row"));

    // A disk that fills up half way through the write: files may not grow
    // beyond 10 000 bytes for a moment.
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 10000;
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(grid.SaveToCSV(0, 1, path), FileCreateError);
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_EQ(readFile(path), "\"old\"\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Hourbook.csv"})); // no leftovers
    grid.SaveToCSV(0, 1, path);
    EXPECT_TRUE(readFile(path).startsWith("\"a longer text on every row\""));
}

TEST(WorksheetFile, ReadOnlyFileOrFolderIsReportedAndChangesNothing)
{
    using P = QFileDevice;
    const struct
    {
        const char *what;
        P::Permissions file;
        P::Permissions folder;
        // Permissions on a folder bind only an ordinary user; a file that no
        // one may write is left alone whoever saves.
        bool asOrdinaryUser;
    } cases[] = {
        {"read-only file", P::ReadOwner | P::ReadGroup | P::ReadOther, P::ReadOwner | P::WriteOwner | P::ExeOwner,
            false},
        {"read-only folder", P::ReadOwner | P::WriteOwner, P::ReadOwner | P::ExeOwner, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        std::optional<OrdinaryUser> user;
        if (c.asOrdinaryUser && !user.emplace(dir.path()).ok())
            GTEST_SKIP() << "the superuser could not take an ordinary user's identity";
        const QString path = dir.filePath(QStringLiteral("Hourbook.csv"));
        writeFile(path, "\"old\"\r\n");
        QFile::setPermissions(path, c.file);
        QFile::setPermissions(dir.path(), c.folder);
        THyperGrid grid;
        grid.setCells(0, 1, QStringLiteral("new"));
        EXPECT_EQ(messageOf<FileCreateError>([&] { grid.SaveToCSV(0, 1, path); }), "Cannot create file " + path);
        QFile::setPermissions(dir.path(), P::ReadOwner | P::WriteOwner | P::ExeOwner);
        EXPECT_EQ(readFile(path), "\"old\"\r\n");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Hourbook.csv"}));
    }
}

TEST(ColumnWidths, SavedByNameAndRestored)
{
    QTemporaryDir dir;
    THyperGrid::setColumnWidthsFile(dir.filePath(QStringLiteral("widths.ini")));
    {
        THyperGrid grid;
        grid.setColumnsRegistryKey(QStringLiteral("Test\\Grid"));
        grid.setColWidths(2, 120);
    } // saved when destroyed
    {
        QSettings settings(THyperGrid::ColumnWidthsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Test/Grid/Unknown"), 10); // skipped
        settings.setValue(QStringLiteral("Test/Grid/Column 4"), QStringLiteral("wide")); // skipped
    }
    THyperGrid grid;
    grid.setColumnsRegistryKey(QStringLiteral("Test\\Grid"));
    grid.Loaded();
    EXPECT_EQ(grid.ColWidths(2), 120);
    EXPECT_EQ(grid.ColWidths(3), 64);
    grid.setColumnsRegistryKey(QString());
    THyperGrid::setColumnWidthsFile(QString());
}

namespace {

// Five columns, the fourth hidden, with every kind of text a cell can hold;
// with emoji false, only texts that Windows-1252 can write, and no halves of
// a surrogate pair on their own.
void fillWithEveryKindOfText(THyperGrid &grid, bool emoji)
{
    grid.setColCount(5);
    grid.Columns().Items(3)->setVisible(false);
    const QString texts[][5] = {
        {"01-12-98 08:00", "", "Train \"late\", at 8", "hidden \"one\"", "K\u00F8be m\u00E6lk \u20AC 5\u20136"},
        {"", "", "", "", ""},
        {"\"", "\"\"", ",", "", "first\r\nsecond\nthird\rfourth\r\n"},
        {" blanks ", emoji ? QString(QChar(0xD83D)) : "", emoji ? "\U0001F600 smile" : "no smile", "",
            emoji ? QChar(0xDE00) + QStringLiteral("z") : ""},
        {QString(70000, u'x'), "", "", "\u00E6\u00F8\u00E5", "end"},
    };
    grid.setRowCount(1 + std::size(texts) + 1);
    for (int r = 0; r < int(std::size(texts)); ++r) {
        for (int c = 0; c < 5; ++c) {
            if (c == 3)
                grid.Columns().Items(3)->HiddenCells[r + 1] = texts[r][c];
            else
                grid.setCells(c < 3 ? c : c - 1, r + 1, texts[r][c]);
        }
    }
}

} // namespace

TEST(WorksheetBytes, EveryKindOfTextIsWrittenAsBefore)
{
    const QByteArray longCell = "\"" + QByteArray(70000, 'x') + "\"";
    THyperGrid utf8;
    fillWithEveryKindOfText(utf8, true);
    EXPECT_EQ(save(utf8),
        "\"01-12-98 08:00\",\"\",\"Train \"\"late\"\", at 8\",\"hidden \"\"one\"\"\",\"K\xC3\xB8"
        "be m\xC3\xA6lk \xE2\x82\xAC 5\xE2\x80\x93"
        "6\"\r\n"
        "\"\",\"\",\"\",\"\",\"\"\r\n"
        "\"\"\"\",\"\"\"\"\"\",\",\",\"\",\"first second third fourth \"\r\n"
        "\" blanks \",\"\xEF\xBF\xBD\",\"\xF0\x9F\x98\x80 smile\",\"\",\"\xEF\xBF\xBDz\"\r\n"
            + longCell
            + ",\"\",\"\",\"\xC3\xA6\xC3\xB8\xC3\xA5\",\"end\"\r\n"
              "\"\",\"\",\"\",\"\",\"\"\r\n");

    THyperGrid windows1252;
    load(windows1252, "\"\xF8\"\r\n");
    fillWithEveryKindOfText(windows1252, false);
    EXPECT_EQ(save(windows1252),
        "\"01-12-98 08:00\",\"\",\"Train \"\"late\"\", at 8\",\"hidden \"\"one\"\"\",\"K\xF8"
        "be m\xE6lk \x80 5\x96"
        "6\"\r\n"
        "\"\",\"\",\"\",\"\",\"\"\r\n"
        "\"\"\"\",\"\"\"\"\"\",\",\",\"\",\"first second third fourth \"\r\n"
        "\" blanks \",\"\",\"no smile\",\"\",\"\"\r\n"
            + longCell
            + ",\"\",\"\",\"\xE6\xF8\xE5\",\"end\"\r\n"
              "\"\",\"\",\"\",\"\",\"\"\r\n");
}

namespace {

// Every row from 1 on as the texts of all column objects, hidden ones
// included, joined by "|".
QStringList rowsOf(const THyperGrid &grid)
{
    QStringList rows;
    for (int r = 1; r < grid.RowCount(); ++r) {
        QStringList texts;
        for (int i = 0; i < grid.Columns().Count(); ++i) {
            const ThgColumn *column = grid.Columns().Items(i);
            const int col = grid.GridColOf(column);
            texts << (col >= 0 ? grid.Cells(col, r) : column->HiddenCells.value(r));
        }
        rows << texts.join(u'|');
    }
    return rows;
}

} // namespace

TEST(WorksheetBytes, EveryReadingRuleGivesTheTextsAsBefore)
{
    const QByteArray file("\xEF\xBB\xBF\"01-12-98 08:00\",  unquoted blanks  ,\"Train \"\"late\"\", at 8\",\"K\xC3\xB8"
                          "be\"\r\n"
                          "\"K\xF8"
                          "be \x80\"tail,  \"\xE6\"\r\n"
                          "\r\n"
                          "\"no\0te\",a\0b\tc\r\n"
                          "\"\xEF\xBB\xBF\xC3\xB8\",\"\"\n"
                          "\"unclosed, rest\n"
                          "\r"
                          "a,b,c,d,e,f,g\r\n"
                          "\"short\"",
        159);
    const QStringList lines = {
        "01-12-98 08:00|unquoted blanks|Train \"late\", at 8|Købe|||",
        "Købe €\"tail,  \"æ||||||", // a quote inside a quoted field is text
        "||||||",
        "no te|a b|c||||",
        QStringLiteral("\uFEFF\u00F8||||||"),
        "unclosed, rest||||||",
        "||||||",
        "a|b|c|d|e|f|g",
    };
    THyperGrid fresh;
    fresh.setColCount(5);
    fresh.setRowCount(2);
    load(fresh, file);
    EXPECT_EQ(rowsOf(fresh), lines + QStringList({"short||||||"}));

    // Cells that no field reaches keep their texts; the grid never shrinks.
    THyperGrid filled;
    filled.setColCount(5);
    filled.setRowCount(12);
    filled.Columns().Items(2)->setVisible(false);
    filled.setCells(1, 9, QStringLiteral("old 1"));
    filled.setCells(2, 9, QStringLiteral("old 2"));
    filled.setCells(0, 11, QStringLiteral("kept"));
    load(filled, file);
    EXPECT_EQ(rowsOf(filled), lines + QStringList({"short|old 1||old 2|||", "||||||", "kept||||||"}));

    THyperGrid unicode;
    unicode.setColCount(2);
    unicode.setRowCount(2);
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    load(unicode, encoder(QStringLiteral("\"K\u00F8be\",\"\U0001F600\"\r\n  x  ,\"\uFEFF\"\r\n\"open")));
    EXPECT_EQ(rowsOf(unicode), QStringList({"Købe|😀", "x|\uFEFF", "open|"}));
}
