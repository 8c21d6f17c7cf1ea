#include "celltable.h"

#include "packedrow.h"

#include <algorithm>
#include <cstring>
#include <QVarLengthArray>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr char16_t LongLength = PackedRowLongLength;
using Cursor = PackedRowCursor;

// Cells of one row, taken apart without touching the heap.
using RowCells = QVarLengthArray<QStringView, 16>;

RowCells unpack(const QString &packed)
{
    RowCells cells;
    Cursor c(packed);
    while (!c.atEnd())
        cells.append(c.next());
    return cells;
}

// Copies n characters to out, which in does not overlap. Not the library's
// memmove, which, called for each short cell of every row, made loading a big
// file more than half as slow again; nor a plain loop, which the compiler
// left one character at a time. Eight characters at a time, the last eight
// (or four) ending where the text ends, writing some of those before again.
Q_ALWAYS_INLINE void copyChars(QChar *out, const QChar *in, qsizetype n)
{
#ifdef __SSE2__
    auto copyEight = [&](qsizetype at) {
        _mm_storeu_si128(
            reinterpret_cast<__m128i *>(out + at), _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + at)));
    };
    if (n >= 8) {
        for (qsizetype k = 0; k < n - 8; k += 8)
            copyEight(k);
        copyEight(n - 8);
        return;
    }
#endif
    if (n >= 4) {
        std::memcpy(out, in, 4 * sizeof(QChar));
        std::memcpy(out + n - 4, in + n - 4, 4 * sizeof(QChar));
        return;
    }
    for (qsizetype k = 0; k < n; ++k)
        out[k] = in[k];
}

// Packs emptyBefore empty cells and then cells, leaving out the empty ones at
// the end.
QString pack(qsizetype emptyBefore, std::span<const QStringView> cells)
{
    qsizetype used = cells.size();
    while (used > 0 && cells[used - 1].isEmpty())
        --used;
    if (used == 0)
        return {};
    qsizetype size = emptyBefore;
    for (qsizetype i = 0; i < used; ++i)
        size += cells[i].size() + (cells[i].size() < LongLength ? 1 : 3);
    QString packed(size, Qt::Uninitialized);
    QChar *out = packed.data();
    for (qsizetype i = 0; i < emptyBefore; ++i)
        *out++ = QChar(0); // the length of an empty cell
    for (qsizetype i = 0; i < used; ++i) {
        const qsizetype length = cells[i].size();
        if (length < LongLength) {
            *out++ = QChar(char16_t(length));
        } else {
            *out++ = QChar(LongLength);
            *out++ = QChar(char16_t(length >> 16));
            *out++ = QChar(char16_t(length & 0xFFFF));
        }
        copyChars(out, cells[i].data(), length);
        out += length;
    }
    return packed;
}

} // namespace

void CellTable::resize(int columnCount, int rowCount)
{
    rowCount = std::max(rowCount, 0);
    const int oldRowCount = this->rowCount();
    CellTableObserver *observer = m_listeners.observer;
    // Columns added or cut change what every row means.
    const bool columnsChange = columnCount != m_columnCount;
    const bool cut = columnCount < m_columnCount;
    if (observer) {
        if (columnsChange)
            observer->beforeReset();
        else if (rowCount > oldRowCount)
            observer->beforeRowsInserted(oldRowCount, rowCount - oldRowCount);
        else if (rowCount < oldRowCount)
            observer->beforeRowsRemoved(rowCount, oldRowCount - rowCount);
    }
    if (cut) {
        for (QString &row : m_rows) {
            RowCells cells = unpack(row);
            if (cells.size() > columnCount) {
                cells.resize(columnCount);
                row = pack(0, cells);
            }
        }
    }
    m_columnCount = columnCount;
    m_rows.resize(rowCount);
    ++m_revision;
    if (m_trackedRow >= this->rowCount())
        m_trackedRow = -1;
    if (observer) {
        if (columnsChange)
            observer->reset();
        else if (rowCount > oldRowCount)
            observer->rowsInserted(oldRowCount, rowCount - oldRowCount);
        else if (rowCount < oldRowCount)
            observer->rowsRemoved(rowCount, oldRowCount - rowCount);
    }
}

void CellTable::replaceCells(CellTable &&other)
{
    if (m_listeners.observer)
        m_listeners.observer->beforeReset();
    m_rows = std::move(other.m_rows);
    m_trackedRow = -1;
    ++m_revision;
    if (m_listeners.observer)
        m_listeners.observer->reset();
    if (m_listeners.changed)
        m_listeners.changed();
}

QStringView CellTable::cell(int column, int row) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columnCount)
        return {};
    const QString &packed = m_rows[row];
    Cursor c(packed);
    for (int i = 0; !c.atEnd(); ++i) {
        const QStringView text = c.next();
        if (i == column)
            return text;
    }
    return {};
}

