#pragma once

#include "celltable.h"
#include "csvcodec.h"

/// A worksheet file's bytes as the Overview grid's own loading
/// (LoadFromCSV(0, 1, …)) stores them: line k in row k + 1 from the first
/// column on, row 0 left to the titles, a line of more fields than the
/// worksheet's nine widening the table. Below the last row comes an empty
/// bottom line unless that row is empty already, as the window makes sure.
/// encoding is set to the one to write the rows back in.
CellTable worksheetRows(QByteArrayView bytes, CsvEncoding &encoding);
