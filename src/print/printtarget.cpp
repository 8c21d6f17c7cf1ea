#include "printtarget.h"

#include "errors.h"
#include "messages.h"
#include "pageimage.h"

#include <QPrinter>

int PrinterDeviceTarget::copyCount() const
{
    return m_printer.copyCount();
}

void PrinterDeviceTarget::setCopyCount(int copies)
{
    m_printer.setCopyCount(copies);
}

void PrinterDeviceTarget::startJob(const QString &title)
{
    m_printer.setDocName(title);
    if (!m_painter.begin(&m_printer))
        throw WorktallyError(QStringLiteral("The printer cannot start the print job"));
}

void PrinterDeviceTarget::newPage()
{
    if (!m_printer.newPage())
        throw WorktallyError(QStringLiteral("The printer cannot start a new page"));
}

void PrinterDeviceTarget::drawPage(const PageImage &page)
{
    page.print(m_painter);
}

void PrinterDeviceTarget::endJob()
{
    if (!m_painter.end())
        throw WorktallyError(QStringLiteral("The printer cannot finish the print job"));
}

void PrinterDeviceTarget::abortJob()
{
    m_printer.abort();
    m_painter.end();
}

QString PrinterDeviceTarget::outputFile() const
{
    return m_printer.outputFileName();
}

void reportPrintedFile(const QString &path, QWidget *window)
{
    if (path.isEmpty()) // a printer's job
        return;
    showMessage(QStringLiteral("Printed to %1").arg(path), MessageKind::Information, window);
}
