#pragma once

#include "celltable.h"
#include "csvcodec.h"
#include "worksheetfile.h"
#include "worksheettotals.h"
#include "worksheetvalues.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <QString>
#include <thread>

/// Hourbook.csv read, split into the worksheet's rows and recalculated on a
/// thread of its own, started as soon as the program knows the file, so that
/// this runs beside the making of the main window on a second core (a large
/// file once the window asks for it). The window takes the rows when it
/// loads the worksheet at start-up.
class WorksheetPreload
{
public:
    /// Files up to this size (some 1 400 rows) are read and recalculated in
    /// about a millisecond of a core: a window may wait for them and show its
    /// first picture complete. A larger one is better read once the window
    /// has been painted, as the reading slows down its mapping and painting.
    static constexpr qint64 QuickReadBytes = 128 * 1024;

    /// Starts reading the file at path at once when it reads quickly (up to
    /// quickReadBytes), a larger one once startReading() or wait() asks for
    /// it. The reading waits for gate to return first, when given (a test
    /// holds it back).
    explicit WorksheetPreload(
        const QString &path, std::function<void()> gate = {}, qint64 quickReadBytes = QuickReadBytes);
    ~WorksheetPreload();
    WorksheetPreload(const WorksheetPreload &) = delete;
    WorksheetPreload &operator=(const WorksheetPreload &) = delete;

    /// A file that does not read quickly keeps off the cores until this is
    /// called: a window shown meanwhile maps and paints sooner.
    void startReading();
    /// Waits until the file has been read, starting the reading if need be.
    void wait();
    /// True once the reading is over, whatever it found.
    bool isRead() const { return m_read; }
    /// True when the file is small enough that waiting for it costs no more
    /// than a moment.
    bool readsQuickly() const { return m_size <= m_quickReadBytes; }
    /// Calls done once the reading is over: on the reading thread when it
    /// still runs, else at once.
    void whenRead(std::function<void()> done);

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
    /// The reading thread: waits for its start and the gate, reads, then
    /// says so.
    void read();
    void readFile();
    /// The file's lines as the window loads them (worksheetRows); raises
    /// when they are wider than a worksheet.
    CellTable readRows();

    QString m_path;
    qint64 m_size;
    qint64 m_quickReadBytes;
    std::function<void()> m_gate;
    std::mutex m_lock; // guards m_started, m_read's setting and m_done
    std::condition_variable m_startSignal;
    bool m_started;
    std::atomic<bool> m_read = false;
    std::function<void()> m_done;
    std::unique_ptr<WorksheetFile> m_file;
    std::optional<CellTable> m_rows; // set when the reading succeeded
    WorksheetValues m_values; // of m_rows
    CsvEncoding m_encoding = CsvEncoding::Utf8;
    std::optional<WorksheetTotals> m_totals;
    std::exception_ptr m_recalculationError;
    std::thread m_reading; // last: it starts reading into the members above
};
