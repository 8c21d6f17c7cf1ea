#pragma once

#include "celltable.h"
#include "csvcodec.h"
#include "worksheettotals.h"
#include "worksheetvalues.h"

#include <exception>
#include <memory>
#include <optional>
#include <QString>
#include <thread>

class THyperGrid;
class WorksheetFile;
class WorksheetModel;

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
    /// Waits for the reading; then, when grid is the Overview grid as made
    /// (the title row and the empty bottom line), puts the rows into it as
    /// its own loading (LoadFromCSV(0, 1, path), mended) would store them,
    /// with an empty bottom line, and gives the file as noted just before
    /// they were read. Null, with grid unchanged, whenever the grid has to read the
    /// file itself: a file that could not be read or changed since, a line of
    /// more fields than the grid has columns that hold text. When the grid
    /// shows model's rows, model takes them with the values read here.
    std::unique_ptr<WorksheetFile> moveInto(THyperGrid &grid, WorksheetModel *model = nullptr);
    /// The recalculation of the rows moved into the grid; raises what it
    /// raised.
    WorksheetTotals totals() const;

private:
    void read();
    /// The file's lines as the window loads them (worksheetRows); raises
    /// when the grid would store them otherwise.
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
