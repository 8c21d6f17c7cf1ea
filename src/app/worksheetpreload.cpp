#include "worksheetpreload.h"

#include "errors.h"
#include "hypergrid.h"
#include "worksheet.h"
#include "worksheetfile.h"
#include "worksheetmodel.h"
#include "worksheetrows.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Thrown out of the reading for a line that the grid would give columns of
// its own.
struct WiderThanTheGrid
{
};

} // namespace

WorksheetPreload::WorksheetPreload(const QString &path)
    : m_path(path)
    , m_file(std::make_unique<WorksheetFile>(path))
    , m_reading([this] { read(); })
{ }

WorksheetPreload::~WorksheetPreload()
{
    wait();
}

void WorksheetPreload::wait()
{
    if (m_reading.joinable())
        m_reading.join();
}

void WorksheetPreload::read()
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
    // As the grid reads: only a regular file, which could be opened.
    QFile file(m_path);
    if (!QFileInfo(m_path).isFile() || !file.open(QIODevice::ReadOnly))
        throw FileOpenError(m_path);
    const QByteArray bytes = file.readAll();
    CellTable rows = worksheetRows(bytes, m_encoding);
    if (rows.columnCount() > WorksheetColumnCount)
        throw WiderThanTheGrid();
    // What a save compares with the disk, and what the backup keeps.
    m_file->noteLoaded(bytes);
    return rows;
}

std::unique_ptr<WorksheetFile> WorksheetPreload::moveInto(THyperGrid &grid, WorksheetModel *model)
{
    wait();
    // Noted just before the rows were read: any change since shows here.
    if (!m_rows || !m_file->isAsNoted())
        return nullptr;
    // The rows take the place of the grid's two as it was made, both empty:
    // the title row (the titles are the columns') and the bottom line.
    const CellTable &cells = grid.cellTable();
    if (grid.ColCount() != WorksheetColumnCount || grid.VisibleColumnCount() != WorksheetColumnCount
        || cells.rowCount() != 2 || !isEmptyRow(cells, 0) || !isEmptyRow(cells, 1))
        return nullptr;
    grid.setRowCount(m_rows->rowCount());
    if (model)
        model->replaceRows(std::move(*m_rows), std::move(m_values));
    else
        grid.cellTable().replaceCells(std::move(*m_rows));
    grid.setCsvFileEncoding(m_encoding);
    m_rows.reset();
    return std::move(m_file);
}

WorksheetTotals WorksheetPreload::totals() const
{
    if (m_recalculationError)
        std::rethrow_exception(m_recalculationError);
    return *m_totals;
}
