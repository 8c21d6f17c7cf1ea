#include "gridsorter.h"
#include "testsupport.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

using Sorter = TSortAStringGrid;
using Type = TSortAStringGrid::ToSortType;

// A title row, one data row per key with a marker "rN" (the row it started in)
// two columns further and a height of its own, and an empty bottom line.
struct Sheet
{
    QStringList keys;
    TStringGrid grid;
    Sorter sorter;
    MessageRecorder messages;

    explicit Sheet(const QStringList &keys, Type type = Type::Character, bool caseSensitiv = false)
        : keys(keys)
    {
        grid.setColCount(3);
        grid.setRowCount(int(keys.size()) + 2);
        for (int r = 1; r <= keys.size(); ++r) {
            grid.setCells(0, r, keys[r - 1]);
            grid.setCells(2, r, QStringLiteral("r%1").arg(r));
            grid.setRowHeights(r, 18 + r);
        }
        sorter.setGridToSort(&grid);
        sorter.setStartIndex(1);
        sorter.setEndIndex(int(keys.size()));
        sorter.setSortType(type);
        sorter.setCaseSensitiv(caseSensitiv);
        sorter.setShowMessageOnError(true);
    }

    QStringList column(int col) const
    {
        QStringList texts;
        for (int r = 1; r <= keys.size(); ++r)
            texts << grid.Cells(col, r);
        return texts;
    }

    // Sorts and tells the keys in their new order, checking that every row
    // moved whole (its key, its marker and its height) to where the sorter
    // says it went.
    QStringList sorted()
    {
        EXPECT_TRUE(sorter.SortGrid());
        for (int r = 1; r <= keys.size(); ++r) {
            const int from = grid.Cells(2, r).mid(1).toInt();
            EXPECT_EQ(grid.Cells(0, r), keys.value(from - 1));
            EXPECT_EQ(grid.RowHeights(r), 18 + from);
            EXPECT_EQ(sorter.newIndexOf(from), r);
        }
        EXPECT_EQ(grid.cellTable().rowTexts(grid.RowCount() - 1).join(""), "");
        return column(0);
    }
};

const QStringList DateExample = {"01-12-98 08:00", "30-11-98 17:00", "01-12-98 07:15"};

} // namespace

TEST(GridSorter, EqualKeysFollowTheQuicksortAndSmallTextRangesKeepTheirOrder)
{
    // Up to five text rows are bubble-sorted: equal keys (also equal once
    // upper-cased) keep their order.
    Sheet small({"b", "A", "B", "a", "b"});
    small.sorted();
    EXPECT_EQ(small.column(2), QStringList({"r2", "r4", "r1", "r3", "r5"}));

    // Six rows: the first partition (pivot the third row) is the same for
    // both; then Numeric partitions again while Character bubble-sorts the
    // two parts. Traced by hand.
    const QStringList keys = {"2", "1", "1", "2", "1", "2"};
    Sheet numeric(keys, Type::Numeric);
    numeric.sorted();
    EXPECT_EQ(numeric.column(2), QStringList({"r3", "r5", "r2", "r6", "r1", "r4"}));
    Sheet text(keys);
    text.sorted();
    EXPECT_EQ(text.column(2), QStringList({"r5", "r3", "r2", "r4", "r1", "r6"}));
}

TEST(GridSorter, DescendingIsTheExactReverseOfAscending)
{
    QStringList keys; // 13 distinct keys over 300 rows
    for (int i = 0; i < 300; ++i)
        keys << QStringLiteral("%1-12-98 08:00").arg(1 + i * 7 % 13, 2, 10, QChar(u'0'));
    for (const Type type : {Type::Character, Type::Date}) {
        Sheet up(keys, type);
        up.sorted();
        Sheet down(keys, type);
        down.sorter.setSortDirection(Sorter::SortDirType::Descending);
        down.sorted();
        QStringList reversed = up.column(2);
        std::reverse(reversed.begin(), reversed.end());
        EXPECT_EQ(down.column(2), reversed);
    }
}

