#pragma once

#include "celltable.h"
#include "today.h"
#include "worksheettotals.h"

#include <QDate>
#include <QString>

class WorkingHours;

/// A worksheet as the window shows it after its recalculation.
struct RecalculatedWorksheet
{
    CellTable cells;
    WorksheetTotals totals;
};

/// Reads Hourbook.csv in dataFolder as the window loads it, and recalculates
/// it; nothing is created or written. Raises WorktallyError with the message
/// for the user when there is no worksheet, it cannot be read, or a Time or
/// hh:mm does not read.
RecalculatedWorksheet readWorksheet(const QString &dataFolder);

/// The worksheet's totals and the balance of today and its week.
struct WorksheetSummary
{
    WorksheetTotals totals;
    QDate today;
    Balance todayBalance;
    Balance weekBalance;
};
/// Reads Hourbook.csv in dataFolder as readWorksheet does, for its summary
/// only: the rows are added up as they are read, none of them kept.
WorksheetSummary readSummary(const QString &dataFolder, QDate today, const WorkingHours &hours);

/// The three totals as the status bar shows them, one a line, then today's
/// and the week's home time, target and difference.
QString summaryText(const WorksheetSummary &summary);
/// The summary as one JSON object on one line.
QString summaryJson(const WorksheetSummary &summary);

enum class ReportPeriod { Week, Month };

/// One line per ISO week ("2026-W49") or calendar month ("2026-12") that has
/// a row, in order: its home time, nominal time and difference; as CSV, with
/// a header line.
QString reportText(const WorksheetDays &days, ReportPeriod period, bool csv);
