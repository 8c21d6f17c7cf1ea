#include "worksheetrows.h"

#include "datetimetext.h"
#include "worksheet.h"
#include "worksheettotals.h"

#include <algorithm>

namespace {

bool holdsNothing(std::span<const QStringView> row)
{
    return std::all_of(row.begin(), row.end(), [](QStringView cell) { return cell.isEmpty(); });
}

bool isHeadingLine(std::span<const QStringView> row)
{
    for (size_t col = 0; col < row.size(); ++col)
        if (row[col] != (col < WorksheetColumnCount ? WorksheetColumnCaptions[col] : QStringView()))
            return false;
    return true;
}

// The worksheet's own forms, told apart by their length and separators
// alone: no form a spreadsheet writes has them there. Cheap, for they are
// checked in every row.
bool hasOwnDateShape(QStringView text)
{
    return text.size() == 8 && text[2] == u'-' && text[5] == u'-';
}

bool hasOwnDateTimeShape(QStringView text)
{
    return text.size() == 14 && text[2] == u'-' && text[5] == u'-' && text[8] == u' ' && text[11] == u':';
}

bool hasOwnTimeShape(QStringView text)
{
    return text.size() == 5 && text[2] == u':';
}

// Whether the dates and times of a row all have their own forms' shapes,
// as in every row this program wrote.
bool hasOwnShapes(std::span<const QStringView> row)
{
    return hasOwnDateTimeShape(row[StartColumn]) && hasOwnDateTimeShape(row[EndColumn])
        && hasOwnTimeShape(row[TimeColumn]) && hasOwnDateShape(row[NominalDateColumn])
        && hasOwnTimeShape(row[NominalTimeColumn]);
}

// The cell of a column in the worksheet's own form when it is in a
// spreadsheet's form instead; empty when it is in neither, or in its own.
QString ownForm(int column, QStringView cell, int century)
{
    switch (column) {
    case StartColumn:
    case EndColumn:
        if (hasOwnDateTimeShape(cell) || tryParseDateTime(cell, century))
            return {};
        if (const auto value = tryParseSpreadsheetDateTime(cell, century))
            return formatDateTimeText(*value);
        return {};
    case NominalDateColumn:
        if (hasOwnDateShape(cell) || tryParseDate(cell, century))
            return {};
        if (const auto value = tryParseSpreadsheetDate(cell, century))
            return formatDateText(*value);
        return {};
    default: // Time and hh:mm
        if (hasOwnTimeShape(cell) || tryReadMinutes(cell))
            return {};
        if (const auto value = tryParseSpreadsheetTime(cell))
            return formatTimeText(*value);
        return {};
    }
}

} // namespace

WorksheetSize mendLoadedRows(CellTable &cells)
{
    const int century = currentCentury();
    std::vector<int> dropped;
    int columnsUsed = WorksheetColumnCount;
    std::vector<QStringView> row;
    std::vector<std::pair<int, QString>> mended; // column and its text in its own form
    for (int r = 1; r < cells.rowCount(); ++r) {
        cells.rowCells(r, row);
        if (holdsNothing(row) || isHeadingLine(row)) {
            dropped.push_back(r);
            continue;
        }
        for (int col = int(row.size()) - 1; col >= columnsUsed; --col) {
            if (!row[col].isEmpty()) {
                columnsUsed = col + 1;
                break;
            }
        }
        if (hasOwnShapes(row))
            continue;
        mended.clear();
        for (const int col : {StartColumn, EndColumn, TimeColumn, NominalDateColumn, NominalTimeColumn})
            if (QString text = row[col].isEmpty() ? QString() : ownForm(col, row[col], century); !text.isEmpty())
                mended.emplace_back(col, std::move(text));
        for (const auto &[col, text] : mended) // the row's views are read before it changes
            cells.setCell(col, r, text);
    }
    // The rows kept move up in their order, the dropped ones below them;
    // only the rows from the first dropped one on move, unless they are all
    // dropped (the bottom line, mostly).
    const int firstDropped = dropped.empty() ? cells.rowCount() : dropped.front();
    if (firstDropped + int(dropped.size()) < cells.rowCount()) {
        std::vector<int> order;
        order.reserve(cells.rowCount() - firstDropped);
        auto nextDropped = dropped.begin();
        for (int r = firstDropped; r < cells.rowCount(); ++r) {
            if (nextDropped != dropped.end() && *nextDropped == r)
                ++nextDropped;
            else
                order.push_back(r);
        }
        order.insert(order.end(), dropped.begin(), dropped.end());
        cells.permuteRows(firstDropped, order);
    }
    const int rows = cells.rowCount() - int(dropped.size()) + 1;
    if (rows - 1 < cells.rowCount())
        cells.clearRow(rows - 1);
    return {std::min(columnsUsed, cells.columnCount()), rows};
}

CellTable worksheetRows(QByteArrayView bytes, CsvEncoding &encoding)
{
    CellTable rows;
    rows.resize(WorksheetColumnCount, 2);
    int lastRow = -1;
    encoding = readCsvBytes(bytes, [&](int line, std::span<const QStringView> fields) {
        lastRow = line + 1;
        if (lastRow >= rows.rowCount() || int(fields.size()) > rows.columnCount())
            rows.resize(std::max(rows.columnCount(), int(fields.size())), std::max(rows.rowCount(), lastRow + 1));
        rows.setRowTexts(lastRow, 0, fields);
    });
    rows.resize(rows.columnCount(), std::max(2, lastRow + 1));
    const WorksheetSize size = mendLoadedRows(rows);
    rows.resize(size.columns, size.rows);
    return rows;
}
