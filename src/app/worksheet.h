#pragma once

#include "celltable.h"

/// The nine columns of a worksheet row, in file and grid order.
enum WorksheetColumn {
    StartColumn = 0, // start of a home period, dd-mm-yy hh:mm
    EndColumn = 1, // end of that period, dd-mm-yy hh:mm
    TimeColumn = 2, // its duration, hh:mm
    FirstSpacerColumn = 3, // always empty
    NominalDateColumn = 4, // date of the nominal entry, dd-mm-yy
    NominalTimeColumn = 5, // nominal working time owed, hh:mm
    SecondSpacerColumn = 6, // always empty
    DiffColumn = 7, // signed difference, written by the recalculation
    NotesColumn = 8, // free text
    WorksheetColumnCount = 9
};

/// The caption of each column in its title.
inline constexpr QStringView WorksheetColumnCaptions[WorksheetColumnCount]
    = {u"Start", u"End", u"Time", u"", u"Date", u"hh:mm", u"", u"Diff.", u"Notes"};

/// Whether a row holds no text at all, as the empty bottom line below the
/// data rows does.
inline bool isEmptyRow(const CellTable &cells, int row)
{
    return cells.rowTexts(row).join(QString()).isEmpty();
}
