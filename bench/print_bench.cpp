// Laying out the worksheet printout: a framed seven-column table with one
// row per worksheet row (one note in ten wraps within its column), header,
// footer and border lines on every page. And repainting the preview at a new
// zoom, which must replay the recorded pages without laying them out again.

#include "pageprinter.h"

#include <benchmark/benchmark.h>
#include <QImage>

namespace {

void setUp(TPagePrinter &prn)
{
    prn.setPrinter(nullptr); // the 300 dpi stand-in, A4 in millimetres
    prn.setMeasureUnit(muMillimeters);
    prn.setMarginTop(20);
    prn.setMarginBottom(20);
    prn.setMarginLeft(20);
    prn.setMarginRight(20);
    prn.setTableFormat(QStringLiteral("<28|<28|>15|^20|>15|>15|<50"));
    prn.setTableGrid(true);
    prn.setFriendlyHeader(QStringLiteral("&l&F &r&D"));
    prn.setFriendlyFooter(QStringLiteral("&r&p"));
    prn.setPageBorders(pbTop | pbBottom);
    prn.setFont(QFont(QStringLiteral("Courier New"), 9));
}

void writeWorksheet(TPagePrinter &prn, int rows)
{
    const QString notes[] = {QString(), QStringLiteral("Customer call"),
        QStringLiteral("Planning the next release with the team and writing it all down for later")};
    prn.BeginDocument();
    prn.WriteTableRow(QStringLiteral("Work began:  |Work ended: |Work time:| Date:|Nom. time:|Diff.: |Remark: |"));
    for (int r = 1; r <= rows; ++r) {
        // Days, times and differences vary from row to row as in a real worksheet.
        const QString date = QStringLiteral("%1-12-26").arg(r % 28 + 1, 2, 10, QLatin1Char('0'));
        const QString minutes = QStringLiteral("%1").arg(r % 60, 2, 10, QLatin1Char('0'));
        prn.WriteTableRow(date + QStringLiteral(" 08:") + minutes + QStringLiteral(" |") + date
            + QStringLiteral(" 12:30 |04:") + minutes + QStringLiteral(" | ") + date + QStringLiteral("|07:24 |-02:")
            + minutes + QStringLiteral(" |") + notes[r % 10 == 0 ? 2 : r % 2] + QStringLiteral(" |"));
    }
    prn.NewLine();
    prn.WriteAlignedLine(Qt::AlignHCenter, QString(76, u'-'));
    prn.WriteText(QStringLiteral("Actual Workhours:  "));
    prn.WriteAlignedLine(Qt::AlignRight, QStringLiteral("1234:56"));
    prn.EndDocument();
}

void BM_LayOutWorksheetPrintout(benchmark::State &state)
{
    TPagePrinter prn;
    setUp(prn);
    for (auto _ : state)
        writeWorksheet(prn, int(state.range(0)));
    state.counters["pages"] = prn.PageCount();
}

void BM_RepaintPreviewAtNewZoom(benchmark::State &state)
{
    TPagePrinter prn;
    setUp(prn);
    int laidOutLines = 0;
    prn.OnNewLine = [&laidOutLines](TPagePrinter *) { ++laidOutLines; };
    writeWorksheet(prn, 10000);
    const int afterLayout = laidOutLines;
    prn.resize(1000, 800);
    QImage image(prn.PaintSurface()->size(), QImage::Format_ARGB32_Premultiplied);
    int zoom = 0;
    for (auto _ : state) {
        prn.setZoomPercent(50 + zoom++ % 100);
        if (image.size() != prn.PaintSurface()->size())
            image = QImage(prn.PaintSurface()->size(), QImage::Format_ARGB32_Premultiplied);
        prn.PaintSurface()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    // Must stay 0: a repaint replays the recorded page only.
    state.counters["lines_laid_out_by_repaints"] = laidOutLines - afterLayout;
}

} // namespace

BENCHMARK(BM_LayOutWorksheetPrintout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintPreviewAtNewZoom)->Unit(benchmark::kMillisecond);
