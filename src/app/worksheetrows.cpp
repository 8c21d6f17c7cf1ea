#include "worksheetrows.h"

#include "worksheet.h"

#include <algorithm>

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
    // Hand-edited files may end with a period: the bottom line keeps the
    // stopwatch's next period from going over it.
    if (!isEmptyRow(rows, rows.rowCount() - 1))
        rows.resize(rows.columnCount(), rows.rowCount() + 1);
    return rows;
}
