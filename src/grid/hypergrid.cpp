#include "hypergrid.h"

#include "csvcodec.h"
#include "hginplaceedit.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

EhgColumnIndexOutOfRange::EhgColumnIndexOutOfRange()
    : EhgException(QStringLiteral("THyperGrid: Column index out of range"))
{ }

EhgInvalidColumnName::EhgInvalidColumnName(const QString &name)
    : EhgException(QStringLiteral("Invalid column name \"%1\"").arg(name))
{ }

namespace {

// Marks a change of ColCount or a column move as the grid's own bookkeeping,
// which must not add, free or move column objects.
class Bookkeeping
{
public:
    explicit Bookkeeping(int &depth)
        : m_depth(depth)
    {
        ++m_depth;
    }
    ~Bookkeeping() { --m_depth; }

private:
    int &m_depth;
};

QString &columnWidthsFile()
{
    static QString path;
    return path;
}

} // namespace

THyperGrid::THyperGrid(QWidget *parent)
    : THgHintGrid(parent)
{
    m_columns.ItemChanged = [this](ThgHeading *item, int kind) { ColumnChanged(item, kind); };
    setDefaultDrawing(false);
    setDefaultRowHeight(20);
    for (int c = 0; c < ColCount(); ++c)
        m_columns.Add();
    m_trackedCell = {FixedCols(), FixedRows()};
}

THyperGrid::~THyperGrid()
{
    SaveColumnWidths(m_columnsRegistryKey);
}

void THyperGrid::setHyperOptions(HyperGridOptions options)
{
    if (options == m_hyperOptions)
        return;
    m_hyperOptions = options;
    invalidateGrid();
}

void THyperGrid::setHyperHighlightColor(TColor color)
{
    if (color == m_highlightColor)
        return;
    m_highlightColor = color;
    invalidateGrid();
}

void THyperGrid::setHyperHighlightFontColor(TColor color)
{
    if (color == m_highlightFontColor)
        return;
    m_highlightFontColor = color;
    invalidateGrid();
}

// --- Columns ---------------------------------------------------------------

ThgColumn *THyperGrid::ColumnAt(int col) const
{
    if (col < 0)
        return m_columns.Items(col); // raises the collection's index error
    int target = col;
    for (int i = 0; i < m_columns.Count() && i <= target; ++i)
        if (!m_columns.Items(i)->Visible())
            ++target;
    if (target >= m_columns.Count())
        throw EhgColumnIndexOutOfRange();
    return m_columns.Items(target);
}

int THyperGrid::visibleColumnsBefore(const ThgColumn *column) const
{
    int count = 0;
    for (int i = 0; i < m_columns.Count() && m_columns.Items(i) != column; ++i)
        if (m_columns.Items(i)->Visible())
            ++count;
    return count;
}

std::vector<int> THyperGrid::gridColumns() const
{
    std::vector<int> cols(m_columns.Count(), -1);
    int visible = 0;
    for (int i = 0; i < m_columns.Count(); ++i) {
        if (m_columns.Items(i)->Visible()) {
            if (visible < ColCount())
                cols[i] = visible;
            ++visible;
        }
    }
    return cols;
}

int THyperGrid::GridColOf(const ThgColumn *column) const
{
    if (!column || !column->Visible() || m_columns.IndexOf(column) < 0)
        return -1;
    const int col = visibleColumnsBefore(column);
    return col < ColCount() ? col : -1;
}

ThgColumn *THyperGrid::ColumnByName(const QString &name) const
{
    for (int i = 0; i < m_columns.Count(); ++i)
        if (m_columns.Items(i)->Name().compare(name, Qt::CaseInsensitive) == 0)
            return m_columns.Items(i);
    throw EhgInvalidColumnName(name);
}

int THyperGrid::VisibleColumnCount() const
{
    int count = 0;
    for (int i = 0; i < m_columns.Count(); ++i)
        if (m_columns.Items(i)->Visible())
            ++count;
    return count;
}

