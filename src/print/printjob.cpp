// The page printer's print job: the recorded pages sent to a printer in
// copies and a page range, with the progress dialog that can cancel it.

#include "pageprinter.h"
#include "printtarget.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QScopeGuard>

namespace {

// The progress update that ends the job's dialog.
const QString FinishMessage = QStringLiteral("<FINISH>");

const char *const AlreadyPrinting = "Already printing";

} // namespace

void TPagePrinter::setPrintFromPage(int page)
{
    m_printFromPage = std::max(page, 0);
    if (m_printFromPage > m_printToPage)
        m_printToPage = m_printFromPage;
}

void TPagePrinter::setPrintToPage(int page)
{
    m_printToPage = std::max(page, 0);
    if (m_printToPage < m_printFromPage)
        m_printFromPage = m_printToPage;
}

bool TPagePrinter::PrintDocument()
{
    refuseWhilePrinting(AlreadyPrinting);
    if (!m_layout.metrics.available)
        throw EPagePrinter(QStringLiteral("There is no printer to print on"));
    PrinterDeviceTarget printer(*m_printer);
    return PrintDocument(printer);
}

bool TPagePrinter::PrintDocument(PrintTarget &target)
{
    refuseWhilePrinting(AlreadyPrinting);
    if (m_layout.documentOpen)
        EndDocument();
    FinishLayout();
    if (PageCount() == 0)
        return true;
    const PrintRange range {m_printFromPage == 0 ? 1 : std::min(m_printFromPage, PageCount()),
        m_printToPage == 0 ? PageCount() : std::min(m_printToPage, PageCount()), m_copies};
    // The copies are made by sending the pages again.
    const int printerCopies = target.copyCount();
    target.setCopyCount(1);
    m_cancelRequested = false;
    m_printing = true;
    const auto idle = qScopeGuard([this] { m_printing = false; });
    try {
        // Before any failure is handled, a cancel included: the dialog goes,
        // and a printer whose job is over gets its copy count back.
        const auto finish = qScopeGuard([&] {
            updateProgress(FinishMessage, 0, range);
            if (!target.jobOpen())
                target.setCopyCount(printerCopies);
        });
        target.startJob(Title());
        sendPages(target, range);
        target.endJob();
    } catch (const ECancelPrinting &) {
        if (target.jobOpen()) {
            if (m_abortOnCancel)
                target.abortJob();
            else
                target.endJob(); // the pages sent so far are printed
        }
        return false;
    }
    reportPrintedFile(target.outputFile(), window());
    return true;
}

void TPagePrinter::sendPages(PrintTarget &target, const PrintRange &range)
{
    const bool collate = m_collate;
    const int pages = range.pageCount();
    const int calls = pages * range.copies;
    for (int call = 0; call < calls; ++call) {
        const int page = range.first + (collate ? call % pages : call / range.copies);
        printPage(target, page, range, call == calls - 1);
    }
}

void TPagePrinter::printPage(PrintTarget &target, int page, const PrintRange &range, bool lastCall)
{
    // The only moments the Cancel button can be pressed.
    if (m_showProgress && m_showCancel)
        QCoreApplication::processEvents();
    if (m_cancelRequested)
        throw ECancelPrinting();
    updateProgress(m_progressMessage, page, range);
    target.drawPage(Page(page));
    if (!lastCall)
        target.newPage();
}

void TPagePrinter::updateProgress(const QString &message, int page, const PrintRange &range)
{
    if (!m_showProgress || message == FinishMessage) {
        m_progressDialog.reset();
        return;
    }
    if (!m_progressDialog) {
        m_progressDialog = std::make_unique<TPPPrnPrgDlg>(m_showCancel, this);
        connect(m_progressDialog->btnCancel, &QPushButton::clicked, this, [this] { m_cancelRequested = true; });
    }
    m_progressDialog->setWindowTitle(Title());
    m_progressDialog->ShowPage(message, page, range);
}
