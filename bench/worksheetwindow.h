#pragma once

#include "celltable.h"
#include "mainwindow.h"

#include <memory>
#include <QString>

/// A main window over a copy of the generated worksheet of rows data rows,
/// in a data folder named after name, with working hours on every day.
std::unique_ptr<TForm1> openWorksheetWithWorkingHours(const QString &name, int rows);

/// Lets the window's background save end, as the event loop would.
void waitForTheSave(const TForm1 &form);

/// What any program must do when one row changes: read its Start and End,
/// write its Time and its Diff. In milliseconds.
double recalculatingOneRow(CellTable &cells, int row);
