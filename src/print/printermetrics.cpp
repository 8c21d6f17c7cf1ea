#include "printermetrics.h"

#include <QPrinter>

PrinterMetrics readPrinterMetrics(const QPrinter *printer)
{
    if (!printer || !printer->isValid())
        return {};
    PrinterMetrics metrics;
    metrics.available = true;
    metrics.dpiX = printer->logicalDpiX();
    metrics.dpiY = printer->logicalDpiY();
    const QPageLayout layout = printer->pageLayout();
    const QRect paper = layout.fullRectPixels(printer->resolution());
    const QRect printable = layout.paintRectPixels(printer->resolution());
    metrics.paperWidth = paper.width();
    metrics.paperHeight = paper.height();
    metrics.offsetX = printable.left();
    metrics.offsetY = printable.top();
    return metrics;
}

PaperGeometry paperOf(const PrinterMetrics &metrics, TMeasureUnit unit)
{
    if (!metrics.available)
        return unit == muMillimeters ? PaperGeometry {210, 297, 6, 6} : PaperGeometry {8.5, 11, 0.25, 0.25};
    return {pixelsToLength(metrics.paperWidth, unit, metrics.dpiX),
        pixelsToLength(metrics.paperHeight, unit, metrics.dpiY), pixelsToLength(metrics.offsetX, unit, metrics.dpiX),
        pixelsToLength(metrics.offsetY, unit, metrics.dpiY)};
}
