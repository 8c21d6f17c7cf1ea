#pragma once

#include "datetime.h"
#include "today.h"
#include "worksheettotals.h"

#include <QDate>
#include <unordered_map>
#include <utility>
#include <vector>

class CellTable;

/// What the texts of one worksheet row read as.
struct RowValues
{
    enum Flag : quint8 {
        Empty = 1 << 0, // no cell holds text
        StartReads = 1 << 1,
        TimeReads = 1 << 2,
        NominalDateReads = 1 << 3,
        NominalTimeReads = 1 << 4,
        // Its hh:mm owes time and its nominal Date reads as a plain date.
        Owes = 1 << 5,
        // Changed since its Diff. was last written.
        DiffPending = 1 << 6,
    };

    // The size of the difference of Time and hh:mm as times of day, of
    // which Diff. is written.
    DateTime differenceTime = 0;
    qint32 worked = 0; // minutes of Time
    qint32 owed = 0; // minutes of hh:mm
    // Read once the days are asked for:
    qint32 startDay = 0; // Julian day of Start
    qint32 nominalDay = 0; // Julian day of the nominal Date, read as Start is
    qint32 owingDay = 0; // Julian day of the nominal Date read as a plain date
    quint8 flags = Empty;

    bool has(Flag flag) const { return flags & flag; }
    /// Whether the recalculation stops here: a row that holds text but
    /// whose Time or hh:mm does not read.
    bool stopsRecalculation() const { return !has(Empty) && !(has(TimeReads) && has(NominalTimeReads)); }
};

/// The worksheet's rows read as values, kept beside their texts and brought
/// up to date row by row as the texts change, with everything added up from
/// them: the totals, each day's time worked and owed, the rows that stop the
/// recalculation and the Diff. cells still to be written.
///
/// Data rows are rows 1 … rowCount - 2 (row 0 holds the titles, the last row
/// is the empty bottom line). What is added up covers every row from 1 on,
/// and what the last row adds is taken away when asked: so a row added at
/// the end or cut there changes nothing else.
class WorksheetValues
{
public:
    /// The entry of a day map used last, found again at once for a row of
    /// the same day as the one before (rows come mostly in order of their
    /// dates). It points into the map: it moves with it, and its source
    /// forgets it.
    template<typename T> struct LastEntry
    {
        qint32 key = 0;
        T *value = nullptr;

        LastEntry() = default;
        LastEntry(LastEntry &&other) noexcept
            : key(other.key)
            , value(std::exchange(other.value, nullptr))
        { }
        LastEntry &operator=(LastEntry &&other) noexcept
        {
            key = other.key;
            value = std::exchange(other.value, nullptr);
            return *this;
        }
    };

    /// Reads what the totals need of every row of cells: the one pass over
    /// all of them (their days follow when first asked for).
    static WorksheetValues read(const CellTable &cells);

    /// Row's texts changed: its values are read again.
    void rowChanged(const CellTable &cells, int row);
    /// Empty rows added at the end, from first on.
    void rowsInserted(int first, int count);
    /// Rows cut from first to the end.
    void rowsRemoved(int first);
    void rowMoved(int from, int to);
    /// As CellTable::permuteRows has it.
    void rowsPermuted(int first, const std::vector<int> &order);

    /// The recalculation: writes the Diff. of every data row changed since
    /// it was last written, and gives the totals texts. A data row whose
    /// Time or hh:mm does not read raises ConversionError as reading it does,
    /// the rows before it having their new Diff., the rest left as it was.
    WorksheetTotals recalculate(CellTable &cells);

    /// The data rows dated day added up, as WorksheetDays has them; cells
    /// are the rows the values were kept of.
    Balance rowsOf(const CellTable &cells, QDate day) const;
    /// Whether a row (the bottom line too) with a nominal Date of day owes
    /// time already.
    bool owesOn(const CellTable &cells, QDate day) const;

    int rowCount() const { return int(m_rows.size()); }

private:
    // Adds (sign 1) or takes away (sign -1) what a row at index row adds up to.
    void count(const RowValues &values, int row, int sign);
    void countDays(const RowValues &values, int sign) const;
    // The days of the rows are read and added up when first asked for (a
    // program without working hours never asks), and kept from then on.
    void countEveryDay(const CellTable &cells) const;
    void markPending(int row);
    // Before rows first … last move: when they reach m_pendingFrom, the rows
    // still to be written from there on are listed, or m_pendingFrom comes
    // down to first.
    void beforeMove(int first, int last);
    // The first data row that stops the recalculation, or -1.
    int firstStoppingRow() const;

    mutable std::vector<RowValues> m_rows; // their days read once asked for
    qint64 m_home = 0; // minutes of every Time that reads
    qint64 m_nominal = 0; // minutes of every hh:mm that reads
    int m_stopping = 0; // rows that stop the recalculation
    mutable bool m_daysCounted = false;
    mutable std::unordered_map<qint32, Balance> m_days; // by Julian day
    mutable std::unordered_map<qint32, int> m_owingRows; // by Julian day of the nominal Date
    mutable LastEntry<Balance> m_lastDay;
    mutable LastEntry<int> m_lastOwingDay;
    // Rows whose Diff. is to be written: those in m_pending and every row
    // from m_pendingFrom on.
    std::vector<int> m_pending;
    int m_pendingFrom = 1;
    bool m_writingDiffs = false;
};