TEST(GridSorter, ErrorsLeaveTheGridUntouched)
{
    struct Case
    {
        int status;
        QString text;
        std::function<void(Sorter &)> setUp;
    };
    const auto range = [](int start, int end) {
        return [=](Sorter &s) {
            s.setStartIndex(start);
            s.setEndIndex(end);
        };
    };
    // The grid has 5 rows and 3 columns; a run that got past the checks
    // would move its keys.
    const std::vector<Case> cases = {
        {1, "No StringGrid given", [](Sorter &s) { s.setGridToSort(nullptr); }},
        {2, "StartIndex is greater or equal to EndIndex", range(1, 1)},
        {2, "StartIndex is greater or equal to EndIndex", range(-1, -2)}, // checked before 3
        {3, "StartIndex is less then 0", range(-1, 3)},
        {4, "StartIndex is greater then number of rows/columns in StringGrid", range(5, 6)},
        {5, "EndIndex is greater then number of rows/columns in StringGrid", range(1, 5)},
        {6, "Sort Index is less then 0", [](Sorter &s) { s.setSortIndex(-1); }},
        {7, "Sort Index is greater then number of rows/columns in StringGrid", [](Sorter &s) { s.setSortIndex(3); }},
    };
    for (const Case &c : cases) {
        for (const bool show : {false, true}) {
            SCOPED_TRACE(c.text.toStdString());
            Sheet s({"b", "x", "a"}, Type::Numeric);
            s.sorter.setShowMessageOnError(show);
            c.setUp(s.sorter);
            EXPECT_FALSE(s.sorter.SortGrid());
            EXPECT_EQ(s.sorter.Status(), c.status);
            EXPECT_EQ(s.sorter.StatusMessage(), c.text);
            EXPECT_EQ(s.column(0), s.keys);
            EXPECT_EQ(s.sorter.newIndexOf(1), 1);
            EXPECT_EQ(s.messages.texts, show ? QStringList {c.text} : QStringList());
            EXPECT_EQ(s.messages.kinds, show ? QList {MessageKind::Error} : QList<MessageKind>());
        }
    }
}

