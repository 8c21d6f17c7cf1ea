// The preview: zoom, scroll ranges and the painted sheet; and the recorded
// pages replayed onto a PDF printer.

#include "pageprinter.h"
#include "printtestsupport.h"
#include "testsupport.h"

#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyle>

namespace {

class PreviewTest : public ::testing::Test
{
protected:
    PreviewTest()
    {
        prn.setPrinter(nullptr);
        prn.setMarginTop(1);
        prn.setMarginBottom(1);
        prn.setMarginLeft(1);
        prn.setMarginRight(1);
        prn.resize(900, 700);
        prn.show();
    }

    void writeDocument()
    {
        prn.BeginDocument();
        for (int i = 0; i < 80; ++i)
            prn.WriteTextLine(QStringLiteral("Line %1 of the worksheet printout").arg(i));
        prn.EndDocument();
    }

    QImage grab() const { return prn.PaintSurface()->grab().toImage(); }

    /// The sheet in surface pixels, right and bottom exclusive.
    QRect sheet() const
    {
        const QSize surface = prn.PaintSurface()->size();
        const QSize size = prn.SheetSize();
        return QRect(QPoint((surface.width() - size.width()) / 2, (surface.height() - size.height()) / 2), size);
    }

    int dpi() const { return prn.PaintSurface()->logicalDpiX(); }

    TPagePrinter prn;
};

bool isDark(QRgb pixel)
{
    return qGray(pixel) < 128;
}

/// The dark pixels strictly inside the sheet's outline.
QList<QPoint> darkPixelsOnSheet(const QImage &image, const QRect &sheet)
{
    QList<QPoint> found;
    for (int y = sheet.top() + 1; y < sheet.top() + sheet.height() - 1; ++y)
        for (int x = sheet.left() + 1; x < sheet.left() + sheet.width() - 1; ++x)
            if (isDark(image.pixel(x, y)))
                found.append({x, y});
    return found;
}

} // namespace

// --- Zoom and scrolling ---------------------------------------------------------------

TEST_F(PreviewTest, SheetHasThePaperSizeAtOneHundredPercent)
{
    prn.setZoomPercent(100);
    EXPECT_NEAR(prn.SheetSize().width(), 8.5 * dpi(), 1);
    EXPECT_NEAR(prn.SheetSize().height(), 11 * prn.PaintSurface()->logicalDpiY(), 1);
    const QSize single = prn.SheetSize();
    prn.setZoomPercent(200);
    EXPECT_NEAR(prn.SheetSize().width(), 2 * single.width(), 1);
    EXPECT_NEAR(prn.SheetSize().height(), 2 * single.height(), 1);
}

TEST_F(PreviewTest, ScrollRangeHoldsSheetShadowAndAPixelEachSide)
{
    prn.setZoomPercent(150);
    EXPECT_EQ(prn.ScrollRange(), prn.SheetSize() + QSize(12, 12));
    prn.setShadowOffset(0);
    EXPECT_EQ(prn.ScrollRange(), prn.SheetSize() + QSize(2, 2));
    EXPECT_EQ(prn.verticalScrollBar()->maximum(), prn.ScrollRange().height() - prn.viewport()->height());
    EXPECT_EQ(prn.PaintSurface()->size(), prn.ScrollRange().expandedTo(prn.viewport()->size()));
}

TEST_F(PreviewTest, ZoomLocationPlacesTheView)
{
    prn.setZoomPercent(200);
    EXPECT_EQ(prn.horizontalScrollBar()->value(), 0);
    prn.setZoomLocation(zlCenter);
    prn.setZoomPercent(250);
    EXPECT_EQ(prn.horizontalScrollBar()->value(), (prn.ScrollRange().width() - prn.viewport()->width()) / 2);
    EXPECT_EQ(prn.verticalScrollBar()->value(), (prn.ScrollRange().height() - prn.viewport()->height()) / 2);
    EXPECT_EQ(prn.PaintSurface()->pos(), -QPoint(prn.horizontalScrollBar()->value(), prn.verticalScrollBar()->value()));
}

