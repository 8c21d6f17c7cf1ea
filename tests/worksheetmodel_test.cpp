#include "celltable.h"
#include "datetime.h"
#include "errors.h"
#include "testsupport.h"
#include "today.h"
#include "workinghours.h"
#include "worksheet.h"
#include "worksheetmodel.h"
#include "worksheettotals.h"

#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace {

// What a recalculation gave: the totals texts or the message it raised.
struct Outcome
{
    WorksheetTotals totals;
    QString error;
};

template<typename Recalculation> Outcome outcomeOf(Recalculation recalculation)
{
    Outcome outcome;
    try {
        outcome.totals = recalculation();
    } catch (const ConversionError &error) {
        outcome.error = error.message();
    }
    return outcome;
}

// The model's rows become rows, as a load makes them.
void load(WorksheetModel &model, const std::vector<QStringList> &rows)
{
    model.changeAll([&] { model.cells() = worksheetCells(rows); });
}

const QDate Days[] = {QDate(2026, 12, 6), QDate(2026, 12, 7), QDate(2026, 12, 8)};

// The kept values must give what a recalculation of every row of a copy of
// the rows gives: totals or message, every cell afterwards, each day's rows
// and whether a day owes time already.
void expectAsRecalculated(WorksheetModel &model, const std::string &step)
{
    SCOPED_TRACE(step);
    CellTable fresh = model.cells();
    const Outcome expected = outcomeOf([&] { return recalculateWorksheet(fresh); });
    const Outcome kept = outcomeOf([&] { return model.recalculate(); });
    ASSERT_EQ(kept.error, expected.error);
    EXPECT_EQ(kept.totals.home, expected.totals.home);
    EXPECT_EQ(kept.totals.nominal, expected.totals.nominal);
    EXPECT_EQ(kept.totals.difference, expected.totals.difference);
    const CellTable &cells = model.cells();
    ASSERT_EQ(cells.rowCount(), fresh.rowCount());
    for (int row = 0; row < cells.rowCount(); ++row)
        ASSERT_EQ(cells.rowTexts(row), fresh.rowTexts(row)) << "row " << row;
    WorkingHours hours;
    for (int day = 1; day <= 7; ++day)
        hours.setMinutes(day, 444);
    for (const QDate day : Days) {
        const Balance counted = WorksheetDays(fresh, day, day).on(day);
        EXPECT_EQ(model.rowsOf(day), counted) << day.toString().toStdString();
        EXPECT_EQ(hours.nominalTimeOfNewRow(model.values().owesOn(model.cells(), day), fromQDate(day)),
            hours.nominalTimeOfNewRow(fresh, fromQDate(day)));
    }
}

// Texts that read and texts that do not, for each column.
const std::vector<QString> Choices[WorksheetColumnCount] = {
    {"06-12-26 08:00", "07-12-26 09:30", "08-12-26 13:15", "07-12-26", "soon", "", "31-02-26 08:00", "07-12-26 24:00",
        " 7-12-26 08:00"},
    {"06-12-26 12:00", "07-12-26 17:45", "08-12-26 14:00", "", "later"},
    {"04:00", "08:15", "00:00", "1:05", "", "8:6x", "12:30:00", "25:00", "00:60", "07:3x"},
    {"", "x"},
    {"06-12-26", "07-12-26", "7-12-26", "08-12-26", "07-12-26 10:00", "", "today", "31-02-26", "07-12-26 "},
    {"07:24", "00:00", "01:00", " 0:00", "", "n/a"},
    {""},
    {"", "+00:00", "-99:99"},
    {"", "a note"},
};

} // namespace

