// The writing operations of the page printer: free text, aligned lines,
// table rows, and what every page starts with (header, footer, borders).

#include "pageprinter.h"

#include "textfit.h"

#include <QScopeGuard>

// Rows of a table share their format, and every page's header and footer
// rows have theirs: each is read once, not again after every page break.
QList<TableColumn> TPagePrinter::columnsOf(const QString &format)
{
    const FormatRules rules = formatRules();
    for (const ReadFormat &read : m_readFormats)
        if (read.format == format && read.rules == rules)
            return read.columns;
    if (m_readFormats.size() >= 3)
        m_readFormats.erase(m_readFormats.begin());
    m_readFormats.push_back({format, rules, parseColumnFormat(format, rules)});
    return m_readFormats.back().columns;
}

int TPagePrinter::textWidth(const QString &text, qsizetype length) const
{
    return m_layout.measure.width(text, length);
}

TextWidth TPagePrinter::measure() const
{
    return [this](const QString &text, qsizetype length) { return textWidth(text, length); };
}

void TPagePrinter::output(int x, int y, const QString &text, TextGaps gaps)
{
    // (x, y) is the top of the text cell; pages record the baseline.
    gaps.spaceWidth = textWidth(QStringLiteral(" "), 1);
    m_output->text(QPointF(x, y + m_layout.measure.ascent()), text, m_layout.measure.font(), gaps);
}

// A text file has no page height, so every line fits there. The first line
// of a page always goes on it: a body lower than one line then gets a page
// per line rather than blank pages in between.
bool TPagePrinter::lineFits() const
{
    return !m_output->hasPageHeight() || m_layout.cursorY == 0
        || m_layout.cursorY + m_layout.lineHeight < body().height;
}

namespace {

// Where a text of the given width starts in room placed by alignment; a text
// wider than the room starts before it when aligned right or centred.
int alignedOffset(Qt::AlignmentFlag alignment, int room, int width)
{
    switch (alignment) {
    case Qt::AlignRight:
        return room - width;
    case Qt::AlignHCenter:
        return (room - width) / 2;
    default:
        return 0;
    }
}

} // namespace

// --- Pages and lines ---------------------------------------------------------------

void TPagePrinter::startPage()
{
    m_layout.cursorX = m_layout.cursorY = m_layout.lineNumber = 0;
    if (OnNewPage)
        OnNewPage(this);
    // What OnNewPage wrote stays the start of the page body.
    const int cursorX = m_layout.cursorX;
    const int cursorY = m_layout.cursorY;
    const int lineNumber = m_layout.lineNumber;
    writeHeaderAndFooter();
    m_layout.cursorX = cursorX;
    m_layout.cursorY = cursorY;
    m_layout.lineNumber = lineNumber;
    if (OnNewLine)
        OnNewLine(this);
    drawPageBorders();
}

int TPagePrinter::NewLine()
{
    m_layout.cursorX = 0;
    m_layout.cursorY += m_layout.lineHeight;
    if (!m_layout.drawingHeaderFooter && !lineFits()) {
        NewPage();
    } else {
        ++m_layout.lineNumber;
        m_output->endLine();
    }
    if (OnNewLine)
        OnNewLine(this);
    return m_layout.lineNumber;
}

// --- Text ---------------------------------------------------------------------------

void TPagePrinter::WriteText(const QString &text)
{
    const QString expanded = expandTabs(text, m_layout.tabSize);
    const BodyArea area = body();
    // At or past the right margin nothing fits any more: the text goes on at
    // the left margin rather than off the paper.
    if (m_layout.cursorX > 0 && m_layout.cursorX >= area.width && !expanded.isEmpty())
        NewLine();
    const int width = textWidth(expanded, expanded.size());
    const int room = area.width - m_layout.cursorX;
    if (width > room && expanded.size() > 1) {
        if (m_layout.wordWrap)
            writeWrapped(expanded, false);
        else
            WriteText(expanded.left(fitText(expanded, room, measure())));
        return;
    }
    if (!lineFits())
        NewPage();
    output(area.left + m_layout.cursorX, area.top + m_layout.cursorY, expanded);
    m_layout.cursorX += width;
}

