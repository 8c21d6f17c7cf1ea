#pragma once

#include "celltable.h"
#include "csvcodec.h"

/// The size a worksheet's cell table is cut to once it was read.
struct WorksheetSize
{
    int columns;
    int rows;
};

/// Mends rows 1 on of cells, just read from a worksheet file, as every load
/// of the worksheet (the window's, the start-up's, the command line's) does:
/// - rows that hold nothing, and lines that hold nothing but the column
///   captions (a spreadsheet's header row), go, the rows below moving up;
/// - a date or time that does not read in the worksheet's own form but in a
///   form spreadsheets write (2026/12/01 08:00:00) is rewritten in its own
///   form; nothing else changes, the differences are worked out again by the
///   recalculation;
/// - of the columns beyond the worksheet's nine, those after the last that
///   holds text go.
/// Returns the size to cut cells to: the rows kept, with the empty bottom line
/// below them (emptied here when it was not).
WorksheetSize mendLoadedRows(CellTable &cells);

/// A worksheet file's bytes as the Overview grid's own loading
/// (LoadFromCSV(0, 1, …)) stores them, mended (mendLoadedRows): line k in
/// row k + 1 from the first column on, row 0 left to the titles, a line of
/// more fields than the worksheet's nine widening the table, the empty bottom
/// line last. encoding is set to the one to write the rows back in.
CellTable worksheetRows(QByteArrayView bytes, CsvEncoding &encoding);