void THyperGrid::SizeChanged(int oldColCount, int oldRowCount)
{
    if (RowCount() != oldRowCount) {
        for (int i = 0; i < m_columns.Count(); ++i) {
            ThgColumn *column = m_columns.Items(i);
            if (!column->Visible() && column->HiddenCells.size() < RowCount())
                column->HiddenCells.resize(RowCount());
        }
    }
    if (m_bookkeeping > 0)
        return;
    if (ColCount() > oldColCount) {
        m_columns.AddItems(ColCount() - oldColCount);
    } else if (ColCount() < oldColCount) {
        int toFree = oldColCount - ColCount();
        for (int i = m_columns.Count() - 1; i >= 0 && toFree > 0; --i) {
            if (m_columns.Items(i)->Visible()) {
                m_columns.Delete(i);
                --toFree;
            }
        }
    }
}

void THyperGrid::SetColCountQuiet(int count)
{
    Bookkeeping quiet(m_bookkeeping);
    setColCount(count);
}

void THyperGrid::Loaded()
{
    SetColCountQuiet(VisibleColumnCount());
    LoadColumnWidths(m_columnsRegistryKey);
}

void THyperGrid::ColumnChanged(ThgHeading *item, int kind)
{
    if (kind == LayoutChange) {
        HideEditor();
        auto *column = static_cast<ThgColumn *>(item);
        if (column->Visible())
            ShowColumnData(column);
        else
            HideColumnData(column);
        invalidateGrid();
    } else if (kind == RepaintChange) {
        invalidateGrid();
    }
}

void THyperGrid::HideColumnData(ThgColumn *column)
{
    const int col = visibleColumnsBefore(column);
    column->HiddenCells.clear();
    column->HiddenCells.reserve(RowCount());
    for (int row = 0; row < RowCount(); ++row)
        column->HiddenCells.append(Cells(col, row));
    column->SavedWidth = ColWidths(col);
    Bookkeeping quiet(m_bookkeeping);
    DeleteColumn(col);
}

void THyperGrid::ShowColumnData(ThgColumn *column)
{
    Bookkeeping quiet(m_bookkeeping);
    setColCount(ColCount() + 1);
    const int last = ColCount() - 1;
    setColWidths(last, column->SavedWidth);
    for (int row = 0; row < RowCount() && row < column->HiddenCells.size(); ++row)
        setCells(last, row, column->HiddenCells.at(row));
    MoveColumn(last, visibleColumnsBefore(column));
    column->HiddenCells.clear();
}

void THyperGrid::ColumnMoved(int from, int to)
{
    if (m_bookkeeping > 0)
        return;
    const int target = m_columns.IndexOf(ColumnAt(to));
    m_columns.Move(m_columns.IndexOf(ColumnAt(from)), target);
}

void THyperGrid::RowMoved(int from, int to)
{
    if (m_bookkeeping > 0)
        return;
    for (int i = 0; i < m_columns.Count(); ++i) {
        ThgColumn *column = m_columns.Items(i);
        if (!column->Visible() && from < column->HiddenCells.size() && to < column->HiddenCells.size())
            column->HiddenCells.move(from, to);
    }
}

void THyperGrid::RowsPermuted(int first, const std::vector<int> &order)
{
    for (int i = 0; i < m_columns.Count(); ++i) {
        ThgColumn *column = m_columns.Items(i);
        if (!column->Visible() && column->HiddenCells.size() >= first + qsizetype(order.size()))
            permuteItems(column->HiddenCells, first, order);
    }
}

// --- Rows ------------------------------------------------------------------

void THyperGrid::RemoveRow(int row)
{
    if (row < FixedRows() || row >= RowCount())
        throw EhgRowIndexOutOfRange(QStringLiteral("Cannot delete row %1").arg(row));
    HideEditor();
    DeleteRow(row);
    for (int i = 0; i < m_columns.Count(); ++i) {
        ThgColumn *column = m_columns.Items(i);
        if (!column->Visible() && !column->HiddenCells.isEmpty())
            column->HiddenCells.removeLast();
    }
}

void THyperGrid::InsertRow(int row)
{
    if (row < FixedRows() || row >= RowCount())
        throw EhgRowIndexOutOfRange(QStringLiteral("Cannot insert row %1").arg(row));
    HideEditor();
    setRowCount(RowCount() + 1);
    {
        // The new empty last row moves up to its place; the hidden columns
        // get their empty entry below.
        Bookkeeping quiet(m_bookkeeping);
        MoveRow(RowCount() - 1, row);
    }
    setRowHeights(row, DefaultRowHeight());
    for (int i = 0; i < m_columns.Count(); ++i) {
        ThgColumn *column = m_columns.Items(i);
        if (!column->Visible())
            column->HiddenCells.insert(std::min<qsizetype>(row, column->HiddenCells.size()), QString());
    }
}

