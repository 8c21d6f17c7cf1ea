// Documents laid out from their source as far as they are needed: page 1 at
// once, the rest in short steps between events, and any page again from
// where it begins.

#include "sourceddocument.h"

#include <algorithm>
#include <limits>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTimer>
#include <stdexcept>

namespace {

// A step this short leaves the window answering input at once.
constexpr qint64 StepMilliseconds = 8;
// The page shown, the one printed and the one before: enough not to lay a
// page out again while it is painted or sent.
constexpr size_t RecentPages = 3;

} // namespace

void TPagePrinter::LayOutDocument(std::unique_ptr<DocumentSource> source)
{
    if (m_printToFile) { // a file is written in one go
        BeginDocument();
        for (qsizetype piece = 0; piece < source->pieceCount(); ++piece)
            source->writePiece(*this, piece);
        EndDocument();
        return;
    }
    refuseWhilePrinting("Can't start a document while printing");
    RefreshPrinterMetrics();
    discardPages();
    if (m_layout.documentOpen) { // started over
        m_layout.documentOpen = m_layout.writingToFile = false;
        startScratchPage();
    }
    m_sourced = std::make_unique<SourcedDocument>(std::move(source));
    SourcedDocument &document = *m_sourced;
    document.front = m_layout;
    openDocument(document.front, false);
    document.starts.push_back({document.front, 0});
    // Only where the pages begin is noted.
    document.frontOutput = std::make_unique<PageSelection>(1, 0, [&document] {
        document.starts.push_back({document.pieceStart, document.nextPiece - 1});
    });
    m_layout.pageNumber = 1; // the page shown, also when the layout ends at once
    LayOutTo(1);
    if (!document.complete)
        m_layoutSteps->start();
    // The settings stay as the pieces laid out have left them, as they do
    // after EndDocument.
    m_layout = document.front;
    m_layout.documentOpen = m_layout.drawingHeaderFooter = false;
    m_layout.pageNumber = 1;
    useLayoutFont();
    UpdateScrollRanges();
    repaintPreview();
}

bool TPagePrinter::LayoutComplete() const
{
    return !m_sourced || m_sourced->complete;
}

bool TPagePrinter::LayOutTo(int number)
{
    if (!LayoutComplete())
        layOutFurther([this, number] { return PageCount() >= number; });
    return number <= PageCount();
}

void TPagePrinter::FinishLayout()
{
    LayOutTo(std::numeric_limits<int>::max());
}

int TPagePrinter::PageCount() const
{
    if (!m_sourced)
        return int(m_pages.size());
    // The page the layout is on is complete only at the end.
    return int(m_sourced->starts.size()) - (m_sourced->complete ? 0 : 1);
}

void TPagePrinter::layOutStep()
{
    QElapsedTimer step;
    step.start();
    layOutFurther([&step] { return step.elapsed() >= StepMilliseconds; });
}

void TPagePrinter::layOutFurther(const std::function<bool()> &enough)
{
    SourcedDocument &document = *m_sourced;
    withLayout(document.front, document.frontOutput, [&] {
        while (document.nextPiece < document.pieceCount && !enough()) {
            document.pieceStart = m_layout;
            writePiece(document.nextPiece++);
        }
    });
    if (document.nextPiece < document.pieceCount)
        return;
    document.complete = true;
    m_layoutSteps->stop();
    if (OnLayoutComplete)
        OnLayoutComplete(this);
}

void TPagePrinter::writePiece(qsizetype piece)
{
    if (piece == 0)
        startPage();
    else
        m_sourced->source->writePiece(*this, piece - 1);
}

const PageImage &TPagePrinter::Page(int number)
{
    if (!m_sourced)
        return m_pages.at(number - 1);
    if (number < 1 || !LayOutTo(number))
        throw std::out_of_range("no such page");
    auto &recent = m_sourced->recent;
    const auto known
        = std::find_if(recent.begin(), recent.end(), [number](const auto &page) { return page.first == number; });
    if (known != recent.end()) {
        recent.splice(recent.begin(), recent, known);
    } else {
        recent.emplace_front(number, recordPage(number));
        if (recent.size() > RecentPages)
            recent.pop_back();
    }
    return recent.front().second;
}

PageImage TPagePrinter::recordPage(int number)
{
    const SourcedDocument::PageStart &start = m_sourced->starts[number - 1];
    LayoutState state = start.state;
    auto selection = std::make_unique<PageSelection>(state.pageNumber, number);
    PageSelection &page = *selection;
    std::unique_ptr<DocumentOutput> output = std::move(selection);
    withLayout(state, output, [&] {
        for (qsizetype piece = start.piece; piece < m_sourced->pieceCount && !page.done(); ++piece)
            writePiece(piece);
    });
    return page.takePage();
}

void TPagePrinter::withLayout(
    LayoutState &state, std::unique_ptr<DocumentOutput> &output, const std::function<void()> &work)
{
    const auto exchange = [&] {
        std::swap(m_layout, state);
        std::swap(m_output, output);
        useLayoutFont();
    };
    exchange();
    const auto putBack = qScopeGuard(exchange);
    work();
}

// The body font is the widget's, which the writing operations read and set.
void TPagePrinter::useLayoutFont()
{
    if (font() != m_layout.font)
        setFont(m_layout.font);
}
