// "Print" in the main window until the preview shows page 1, and printing
// the worksheet into a PDF file, each next to its floor: a bare QPainter
// drawing the same page into an image of the preview's size, or the same
// pages onto a PDF QPrinter. The two are timed in turns in the same run; the
// counters are their medians and the ratio of the medians. For a million
// rows also the peak memory that printing adds to the loaded worksheet.

#include "floorcomparison.h"
#include "mainwindow.h"
#include "messages.h"
#include "pageprinter.h"
#include "printpreview.h"
#include "samplefiles.h"

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>

namespace {

/// A kilobyte figure of /proc/self/status, such as VmRSS or VmHWM.
qint64 statusKilobytes(const QByteArray &key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').first().toLongLong();
    return 0;
}

/// The peak resident memory starts again from what is resident now.
void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

/// The main window over a generated worksheet, printing into a PDF file.
struct PrintingWorksheet
{
    std::unique_ptr<TForm1> form;
    QString pdf;

    explicit PrintingWorksheet(int rows)
    {
        setMessagePresenter([](MessageKind, const QString &) {}); // "Printed to …"
        const QString folder = dataFolder() + QStringLiteral("/printout_%1").arg(rows);
        QDir().mkpath(folder);
        QFile::remove(folder + QStringLiteral("/Hourbook.csv"));
        QFile::copy(sampleFile(rows), folder + QStringLiteral("/Hourbook.csv"));
        pdf = folder + QStringLiteral("/printout.pdf");
        form = std::make_unique<TForm1>(folder);
        preview().PrinterDialog = [this](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
    }

    TPrintPrv &preview() { return static_cast<TPrintPrv &>(form->PrintPreview()); }
    TPagePrinter &prn() { return *preview().Prn; }
};

/// The bare drawing of a recorded page: its lines, then its texts.
void drawBare(QPainter &painter, const PageImage &page)
{
    for (const auto &line : page.lines()) {
        painter.setPen(QPen(Qt::black, line.penWidth));
        painter.drawLine(line.from, line.to);
    }
    painter.setPen(Qt::black);
    for (const auto &text : page.texts()) {
        painter.setFont(text.font);
        painter.drawText(text.origin, text.text);
    }
}

void BM_PrintUntilPageOneShows(benchmark::State &state)
{
    const int rows = int(state.range(0));
    PrintingWorksheet p(rows);
    TPagePrinter &prn = p.prn();
    resetPeakMemory();
    const qint64 before = statusKilobytes("VmRSS");
    p.form->btnUdskrivClick(); // the window's first show is not measured
    QCoreApplication::processEvents();
    QImage shown(prn.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    const PageImage pageOne = prn.Page(1);
    // The page where the preview puts it, centred on its surface, at the
    // preview's zoom.
    const QSize surface = prn.PaintSurface()->size();
    const QSize sheet = prn.SheetSize();
    const QPoint sheetOrigin = prn.PaintSurface()->mapTo(prn.viewport(), QPoint())
        + QPoint((surface.width() - sheet.width()) / 2, (surface.height() - sheet.height()) / 2);
    const double scale
        = double(sheet.width()) / prn.Printer()->pageLayout().fullRectPixels(prn.Printer()->resolution()).width();

    compareWithFloor(
        state, rows > 100000 ? 3 : 15,
        [&] {
            return millisecondsOf([&] {
                p.form->btnUdskrivClick();
                prn.viewport()->render(&shown);
            });
        },
        [&] {
            return millisecondsOf([&] {
                QImage image(shown.size(), QImage::Format_ARGB32_Premultiplied);
                image.fill(Qt::white);
                QPainter painter(&image);
                painter.setRenderHint(QPainter::Antialiasing);
                painter.translate(sheetOrigin);
                painter.scale(scale, scale);
                drawBare(painter, pageOne);
            });
        });
    // Then every page is laid out, as it is between the events that follow:
    // how long until the page count is known.
    state.counters["all_pages_ms"] = millisecondsOf([&] { prn.FinishLayout(); });
    state.counters["pages"] = prn.PageCount();
    state.counters["peak_bytes_per_row"] = double(statusKilobytes("VmHWM") - before) * 1024 / rows;
}

void BM_PrintToPdf(benchmark::State &state)
{
    PrintingWorksheet p(int(state.range(0)));
    TPagePrinter &prn = p.prn();
    p.form->btnUdskrivClick();
    prn.FinishLayout();
    std::vector<PageImage> pages;
    for (int page = 1; page <= prn.PageCount(); ++page)
        pages.push_back(prn.Page(page));
    const QString floorPdf = p.pdf + QStringLiteral(".floor.pdf");

    compareWithFloor(
        state, 5, [&] { return millisecondsOf([&] { prn.PrintDocument(); }); },
        [&] {
            return millisecondsOf([&] {
                QPrinter printer;
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(floorPdf);
                printer.setPageLayout(prn.Printer()->pageLayout());
                QPainter painter(&printer);
                for (size_t page = 0; page < pages.size(); ++page) {
                    if (page > 0)
                        printer.newPage();
                    drawBare(painter, pages[page]);
                }
            });
        });
    const double pageCount = double(pages.size());
    state.counters["pages"] = pageCount;
    state.counters["worktally_pages_per_s"] = pageCount * 1000 / state.counters["worktally_ms"];
    state.counters["floor_pages_per_s"] = pageCount * 1000 / state.counters["floor_ms"];
}

} // namespace

BENCHMARK(BM_PrintUntilPageOneShows)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrintToPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);