void THyperGrid::SelectRow(int row)
{
    if (Options() & goEditing)
        return;
    setSelection({FixedCols(), row, ColCount() - 1, row});
}

// --- Worksheet file -------------------------------------------------------

QByteArray THyperGrid::LoadFromCSV(int firstCol, int firstRow, const QString &fileName)
{
    // Only a regular file: a pipe or a device of that name would keep the
    // reading waiting, or reading without end.
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        throw FileOpenError(fileName);
    const QByteArray bytes = file.readAll();
    readCsv(firstCol, firstRow, bytes);
    return bytes;
}

void THyperGrid::LoadFromCSVStream(int firstCol, int firstRow, QIODevice &stream)
{
    readCsv(firstCol, firstRow, stream.readAll());
}

void THyperGrid::readCsv(int firstCol, int firstRow, QByteArrayView bytes)
{
    const int originalRowCount = RowCount();
    int lastRow = -1;
    // Where each column object's field goes: its grid column, or -1 while
    // hidden. Brought up to date when a line adds columns.
    std::vector<int> gridCols = gridColumns();
    // The first hidden column object from firstCol on: the fields before it
    // all go to the grid.
    auto firstHiddenColumn = [&] {
        return int(std::find(gridCols.begin() + std::min<size_t>(firstCol, gridCols.size()), gridCols.end(), -1)
            - gridCols.begin());
    };
    int firstHidden = firstHiddenColumn();
    std::vector<QStringView> shown;
    BeginUpdate();
    // Rows are added for the lines the file seems to hold, and more in
    // growing steps if it holds more; the surplus goes again at the end.
    setRowCount(std::max(RowCount(), firstRow + estimateLineCount(bytes)));
    auto store = [&](int line, std::span<const QStringView> fields) {
        const int row = firstRow + line;
        if (row >= RowCount())
            setRowCount(std::max(row + 1, RowCount() + RowCount() / 2));
        lastRow = std::max(lastRow, row);
        if (const int missing = firstCol + int(fields.size()) - m_columns.Count(); missing > 0) {
            // All in one step: a line of thousands of fields would otherwise
            // take time growing with the square of their number.
            setColCount(ColCount() + missing); // adds the column objects
            gridCols = gridColumns();
            firstHidden = firstHiddenColumn();
        }
        // The visible columns among firstCol … are adjacent grid columns.
        if (firstCol + fields.size() <= size_t(firstHidden)) {
            cellTable().setRowTexts(row, gridCols[firstCol], fields);
            return;
        }
        shown.clear();
        int firstGridCol = -1;
        for (size_t k = 0; k < fields.size(); ++k) {
            const int col = gridCols[firstCol + k];
            if (col >= 0) {
                if (firstGridCol < 0)
                    firstGridCol = col;
                shown.push_back(fields[k]);
            } else {
                m_columns.Items(firstCol + int(k))->HiddenCells[row] = fields[k].toString();
            }
        }
        if (!shown.empty())
            cellTable().setRowTexts(row, firstGridCol, shown);
    };
    try {
        m_csvEncoding = readCsvBytes(bytes, store);
    } catch (...) {
        setRowCount(std::max(originalRowCount, lastRow + 1));
        EndUpdate();
        throw;
    }
    setRowCount(std::max(originalRowCount, lastRow + 1));
    EndUpdate();
}

size_t THyperGrid::SaveToCSV(int firstCol, int firstRow, const QString &fileName)
{
    return csvRows(firstCol, firstRow).saveTo(fileName);
}

bool THyperGrid::SaveToCSVStream(int firstCol, int firstRow, QIODevice &stream) const
{
    return csvRows(firstCol, firstRow).writeTo(stream).has_value();
}

CsvRows THyperGrid::csvRows(int firstCol, int firstRow) const
{
    const int count = std::max(m_columns.Count() - firstCol, 0);
    const std::vector<int> allGridCols = gridColumns();
    std::vector<int> gridCols(allGridCols.end() - count, allGridCols.end());
    std::vector<QStringList> hidden;
    for (int k = 0; k < count; ++k)
        hidden.push_back(gridCols[k] >= 0 ? QStringList() : m_columns.Items(firstCol + k)->HiddenCells);
    return CsvRows(cellTable(), std::move(gridCols), std::move(hidden), std::max(firstRow, 0), RowCount(), m_csvEncoding);
}

