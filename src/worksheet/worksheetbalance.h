#pragma once

#include "today.h"
#include "worksheettotals.h"

#include <optional>
#include <QDate>
#include <QString>

class CellTable;

/// The numbers behind the status bar's totals and today's balance, kept from
/// the last recalculation of every row while the rows stay as they were, so
/// that a change of one row's Time (the running period moving on each
/// minute) costs that row alone.
class WorksheetBalance
{
public:
    /// Recalculates every row (sumWorksheet) and adds up the rows of today;
    /// keeps both. Raises what sumWorksheet raises, keeping nothing then.
    WorksheetTotals recalculate(CellTable &cells, QDate today);

    /// A change of one row's Time, noted before it is made.
    struct TimeChange
    {
        int row;
        QString previousTime;
        quint64 revision; // of the rows before the change
    };
    TimeChange beforeTimeChange(const CellTable &cells, int row) const;
    /// Once the row's Time (and End) changed and nothing else: writes its
    /// Diff. and gives the totals as recalculate would, adding that row's
    /// difference in minutes to the totals, and to today's balance when its
    /// Start is today. Whatever it cannot be sure of (rows changed before,
    /// another day, a Time or hh:mm that does not read) it recalculates.
    WorksheetTotals afterTimeChange(CellTable &cells, const TimeChange &change, QDate today);

    /// The rows dated day added up (WorksheetDays): the kept balance while
    /// the rows are as they were, else counted afresh.
    Balance rowsOf(const CellTable &cells, QDate day) const;

private:
    /// Whether the kept numbers are those of the rows at revision on day.
    bool keeps(quint64 revision, QDate day) const;

    std::optional<WorksheetSums> m_sums; // none until a recalculation succeeds
    QDate m_day;
    Balance m_dayRows;
    quint64 m_revision = 0; // of the rows the numbers were kept for
};
