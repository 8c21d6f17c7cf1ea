#pragma once

#include "celltable.h"
#include "csvcodec.h"
#include "worksheetfile.h"
#include "worksheettotals.h"
#include "worksheetvalues.h"

#include <exception>
#include <memory>
#include <optional>
#include <QString>
#include <thread>

/// Hourbook.csv read, split into the worksheet's rows and recalculated on a
/// thread of its own, started as soon as the program knows the file, so that
/// this runs beside the making of the main window on a second core. The
/// window takes the rows when it loads the worksheet at start-up.
class WorksheetPreload
{
public:
    /// Starts reading the file at path.
    explicit WorksheetPreload(const QString &path);
    ~WorksheetPreload();
    WorksheetPreload(const WorksheetPreload &) = delete;
    WorksheetPreload &operator=(const WorksheetPreload &) = delete;

    /// Waits until the file has been read.
    void wait();

    /// The rows as the window's own loading (mended) would store them, with
    /// an empty bottom line, their values, the encoding they came in and the
    /// file as noted just before they were read.
    struct Rows
    {
        CellTable cells;
        WorksheetValues values;
        CsvEncoding encoding;
        std::unique_ptr<WorksheetFile> file;
    };
    /// Waits for the reading and hands the rows over, once. Nothing whenever
    /// the window has to read the file itself: a file that could not be read
    /// or changed since, a line of more fields than a worksheet has columns.
    std::optional<Rows> take();
    /// The recalculation of the rows taken; raises what it raised.
    WorksheetTotals totals() const;

private:
    void read();
    /// The file's lines as the window loads them (worksheetRows); raises
    /// when they are wider than a worksheet.
    CellTable readRows();

    QString m_path;
    std::unique_ptr<WorksheetFile> m_file;
    std::optional<CellTable> m_rows; // set when the reading succeeded
    WorksheetValues m_values; // of m_rows
    CsvEncoding m_encoding = CsvEncoding::Utf8;
    std::optional<WorksheetTotals> m_totals;
    std::exception_ptr m_recalculationError;
    std::thread m_reading; // last: it starts reading into the members above
};
