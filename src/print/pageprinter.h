#pragma once

#include "columnformat.h"
#include "documentoutput.h"
#include "documentsource.h"
#include "errors.h"
#include "printermetrics.h"
#include "printprogressdialog.h"
#include "screencolor.h"
#include "textfit.h"
#include "textmeasure.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <QAbstractScrollArea>
#include <QImage>
#include <QPageLayout>
#include <QStringList>

class QPrinter;
class QTimer;
class PreviewSurface;
class PrintTarget;

enum TPageBorder : unsigned { pbTop = 1u << 0, pbBottom = 1u << 1, pbLeft = 1u << 2, pbRight = 1u << 3 };
Q_DECLARE_FLAGS(TPageBorders, TPageBorder)
Q_DECLARE_OPERATORS_FOR_FLAGS(TPageBorders)

/// Where the preview scrolls to after a zoom or page change.
enum TZoomLocation { zlTopLeft, zlTopCenter, zlCenter };

/// A page printer operation refused in the current state; nothing changed.
class EPagePrinter : public WorktallyError
{
public:
    using WorktallyError::WorktallyError;
};

/// The user cancelled a print job.
class ECancelPrinting : public WorktallyError
{
public:
    ECancelPrinting();
};

/// Lays text out into pages of the printer's paper, records every page once
/// as a page image, and shows the pages zoomed.
///
/// A caller opens a document with BeginDocument, writes free text
/// (WriteText), aligned lines (WriteTextLine, WriteAlignedLine) and table rows
/// (WriteTableRow, WriteLines), breaks lines and pages (NewLine, NewPage) and
/// closes it with EndDocument. Layout is in printer pixels, measured with
/// fonts bound to the printer, so a replayed page places its text as laid
/// out. Lengths set by a caller are in MeasureUnit.
///
/// A document that writes itself a piece at a time (DocumentSource) is laid
/// out only as far as it is needed (LayOutDocument): page 1 at once, the
/// rest in short steps between events, or at once as far as a page is asked
/// for. Of its pages only where each begins is kept; a page is laid out
/// again from there when it is shown or printed, so that a document of a
/// million rows takes little memory.
///
/// PrintDocument sends the pages to the printer, in copies and a range of
/// pages, showing its progress in a dialog that can cancel the job. With
/// PrintToFile a document is written as plain text to FileName instead of
/// being recorded as pages.
///
/// The printer is given with setPrinter. Without one (none installed is
/// normal on many machines) the page printer stands in a 300 dpi printer
/// with letter paper (inches) or A4 (millimetres).
///
/// Font is the widget's font (setFont): the body text font.
class TPagePrinter : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TPagePrinter(QWidget *parent = nullptr);
    ~TPagePrinter() override;

    // --- Printer ------------------------------------------------------------

    /// The system's default printer when there is one, else none.
    QPrinter *Printer() const { return m_printer; }
    /// Lays out for printer from the next document on; not owned. A PDF
    /// printer counts as a real one. Null: no printer.
    void setPrinter(QPrinter *printer);
    /// Reads the printer again: clamps the margins to its paper (outside a
    /// document), binds the font to its resolution and rebuilds friendly
    /// headers and footers for the paper width.
    void RefreshPrinterMetrics();
    QPageLayout::Orientation Orientation() const;
    /// Ignored without a printer; refused while a document is open.
    void setOrientation(QPageLayout::Orientation orientation);
    /// The print job's title, and the caption of its progress dialog;
    /// "<Unknown>" without a printer. Kept for every printer given later.
    QString Title() const;
    void setTitle(const QString &title) { m_layout.title = title; }

    // --- Units and page geometry --------------------------------------------

    TMeasureUnit MeasureUnit() const { return m_layout.unit; }
    /// Converts every stored length and column format to the new unit.
    void setMeasureUnit(TMeasureUnit unit);
    /// Margins are measured from the paper edge. Each is clamped between the
    /// unprintable offset and the paper size less the opposite offset, and
    /// refused while a document is open.
    double MarginTop() const { return m_layout.marginTop; }
    void setMarginTop(double margin);
    double MarginBottom() const { return m_layout.marginBottom; }
    void setMarginBottom(double margin);
    double MarginLeft() const { return m_layout.marginLeft; }
    void setMarginLeft(double margin);
    double MarginRight() const { return m_layout.marginRight; }
    void setMarginRight(double margin);
    /// Paper width less the left and right margins.
    double BodyWidth() const;

    // --- Text ----------------------------------------------------------------

    /// Placement of WriteTextLine: Qt::AlignLeft, AlignRight or AlignHCenter.
    Qt::AlignmentFlag Alignment() const { return m_layout.alignment; }
    void setAlignment(Qt::AlignmentFlag alignment) { m_layout.alignment = alignment; }
    TLineSpacing LineSpacing() const { return m_layout.lineSpacing; }
    void setLineSpacing(TLineSpacing spacing);
    /// Line advance in printer pixels, from the font height and LineSpacing.
    int LineHeight() const { return m_layout.lineHeight; }
    /// Tab stop distance in characters; below 1 a tab is one blank.
    int TabSize() const { return m_layout.tabSize; }
    void setTabSize(int size) { m_layout.tabSize = size; }
    /// Wrap text that is too wide; without it such text is cut.
    bool WordWrap() const { return m_layout.wordWrap; }
    void setWordWrap(bool on) { m_layout.wordWrap = on; }
    /// Separates cells in rows and columns in formats.
    QChar TokenSeparator() const { return m_layout.formatRules.separator; }
    void setTokenSeparator(QChar separator) { m_layout.formatRules.separator = separator; }
    /// Width of columns whose format gives no usable number.
    double DefaultColWidth() const { return m_layout.formatRules.defaultColWidth; }
    void setDefaultColWidth(double width) { m_layout.formatRules.defaultColWidth = width; }
    /// Column format of WriteTableRow, stored normalised.
    const QString &TableFormat() const { return m_layout.tableFormat; }
    void setTableFormat(const QString &format);
    /// Cell frames around table cells.
    bool TableGrid() const { return m_layout.tableGrid; }
    void setTableGrid(bool on) { m_layout.tableGrid = on; }
    /// The text WriteLines writes.
    const QStringList &Lines() const { return m_layout.lines; }
    void setLines(const QStringList &lines) { m_layout.lines = lines; }

    // --- Headers, footers and borders ----------------------------------------

    /// A header row in table-row form, with its own column format; empty for
    /// none. Drawn on each page as it starts.
    const QString &Header() const { return m_layout.header.text; }
    void setHeader(const QString &row) { m_layout.header.text = row; }
    const QString &HeaderFormat() const { return m_layout.header.format; }
    void setHeaderFormat(const QString &format) { setRowFormat(m_layout.header, format); }
    /// Code text ("&l&F &r&D") that generates Header and HeaderFormat.
    const QString &FriendlyHeader() const { return m_layout.header.friendly; }
    void setFriendlyHeader(const QString &code) { setRowFriendly(m_layout.header, code); }
    const QFont &HeaderFont() const { return m_layout.header.font; }
    void setHeaderFont(const QFont &font) { m_layout.header.font = font; }
    /// Keeps HeaderFont equal to the body font.
    bool AutoHeaderFont() const { return m_layout.header.autoFont; }
    void setAutoHeaderFont(bool on) { setRowAutoFont(m_layout.header, on); }
    const QString &Footer() const { return m_layout.footer.text; }
    void setFooter(const QString &row) { m_layout.footer.text = row; }
    const QString &FooterFormat() const { return m_layout.footer.format; }
    void setFooterFormat(const QString &format) { setRowFormat(m_layout.footer, format); }
    const QString &FriendlyFooter() const { return m_layout.footer.friendly; }
    void setFriendlyFooter(const QString &code) { setRowFriendly(m_layout.footer, code); }
    const QFont &FooterFont() const { return m_layout.footer.font; }
    void setFooterFont(const QFont &font) { m_layout.footer.font = font; }
    bool AutoFooterFont() const { return m_layout.footer.autoFont; }
    void setAutoFooterFont(bool on) { setRowAutoFont(m_layout.footer, on); }
    /// The file of print-to-file mode, and the file name of the friendly
    /// codes &f and &F; without outer blanks.
    const QString &FileName() const { return m_layout.fileName; }
    /// Refused while a document is open.
    void setFileName(const QString &fileName);
    /// Border lines around the body, drawn on pages started from now on.
    TPageBorders PageBorders() const { return m_layout.pageBorders; }
    void setPageBorders(TPageBorders borders) { m_layout.pageBorders = borders; }
    /// Distance of the border lines outside the body.
    double PageBorderOffset() const { return m_layout.pageBorderOffset; }
    void setPageBorderOffset(double offset) { m_layout.pageBorderOffset = offset; }

    // --- Document --------------------------------------------------------------

    /// Discards the old pages and starts page 1 with its header, footer and
    /// borders. Restarts an open document. With PrintToFile, creates or
    /// overwrites FileName instead (FileCreateError when that fails) and
    /// leaves the pages as they are. Refused while printing.
    void BeginDocument();
    /// Completes the last page and shows page 1; with PrintToFile it only
    /// closes the file and tells the user where it went.
    void EndDocument();
    bool DocumentOpen() const { return m_layout.documentOpen; }
    /// Returns the new PageNumber.
    int NewPage();
    /// Ends the line, breaking the page when the next line would not fit.
    /// Returns LineNumber.
    int NewLine();
    /// Text at the cursor; the line goes on.
    void WriteText(const QString &text);
    /// One line placed by Alignment, then a new line.
    void WriteTextLine(const QString &text);
    /// WriteTextLine with another alignment for this call only.
    void WriteAlignedLine(Qt::AlignmentFlag alignment, const QString &text);
    /// Cells separated by TokenSeparator in the columns of TableFormat; cells
    /// wrap inside their columns.
    void WriteTableRow(const QString &row);
    /// Every line of Lines, as table rows when asked and TableFormat is set.
    void WriteLines(bool useTable);
    /// Discards all pages; refused while a document is open or printing.
    void ClearDocument();

    /// The document of source, as BeginDocument, its pieces in order and
    /// EndDocument would write it, laid out as far as page 1, which is shown.
    /// The other pages follow in steps of a few milliseconds between the
    /// events that come, or at once where a page further on is asked for.
    /// The settings in force now are the document's: changing them later
    /// changes no page of it. Afterwards the settings are as the pieces laid
    /// out so far have left them, as after EndDocument. With PrintToFile the
    /// whole document is written to the file at once. Refused while printing.
    void LayOutDocument(std::unique_ptr<DocumentSource> source);
    /// Every page is laid out, so PageCount is the document's.
    bool LayoutComplete() const;
    /// Lays out the pages up to number; false when there are fewer.
    bool LayOutTo(int number);
    void FinishLayout();
    /// Fired when the last page of a document laid out in steps is done.
    std::function<void(TPagePrinter *sender)> OnLayoutComplete;

    /// While writing: the page being written. Afterwards: the page shown, 0
    /// for none. Setting a number outside 1..PageCount is refused while there
    /// are pages; a page not laid out yet is laid out first.
    int PageNumber() const { return m_layout.pageNumber; }
    void setPageNumber(int number);
    /// The pages laid out: all of them once LayoutComplete.
    int PageCount() const;
    /// Lines advanced on the current page.
    int LineNumber() const { return m_layout.lineNumber; }
    /// Page 1..PageCount, to replay on a printer (1:1, at the printable
    /// origin) or anywhere else. A page of a document from a source is laid
    /// out again unless it is one of the last few asked for; the reference
    /// holds until a few others have been asked for.
    const PageImage &Page(int number);

    /// Suspend and resume repainting; nests.
    void BeginUpdate() { ++m_updateCount; }
    void EndUpdate();

    // --- Printing -------------------------------------------------------------------

    /// Copies are made by sending the pages again; below 1 counts as 1.
    int Copies() const { return m_copies; }
    void setCopies(int copies) { m_copies = std::max(copies, 1); }
    /// Whole copies one after another; otherwise each page Copies times.
    bool Collate() const { return m_collate; }
    void setCollate(bool on) { m_collate = on; }
    /// The pages printed; 0 is from page 1 and to the last page. A range
    /// never runs backwards: a start after the end moves the end to it, an
    /// end before the start moves the start.
    int PrintFromPage() const { return m_printFromPage; }
    void setPrintFromPage(int page);
    int PrintToPage() const { return m_printToPage; }
    void setPrintToPage(int page);
    /// A progress dialog while printing.
    bool ShowProgress() const { return m_showProgress; }
    void setShowProgress(bool on) { m_showProgress = on; }
    /// The dialog's Cancel button; events are processed before each page so
    /// that it can be pressed.
    bool ShowCancel() const { return m_showCancel; }
    void setShowCancel(bool on) { m_showCancel = on; }
    /// The dialog's status line; empty for "Sending Pages To Printer".
    const QString &ProgressMessage() const { return m_progressMessage; }
    void setProgressMessage(const QString &message) { m_progressMessage = message; }
    /// A cancelled job is discarded rather than ended with the pages sent.
    bool AbortOnCancel() const { return m_abortOnCancel; }
    void setAbortOnCancel(bool on) { m_abortOnCancel = on; }
    /// Cancel was pressed in the running (or last) print job.
    bool CancelRequested() const { return m_cancelRequested; }
    /// Documents are written as plain text to FileName; refused while a
    /// document is open.
    bool PrintToFile() const { return m_printToFile; }
    void setPrintToFile(bool on);

    /// Sends pages PrintFromPage..PrintToPage in Copies to Printer(), ending an
    /// open document first. False when cancelled; true when printed or when
    /// there was nothing to print. Refused while printing and without a
    /// printer; printer failures go to the caller. A finished job into a file
    /// (a PDF printer) tells the user where it went.
    bool PrintDocument();
    /// The same on another target.
    bool PrintDocument(PrintTarget &target);
    /// A print job is running. It processes events (for its Cancel button),
    /// so other controls stay usable meanwhile; BeginDocument, ClearDocument
    /// and PrintDocument are refused until it ends.
    bool Printing() const { return m_printing; }

    // --- Preview -----------------------------------------------------------------

    /// Scale of the sheet in percent; 100 shows the paper at its real size on
    /// the screen. Kept within MinZoomPercent..MaxZoomPercent.
    int ZoomPercent() const { return m_zoomPercent; }
    void setZoomPercent(int percent);
    static constexpr int MinZoomPercent = 1;
    static constexpr int MaxZoomPercent = 1000;
    /// The sheet and its shadow fill the width (height) of the view beside a
    /// scroll bar; ZoomToFit takes whichever of the two fits.
    void ZoomToWidth();
    void ZoomToHeight();
    void ZoomToFit();
    TZoomLocation ZoomLocation() const { return m_zoomLocation; }
    void setZoomLocation(TZoomLocation location) { m_zoomLocation = location; }
    TColor ShadowColor() const { return m_shadowColor; }
    void setShadowColor(TColor color);
    /// Shadow width in screen pixels; 0 for none.
    int ShadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(int offset);
    /// Dotted frame at the margins of the shown sheet.
    bool ShowMargins() const { return m_showMargins; }
    void setShowMargins(bool on);
    /// Background from black at the top to Color at the bottom.
    bool GradientBackground() const { return m_gradientBackground; }
    void setGradientBackground(bool on);
    TColor Color() const { return m_color; }
    void setColor(TColor color);

    /// The zoomed sheet in screen pixels.
    QSize SheetSize() const;
    /// The sheet with its shadow and a pixel's room on each side.
    QSize ScrollRange() const { return m_scrollRange; }
    /// The widget the preview is painted on; it scrolls inside the view.
    QWidget *PaintSurface() const;

    /// Fired by NewLine and at the end of every page start.
    std::function<void(TPagePrinter *sender)> OnNewLine;
    /// Fired as every page starts, before its header and footer: what the
    /// handler writes begins the page body.
    std::function<void(TPagePrinter *sender)> OnNewPage;

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class PreviewSurface;

    /// A header or footer row and what it is made of.
    struct PageRow
    {
        QString text;
        QString format;
        QString friendly;
        QFont font;
        bool autoFont = true;
    };

    /// Which edges of a cell frame to draw on the current line.
    struct CellEdges
    {
        bool top = false;
        bool sides = false;
        bool bottom = false;
    };

    /// The body area in printer pixels, from the printable origin.
    struct BodyArea
    {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
    };

    /// Everything the layout of a page depends on: the printer's paper, the
    /// settings in force, the font text is measured in and where writing has
    /// got to.
    struct LayoutState
    {
        PrinterMetrics metrics;
        PaperGeometry paper;
        // Here, not in the printer: a printer chosen later starts without one.
        QString title;

        TMeasureUnit unit = muInches;
        double marginTop = 0;
        double marginBottom = 0;
        double marginLeft = 0;
        double marginRight = 0;
        double pageBorderOffset = 0;
        TPageBorders pageBorders;
        Qt::AlignmentFlag alignment = Qt::AlignLeft;
        TLineSpacing lineSpacing = lsSingleSpace;
        int tabSize = 8;
        bool wordWrap = true;
        FormatRules formatRules;
        QString tableFormat;
        bool tableGrid = false;
        QStringList lines;
        PageRow header;
        PageRow footer;
        QString fileName;
        QFont font; // Font, which is the widget's font

        // The font text is measured and recorded in: Font (or a header or
        // footer font while those rows are drawn) sized in printer pixels,
        // on the printer or the stand-in for it.
        const QPaintDevice *device = nullptr;
        TextMeasure measure {QFont(), nullptr};
        int externalLeading = 0;
        int lineHeight = 0;

        int cursorX = 0; // from the left margin; from the printable origin within a table row
        int cursorY = 0; // from the top margin
        int lineNumber = 0;
        int pageNumber = 0;
        bool documentOpen = false;
        bool writingToFile = false;
        bool drawingHeaderFooter = false;
        // The date and time tokens show when the document began.
        QString begunDate;
        QString begunTime;
    };

    /// A document laid out from its source (sourcedlayout.cpp).
    struct SourcedDocument;

    // Printer and geometry (pageprinter.cpp)
    void readPrinter();
    int px(double length) const { return lengthToPixels(length, m_layout.unit, m_layout.metrics.dpiX); }
    int py(double length) const { return lengthToPixels(length, m_layout.unit, m_layout.metrics.dpiY); }
    BodyArea body() const;
    void setMargin(double &margin, double value, double low, double high, const char *refusal);
    void refuseWhileOpen(const char *message) const;
    void refuseWhilePrinting(const char *message) const;
    FormatRules formatRules() const;
    void bindCanvasFont(const QFont &font);
    const TextMeasure &measureFor(const QFont &font);
    void setRowFormat(PageRow &row, const QString &format);
    void setRowFriendly(PageRow &row, const QString &code);
    void translateFriendly(PageRow &row);
    void setRowAutoFont(PageRow &row, bool on);
    void startScratchPage();
    void discardPages();
    void openDocument(LayoutState &state, bool toFile) const;

    // Writing (pagewriting.cpp)
    QList<TableColumn> columnsOf(const QString &format);
    int textWidth(const QString &text, qsizetype length) const;
    TextWidth measure() const;
    void output(int x, int y, const QString &text, TextGaps gaps = {});
    bool lineFits() const;
    void startPage();
    void writeWrapped(const QString &text, bool lineMode);
    void writeTableRow(const QString &row, const QString &format, bool grid);
    /// Writes the line's part of one cell and keeps the rest in cell; true
    /// when text is left for the next line.
    bool writeCell(const TableColumn &column, QString &cell, int top, bool framed, bool topLine);
    void drawCellEdges(int width, int top, CellEdges edges);
    void writeHeaderAndFooter();
    int headerTop() const;
    int footerTop() const;
    void drawPageBorders();
    TokenValues tokenValues() const;

    // Documents from a source (sourcedlayout.cpp)
    /// Runs work with state and output as the page printer's, then puts its
    /// own back.
    void withLayout(LayoutState &state, std::unique_ptr<DocumentOutput> &output, const std::function<void()> &work);
    void useLayoutFont();
    /// Lays out further pieces of the document until enough says so or the
    /// document ends.
    void layOutFurther(const std::function<bool()> &enough);
    void layOutStep();
    void writePiece(qsizetype piece);
    PageImage recordPage(int number);

    // Print job (printjob.cpp)
    void sendPages(PrintTarget &target, const PrintRange &range);
    void printPage(PrintTarget &target, int page, const PrintRange &range, bool lastCall);
    /// Shows the dialog at page, or closes and destroys it when no progress
    /// is shown or the message is FinishMessage.
    void updateProgress(const QString &message, int page, const PrintRange &range);

    // Preview (pagepreview.cpp)
    void UpdateScrollRanges();
    void layoutSurface();
    void repaintPreview();
    void zoomToFill(int view, int scrollBar, double ratio, int paperPixels);
    double printerToScreenX() const;
    double printerToScreenY() const;
    int zx(double length) const;
    int zy(double length) const;
    void PaintPreview(QPainter &painter, const QRect &exposed);
    void paintGradient(QPainter &painter, const QRect &exposed) const;

    QPrinter *m_printer = nullptr;
    std::unique_ptr<QPrinter> m_systemPrinter;
    QImage m_fallbackDevice; // measures text as a 300 dpi printer would
    LayoutState m_layout;
    std::vector<TextMeasure> m_measures; // of the fonts used lately
    struct ReadFormat
    {
        QString format;
        FormatRules rules;
        QList<TableColumn> columns;
    };
    std::vector<ReadFormat> m_readFormats; // of the table, the header and the footer

    TPageList m_pages; // of a document written page by page
    std::unique_ptr<SourcedDocument> m_sourced;
    QTimer *m_layoutSteps;
    TPageList m_scratch; // the page written to outside a document
    std::unique_ptr<DocumentOutput> m_output;
    int m_shownPageNumber = 0; // while writing a file, the page the preview shows
    int m_updateCount = 0;

    int m_copies = 1;
    bool m_collate = true;
    int m_printFromPage = 0;
    int m_printToPage = 0;
    bool m_showProgress = true;
    bool m_showCancel = true;
    QString m_progressMessage;
    bool m_abortOnCancel = false;
    bool m_printToFile = false;
    bool m_printing = false;
    bool m_cancelRequested = false;
    std::unique_ptr<TPPPrnPrgDlg> m_progressDialog;

    PreviewSurface *m_surface = nullptr;
    int m_zoomPercent = 25;
    TZoomLocation m_zoomLocation = zlTopLeft;
    QSize m_scrollRange;
    TColor m_shadowColor = clBtnShadow;
    int m_shadowOffset = 5;
    bool m_showMargins = true;
    bool m_gradientBackground = true;
    TColor m_color = clBtnFace;
};
