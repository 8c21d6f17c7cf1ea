#include "aboutbox.h"
#include "modules.h"
#include "pageprinter.h"
#include "printpreview.h"

namespace {

class Printing final : public PrintingModule
{
public:
    std::unique_ptr<QWidget> createPrintPreview(const TStringGrid *grid, const PanelStatusBar *totals) override
    {
        auto preview = std::make_unique<TPrintPrv>();
        preview->setSource(grid, totals);
        return preview;
    }

    void printWorksheet(QWidget &window) override
    {
        auto &preview = static_cast<TPrintPrv &>(window);
        QPrinter &printer = preview.printer();
        if (!preview.PrinterDialog(printer))
            return;
        preview.Prn->setPrinter(printer.isValid() ? &printer : nullptr);
        preview.show();
        preview.buildFromMainWindow();
    }

    void printIntoFile(QWidget &preview, const QString &pdfFile) override
    {
        static_cast<TPrintPrv &>(preview).PrinterDialog = [pdfFile](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdfFile);
            return true;
        };
    }

    std::unique_ptr<QDialog> createAboutBox(const QString &settingsPath, QWidget *parent) override
    {
        return std::make_unique<TAboutBox>(settingsPath, parent);
    }
};

} // namespace

PrintingModule *worktallyPrintingModule()
{
    static Printing module;
    return &module;
}
