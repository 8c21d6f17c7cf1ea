#include "pageprinter.h"

#include "clocksource.h"
#include "friendlycode.h"
#include "localedates.h"
#include "messages.h"
#include "numbertext.h"
#include "previewsurface.h"
#include "printtarget.h"
#include "sourceddocument.h"
#include "textfileoutput.h"

#include <algorithm>
#include <QEvent>
#include <QFontInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QTimer>
#include <utility>

namespace {

const char *const TopMarginRefusal = "Unable to change top margin while printing";

// The image's resolution is what text is measured at without a printer.
QImage fallbackDevice()
{
    QImage image(1, 1, QImage::Format_Mono);
    const int dotsPerMetre = qRound(FallbackDpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

double pointSizeOf(const QFont &font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

} // namespace

ECancelPrinting::ECancelPrinting()
    : WorktallyError(QStringLiteral("Printing Cancelled"))
{ }

TPagePrinter::TPagePrinter(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_fallbackDevice(fallbackDevice())
{
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        m_systemPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_systemPrinter->setPageOrientation(QPageLayout::Portrait);
        m_printer = m_systemPrinter.get();
    }
    setFrameShape(QFrame::NoFrame);
    horizontalScrollBar()->setSingleStep(16);
    verticalScrollBar()->setSingleStep(16);
    m_surface = new PreviewSurface(*this, viewport());
    m_layoutSteps = new QTimer(this);
    m_layoutSteps->setInterval(0); // between the events that wait
    connect(m_layoutSteps, &QTimer::timeout, this, guarded([this] { layOutStep(); }));
    readPrinter();
    m_layout.marginTop = m_layout.marginBottom = m_layout.paper.offsetY;
    m_layout.marginLeft = m_layout.marginRight = m_layout.paper.offsetX;
    // Setting the font runs the font handling (changeEvent), which copies it
    // to the header and footer fonts as well.
    setFont(QFont(QStringLiteral("Courier New"), 10));
    resize(89, 115);
    RefreshPrinterMetrics();
    startScratchPage();
    UpdateScrollRanges();
}

TPagePrinter::~TPagePrinter() = default;

// --- Printer ----------------------------------------------------------------

void TPagePrinter::setPrinter(QPrinter *printer)
{
    if (printer == m_printer)
        return;
    m_printer = printer;
    RefreshPrinterMetrics();
    UpdateScrollRanges();
    repaintPreview();
}

void TPagePrinter::readPrinter()
{
    m_layout.metrics = readPrinterMetrics(m_printer);
    m_layout.paper = paperOf(m_layout.metrics, m_layout.unit);
    m_layout.device = m_layout.metrics.available ? m_printer : static_cast<const QPaintDevice *>(&m_fallbackDevice);
}

void TPagePrinter::RefreshPrinterMetrics()
{
    readPrinter();
    if (!m_layout.documentOpen) {
        setMarginTop(m_layout.marginTop);
        setMarginBottom(m_layout.marginBottom);
        setMarginLeft(m_layout.marginLeft);
        setMarginRight(m_layout.marginRight);
    }
    bindCanvasFont(font());
    for (PageRow *row : {&m_layout.header, &m_layout.footer})
        if (!row->friendly.isEmpty())
            translateFriendly(*row);
}

QPageLayout::Orientation TPagePrinter::Orientation() const
{
    return m_layout.metrics.available ? m_printer->pageLayout().orientation() : QPageLayout::Portrait;
}

void TPagePrinter::setOrientation(QPageLayout::Orientation orientation)
{
    refuseWhileOpen("Unable to change orientation while printing");
    if (!m_layout.metrics.available || orientation == Orientation())
        return;
    m_printer->setPageOrientation(orientation);
    readPrinter();
    UpdateScrollRanges();
    repaintPreview();
}

QString TPagePrinter::Title() const
{
    return m_layout.metrics.available ? m_layout.title : QStringLiteral("<Unknown>");
}

// --- Units and geometry -------------------------------------------------------

void TPagePrinter::setMeasureUnit(TMeasureUnit unit)
{
    if (unit == m_layout.unit)
        return;
    // The margins are converted through their setters, which would refuse.
    refuseWhileOpen(TopMarginRefusal);
    m_layout.unit = unit;
    m_layout.paper = paperOf(m_layout.metrics, unit);
    setMarginTop(convertLength(m_layout.marginTop, unit));
    setMarginBottom(convertLength(m_layout.marginBottom, unit));
    setMarginLeft(convertLength(m_layout.marginLeft, unit));
    setMarginRight(convertLength(m_layout.marginRight, unit));
    m_layout.pageBorderOffset = convertLength(m_layout.pageBorderOffset, unit);
    m_layout.formatRules.defaultColWidth = convertLength(m_layout.formatRules.defaultColWidth, unit);
    RefreshPrinterMetrics();
    const FormatRules rules = formatRules();
    for (PageRow *row : {&m_layout.header, &m_layout.footer})
        if (row->friendly.isEmpty())
            row->format = normaliseFormat(row->format, rules, unit);
    m_layout.tableFormat = normaliseFormat(m_layout.tableFormat, rules, unit);
}

void TPagePrinter::refuseWhileOpen(const char *message) const
{
    if (m_layout.documentOpen)
        throw EPagePrinter(QString::fromLatin1(message));
}

void TPagePrinter::refuseWhilePrinting(const char *message) const
{
    if (m_printing)
        throw EPagePrinter(QString::fromLatin1(message));
}

void TPagePrinter::setMargin(double &margin, double value, double low, double high, const char *refusal)
{
    refuseWhileOpen(refusal);
    // Only the upper bound applies when the paper is narrower than its offsets.
    value = std::min(std::max(value, low), high);
    if (value == margin)
        return;
    margin = value;
    repaintPreview();
}

void TPagePrinter::setMarginTop(double margin)
{
    setMargin(m_layout.marginTop, margin, m_layout.paper.offsetY, m_layout.paper.height - m_layout.paper.offsetY,
        TopMarginRefusal);
}

void TPagePrinter::setMarginBottom(double margin)
{
    setMargin(m_layout.marginBottom, margin, m_layout.paper.offsetY, m_layout.paper.height - m_layout.paper.offsetY,
        "Unable to change bottom margin while printing");
}

void TPagePrinter::setMarginLeft(double margin)
{
    setMargin(m_layout.marginLeft, margin, m_layout.paper.offsetX, m_layout.paper.width - m_layout.paper.offsetX,
        "Unable to change left margin while printing");
}

void TPagePrinter::setMarginRight(double margin)
{
    setMargin(m_layout.marginRight, margin, m_layout.paper.offsetX, m_layout.paper.width - m_layout.paper.offsetX,
        "Unable to change right margin while printing");
}

double TPagePrinter::BodyWidth() const
{
    return m_layout.paper.width - m_layout.marginLeft - m_layout.marginRight;
}

TPagePrinter::BodyArea TPagePrinter::body() const
{
    BodyArea area;
    area.left = px(m_layout.marginLeft - m_layout.paper.offsetX);
    area.top = py(m_layout.marginTop - m_layout.paper.offsetY);
    const int right = px(m_layout.marginRight - m_layout.paper.offsetX);
    const int bottom = py(m_layout.marginBottom - m_layout.paper.offsetY);
    area.width = px(m_layout.paper.printableWidth()) - area.left - right;
    area.height = py(m_layout.paper.printableHeight()) - area.top - bottom;
    return area;
}

// --- Fonts, formats, headers and footers ---------------------------------------

void TPagePrinter::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        m_layout.font = font();
        bindCanvasFont(font());
        for (PageRow *row : {&m_layout.header, &m_layout.footer})
            if (row->autoFont)
                row->font = font();
    }
    QAbstractScrollArea::changeEvent(event);
}

void TPagePrinter::bindCanvasFont(const QFont &font)
{
    // Sized in whole printer pixels for its point size, so that every device
    // the page is replayed on draws it at the size it was measured in.
    QFont bound = font;
    bound.setPixelSize(fontPixelHeight(pointSizeOf(font), m_layout.metrics.dpiY));
    bound.setHintingPreference(QFont::PreferNoHinting);
    if (!m_layout.measure.measures(bound, m_layout.device))
        m_layout.measure = measureFor(bound);
    m_layout.externalLeading = qRound(m_layout.measure.metrics().leading());
    m_layout.lineHeight = lineHeightFor(m_layout.lineSpacing, bound.pixelSize());
}

// A header in another font than the rows switches fonts at every page.
const TextMeasure &TPagePrinter::measureFor(const QFont &font)
{
    for (const TextMeasure &measure : m_measures)
        if (measure.measures(font, m_layout.device))
            return measure;
    if (m_measures.size() >= 8)
        m_measures.erase(m_measures.begin());
    return m_measures.emplace_back(font, m_layout.device);
}

void TPagePrinter::setLineSpacing(TLineSpacing spacing)
{
    if (spacing == m_layout.lineSpacing)
        return;
    m_layout.lineSpacing = spacing;
    m_layout.lineHeight = lineHeightFor(spacing, m_layout.measure.font().pixelSize());
}

FormatRules TPagePrinter::formatRules() const
{
    FormatRules rules = m_layout.formatRules;
    rules.decimalSeparator = NumberSeparators::current().decimal;
    return rules;
}

void TPagePrinter::setTableFormat(const QString &format)
{
    m_layout.tableFormat = normaliseFormat(format, formatRules());
}

void TPagePrinter::setRowFormat(PageRow &row, const QString &format)
{
    row.format = normaliseFormat(format, formatRules());
}

void TPagePrinter::setRowFriendly(PageRow &row, const QString &code)
{
    if (code == row.friendly)
        return;
    row.friendly = code;
    translateFriendly(row);
}

void TPagePrinter::translateFriendly(PageRow &row)
{
    const FriendlyRow translated
        = translateFriendlyCode(row.friendly, {m_layout.fileName, ClockSource::now(), BodyWidth(), formatRules()});
    row.text = translated.row;
    setRowFormat(row, translated.format);
}

void TPagePrinter::setRowAutoFont(PageRow &row, bool on)
{
    if (on == row.autoFont)
        return;
    row.autoFont = on;
    if (on)
        row.font = font();
}

void TPagePrinter::setFileName(const QString &fileName)
{
    const QString trimmed = fileName.trimmed();
    if (trimmed == m_layout.fileName)
        return;
    refuseWhileOpen("Can't change FileName while printing");
    m_layout.fileName = trimmed;
}

void TPagePrinter::setPrintToFile(bool on)
{
    if (on == m_printToFile)
        return;
    refuseWhileOpen("Can't change PrintToFile while printing");
    m_printToFile = on;
}

// --- Document -------------------------------------------------------------------

void TPagePrinter::startScratchPage()
{
    m_scratch.clear();
    m_output = std::make_unique<PageRecorder>(m_scratch);
    m_output->beginPage();
}

void TPagePrinter::discardPages()
{
    m_pages.clear();
    m_sourced.reset();
    m_layoutSteps->stop();
}

void TPagePrinter::openDocument(LayoutState &state, bool toFile) const
{
    state.documentOpen = true;
    state.writingToFile = toFile;
    state.drawingHeaderFooter = false;
    state.pageNumber = 1;
    // Written once here rather than on every page that shows them.
    const DateTime begun = ClockSource::now();
    state.begunDate = shortDateText(begun);
    state.begunTime = longTimeText(begun);
}

void TPagePrinter::BeginDocument()
{
    // The job sends the pages a rebuild would replace.
    refuseWhilePrinting("Can't start a document while printing");
    RefreshPrinterMetrics();
    // A file that cannot be created leaves no document open.
    if (m_printToFile) {
        m_output = std::make_unique<TextFileOutput>(m_layout.fileName);
        // The file counts its own pages; the preview gets its page back.
        if (!m_layout.writingToFile)
            m_shownPageNumber = m_layout.pageNumber;
    } else {
        discardPages();
        m_output = std::make_unique<PageRecorder>(m_pages);
        m_output->beginPage();
    }
    openDocument(m_layout, m_printToFile);
    startPage();
}

void TPagePrinter::EndDocument()
{
    m_layout.documentOpen = false;
    const bool wroteFile = std::exchange(m_layout.writingToFile, false);
    m_layout.pageNumber = wroteFile ? m_shownPageNumber : 1;
    // The scratch page takes over before the file is closed, so that a file
    // that fails to close leaves the page printer idle all the same.
    const std::unique_ptr<DocumentOutput> written = std::exchange(m_output, nullptr);
    startScratchPage();
    written->close();
    if (wroteFile) {
        reportPrintedFile(m_layout.fileName, window());
        return; // the pages and the preview stay as they were
    }
    UpdateScrollRanges();
    repaintPreview();
}

int TPagePrinter::NewPage()
{
    m_output->beginPage();
    ++m_layout.pageNumber;
    startPage();
    return m_layout.pageNumber;
}

void TPagePrinter::ClearDocument()
{
    refuseWhileOpen("Can't clear contents while printing");
    refuseWhilePrinting("Can't clear the document while printing");
    discardPages();
    startScratchPage();
    m_layout.pageNumber = 0;
    UpdateScrollRanges();
    repaintPreview();
}

void TPagePrinter::setPageNumber(int number)
{
    LayOutTo(number);
    if (PageCount() == 0)
        number = 0;
    else if (number < 1 || number > PageCount())
        throw EPagePrinter(QStringLiteral("PageNumber must be between 1 and %1").arg(PageCount()));
    if (number == m_layout.pageNumber)
        return;
    m_layout.pageNumber = number;
    UpdateScrollRanges();
    repaintPreview();
}

void TPagePrinter::EndUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount == 0)
        repaintPreview();
}
