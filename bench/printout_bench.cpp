// "Print" in the main window until the preview shows page 1, and printing
// the worksheet into a PDF file, each next to its floor: a bare QPainter
// drawing the same page into an image of the preview's size, or QPdfWriter
// writing the same text lines. The two are timed in turns in the same run;
// the counters are their medians and the ratio of the medians. For a million
// rows also the peak memory that printing adds to the loaded worksheet. The
// press timed in the running window is a second one: the printing module is
// loaded and the preview made by the first.
//
// The first press is timed in a fresh process (print_probe), from the press
// to page 1 painted, loading the printing module included; its floor
// (printfloor_probe) creates the printer and paints the same page in a fresh
// process of its own. Both run on an X server of the benchmark's own, in
// turns, one process per run.

#include "floorcomparison.h"
#include "mainwindow.h"
#include "messages.h"
#include "pageprinter.h"
#include "printpreview.h"
#include "samplefiles.h"
#include "startupprobes.h"

#include <benchmark/benchmark.h>
#include <map>
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

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
        setMessagePresenter([](MessageKind, const QString &, QWidget *) {}); // "Printed to …"
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

/// A line of printed text: the texts of a page on one baseline in one font
/// as one string, each text after blanks up to about where it begins.
struct TextLine
{
    QPointF origin;
    QString text;
    QFont font;
};

/// The text lines of a page as fonts measure on device; the rows are in a
/// font of fixed pitch, so blanks place the texts where they are printed.
std::vector<TextLine> textLinesOf(const PageImage &page, QPaintDevice *device)
{
    std::vector<TextLine> lines;
    double end = 0; // of the line's text so far
    for (const PageImage::Text &text : page.texts()) {
        const QFontMetricsF metrics(text.font, device);
        if (lines.empty() || lines.back().origin.y() != text.origin.y() || lines.back().font != text.font) {
            lines.push_back({text.origin, text.text, text.font});
        } else {
            const int blanks = std::max(1, qRound((text.origin.x() - end) / metrics.horizontalAdvance(u' ')));
            lines.back().text += QString(blanks, u' ') + text.text;
        }
        end = lines.back().origin.x() + metrics.horizontalAdvance(lines.back().text);
    }
    return lines;
}

// The floor writes the same text into a PDF file in the fewest calls: a
// QPdfWriter of the printer's paper and resolution, one drawText a line.
void BM_PrintToPdf(benchmark::State &state)
{
    PrintingWorksheet p(int(state.range(0)));
    TPagePrinter &prn = p.prn();
    p.form->btnUdskrivClick();
    prn.FinishLayout();
    const QString floorPdf = p.pdf + QStringLiteral(".floor.pdf");
    const QPageLayout paper = prn.Printer()->pageLayout();
    const int resolution = prn.Printer()->resolution();
    std::vector<std::vector<TextLine>> pages;
    {
        QPdfWriter measuring(floorPdf);
        measuring.setResolution(resolution);
        for (int page = 1; page <= prn.PageCount(); ++page)
            pages.push_back(textLinesOf(prn.Page(page), &measuring));
    }

    compareWithFloor(
        state, 5, [&] { return millisecondsOf([&] { prn.PrintDocument(); }); },
        [&] {
            return millisecondsOf([&] {
                QPdfWriter writer(floorPdf);
                writer.setPageLayout(paper);
                writer.setResolution(resolution);
                QPainter painter(&writer);
                for (size_t page = 0; page < pages.size(); ++page) {
                    if (page > 0)
                        writer.newPage();
                    for (const TextLine &line : pages[page]) {
                        painter.setFont(line.font);
                        painter.drawText(line.origin, line.text);
                    }
                }
            });
        });
    const double pageCount = double(pages.size());
    state.counters["goal"] = 1.5;
    state.counters["pages"] = pageCount;
    state.counters["worktally_pages_per_s"] = pageCount * 1000 / state.counters["worktally_ms"];
    state.counters["floor_pages_per_s"] = pageCount * 1000 / state.counters["floor_ms"];
}

// --- From the first press, in fresh processes ----------------------------------------

// What the first press may take against its floor, and the most that a
// worksheet of a million rows may add to one of ten thousand.
constexpr double FirstPressGoal = 3;
constexpr double FirstPressFlatnessGoal = 1.2;
constexpr int FirstPressRuns = 11;
const int FirstPressSizes[] = {10000, 1000000};

QDataStream &operator<<(QDataStream &stream, const PageImage::Line &line)
{
    return stream << line.from << line.to << line.penWidth;
}

QDataStream &operator<<(QDataStream &stream, const PageImage::Text &text)
{
    return stream << text.origin << text.text << text.font;
}

