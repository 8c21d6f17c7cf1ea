#pragma once

#include "stringgrid.h"

#include <optional>
#include <QObject>
#include <QPointer>
#include <vector>

/// Reorders a range of rows of a string grid by the texts of one column (or a
/// range of columns by the texts of one row), comparing them as text, as
/// numbers or as dates. Whole rows (columns) move, with every cell text.
///
/// SortGrid checks the properties first; an error leaves the grid untouched.
/// When the keys are not all numbers or dates, that run sorts them as text
/// instead; SortType keeps its value for the next run.
class TSortAStringGrid : public QObject
{
    Q_OBJECT

public:
    enum class ToSortType { Character, Numeric, Date };
    enum class SortDirType { Ascending, Descending };
    /// Row: reorder rows by the keys in column SortIndex; Column: reorder
    /// columns by the keys in row SortIndex.
    enum class SortOrientation { Column, Row };

    /// The outcome of the last SortGrid: negative codes are warnings (the grid
    /// was sorted), positive ones errors (it was not).
    enum StatusCode {
        DateCaseIgnored = -4,
        NumericCaseIgnored = -3,
        NotAllDates = -2,
        NotAllNumbers = -1,
        Ok = 0,
        NoGrid = 1,
        EmptyRange = 2,
        StartBelowZero = 3,
        StartBeyondGrid = 4,
        EndBeyondGrid = 5,
        SortIndexBelowZero = 6,
        SortIndexBeyondGrid = 7
    };

    explicit TSortAStringGrid(QObject *parent = nullptr);

    /// Cleared when the grid is destroyed.
    TStringGrid *GridToSort() const { return m_grid; }
    void setGridToSort(TStringGrid *grid) { m_grid = grid; }
    int StartIndex() const { return m_startIndex; }
    void setStartIndex(int index) { m_startIndex = index; }
    /// The last row (column) of the range, inclusive.
    int EndIndex() const { return m_endIndex; }
    void setEndIndex(int index) { m_endIndex = index; }
    int SortIndex() const { return m_sortIndex; }
    void setSortIndex(int index) { m_sortIndex = index; }
    ToSortType SortType() const { return m_sortType; }
    void setSortType(ToSortType type) { m_sortType = type; }
    /// Character keys compare without upper-casing.
    bool CaseSensitiv() const { return m_caseSensitiv; }
    void setCaseSensitiv(bool on) { m_caseSensitiv = on; }
    SortDirType SortDirection() const { return m_sortDirection; }
    void setSortDirection(SortDirType direction) { m_sortDirection = direction; }
    SortOrientation HowToSort() const { return m_howToSort; }
    void setHowToSort(SortOrientation how) { m_howToSort = how; }
    bool ShowMessageOnError() const { return m_showMessageOnError; }
    void setShowMessageOnError(bool on) { m_showMessageOnError = on; }

    /// Sorts the range; true when it sorted (also after a warning), false on
    /// an error. With ShowMessageOnError a warning or error is also shown in
    /// a message box.
    bool SortGrid();

    /// Where the row (column) that stood at index before the last SortGrid
    /// stands now; index itself when that run sorted nothing or index lay
    /// outside its range.
    int newIndexOf(int index) const;

    int Status() const { return m_status; }
    QString StatusMessage() const { return statusText(m_status); }
    /// The message shown for a status code.
    static QString statusText(int status);

private:
    StatusCode propertyError() const;
    QStringView key(int index) const;
    // The indices first … last in sorted ascending order.
    std::vector<int> sortedOrder(int first, int last);
    // The same, comparing the keys as numbers or dates; nothing when a key
    // does not convert.
    std::optional<std::vector<int>> sortedByValue(int first, int last);
    std::vector<int> sortedByText(int first, int last) const;
    void moveIntoOrder(int first, const std::vector<int> &order);
    void reportStatus() const;

    QPointer<TStringGrid> m_grid;
    int m_startIndex = 0;
    int m_endIndex = 0;
    int m_sortIndex = 0;
    ToSortType m_sortType = ToSortType::Character;
    bool m_caseSensitiv = false;
    SortDirType m_sortDirection = SortDirType::Ascending;
    SortOrientation m_howToSort = SortOrientation::Row;
    bool m_showMessageOnError = false;
    StatusCode m_status = Ok;
    // The new index of each index of the last sorted range, from m_sortedFirst on.
    int m_sortedFirst = 0;
    std::vector<int> m_newIndices;
};