TEST(GridSorter, KeysCompareAsTextNumbersOrDatesAndWarn)
{
    const QString notAllNumbers = "Column/Row contains non-numerical values for numeric sort. Sorted as Character.";
    const QString numericCase = "Case Sensitivity ignored for Numeical Sort.";
    const QString notAllDates = "Column/Row contains non-date values for date sort. Sorted as Character.";
    struct Case
    {
        Type type;
        bool caseSensitiv;
        QStringList keys;
        QString warning; // empty for none
        QStringList sorted;
    };
    // Code units compare unsigned, a prefix first; only a-z are upper-cased,
    // so "_" (between "Z" and "a") follows all letters unless case counts.
    const QStringList texts = {"beta", "Alpha", "alphabet", "\u00e4", "\u00c4", "Zulu", "_x", ""};
    const std::vector<Case> cases = {
        {Type::Date, false, DateExample, "", {"30-11-98 17:00", "01-12-98 07:15", "01-12-98 08:00"}},
        // Periods of one day in an order that comparing the days alone would leave.
        {Type::Date, false, {"07-12-26 10:00", "07-12-26 08:00", "07-12-26 09:00"}, "",
            {"07-12-26 08:00", "07-12-26 09:00", "07-12-26 10:00"}},
        {Type::Character, false, DateExample, "", {"01-12-98 07:15", "01-12-98 08:00", "30-11-98 17:00"}},
        {Type::Character, false, texts, "", {"", "Alpha", "alphabet", "beta", "Zulu", "_x", "\u00c4", "\u00e4"}},
        {Type::Character, true, texts, "", {"", "Alpha", "Zulu", "_x", "alphabet", "beta", "\u00c4", "\u00e4"}},
        // Both ends of a-z fold: "a" and "z" come before "_" too.
        {Type::Character, false, {"_x", "zz", "ZA", "ab"}, "", {"ab", "ZA", "zz", "_x"}},
        {Type::Numeric, false, {"10", "  9", "-3", "$1F", "+100", "0"}, "", {"-3", "0", "  9", "10", "$1F", "+100"}},
        {Type::Numeric, true, {"10", "9", "100"}, numericCase, {"9", "10", "100"}},
        {Type::Numeric, false, {"10", "9", "1.5"}, notAllNumbers, {"1.5", "10", "9"}},
        {Type::Numeric, false, {"10", "", "9"}, notAllNumbers, {"", "10", "9"}},
        // A number after the non-number turns the warning back.
        {Type::Numeric, true, {"10", "b", "9"}, numericCase, {"10", "9", "b"}},
        {Type::Numeric, true, {"10", "9", "b"}, notAllNumbers, {"10", "9", "b"}},
        {Type::Date, true, DateExample, "Case Sensitivity ignored for Date Sort.",
            {"30-11-98 17:00", "01-12-98 07:15", "01-12-98 08:00"}},
        {Type::Date, true, {"02-01-99 10:00", "later", "01-01-99 10:00", ""}, notAllDates,
            {"", "01-01-99 10:00", "02-01-99 10:00", "later"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.keys.join('|').toStdString());
        Sheet s(c.keys, c.type, c.caseSensitiv);
        EXPECT_EQ(s.sorted(), c.sorted);
        EXPECT_EQ(s.sorter.StatusMessage(), c.warning.isEmpty() ? "Ok" : c.warning);
        EXPECT_EQ(s.messages.texts, c.warning.isEmpty() ? QStringList() : QStringList {c.warning});
        EXPECT_EQ(s.messages.kinds, c.warning.isEmpty() ? QList<MessageKind>() : QList {MessageKind::Warning});

        // Sorting as text is for that run only: the next one converts the
        // keys again and warns again.
        EXPECT_EQ(s.sorter.SortType(), c.type);
        EXPECT_TRUE(s.sorter.SortGrid());
        EXPECT_EQ(s.sorter.Status() == Sorter::Ok, c.warning.isEmpty());
        EXPECT_EQ(s.messages.texts.size(), c.warning.isEmpty() ? 0 : 2);
    }
}

TEST(GridSorter, ColumnsSortByTheKeysOfARow)
{
    TStringGrid grid;
    grid.setColCount(5);
    grid.setRowCount(7);
    const QStringList keys = {"title", "30-11-98", "01-12-98 07:15", "01-01-99", "29-11-98"};
    for (int c = 0; c < 5; ++c) {
        grid.setCells(c, 2, keys[c]);
        grid.setCells(c, 6, QStringLiteral("c%1").arg(c));
    }
    Sorter sorter;
    sorter.setGridToSort(&grid);
    sorter.setHowToSort(Sorter::SortOrientation::Column);
    sorter.setSortType(Type::Date);
    sorter.setSortIndex(2);
    sorter.setStartIndex(1);
    sorter.setEndIndex(4);
    EXPECT_TRUE(sorter.SortGrid());
    EXPECT_EQ(
        grid.cellTable().rowTexts(2), QStringList({"title", "29-11-98", "30-11-98", "01-12-98 07:15", "01-01-99"}));
    EXPECT_EQ(grid.cellTable().rowTexts(6), QStringList({"c0", "c4", "c1", "c2", "c3"}));

    // The range is checked against the row count and the sort index against
    // the column count, whichever way the grid is sorted.
    sorter.setSortIndex(5);
    EXPECT_FALSE(sorter.SortGrid());
    EXPECT_EQ(sorter.Status(), Sorter::SortIndexBeyondGrid);

    // So a range may run past the last column: the columns there are sort,
    // and no text is lost.
    sorter.setSortIndex(2);
    sorter.setEndIndex(6);
    sorter.setSortDirection(Sorter::SortDirType::Descending);
    EXPECT_TRUE(sorter.SortGrid());
    EXPECT_EQ(grid.cellTable().rowTexts(6), QStringList({"c0", "c3", "c2", "c1", "c4"}));
}

TEST(GridSorter, ForgetsTheGridWhenItIsDestroyed)
{
    auto grid = std::make_unique<TStringGrid>();
    Sorter sorter;
    sorter.setGridToSort(grid.get());
    sorter.setEndIndex(2);
    grid.reset();
    EXPECT_EQ(sorter.GridToSort(), nullptr);
    EXPECT_FALSE(sorter.SortGrid());
    EXPECT_EQ(sorter.Status(), Sorter::NoGrid);
}

TEST(GridSorter, RangeBeyondSixteenBitIndicesSorts)
{
    QStringList keys; // falling, repeating every 1000 rows
    for (int i = 70000; i > 0; --i)
        keys << QString::number(i % 1000);
    Sheet s(keys, Type::Numeric);
    const QStringList sorted = s.sorted();
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end(), [](auto &a, auto &b) { return a.toInt() < b.toInt(); }));
}
