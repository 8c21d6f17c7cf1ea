#include "gridsorter.h"

#include "datetimetext.h"
#include "messages.h"
#include "sortorder.h"

#include <algorithm>
#include <functional>

TSortAStringGrid::TSortAStringGrid(QObject *parent)
    : QObject(parent)
{ }

QString TSortAStringGrid::statusText(int status)
{
    static const char *const texts[] = {
        "Case Sensitivity ignored for Date Sort.",
        "Case Sensitivity ignored for Numeical Sort.",
        "Column/Row contains non-date values for date sort. Sorted as Character.",
        "Column/Row contains non-numerical values for numeric sort. Sorted as Character.",
        "Ok",
        "No StringGrid given",
        "StartIndex is greater or equal to EndIndex",
        "StartIndex is less then 0",
        "StartIndex is greater then number of rows/columns in StringGrid",
        "EndIndex is greater then number of rows/columns in StringGrid",
        "Sort Index is less then 0",
        "Sort Index is greater then number of rows/columns in StringGrid",
    };
    if (status < DateCaseIgnored || status > SortIndexBeyondGrid)
        return {};
    return QString::fromLatin1(texts[status - DateCaseIgnored]);
}

bool TSortAStringGrid::SortGrid()
{
    m_newIndices.clear();
    m_status = propertyError();
    if (m_status != Ok) {
        reportStatus();
        return false;
    }
    // Columns beyond the grid's last one have no texts to move.
    const int last = m_howToSort == SortOrientation::Row ? m_endIndex : std::min(m_endIndex, m_grid->ColCount() - 1);
    std::vector<int> order = sortedOrder(m_startIndex, last);
    if (m_sortDirection == SortDirType::Descending)
        std::reverse(order.begin(), order.end());
    moveIntoOrder(m_startIndex, order);
    m_sortedFirst = m_startIndex;
    m_newIndices.resize(order.size());
    for (size_t k = 0; k < order.size(); ++k)
        m_newIndices[order[k] - m_startIndex] = m_startIndex + int(k);
    reportStatus();
    return true;
}

int TSortAStringGrid::newIndexOf(int index) const
{
    const qsizetype offset = qsizetype(index) - m_sortedFirst;
    return offset >= 0 && offset < qsizetype(m_newIndices.size()) ? m_newIndices[offset] : index;
}

// The range is checked against the row count and SortIndex against the column
// count whichever way the grid is sorted; when columns are sorted, SortGrid
// leaves out those of the range beyond the last column.
TSortAStringGrid::StatusCode TSortAStringGrid::propertyError() const
{
    if (!m_grid)
        return NoGrid;
    if (m_startIndex >= m_endIndex)
        return EmptyRange;
    if (m_startIndex < 0)
        return StartBelowZero;
    if (m_startIndex > m_grid->RowCount() - 1)
        return StartBeyondGrid;
    if (m_endIndex > m_grid->RowCount() - 1)
        return EndBeyondGrid;
    if (m_sortIndex < 0)
        return SortIndexBelowZero;
    if (m_sortIndex > m_grid->ColCount() - 1)
        return SortIndexBeyondGrid;
    return Ok;
}

QStringView TSortAStringGrid::key(int index) const
{
    const CellTable &cells = m_grid->cellTable();
    return m_howToSort == SortOrientation::Row ? cells.cell(m_sortIndex, index) : cells.cell(index, m_sortIndex);
}

std::vector<int> TSortAStringGrid::sortedOrder(int first, int last)
{
    if (m_sortType != ToSortType::Character) {
        if (auto order = sortedByValue(first, last))
            return *order;
    }
    return sortedByText(first, last);
}

std::optional<std::vector<int>> TSortAStringGrid::sortedByValue(int first, int last)
{
    // Each key is converted once, here; the sort then compares the values.
    const bool numeric = m_sortType == ToSortType::Numeric;
    if (!numeric && m_caseSensitiv)
        m_status = DateCaseIgnored;
    const int century = currentCentury();
    std::vector<SortEntry<double>> entries;
    entries.reserve(std::max(last - first + 1, 0));
    bool allConverted = true;
    for (int n = first; n <= last; ++n) {
        const QStringView text = key(n);
        const std::optional<double> value
            = numeric ? std::optional<double>(tryParseInteger(text)) : tryParseDateTime(text, century);
        if (!value) {
            m_status = numeric ? NotAllNumbers : NotAllDates;
            allConverted = false;
            continue;
        }
        entries.push_back({n, *value});
        // Every number found after a non-number turns the warning back.
        if (numeric && m_caseSensitiv)
            m_status = NumericCaseIgnored;
    }
    if (!allConverted)
        return std::nullopt;
    return sortedIndices(std::move(entries), std::less<double>(), false);
}

std::vector<int> TSortAStringGrid::sortedByText(int first, int last) const
{
    // The views stay valid: no cell changes until the sort is over.
    std::vector<SortEntry<QStringView>> entries;
    entries.reserve(std::max(last - first + 1, 0));
    for (int n = first; n <= last; ++n)
        entries.push_back({n, key(n)});
    return sortedIndices(std::move(entries), TextLess {m_caseSensitiv}, true);
}

void TSortAStringGrid::moveIntoOrder(int first, const std::vector<int> &order)
{
    if (m_howToSort == SortOrientation::Row) {
        m_grid->permuteRows(first, order);
        return;
    }
    CellTable &cells = m_grid->cellTable();
    std::vector<QStringView> texts(order.size());
    for (int row = 0; row < cells.rowCount(); ++row) {
        // The views point into the row they replace; setRowTexts allows that.
        std::transform(order.begin(), order.end(), texts.begin(), [&](int col) { return cells.cell(col, row); });
        cells.setRowTexts(row, first, texts);
    }
}

void TSortAStringGrid::reportStatus() const
{
    if (m_showMessageOnError && m_status != Ok)
        showMessage(StatusMessage(), m_status > Ok ? MessageKind::Error : MessageKind::Warning);
}
