#pragma once

#include <QPainter>
#include <QString>

class QPrinter;
class QWidget;
class PageImage;

/// The printer services a print job of the page printer uses. A job is
/// startJob, then drawPage with newPage between pages, then endJob (or
/// abortJob to discard it).
class PrintTarget
{
public:
    virtual ~PrintTarget() = default;

    virtual int copyCount() const = 0;
    virtual void setCopyCount(int copies) = 0;
    virtual void startJob(const QString &title) = 0;
    virtual void newPage() = 0;
    /// Replays the page 1:1 at the origin of the printer page, which is the
    /// printable origin the page was laid out from.
    virtual void drawPage(const PageImage &page) = 0;
    virtual void endJob() = 0;
    virtual void abortJob() = 0;
    virtual bool jobOpen() const = 0;
    /// The file the job writes (a PDF printer's); empty for a printer.
    virtual QString outputFile() const { return {}; }
};

/// A print job on a QPrinter, painted while the job is open.
class PrinterDeviceTarget final : public PrintTarget
{
public:
    explicit PrinterDeviceTarget(QPrinter &printer)
        : m_printer(printer)
    { }

    int copyCount() const override;
    void setCopyCount(int copies) override;
    /// The title is the job's document name.
    void startJob(const QString &title) override;
    void newPage() override;
    void drawPage(const PageImage &page) override;
    void endJob() override;
    /// Where the platform cannot discard a started job (Qt's PDF and CUPS
    /// engines), the job is ended instead: the pages sent are printed.
    void abortJob() override;
    bool jobOpen() const override { return m_painter.isActive(); }
    QString outputFile() const override;

private:
    QPrinter &m_printer;
    QPainter m_painter;
};

/// Tells the user in which file a finished print ended up, since nothing
/// else shows it; nothing for an empty path, a printer's. The message shows
/// above window, the one printed from: without a window manager to raise it,
/// it would otherwise stay behind a full-screen window.
void reportPrintedFile(const QString &path, QWidget *window);
