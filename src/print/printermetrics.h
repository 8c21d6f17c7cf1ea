#pragma once

#include "printunits.h"

class QPrinter;

/// What the page printer reads from its printer, in printer pixels. Without
/// a printer only the resolution is known: FallbackDpi.
struct PrinterMetrics
{
    bool available = false;
    int dpiX = FallbackDpi;
    int dpiY = FallbackDpi;
    int paperWidth = 0;
    int paperHeight = 0;
    int offsetX = 0; // unprintable left edge, taken for the right one too
    int offsetY = 0; // unprintable top edge, taken for the bottom one too
};

/// Paper size and unprintable offsets in the measure unit.
struct PaperGeometry
{
    double width = 0;
    double height = 0;
    double offsetX = 0;
    double offsetY = 0;

    double printableWidth() const { return width - 2 * offsetX; }
    double printableHeight() const { return height - 2 * offsetY; }
};

/// A printer without a valid device (none installed, or none given) reads as
/// not available.
PrinterMetrics readPrinterMetrics(const QPrinter *printer);
/// The printer's paper, or without a printer letter size in inches (8.5 × 11,
/// offsets 0.25) and A4 in millimetres (210 × 297, offsets 6).
PaperGeometry paperOf(const PrinterMetrics &metrics, TMeasureUnit unit);
