// The page printer's preview: zoom, scroll ranges and the painting of the
// sheet with the page image replayed on it.

#include "pageprinter.h"
#include "previewsurface.h"

#include <algorithm>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>

namespace {

// Fills and outlines the pixels left..right-1 and top..bottom-1: the
// rectangle between its edges, as the preview's geometry gives them.
void drawRectangle(QPainter &painter, int left, int top, int right, int bottom)
{
    painter.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

} // namespace

PreviewSurface::PreviewSurface(TPagePrinter &printer, QWidget *parent)
    : QWidget(parent)
    , m_printer(printer)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewSurface::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    m_printer.PaintPreview(painter, event->rect());
}

QWidget *TPagePrinter::PaintSurface() const
{
    return m_surface;
}

void TPagePrinter::repaintPreview()
{
    if (m_updateCount == 0)
        m_surface->update();
}

// --- Geometry --------------------------------------------------------------------

double TPagePrinter::printerToScreenX() const
{
    return double(m_layout.metrics.dpiX) / m_surface->logicalDpiX();
}

double TPagePrinter::printerToScreenY() const
{
    return double(m_layout.metrics.dpiY) / m_surface->logicalDpiY();
}

int TPagePrinter::zx(double length) const
{
    return zoomedPixels(length, m_layout.unit, m_surface->logicalDpiX(), m_zoomPercent);
}

int TPagePrinter::zy(double length) const
{
    return zoomedPixels(length, m_layout.unit, m_surface->logicalDpiY(), m_zoomPercent);
}

QSize TPagePrinter::SheetSize() const
{
    return {roundHalfEven(px(m_layout.paper.width) * m_zoomPercent / printerToScreenX() * 0.01),
        roundHalfEven(py(m_layout.paper.height) * m_zoomPercent / printerToScreenY() * 0.01)};
}

void TPagePrinter::setZoomPercent(int percent)
{
    // Bounded so that the surface and its painting stay of a sane size.
    percent = std::clamp(percent, MinZoomPercent, MaxZoomPercent);
    if (percent == m_zoomPercent)
        return;
    m_zoomPercent = percent;
    UpdateScrollRanges();
    repaintPreview();
}

void TPagePrinter::zoomToFill(int view, int scrollBar, double ratio, int paperPixels)
{
    setZoomPercent(int((view - scrollBar - 2 * (m_shadowOffset + 1)) * 100 * ratio / paperPixels));
}

void TPagePrinter::ZoomToWidth()
{
    zoomToFill(maximumViewportSize().width(), style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this),
        printerToScreenX(), px(m_layout.paper.width));
}

void TPagePrinter::ZoomToHeight()
{
    zoomToFill(maximumViewportSize().height(), style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this),
        printerToScreenY(), py(m_layout.paper.height));
}

void TPagePrinter::ZoomToFit()
{
    const QSize sheet = SheetSize();
    const QSize view = maximumViewportSize();
    if (double(sheet.width()) / sheet.height() > double(view.width()) / view.height())
        ZoomToWidth();
    else
        ZoomToHeight();
}

void TPagePrinter::setShadowOffset(int offset)
{
    offset = std::max(offset, 0);
    if (offset == m_shadowOffset)
        return;
    m_shadowOffset = offset;
    UpdateScrollRanges();
    repaintPreview();
}

void TPagePrinter::setShadowColor(TColor color)
{
    if (color == m_shadowColor)
        return;
    m_shadowColor = color;
    repaintPreview();
}

void TPagePrinter::setShowMargins(bool on)
{
    if (on == m_showMargins)
        return;
    m_showMargins = on;
    repaintPreview();
}

void TPagePrinter::setGradientBackground(bool on)
{
    if (on == m_gradientBackground)
        return;
    m_gradientBackground = on;
    repaintPreview();
}

void TPagePrinter::setColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    repaintPreview();
}

// --- Scrolling -------------------------------------------------------------------

void TPagePrinter::UpdateScrollRanges()
{
    const QSize sheet = SheetSize();
    m_scrollRange = QSize(sheet.width() + 2 * m_shadowOffset + 2, sheet.height() + 2 * m_shadowOffset + 2);
    layoutSurface();
    const QSize view = viewport()->size();
    const int centreX = (m_scrollRange.width() - view.width()) / 2;
    const int centreY = (m_scrollRange.height() - view.height()) / 2;
    horizontalScrollBar()->setValue(m_zoomLocation == zlTopLeft ? 0 : centreX);
    verticalScrollBar()->setValue(m_zoomLocation == zlCenter ? centreY : 0);
}

// The surface covers the view and the scroll range, whichever is larger.
void TPagePrinter::layoutSurface()
{
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, m_scrollRange.width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, m_scrollRange.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    m_surface->resize(m_scrollRange.expandedTo(view));
    m_surface->move(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

void TPagePrinter::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    layoutSurface();
}

void TPagePrinter::scrollContentsBy(int, int)
{
    m_surface->move(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

// --- Painting --------------------------------------------------------------------

void TPagePrinter::PaintPreview(QPainter &painter, const QRect &exposed)
{
    if (m_gradientBackground)
        paintGradient(painter, exposed);
    else
        painter.fillRect(exposed, toQColor(m_color));

    const QSize surface = m_surface->size();
    const QSize sheet = SheetSize();
    const int left = (surface.width() - sheet.width()) / 2;
    const int top = (surface.height() - sheet.height()) / 2;
    const int right = left + sheet.width();
    const int bottom = top + sheet.height();

    if (const int s = m_shadowOffset; s > 0) {
        const QColor shadow = toQColor(m_shadowColor);
        painter.setPen(shadow);
        painter.setBrush(shadow);
        drawRectangle(painter, right, top + s, right + s, bottom + s);
        drawRectangle(painter, left + s, bottom, right, bottom + s);
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    drawRectangle(painter, left, top, right, bottom);

    if (m_layout.pageNumber >= 1 && m_layout.pageNumber <= PageCount()) {
        // The page image starts at the printable origin of the paper.
        const QRect target(
            QPoint(left + zx(m_layout.paper.offsetX) + 1, top + zy(m_layout.paper.offsetY) + 1), QPoint(right, bottom));
        const QSizeF image(
            px(m_layout.paper.width - m_layout.paper.offsetX), py(m_layout.paper.height - m_layout.paper.offsetY));
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(target.topLeft());
        painter.scale(target.width() / image.width(), target.height() / image.height());
        Page(m_layout.pageNumber).play(painter);
        painter.restore();
    }

    if (m_showMargins) {
        painter.setPen(QPen(toQColor(clSilver), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        drawRectangle(painter, left + zx(m_layout.marginLeft), top + zy(m_layout.marginTop),
            right - zx(m_layout.marginRight), bottom - zy(m_layout.marginBottom));
    }
}

// Black at the top row, Color at the bottom one.
void TPagePrinter::paintGradient(QPainter &painter, const QRect &exposed) const
{
    const int n = m_surface->height() - 1;
    if (n <= 0)
        return;
    const QColor base = toQColor(m_color);
    for (int i = std::max(exposed.top(), 0); i <= std::min(exposed.bottom(), n); ++i)
        painter.fillRect(exposed.left(), i, exposed.width(), 1,
            QColor(i * base.red() / n, i * base.green() / n, i * base.blue() / n));
}
