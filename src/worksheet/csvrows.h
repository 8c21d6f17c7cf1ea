#pragma once

#include "celltable.h"
#include "csvcodec.h"

#include <functional>
#include <optional>
#include <QStringList>
#include <vector>

class QFileDevice;
class QIODevice;

/// The rows of a grid as its SaveToCSV writes them, copied: the copy is
/// cheap (a row's texts stay shared until the grid changes that row), and
/// another thread may write it while the grid goes on changing.
class CsvRows
{
public:
    /// Rows firstRow … rowCount - 1 of cells, in encoding; one column object
    /// written per entry of gridColumns: the cells of that column of cells,
    /// or, where the entry is -1, the texts of the same entry of hidden.
    CsvRows(CellTable cells, std::vector<int> gridColumns, std::vector<QStringList> hidden, int firstRow,
        int rowCount, CsvEncoding encoding)
        : m_cells(std::move(cells))
        , m_gridCols(std::move(gridColumns))
        , m_hidden(std::move(hidden))
        , m_firstRow(firstRow)
        , m_rowCount(rowCount)
        , m_encoding(encoding)
    { }

    /// Replaces the file as a whole, never leaving it half written; raises
    /// FileCreateError when that fails (the old file is then untouched).
    /// beforeReplacing is given the new file, written in full, just before
    /// it takes the old one's place. Returns the ContentHash of the bytes
    /// written.
    size_t saveTo(const QString &fileName, const std::function<void(QFileDevice &)> &beforeReplacing = {}) const;
    /// The ContentHash of the bytes written, or none when the stream refused
    /// bytes.
    std::optional<size_t> writeTo(QIODevice &stream) const;

private:
    CellTable m_cells;
    std::vector<int> m_gridCols; // per column object written: its grid column, or -1 when hidden
    std::vector<QStringList> m_hidden; // the cells of the hidden ones
    int m_firstRow;
    int m_rowCount;
    CsvEncoding m_encoding;
};
