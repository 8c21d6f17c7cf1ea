#include "celltable.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {
CellTable table(int cols, int rows)
{
    CellTable t;
    t.resize(cols, rows);
    return t;
}
} // namespace

TEST(CellTable, KeepsEveryCellOfARowApart)
{
    CellTable t = table(9, 3);
    t.setCell(8, 1, u"note");
    t.setCell(0, 1, u"start");
    t.setCell(4, 1, u"");
    t.setCell(3, 1, u"x");
    EXPECT_EQ(t.text(0, 1), "start");
    EXPECT_EQ(t.text(3, 1), "x");
    EXPECT_EQ(t.text(4, 1), "");
    EXPECT_EQ(t.text(8, 1), "note");
    EXPECT_EQ(t.text(8, 2), "");
    EXPECT_EQ(t.text(9, 1), ""); // outside reads as empty
    EXPECT_EQ(t.text(0, -1), "");
    t.setCell(8, 1, u"");
    EXPECT_EQ(t.rowTexts(1), QStringList({"start", "", "", "x", "", "", "", "", ""}));
}

TEST(CellTable, HoldsCellsLongerThanSixtyFiveThousandCharacters)
{
    CellTable t = table(3, 1);
    const QString huge(70000, u'a');
    t.setCell(1, 0, huge);
    t.setCell(2, 0, u"after");
    t.setCell(0, 0, u"before");
    EXPECT_EQ(t.text(1, 0), huge);
    EXPECT_EQ(t.text(2, 0), "after");
    EXPECT_EQ(t.text(0, 0), "before");
}

// Cells are copied into their row several characters at a time: each length
// ends the copy at another point of the last few.
TEST(CellTable, KeepsCellsOfEveryLengthWhole)
{
    CellTable t = table(3, 41);
    auto textOf = [](int length, char16_t first) {
        QString text;
        for (int k = 0; k < length; ++k)
            text += QChar(char16_t(first + k));
        return text;
    };
    for (int length = 0; length <= 40; ++length) {
        const QString texts[] = {textOf(length, u'A'), textOf(length + 1, u'a'), textOf(40 - length, u'0')};
        const QStringView views[] = {texts[0], texts[1], texts[2]};
        t.setRowTexts(length, 0, views);
    }
    for (int length = 0; length <= 40; ++length) {
        EXPECT_EQ(t.text(0, length), textOf(length, u'A')) << length;
        EXPECT_EQ(t.text(1, length), textOf(length + 1, u'a')) << length;
        EXPECT_EQ(t.text(2, length), textOf(40 - length, u'0')) << length;
    }
}

TEST(CellTable, MovesRowsAndColumnsWithTheirTexts)
{
    CellTable t = table(3, 4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            t.setCell(c, r, QStringLiteral("%1%2").arg(QChar(u'a' + c)).arg(r));
    t.moveRow(0, 2);
    EXPECT_EQ(t.text(0, 0), "a1");
    EXPECT_EQ(t.text(0, 1), "a2");
    EXPECT_EQ(t.text(0, 2), "a0");
    t.moveRow(2, 0);
    EXPECT_EQ(t.text(0, 0), "a0");
    t.swapRows(0, 3);
    EXPECT_EQ(t.text(1, 0), "b3");
    t.moveColumn(0, 2);
    EXPECT_EQ(t.rowTexts(1), QStringList({"b1", "c1", "a1"}));
}

TEST(CellTable, ShrinkingDropsTheTextsCutAway)
{
    CellTable t = table(3, 2);
    t.setCell(2, 1, u"gone");
    t.resize(2, 2);
    t.resize(3, 2);
    EXPECT_EQ(t.text(2, 1), "");
    t.setCell(0, 1, u"kept");
    t.resize(3, 1);
    t.resize(3, 2);
    EXPECT_EQ(t.text(0, 1), "");
}

TEST(CellTable, ReportsOnlyRealChanges)
{
    CellTable t = table(2, 2);
    int changes = 0;
    t.setChangeListener([&] { ++changes; });
    t.setCell(0, 0, u"a");
    t.setCell(0, 0, u"a");
    t.clearRow(1);
    EXPECT_EQ(changes, 1);
}

TEST(CellTable, TrackedRowFollowsItsTextsThroughEveryMove)
{
    CellTable t = table(2, 6);
    for (int r = 0; r < 6; ++r)
        t.setCell(0, r, QStringLiteral("r%1").arg(r));
    t.setTrackedRow(2);
    const std::pair<const char *, std::function<void()>> moves[] = {
        {"moved itself down", [&] { t.moveRow(t.trackedRow(), 4); }},
        {"a row from above moved below it", [&] { t.moveRow(0, 5); }},
        {"a row from below moved above it", [&] { t.moveRow(5, 0); }},
        {"rows moved on one side of it", [&] { t.moveRow(0, 1); }},
        {"swapped", [&] { t.swapRows(t.trackedRow(), 0); }},
        {"others swapped", [&] { t.swapRows(4, 1); }},
        {"permuted",
            [&] {
                t.permuteRows(0, {5, 4, 3, 2, 1, 0});
            }},
        {"part permuted",
            [&] {
                t.permuteRows(2, {5, 2, 4, 3});
            }},
        {"a row inserted above it",
            [&] {
                t.resize(2, t.rowCount() + 1);
                t.moveRow(t.rowCount() - 1, 0);
            }},
        {"a row deleted above it",
            [&] {
                t.moveRow(0, t.rowCount() - 1);
                t.resize(2, t.rowCount() - 1);
            }},
    };
    for (const auto &[name, move] : moves) {
        move();
        ASSERT_GE(t.trackedRow(), 0) << name;
        EXPECT_EQ(t.text(0, t.trackedRow()), "r2") << name;
    }

    // Deleted: it moves to the end and is cut away.
    t.moveRow(t.trackedRow(), t.rowCount() - 1);
    t.resize(2, t.rowCount() - 1);
    EXPECT_EQ(t.trackedRow(), -1);
    t.resize(2, t.rowCount() + 1); // a row made again at that index is another
    EXPECT_EQ(t.trackedRow(), -1);

    t.setTrackedRow(1);
    CellTable other = table(2, 6);
    t.replaceCells(std::move(other));
    EXPECT_EQ(t.trackedRow(), -1);
    t.setTrackedRow(6);
    EXPECT_EQ(t.trackedRow(), -1);
}
