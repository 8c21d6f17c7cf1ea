#include "csvrows.h"

#include "errors.h"

#include <algorithm>
#include <QFileInfo>
#include <QSaveFile>

size_t CsvRows::saveTo(const QString &fileName, const std::function<void(QFileDevice &)> &beforeReplacing) const
{
    // QSaveFile refuses a file that this user may not write. One that no one
    // may write was made read-only on purpose, and stays so for the
    // superuser too, whom its permissions would not stop.
    constexpr QFileDevice::Permissions anyoneWrites
        = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    const QFileInfo info(fileName);
    if (info.exists() && !(info.permissions() & anyoneWrites))
        throw FileCreateError(fileName);
    // The new content goes to a temporary file that replaces the old one only
    // once it is complete: a failed write leaves the last good file in place.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw FileCreateError(fileName);
    const std::optional<size_t> contentHash = writeTo(file);
    if (!contentHash || !file.flush())
        throw FileCreateError(fileName);
    if (beforeReplacing)
        beforeReplacing(file);
    if (!file.commit())
        throw FileCreateError(fileName);
    return *contentHash;
}

std::optional<size_t> CsvRows::writeTo(QIODevice &stream) const
{
    const size_t count = m_gridCols.size();
    std::vector<QStringView> cells;
    std::vector<QStringView> fields(count);
    auto rowFields = [&](int row) -> std::span<const QStringView> {
        m_cells.rowCells(row, cells);
        for (size_t k = 0; k < count; ++k) {
            if (m_gridCols[k] >= 0) {
                fields[k] = cells[m_gridCols[k]];
            } else {
                const QStringList &hidden = m_hidden[k];
                fields[k] = row < hidden.size() ? QStringView(hidden.at(row)) : QStringView();
            }
        }
        return fields;
    };

    // One character that Windows-1252 lacks puts the whole file in UTF-8.
    CsvEncoding encoding = m_encoding;
    for (int row = m_firstRow; encoding == CsvEncoding::Windows1252 && row < m_rowCount; ++row) {
        const auto texts = rowFields(row);
        if (!std::all_of(texts.begin(), texts.end(), fitsWindows1252))
            encoding = CsvEncoding::Utf8;
    }
    CsvWriter writer(stream, encoding);
    // Usually every column is written as the table keeps it: then each row
    // goes to the writer as it is kept, without taking it apart first.
    bool asKept = count == size_t(m_cells.columnCount());
    for (size_t k = 0; k < count; ++k)
        asKept = asKept && m_gridCols[k] == int(k);
    for (int row = m_firstRow; row < m_rowCount; ++row) {
        if (asKept)
            writer.writePackedRow(m_cells.packedRow(row), qsizetype(count));
        else
            writer.writeRow(rowFields(row));
    }
    if (!writer.finish())
        return std::nullopt;
    return writer.contentHash();
}