TEST_F(PreviewTest, ZoomToWidthFitsTheSheetBesideAScrollBar)
{
    prn.ZoomToWidth();
    const int room = prn.width() - prn.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &prn);
    EXPECT_LE(prn.ScrollRange().width(), room);
    prn.setZoomPercent(prn.ZoomPercent() + 1);
    EXPECT_GT(prn.ScrollRange().width(), room - 3); // one percent more nearly fills it
}

TEST_F(PreviewTest, ZoomToFitTakesTheTighterSide)
{
    prn.resize(2000, 500); // wide: the height limits
    prn.ZoomToFit();
    const int fit = prn.ZoomPercent();
    prn.ZoomToHeight();
    EXPECT_EQ(prn.ZoomPercent(), fit);
    prn.resize(500, 2000);
    prn.ZoomToFit();
    const int narrow = prn.ZoomPercent();
    prn.ZoomToWidth();
    EXPECT_EQ(prn.ZoomPercent(), narrow);
}

TEST_F(PreviewTest, ZoomStaysWithinItsBounds)
{
    // 1 % to 1000 %: every typed number shows something, none exhausts memory.
    prn.setZoomPercent(0);
    EXPECT_EQ(prn.ZoomPercent(), 1);
    prn.setZoomPercent(-50);
    EXPECT_EQ(prn.ZoomPercent(), 1);
    prn.setZoomPercent(1'000'000);
    EXPECT_EQ(prn.ZoomPercent(), 1000);
    prn.resize(10, 10);
    prn.ZoomToWidth(); // the view is narrower than scroll bar and shadow
    EXPECT_EQ(prn.ZoomPercent(), 1);
}

// --- Painting --------------------------------------------------------------------------

TEST_F(PreviewTest, SheetWithShadowMarginFrameAndTextInsideThePrintableArea)
{
    writeDocument();
    prn.setZoomPercent(100);
    const QImage image = grab();
    const QRect paper = sheet();
    const int s = prn.ShadowOffset();
    const QRgb shadow = toQColor(clBtnShadow).rgb();
    EXPECT_EQ(image.pixel(paper.right() + 1 + s / 2, paper.center().y()), shadow);
    EXPECT_EQ(image.pixel(paper.center().x(), paper.bottom() + 1 + s / 2), shadow);
    EXPECT_NE(image.pixel(paper.left() + 1, paper.bottom() + 2), shadow); // L-shaped: none at the far corner

    // The dotted frame one inch inside the sheet edge, on white.
    const int frameX = paper.left() + dpi();
    int silver = 0;
    for (int y = paper.top() + dpi() + 10; y < paper.top() + dpi() + 60; ++y)
        silver += image.pixel(frameX, y) == toQColor(clSilver).rgb();
    EXPECT_GE(silver, 12);
    EXPECT_EQ(image.pixelColor(frameX - 3, paper.top() + dpi() + 30), QColor(Qt::white));

    const QList<QPoint> dark = darkPixelsOnSheet(image, paper);
    ASSERT_GT(dark.size(), 100);
    const QRect printable = paper.adjusted(dpi() / 4, dpi() / 4, -dpi() / 4, -dpi() / 4);
    const QRect body = paper.adjusted(dpi(), dpi(), -dpi(), -dpi());
    for (const QPoint &p : dark)
        ASSERT_TRUE(printable.contains(p) && body.adjusted(-2, -2, 2, 2).contains(p)) << p.x() << "," << p.y();
}

TEST_F(PreviewTest, EmptyDocumentShowsABlankSheet)
{
    prn.setZoomPercent(100);
    const QImage image = grab();
    EXPECT_TRUE(darkPixelsOnSheet(image, sheet()).isEmpty());
    EXPECT_EQ(image.pixelColor(sheet().left(), sheet().center().y()), QColor(Qt::black)); // the outline
    prn.setShowMargins(false);
    EXPECT_EQ(grab().pixelColor(sheet().left() + dpi(), sheet().center().y()), QColor(Qt::white));
}

