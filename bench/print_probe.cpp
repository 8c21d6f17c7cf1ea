// The program's side of the Print benchmark, as a process of its own: the
// main window over the worksheet in a data folder, shown. Once it is painted
// and holds every row, "Print" is pressed, with a PDF file as the printer in
// place of the print dialog; the process writes the milliseconds from the
// press until page 1 has been painted in the preview and ends. The press
// loads the printing module, as it does in the program.
//
// print_probe <data folder> <data rows> <pdf file>

#include "applicationname.h"
#include "desktopfonts.h"
#include "mainwindow.h"
#include "modules.h"
#include "hypergrid.h"

#include <chrono>
#include <cstdio>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QTimer>
#include <QWindow>

namespace {

using Clock = std::chrono::steady_clock;

/// Ends the process once the preview's page has been painted, writing the
/// time since pressed.
class PageOnePainted : public QObject
{
public:
    explicit PageOnePainted(Clock::time_point pressed)
        : m_pressed(pressed)
    { }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || !isPageSurface(watched))
            return false;
        // The page is painted here, so that the time ends with its painting.
        qApp->removeEventFilter(this);
        QCoreApplication::sendEvent(watched, event);
        const std::chrono::duration<double, std::milli> elapsed = Clock::now() - m_pressed;
        std::printf("%.3f\n", elapsed.count());
        std::fflush(stdout);
        std::_Exit(0);
    }

private:
    // The page printer's surface, inside the scroll area's viewport.
    static bool isPageSurface(QObject *object)
    {
        const QWidget *viewport = object->isWidgetType() ? static_cast<QWidget *>(object)->parentWidget() : nullptr;
        const QWidget *view = viewport ? viewport->parentWidget() : nullptr;
        return view && view->inherits("TPagePrinter")
            && static_cast<const QAbstractScrollArea *>(view)->viewport() == viewport;
    }

    Clock::time_point m_pressed;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    nameApplication();
    registerDesktopFonts();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 4)
        return 2;
    const int rows = arguments[2].toInt();
    const QString pdf = arguments[3];

    TForm1 form(arguments[1]);
    form.show();
    // An exposed window is painted in the same pass.
    QTimer ready;
    ready.setInterval(10);
    QObject::connect(&ready, &QTimer::timeout, [&] {
        if (!form.windowHandle() || !form.windowHandle()->isExposed() || form.Grid1->RowCount() <= rows)
            return;
        ready.stop();
        const Clock::time_point pressed = Clock::now();
        qApp->installEventFilter(new PageOnePainted(pressed));
        // As the press would find it beside the program, and with the PDF
        // file the print dialog would set up.
        PrintingModule &printing = loadPrintingModule(QStringLiteral(WORKTALLY_PRINTING_MODULE));
        useModule(&printing);
        printing.printIntoFile(form.PrintPreview(), pdf);
        form.btnUdskrivClick();
    });
    ready.start();
    return app.exec();
}