// Random edits, rows added, cut and moved, sorts and whole replacements:
// after every step the totals, every cell and the balances of the days must
// be what a recalculation of every row gives.
TEST(WorksheetModel, KeptValuesGiveWhatARecalculationOfEveryRowGives)
{
    std::mt19937 random(22);
    auto pick = [&](int count) { return int(random() % unsigned(count)); };
    WorksheetModel model;
    CellTable &cells = model.cells();
    cells.resize(WorksheetColumnCount, 6);
    auto randomRow = [&] {
        QStringList texts;
        for (const auto &choices : Choices)
            texts << choices[pick(int(choices.size()))];
        // Mostly rows that read, so that the recalculation gets past them.
        if (pick(3) > 0) {
            texts[TimeColumn] = Choices[TimeColumn][pick(3)];
            texts[NominalTimeColumn] = Choices[NominalTimeColumn][pick(3)];
        }
        return texts;
    };
    auto writeRow = [&](int row, const QStringList &texts) {
        std::vector<QStringView> views(texts.begin(), texts.end());
        cells.setRowTexts(row, 0, views);
    };
    for (int step = 0; step < 3000; ++step) {
        const int rows = cells.rowCount();
        const int row = 1 + pick(std::max(rows - 1, 1));
        std::string what;
        switch (pick(10)) {
        case 0:
        case 1: {
            const int col = pick(WorksheetColumnCount);
            cells.setCell(col, row, Choices[col][pick(int(Choices[col].size()))]);
            what = "setCell";
            break;
        }
        case 2:
            writeRow(row, randomRow());
            what = "setRowTexts";
            break;
        case 3:
            cells.clearRow(row);
            what = "clearRow";
            break;
        case 4:
            if (rows < 40) {
                cells.resize(WorksheetColumnCount, rows + 1 + pick(3));
                writeRow(rows - 1, randomRow());
            }
            what = "rows added";
            break;
        case 5:
            if (rows > 3)
                cells.resize(WorksheetColumnCount, rows - 1 - pick(2));
            what = "rows cut";
            break;
        case 6:
            cells.moveRow(row, 1 + pick(rows - 1));
            what = "moveRow";
            break;
        case 7: {
            std::vector<int> order(rows - 1);
            std::iota(order.begin(), order.end(), 1);
            std::shuffle(order.begin(), order.end(), random);
            cells.permuteRows(1, order);
            what = "permuteRows";
            break;
        }
        case 8:
            cells.swapRows(row, 1 + pick(rows - 1));
            what = "swapRows";
            break;
        case 9:
            // Several changes between two recalculations.
            for (int n = 0; n < 3; ++n)
                cells.setCell(TimeColumn, 1 + pick(rows - 1), Choices[TimeColumn][pick(4)]);
            cells.moveRow(1 + pick(rows - 1), 1 + pick(rows - 1));
            what = "several";
            break;
        }
        if (step % 500 == 499) {
            CellTable replacement = cells;
            writeRow(1, randomRow());
            cells.replaceCells(std::move(replacement));
            what += ", replaced";
        }
        expectAsRecalculated(model, "step " + std::to_string(step) + ": " + what);
        if (HasFatalFailure())
            return;
    }
}

// The recalculation stops at the first data row whose Time or hh:mm does not
// read, with the message reading it gives; the rows before get their Diff.,
// the ones after keep theirs until the row reads again.
TEST(WorksheetModel, ARowThatDoesNotReadStopsTheRecalculationUntilItReads)
{
    WorksheetModel model;
    load(model,
        {
            dataRow("06-12-26 08:00", "06-12-26 12:00", "04:00", "06-12-26", "07:24"),
            dataRow("07-12-26 08:00", "07-12-26 17:00", "09:00", "07-12-26", "07:24"),
            dataRow("08-12-26 08:00", "08-12-26 10:00", "02:00", "08-12-26", "07:24"),
        });
    CellTable &cells = model.cells();
    const WorksheetTotals before = model.recalculate();
    EXPECT_EQ(before.difference, "-07:12");
    cells.setCell(DiffColumn, 3, QStringLiteral("old"));
    cells.setCell(TimeColumn, 1, QStringLiteral("03:00"));
    cells.setCell(NominalTimeColumn, 2, QStringLiteral("7:6x"));
    try {
        model.recalculate();
        FAIL() << "no ConversionError";
    } catch (const ConversionError &error) {
        EXPECT_EQ(error.message(), outcomeOf([] {
            readDuration(u"7:6x");
            return WorksheetTotals();
        }).error);
    }
    EXPECT_EQ(cells.text(DiffColumn, 1), "-04:24");
    EXPECT_EQ(cells.text(DiffColumn, 3), "old");

    cells.setCell(NominalTimeColumn, 2, QStringLiteral("07:24"));
    const WorksheetTotals after = model.recalculate();
    EXPECT_EQ(after.difference, "-08:12");
    EXPECT_EQ(cells.text(DiffColumn, 3), "-05:24");
}