void TPagePrinter::WriteTextLine(const QString &text)
{
    const QString expanded = expandTabs(text, m_layout.tabSize);
    const BodyArea area = body();
    const int width = textWidth(expanded, expanded.size());
    if (width > area.width && expanded.size() > 1) {
        m_layout.cursorX = 0;
        if (m_layout.wordWrap)
            writeWrapped(expanded, true);
        else
            WriteTextLine(expanded.left(fitText(expanded, area.width, measure())));
        return;
    }
    // The page break comes before the placement, which it would undo.
    if (!lineFits())
        NewPage();
    m_layout.cursorX = alignedOffset(m_layout.alignment, area.width, width);
    output(area.left + m_layout.cursorX, area.top + m_layout.cursorY, expanded, {.before = m_layout.cursorX});
    // A text file ends the line here, and NewLine ends another, empty one.
    m_output->endLine();
    NewLine();
}

void TPagePrinter::WriteAlignedLine(Qt::AlignmentFlag alignment, const QString &text)
{
    const auto restore = qScopeGuard([this, previous = m_layout.alignment] { m_layout.alignment = previous; });
    m_layout.alignment = alignment;
    WriteTextLine(text);
}

void TPagePrinter::writeWrapped(const QString &text, bool lineMode)
{
    QString rest = text;
    while (!rest.isEmpty()) {
        LineSplit split = splitLine(
            rest, body().width - m_layout.cursorX, lineMode ? BlanksAtCut::DropOne : BlanksAtCut::Keep, measure());
        rest = std::move(split.rest);
        if (lineMode) {
            WriteTextLine(split.part);
        } else {
            WriteText(split.part);
            if (!rest.isEmpty())
                NewLine();
        }
    }
}

// --- Table rows ---------------------------------------------------------------------

void TPagePrinter::WriteTableRow(const QString &row)
{
    writeTableRow(row, m_layout.tableFormat, m_layout.tableGrid);
}

void TPagePrinter::WriteLines(bool useTable)
{
    for (const QString &line : std::as_const(m_layout.lines)) {
        if (useTable && !m_layout.tableFormat.isEmpty())
            WriteTableRow(line);
        else
            WriteTextLine(line);
    }
}

void TPagePrinter::writeTableRow(const QString &row, const QString &format, bool grid)
{
    const QList<TableColumn> columns = columnsOf(format);
    QStringList cells = row.split(m_layout.formatRules.separator);
    const BodyArea area = body();
    // One pass per printed line, until every cell is written out.
    bool topLine = grid;
    bool more = true;
    while (more) {
        more = false;
        m_layout.cursorX = area.left; // within a row counted from the printable origin
        for (qsizetype i = 0; i < columns.size(); ++i) {
            QString cell = i < cells.size() ? cells[i] : QString();
            if (writeCell(columns[i], cell, area.top, grid && columns[i].width >= 0, topLine))
                more = true;
            if (i < cells.size())
                cells[i] = cell;
        }
        topLine = false;
        if (more)
            NewLine();
    }
    if (grid) {
        m_layout.cursorX = area.left;
        for (const TableColumn &column : columns) {
            const int width = px(std::abs(column.width));
            if (column.width >= 0)
                drawCellEdges(width, area.top, {.bottom = true});
            m_layout.cursorX += width;
        }
    }
    // A text file ends every row, a header or footer row too.
    m_output->endLine();
    if (!m_layout.drawingHeaderFooter)
        NewLine();
}

bool TPagePrinter::writeCell(const TableColumn &column, QString &cell, int top, bool framed, bool topLine)
{
    const int width = px(std::abs(column.width));
    if (cell.contains(u"{$"))
        cell = expandTokens(cell, tokenValues());
    QString part;
    if (m_layout.wordWrap) {
        // Blanks past the column's edge are dropped: carried on, a cell's
        // joining blank alone would make every row two lines high.
        LineSplit split = splitLine(cell, width, BlanksAtCut::DropSpaces, measure());
        // A line feed ends the cell's line; what follows it comes next.
        if (const qsizetype feed = split.part.indexOf(u'\n'); feed >= 0) {
            const QString after = split.part.mid(feed + 1);
            split.rest = split.rest.isEmpty() ? after : after + u' ' + split.rest;
            split.part.truncate(feed);
        }
        part = std::move(split.part);
        cell = std::move(split.rest);
    } else {
        part = cell.left(fitText(cell, width, measure()));
        cell.clear();
    }

    const int textWidth = this->textWidth(part, part.size());
    int offset = alignedOffset(column.alignment, width, textWidth);
    // Text that leaves room keeps clear of the column edge it is aligned to.
    const int padding = cellPadding(m_layout.metrics.dpiX);
    if (textWidth < width - padding) {
        if (column.alignment == Qt::AlignRight)
            offset -= padding;
        else if (column.alignment == Qt::AlignLeft)
            offset += padding;
    }
    output(m_layout.cursorX + offset, top + m_layout.cursorY, part,
        {.before = offset, .after = width - offset - textWidth});
    if (framed)
        drawCellEdges(width, top, {.top = topLine, .sides = true});
    m_layout.cursorX += width;
    return !cell.isEmpty();
}