void CellTable::setCell(int column, int row, QStringView text)
{
    // A text of the same length as the old one is written in place: the
    // recalculation rewrites every Diff. cell this way without allocating.
    if (row >= 0 && row < rowCount() && column >= 0 && column < m_columnCount) {
        const QStringView old = cell(column, row);
        if (!old.isEmpty() && old.size() == text.size()) {
            if (old == text)
                return;
            const qsizetype offset = old.data() - m_rows[row].constData();
            std::copy_n(text.data(), text.size(), m_rows[row].data() + offset);
            changed(row);
            return;
        }
    }
    const QStringView texts[1] = {text};
    setRowTexts(row, column, texts);
}

QStringList CellTable::rowTexts(int row) const
{
    std::vector<QStringView> cells;
    rowCells(row, cells);
    QStringList texts;
    texts.reserve(m_columnCount);
    for (const QStringView cell : cells)
        texts << cell.toString();
    return texts;
}

void CellTable::rowCells(int row, std::vector<QStringView> &cells) const
{
    cells.assign(m_columnCount, QStringView());
    if (row < 0 || row >= rowCount())
        return;
    const QString &packed = m_rows[row];
    Cursor c(packed);
    for (int i = 0; i < m_columnCount && !c.atEnd(); ++i)
        cells[i] = c.next();
}

void CellTable::setRowTexts(int row, int firstColumn, std::span<const QStringView> texts)
{
    if (row < 0 || row >= rowCount() || firstColumn < 0)
        return;
    const size_t last = std::min<size_t>(firstColumn + texts.size(), m_columnCount);
    if (last <= size_t(firstColumn))
        return;
    if (m_rows[row].isEmpty()) {
        // Nothing to keep or compare, as for every row of a file read into
        // a new grid.
        QString packed = pack(firstColumn, texts.first(last - firstColumn));
        if (packed.isEmpty())
            return;
        m_rows[row] = std::move(packed);
        changed(row);
        return;
    }
    RowCells cells = unpack(m_rows[row]);
    while (cells.size() < qsizetype(last))
        cells.append(QStringView());
    bool differs = false;
    for (size_t c = firstColumn; c < last; ++c) {
        if (cells[c] != texts[c - firstColumn]) {
            cells[c] = texts[c - firstColumn];
            differs = true;
        }
    }
    if (!differs)
        return;
    // The new texts may point into the row being replaced, so pack first.
    QString packed = pack(0, cells);
    m_rows[row] = std::move(packed);
    changed(row);
}

void CellTable::clearRow(int row)
{
    if (row < 0 || row >= rowCount() || m_rows[row].isEmpty())
        return;
    m_rows[row] = QString();
    changed(row);
}

void CellTable::moveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= rowCount() || to >= rowCount())
        return;
    if (m_listeners.observer)
        m_listeners.observer->beforeRowMoved(from, to);
    moveItem(m_rows, from, to);
    if (m_trackedRow == from)
        m_trackedRow = to;
    else if (from < m_trackedRow && m_trackedRow <= to)
        --m_trackedRow;
    else if (to <= m_trackedRow && m_trackedRow < from)
        ++m_trackedRow;
    ++m_revision;
    if (m_listeners.observer)
        m_listeners.observer->rowMoved(from, to);
    if (m_listeners.changed)
        m_listeners.changed();
}

void CellTable::swapRows(int a, int b)
{
    if (a == b || a < 0 || b < 0 || a >= rowCount() || b >= rowCount())
        return;
    m_rows[a].swap(m_rows[b]);
    if (m_trackedRow == a || m_trackedRow == b)
        m_trackedRow = a + b - m_trackedRow;
    // Both rows hold other texts now.
    changed(a);
    changed(b);
}

void CellTable::permuteRows(int first, const std::vector<int> &order)
{
    if (order.empty() || first < 0 || first + order.size() > size_t(m_rows.size()))
        return;
    if (m_listeners.observer)
        m_listeners.observer->beforeRowsPermuted(first, order);
    permuteItems(m_rows, first, order);
    if (m_trackedRow >= first && m_trackedRow < first + int(order.size()))
        m_trackedRow = first + int(std::find(order.begin(), order.end(), m_trackedRow) - order.begin());
    ++m_revision;
    if (m_listeners.observer)
        m_listeners.observer->rowsPermuted(first, order);
    if (m_listeners.changed)
        m_listeners.changed();
}

void CellTable::moveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= m_columnCount || to >= m_columnCount)
        return;
    if (m_listeners.observer)
        m_listeners.observer->beforeReset();
    for (QString &row : m_rows) {
        if (row.isEmpty())
            continue;
        RowCells cells = unpack(row);
        while (cells.size() < m_columnCount)
            cells.append(QStringView());
        moveItem(cells, from, to);
        row = pack(0, cells);
    }
    ++m_revision;
    if (m_listeners.observer)
        m_listeners.observer->reset();
    if (m_listeners.changed)
        m_listeners.changed();
}