// The views hear of each change once, whatever the number of rows, and see
// the cells' texts under the worksheet's captions.
TEST(WorksheetModel, TellsItsViewsOfEachChangeOnce)
{
    WorksheetModel model;
    CellTable &cells = model.cells();
    cells.resize(WorksheetColumnCount, 1000);
    std::vector<std::string> heard;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&](const QModelIndex &from, const QModelIndex &to) {
        heard.push_back("changed " + std::to_string(from.row()) + "-" + std::to_string(to.row()) + " columns "
            + std::to_string(from.column()) + "-" + std::to_string(to.column()));
    });
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, [&](const QModelIndex &, int first, int last) {
        heard.push_back("inserted " + std::to_string(first) + "-" + std::to_string(last));
    });
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, [&](const QModelIndex &, int first, int last) {
        heard.push_back("removed " + std::to_string(first) + "-" + std::to_string(last));
    });
    QObject::connect(
        &model, &QAbstractItemModel::rowsMoved, [&](const QModelIndex &, int first, int, const QModelIndex &, int to) {
            heard.push_back("moved " + std::to_string(first) + " to " + std::to_string(to));
        });
    QObject::connect(&model, &QAbstractItemModel::layoutChanged, [&] { heard.push_back("layout"); });
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { heard.push_back("reset"); });

    cells.setCell(NotesColumn, 5, QStringLiteral("a note"));
    EXPECT_TRUE(model.setData(model.index(6, StartColumn), QStringLiteral("07-12-26 08:00")));
    cells.resize(WorksheetColumnCount, 1010);
    cells.resize(WorksheetColumnCount, 1004);
    cells.moveRow(5, 900);
    std::vector<int> reversed(998);
    std::iota(reversed.rbegin(), reversed.rend(), 1);
    cells.permuteRows(1, reversed);
    model.changeAll([&] {
        for (int row = 1; row < 100; ++row)
            cells.setCell(TimeColumn, row, QStringLiteral("01:00"));
    });
    EXPECT_EQ(heard,
        (std::vector<std::string> {"changed 5-5 columns 0-8", "changed 6-6 columns 0-8", "inserted 1000-1009",
            "removed 1004-1009", "moved 5 to 901", "layout", "reset"}));

    EXPECT_EQ(model.rowCount(), 1004);
    EXPECT_EQ(model.columnCount(), WorksheetColumnCount);
    // Row 5 went to 900, row 6 came up to 5; the reversal of rows 1 … 998
    // put row r at 999 - r.
    EXPECT_EQ(model.data(model.index(99, NotesColumn)).toString(), "a note");
    EXPECT_EQ(model.data(model.index(994, StartColumn)).toString(), "07-12-26 08:00");
    EXPECT_EQ(model.headerData(NominalTimeColumn, Qt::Horizontal).toString(), "hh:mm");
    EXPECT_EQ(model.headerData(DiffColumn, Qt::Horizontal).toString(), "Diff.");
}

// A copy of the rows (a printout's, a save's) is nobody's: changing it
// changes neither the model's rows nor what the model keeps.
TEST(WorksheetModel, ACopyOfTheRowsChangesNothingOfTheModel)
{
    WorksheetModel model;
    load(model, {dataRow("07-12-26 08:00", "07-12-26 12:00", "04:00", "07-12-26", "07:24")});
    int heard = 0;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&] { ++heard; });
    CellTable copy = model.cells();
    copy.setCell(TimeColumn, 1, QStringLiteral("09:00"));
    copy.resize(WorksheetColumnCount, 10);
    EXPECT_EQ(heard, 0);
    EXPECT_EQ(model.cells().text(TimeColumn, 1), "04:00");
    EXPECT_EQ(model.cells().rowCount(), 3);
    EXPECT_EQ(model.recalculate().difference, "-03:24");
    EXPECT_EQ(model.rowsOf(QDate(2026, 12, 7)), (Balance {240, 444}));
}