void TPagePrinter::drawCellEdges(int width, int top, CellEdges edges)
{
    // Lifted by the external leading so that the frame encloses the text.
    const int x0 = m_layout.cursorX;
    const int x1 = x0 + width;
    const int y0 = top + m_layout.cursorY - frameLift(m_layout.lineSpacing, m_layout.externalLeading);
    const int y1 = y0 + m_layout.lineHeight;
    const int horizontalPen = rulePenWidth(m_layout.metrics.dpiY);
    const int verticalPen = rulePenWidth(m_layout.metrics.dpiX);
    if (edges.top)
        m_output->line({x0, y0}, {x1, y0}, horizontalPen);
    if (edges.bottom)
        m_output->line({x0, y1}, {x1, y1}, horizontalPen);
    if (edges.sides) {
        m_output->line({x0, y0}, {x0, y1}, verticalPen);
        m_output->line({x1, y0}, {x1, y1}, verticalPen);
    }
}

TokenValues TPagePrinter::tokenValues() const
{
    return {QString::number(m_layout.lineNumber), QString::number(m_layout.pageNumber), m_layout.begunDate,
        m_layout.begunTime, Title()};
}

// --- Header, footer and borders -----------------------------------------------------

void TPagePrinter::writeHeaderAndFooter()
{
    if (m_layout.header.text.isEmpty() && m_layout.footer.text.isEmpty())
        return;
    m_layout.drawingHeaderFooter = true;
    const auto restore = qScopeGuard([this] {
        m_layout.drawingHeaderFooter = false;
        bindCanvasFont(font());
    });
    // Each row in its own font, which sets the line height it is placed by;
    // these rows never get frames.
    if (!m_layout.header.text.isEmpty()) {
        bindCanvasFont(m_layout.header.font);
        m_layout.cursorY = headerTop();
        writeTableRow(m_layout.header.text, m_layout.header.format, false);
    }
    if (!m_layout.footer.text.isEmpty()) {
        bindCanvasFont(m_layout.footer.font);
        m_layout.cursorY = footerTop();
        writeTableRow(m_layout.footer.text, m_layout.footer.format, false);
    }
}

// Centred between the paper's top edge and the top margin (or the top border
// line), but never above the printable area. Measured from the top margin.
int TPagePrinter::headerTop() const
{
    const int gap
        = py(m_layout.pageBorders & pbTop ? m_layout.marginTop - m_layout.pageBorderOffset : m_layout.marginTop);
    const int top = (gap - m_layout.lineHeight) / 2 - py(m_layout.marginTop);
    return std::max(top, -body().top);
}

// Centred between the bottom margin (or the bottom border line) and the
// paper's bottom edge, but never below the printable area.
int TPagePrinter::footerTop() const
{
    const BodyArea area = body();
    const int top = m_layout.pageBorders & pbBottom
        ? py(m_layout.pageBorderOffset) + area.height
            + (py(m_layout.marginBottom - m_layout.pageBorderOffset) - m_layout.lineHeight) / 2
        : area.height + (py(m_layout.marginBottom) - m_layout.lineHeight) / 2;
    const int printableHeight = py(m_layout.paper.printableHeight());
    return std::min(top, printableHeight - area.top - m_layout.lineHeight);
}

void TPagePrinter::drawPageBorders()
{
    const BodyArea area = body();
    const int right = area.left + area.width;
    const int bottom = area.top + area.height;
    const int b = py(m_layout.pageBorderOffset);
    const int d = px(m_layout.pageBorderOffset);
    const int horizontalPen = rulePenWidth(m_layout.metrics.dpiY);
    const int verticalPen = rulePenWidth(m_layout.metrics.dpiX);
    if (m_layout.pageBorders & pbTop)
        m_output->line({area.left - b, area.top - b}, {right + b, area.top - b}, horizontalPen);
    if (m_layout.pageBorders & pbBottom)
        m_output->line({area.left - b, bottom + b}, {right + b, bottom + b}, horizontalPen);
    if (m_layout.pageBorders & pbLeft)
        m_output->line({area.left - d, area.top - d}, {area.left - d, bottom + d}, verticalPen);
    if (m_layout.pageBorders & pbRight)
        m_output->line({right + d, area.top - d}, {right + d, bottom + d}, verticalPen);
}
