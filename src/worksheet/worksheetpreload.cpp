#include "worksheetpreload.h"

#include "errors.h"
#include "worksheet.h"
#include "worksheetfile.h"
#include "worksheetrows.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Thrown out of the reading for a line of more fields than a worksheet has
// columns, which the window's own loading gives columns of their own.
struct WiderThanTheWorksheet
{
};

} // namespace

WorksheetPreload::WorksheetPreload(const QString &path, std::function<void()> gate, qint64 quickReadBytes)
    : m_path(path)
    , m_size(QFileInfo(path).size())
    , m_quickReadBytes(quickReadBytes)
    , m_gate(std::move(gate))
    , m_started(readsQuickly())
    , m_file(std::make_unique<WorksheetFile>(path))
    , m_reading([this] { read(); })
{ }

WorksheetPreload::~WorksheetPreload()
{
    wait();
}

void WorksheetPreload::startReading()
{
    {
        const std::lock_guard lock(m_lock);
        m_started = true;
    }
    m_startSignal.notify_one();
}

void WorksheetPreload::wait()
{
    startReading();
    if (m_reading.joinable())
        m_reading.join();
}

void WorksheetPreload::whenRead(std::function<void()> done)
{
    {
        const std::lock_guard lock(m_lock);
        if (!m_read) {
            m_done = std::move(done);
            return;
        }
    }
    done();
}

void WorksheetPreload::read()
{
    {
        std::unique_lock lock(m_lock);
        m_startSignal.wait(lock, [this] { return m_started; });
    }
    if (m_gate)
        m_gate();
    readFile();
    std::function<void()> done;
    {
        const std::lock_guard lock(m_lock);
        m_read = true;
        done = std::move(m_done);
    }
    if (done)
        done();
}

void WorksheetPreload::readFile()
{
    try {
        // The file's state, which a save compares with the disk's, just
        // before it is read, as the window notes it.
        m_file->noteLoading();
        CellTable rows = readRows();
        m_values = WorksheetValues::read(rows);
        try {
            m_totals = m_values.recalculate(rows);
        } catch (...) {
            m_recalculationError = std::current_exception();
        }
        m_rows = std::move(rows);
    } catch (...) {
        // The window reads the file itself, and meets there what went wrong.
    }
}

CellTable WorksheetPreload::readRows()
{
    // As the window reads: only a regular file, which could be opened.
    QFile file(m_path);
    if (!QFileInfo(m_path).isFile() || !file.open(QIODevice::ReadOnly))
        throw FileOpenError(m_path);
    const QByteArray bytes = file.readAll();
    CellTable rows = worksheetRows(bytes, m_encoding);
    if (rows.columnCount() > WorksheetColumnCount)
        throw WiderThanTheWorksheet();
    // What a save compares with the disk, and what the backup keeps.
    m_file->noteLoaded(bytes);
    return rows;
}

std::optional<WorksheetPreload::Rows> WorksheetPreload::take()
{
    wait();
    // Noted just before the rows were read: any change since shows here.
    if (!m_rows || !m_file->isAsNoted())
        return std::nullopt;
    Rows rows{std::move(*m_rows), std::move(m_values), m_encoding, std::move(m_file)};
    m_rows.reset();
    return rows;
}

WorksheetTotals WorksheetPreload::totals() const
{
    if (m_recalculationError)
        std::rethrow_exception(m_recalculationError);
    return *m_totals;
}