// --- Column widths --------------------------------------------------------

QString THyperGrid::ColumnWidthsFile()
{
    if (columnWidthsFile().isEmpty())
        return QCoreApplication::applicationDirPath() + QStringLiteral("/ColumnWidths.ini");
    return columnWidthsFile();
}

void THyperGrid::setColumnWidthsFile(const QString &path)
{
    columnWidthsFile() = path;
}

void THyperGrid::SaveColumnWidths(const QString &key)
{
    if (key.trimmed().isEmpty())
        return;
    QSettings settings(ColumnWidthsFile(), QSettings::IniFormat);
    settings.beginGroup(key.trimmed());
    for (int col = 0; col < ColCount(); ++col) {
        try {
            settings.setValue(ColumnAt(col)->Name(), ColWidths(col));
        } catch (const WorktallyError &) {
            // a column that cannot be saved is skipped
        }
    }
}

void THyperGrid::LoadColumnWidths(const QString &key)
{
    if (key.trimmed().isEmpty())
        return;
    QSettings settings(ColumnWidthsFile(), QSettings::IniFormat);
    settings.beginGroup(key.trimmed());
    for (const QString &name : settings.childKeys()) {
        try {
            bool ok = false;
            const int width = settings.value(name).toInt(&ok);
            const int col = GridColOf(ColumnByName(name));
            if (ok && col >= 0)
                setColWidths(col, width);
        } catch (const WorktallyError &) {
            // an unknown column name is skipped
        }
    }
}

// --- Current cell tracking ------------------------------------------------

bool THyperGrid::SelectCell(int col, int row)
{
    bool allowed = THgHintGrid::SelectCell(col, row);
    if (!allowed || CellPosition {col, row} == m_trackedCell)
        return allowed;
    // Both are asked; a refusal from either keeps the current cell.
    allowed = ExitCell();
    if (row != m_trackedCell.Y)
        allowed = ExitRow() && allowed;
    if (allowed) {
        const bool rowChanged = row != m_trackedCell.Y;
        m_trackedCell = {col, row};
        if (rowChanged)
            EnterRow();
        EnterCell();
    }
    return allowed;
}

bool THyperGrid::ExitCell()
{
    return exitTracked(OnExitCell);
}

bool THyperGrid::ExitRow()
{
    return exitTracked(OnExitRow);
}

void THyperGrid::EnterCell()
{
    enterTracked(OnEnterCell);
}

void THyperGrid::EnterRow()
{
    enterTracked(OnEnterRow);
}

bool THyperGrid::exitTracked(const ExitHandler &handler)
{
    if (m_autoAcceptSuggestion && HgInplaceEdit())
        HgInplaceEdit()->AcceptSuggestion();
    bool canExit = true;
    if (handler)
        handler(this, m_trackedCell.X, m_trackedCell.Y, canExit);
    if (!HintFollowsMouse())
        ArmHint(false);
    return canExit;
}

void THyperGrid::enterTracked(const EnterHandler &handler)
{
    if (handler)
        handler(this, m_trackedCell.X, m_trackedCell.Y);
    if (!HintFollowsMouse())
        SetHintCell(m_trackedCell.X, m_trackedCell.Y);
}

void THyperGrid::FocusEntered()
{
    THgHintGrid::FocusEntered();
    m_trackedCell = {Col(), Row()};
    EnterRow();
    EnterCell();
}

void THyperGrid::FocusLeft()
{
    THgHintGrid::FocusLeft();
    ExitCell();
    ExitRow();
}

// --- Cell editor --------------------------------------------------------------

CellEditor *THyperGrid::CreateEditor()
{
    return new THgInplaceEdit(this);
}

THgInplaceEdit *THyperGrid::HgInplaceEdit() const
{
    // This grid's editors are all made by CreateEditor.
    return static_cast<THgInplaceEdit *>(InplaceEditor());
}

void THyperGrid::CellEdited(int col, int row)
{
    if (OnCellEdited)
        OnCellEdited(this, col, row);
}
