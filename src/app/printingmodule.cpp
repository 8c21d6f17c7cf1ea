#include "aboutbox.h"
#include "modules.h"
#include "pageprinter.h"
#include "printpreview.h"

namespace {

class Printing final : public PrintingModule
{
public:
    std::unique_ptr<TPrintPrv> createPrintPreview(const TStringGrid *grid, const PanelStatusBar *totals) override
    {
        auto preview = std::make_unique<TPrintPrv>();
        preview->setSource(grid, totals);
        return preview;
    }

    void printWorksheet(TPrintPrv &preview) override
    {
        QPrinter &printer = preview.printer();
        if (!preview.PrinterDialog(printer))
            return;
        preview.Prn->setPrinter(printer.isValid() ? &printer : nullptr);
        preview.show();
        preview.buildFromMainWindow();
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
