#include "printtarget.h"

#include "errors.h"
#include "messages.h"
#include "pageimage.h"

#include <QPrinter>

int TQPrinterTarget::copyCount() const
{
    return m_printer.copyCount();
}

void TQPrinterTarget::setCopyCount(int copies)
{
    m_printer.setCopyCount(copies);
}

void TQPrinterTarget::startJob(const QString &title)
{
    m_printer.setDocName(title);
    if (!m_painter.begin(&m_printer))
        throw WorktallyError(QStringLiteral("The printer cannot start the print job"));
}

void TQPrinterTarget::newPage()
{
    if (!m_printer.newPage())
        throw WorktallyError(QStringLiteral("The printer cannot start a new page"));
}

void TQPrinterTarget::drawPage(const TPageImage &page)
{
    page.play(m_painter);
}

void TQPrinterTarget::endJob()
{
    if (!m_painter.end())
        throw WorktallyError(QStringLiteral("The printer cannot finish the print job"));
}

void TQPrinterTarget::abortJob()
{
    m_printer.abort();
    m_painter.end();
}

QString TQPrinterTarget::outputFile() const
{
    return m_printer.outputFileName();
}

void reportPrintedFile(const QString &path)
{
    if (path.isEmpty()) // a printer's job
        return;
    showMessage(QStringLiteral("Printed to %1").arg(path), MessageKind::Information);
}
