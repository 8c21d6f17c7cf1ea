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
    for (size_t col = 0; col < row.size(); ++col) {
        const QStringView caption = col < WorksheetColumnCount ? QStringView(WorksheetColumnCaptions[col]) : u"";
        if (row[col] != caption)
            return false;
    }
    return true;
}

// Whether text has the shape of pattern, where "9" stands for any digit: the
// worksheet's own forms, which need no closer look.
bool hasShape(QStringView text, QStringView pattern)
{
    if (text.size() != pattern.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (pattern[i] == u'9' ? text[i] < u'0' || text[i] > u'9' : text[i] != pattern[i])
            return false;
    return true;
}

// The cell of a column in the worksheet's own form when it is in a
// spreadsheet's form instead; empty when it is in neither, or in its own.
QString ownForm(int column, QStringView cell, int century)
{
    if (cell.isEmpty())
        return {};
    switch (column) {
    case StartColumn:
    case EndColumn:
        if (hasShape(cell, u"99-99-99 99:99") || tryParseDateTime(cell, century))
            return {};
        if (const auto value = tryParseSpreadsheetDateTime(cell, century))
            return formatDateTimeText(*value);
        return {};
    case NominalDateColumn:
        if (hasShape(cell, u"99-99-99") || tryParseDate(cell, century))
            return {};
        if (const auto value = tryParseSpreadsheetDate(cell, century))
            return formatDateText(*value);
        return {};
    case TimeColumn:
    case NominalTimeColumn:
        if (hasShape(cell, u"99:99") || tryReadMinutes(cell))
            return {};
        if (const auto value = tryParseSpreadsheetTime(cell))
            return formatTimeText(*value);
        return {};
    default:
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
        mended.clear();
        for (int col = 0; col < std::min<int>(row.size(), WorksheetColumnCount); ++col)
            if (QString text = ownForm(col, row[col], century); !text.isEmpty())
                mended.emplace_back(col, std::move(text));
        for (const auto &[col, text] : mended) // the row's views are read before it changes
            cells.setCell(col, r, text);
    }
    if (!dropped.empty()) {
        // The rows kept move up in their order, the dropped ones below them.
        std::vector<int> order;
        order.reserve(cells.rowCount() - 1);
        auto nextDropped = dropped.begin();
        for (int r = 1; r < cells.rowCount(); ++r) {
            if (nextDropped != dropped.end() && *nextDropped == r)
                ++nextDropped;
            else
                order.push_back(r);
        }
        order.insert(order.end(), dropped.begin(), dropped.end());
        cells.permuteRows(1, order);
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