TEST_F(PreviewTest, BackgroundRunsFromBlackToColor)
{
    prn.setColor(clTeal);
    QImage image = grab();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixel(0, image.height() - 1), toQColor(clTeal).rgb());
    EXPECT_LT(image.pixelColor(0, image.height() / 2).green(), toQColor(clTeal).green());
    prn.setGradientBackground(false);
    image = grab();
    EXPECT_EQ(image.pixel(0, 0), toQColor(clTeal).rgb());
}

TEST_F(PreviewTest, ZoomingAndPagingReplayWithoutLayingOutAgain)
{
    int laidOutLines = 0;
    prn.OnNewLine = [&](TPagePrinter *) { ++laidOutLines; };
    writeDocument();
    const int afterLayout = laidOutLines;
    ASSERT_EQ(prn.PageCount(), 2);
    const size_t recorded = prn.Page(1).texts().size();
    for (int zoom : {40, 100, 175}) {
        prn.setZoomPercent(zoom);
        prn.setPageNumber(zoom == 100 ? 2 : 1);
        EXPECT_FALSE(darkPixelsOnSheet(grab(), sheet()).isEmpty()) << zoom;
    }
    EXPECT_EQ(laidOutLines, afterLayout);
    EXPECT_EQ(prn.Page(1).texts().size(), recorded);
}

// --- Replay on a PDF printer --------------------------------------------------------------

namespace {

/// xMin and xMax of the first word of a page that equals word, in points.
std::pair<double, double> wordSpan(const QByteArray &bboxHtml, const QString &word)
{
    const QRegularExpression pattern(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\"[^>]*>%1</word>").arg(word));
    const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(bboxHtml));
    if (!match.hasMatch())
        return {-1, -1};
    return {match.captured(1).toDouble(), match.captured(2).toDouble()};
}

} // namespace

TEST(PdfReplay, ReplayedPagesKeepTheirCountAndTextPlacement)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("replay.pdf"));
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    pdf.setResolution(300);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(6, 6, 6, 6), QPageLayout::Millimeter);

    TPagePrinter prn;
    prn.setPrinter(&pdf);
    prn.setMeasureUnit(muMillimeters);
    for (auto setMargin : {&TPagePrinter::setMarginTop, &TPagePrinter::setMarginBottom, &TPagePrinter::setMarginLeft,
             &TPagePrinter::setMarginRight})
        (prn.*setMargin)(20);
    prn.setFriendlyFooter(QStringLiteral("&r&p"));
    prn.BeginDocument();
    prn.WriteText(QStringLiteral("LEFTMOST "));
    prn.WriteAlignedLine(Qt::AlignRight, QStringLiteral("RIGHTMOST"));
    for (int i = 0; i < 160; ++i)
        prn.WriteTextLine(QStringLiteral("Line-%1").arg(i));
    prn.EndDocument();
    ASSERT_EQ(prn.PageCount(), 3);

    QPainter painter(&pdf);
    for (int page = 1; page <= prn.PageCount(); ++page) {
        if (page > 1)
            pdf.newPage();
        prn.Page(page).play(painter);
    }
    painter.end();

    const QByteArray bytes = readFile(path);
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 3)
        << "page objects in the file";
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    const QByteArray words = programOutput(QStringLiteral("pdftotext"),
        {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
            path, QStringLiteral("-")});
    // The body runs from 20 mm to 190 mm of the paper's width.
    const double pointsPerMillimetre = 72 / 25.4;
    EXPECT_NEAR(wordSpan(words, QStringLiteral("LEFTMOST")).first, 20 * pointsPerMillimetre, 0.5);
    EXPECT_NEAR(wordSpan(words, QStringLiteral("RIGHTMOST")).second, 190 * pointsPerMillimetre, 0.5);
    EXPECT_NEAR(wordSpan(words, QStringLiteral("1")).second, 190 * pointsPerMillimetre - 6 * 72 / 300.0, 0.5);
}