template<typename Item> void writeList(QDataStream &stream, const std::vector<Item> &items)
{
    stream << quint32(items.size()); // as a QList is written
    for (const Item &item : items)
        stream << item;
}

/// Page 1 of the printout of rows rows, written for printfloor_probe.
QString pageOneFile(int rows)
{
    PrintingWorksheet p(rows);
    p.form->btnUdskrivClick();
    const PageImage &page = p.prn().Page(1);
    const QString path = dataFolder() + QStringLiteral("/printfloor_%1.page").arg(rows);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QDataStream stream(&file);
    writeList(stream, page.lines());
    writeList(stream, page.texts());
    return path;
}

/// A data folder holding a fresh copy of the sample of rows rows.
QString probeDataFolder(int rows)
{
    const QString folder = dataFolder() + QStringLiteral("/printprobe_%1").arg(rows);
    QDir().mkpath(folder);
    QFile::remove(folder + QStringLiteral("/Hourbook.csv"));
    QFile::copy(sampleFile(rows), folder + QStringLiteral("/Hourbook.csv"));
    return folder;
}

/// The milliseconds a probe writes; negative when it failed.
double reportedMilliseconds(const Probe &probe)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &variable : probe.environment)
        environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    process.setProcessEnvironment(environment);
    process.start(probe.program, probe.arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return -1;
    bool number = false;
    const double milliseconds = process.readAllStandardOutput().trimmed().toDouble(&number);
    return number ? milliseconds : -1;
}

struct FirstPressTimes
{
    std::vector<double> worktally;
    std::vector<double> floor;
};

/// The first press and its floor at each size, all in turns, measured once
/// for the benchmarks that report them; empty when a probe failed.
const std::map<int, FirstPressTimes> &firstPressTimes()
{
    static const std::map<int, FirstPressTimes> measured = [] {
        std::map<int, FirstPressTimes> times;
        const PrivateXServer server;
        const QTemporaryDir runtime; // for the program's lock
        if (server.display().isEmpty() || !runtime.isValid())
            return times;
        const QStringList environment {QStringLiteral("DISPLAY=") + server.display(),
            QStringLiteral("QT_QPA_PLATFORM=xcb"), QStringLiteral("XDG_RUNTIME_DIR=") + runtime.path()};
        const QString pdf = runtime.filePath(QStringLiteral("printout.pdf"));
        std::map<int, std::pair<Probe, Probe>> probes;
        for (const int rows : FirstPressSizes)
            probes[rows] = {{benchProgram("print_probe"), {probeDataFolder(rows), QString::number(rows), pdf}, environment},
                {benchProgram("printfloor_probe"), {pageOneFile(rows), pdf}, environment}};
        for (int run = 0; run < FirstPressRuns; ++run) {
            for (const auto &[rows, pair] : probes) {
                times[rows].worktally.push_back(reportedMilliseconds(pair.first));
                times[rows].floor.push_back(reportedMilliseconds(pair.second));
                if (times[rows].worktally.back() < 0 || times[rows].floor.back() < 0)
                    return std::map<int, FirstPressTimes> {};
            }
        }
        return times;
    }();
    return measured;
}

// The first-press times, measured once for every benchmark that reports
// them; none when they could not be measured, which ends the benchmark.
const std::map<int, FirstPressTimes> *measuredFirstPressTimes(benchmark::State &state)
{
    const std::map<int, FirstPressTimes> *times = nullptr;
    for (auto _ : state)
        times = &firstPressTimes();
    if (times->empty()) {
        state.SkipWithError("a probe failed, or Xvfb could not be started");
        return nullptr;
    }
    return times;
}

void BM_PrintFromFirstPress(benchmark::State &state)
{
    const std::map<int, FirstPressTimes> *times = measuredFirstPressTimes(state);
    if (!times)
        return;
    const FirstPressTimes &sized = times->at(int(state.range(0)));
    reportAgainstFloor(state, sized.worktally, sized.floor);
    state.counters["goal"] = FirstPressGoal;
}

// The time of the first press at a million rows over its time at ten
// thousand.
void BM_PrintFromFirstPress1MOver10k(benchmark::State &state)
{
    const std::map<int, FirstPressTimes> *times = measuredFirstPressTimes(state);
    if (!times)
        return;
    const double small = median(times->at(10000).worktally);
    const double large = median(times->at(1000000).worktally);
    state.counters["ms_10k"] = small;
    state.counters["ms_1M"] = large;
    state.counters["ratio"] = large / small;
    state.counters["goal"] = FirstPressFlatnessGoal;
}

} // namespace

BENCHMARK(BM_PrintFromFirstPress)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrintFromFirstPress1MOver10k)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrintUntilPageOneShows)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrintToPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);
