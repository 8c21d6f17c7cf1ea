#pragma once

#include <QString>

/// bench-data/ beside the benchmark programs.
QString dataFolder();
/// A generated worksheet file of the given number of data rows, made once.
QString sampleFile(int rows);
