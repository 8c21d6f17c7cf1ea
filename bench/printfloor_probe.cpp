// The floor of the Print benchmark, as a process of its own that links Qt
// Widgets and Qt Print Support alone. A window with a line of text stands
// for the main window; once it is painted, the probe creates the printer (a
// PDF file, as the print dialog leaves it) and paints one page, read before
// from a file as its lines and texts in printer pixels, into an image of the
// size the preview's view has on this screen, the page filling its width.
// It writes the milliseconds from creating the printer to the page painted
// and ends.
//
// printfloor_probe <page file> <pdf file>

#include <chrono>
#include <cstdio>
#include <QApplication>
#include <QDataStream>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWindow>

namespace {

struct PageLine
{
    QPoint from;
    QPoint to;
    int penWidth = 0;
};

struct PageText
{
    QPointF origin;
    QString text;
    QFont font;
};

struct Page
{
    QList<PageLine> lines;
    QList<PageText> texts;
};

QDataStream &operator>>(QDataStream &stream, PageLine &line)
{
    return stream >> line.from >> line.to >> line.penWidth;
}

QDataStream &operator>>(QDataStream &stream, PageText &text)
{
    return stream >> text.origin >> text.text >> text.font;
}

// The preview window fills the screen's free area less its bar of controls,
// and its view that less a scroll bar; the page fills the view's width less
// its shadow.
constexpr int PreviewBarHeight = 41;
constexpr int SheetRoom = 12;

double paintPageOne(const Page &page, const QString &pdf)
{
    const auto start = std::chrono::steady_clock::now();
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const int scrollBar = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QImage image(screen.width() - scrollBar, screen.height() - PreviewBarHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    const int sheetWidth = image.width() - SheetRoom;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(SheetRoom / 2, SheetRoom / 2);
    const double scale = double(sheetWidth) / printer.pageLayout().fullRectPixels(printer.resolution()).width();
    painter.scale(scale, scale);
    for (const PageLine &line : page.lines) {
        painter.setPen(QPen(Qt::black, line.penWidth));
        painter.drawLine(line.from, line.to);
    }
    painter.setPen(Qt::black);
    for (const PageText &text : page.texts) {
        painter.setFont(text.font);
        painter.drawText(text.origin, text.text);
    }
    painter.end();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    QFile file(arguments.value(1));
    if (arguments.size() != 3 || !file.open(QIODevice::ReadOnly))
        return 2;
    Page page;
    QDataStream stream(&file);
    stream >> page.lines >> page.texts;
    if (stream.status() != QDataStream::Ok || page.texts.isEmpty())
        return 2;

    QLabel window(QStringLiteral("Worktally"));
    window.setFixedSize(670, 423);
    window.show();
    // An exposed window is painted in the same pass.
    QTimer ready;
    ready.setInterval(10);
    QObject::connect(&ready, &QTimer::timeout, [&] {
        if (!window.windowHandle() || !window.windowHandle()->isExposed())
            return;
        std::printf("%.3f\n", paintPageOne(page, arguments[2]));
        std::fflush(stdout);
        std::_Exit(0);
    });
    ready.start();
    return app.exec();
}
