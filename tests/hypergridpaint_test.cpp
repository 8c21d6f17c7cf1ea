#include "hypergrid.h"
#include "imagecontrast.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QLocale>
#include <QPainter>
#include <QTest>

namespace {

constexpr TColor BandColor = rgbColor(0xC0, 0xFF, 0xC0);
constexpr TColor CellColor = rgbColor(0xFF, 0xFF, 0xE0);

// Five columns: 0–2 under heading 0, 3 without a heading, 4 under heading 1;
// a 36-pixel title row, data rows of 18.
struct BandGrid
{
    THyperGrid grid;

    BandGrid()
    {
        grid.setColCount(5);
        grid.setRowCount(6);
        grid.setFixedCols(0);
        grid.setDefaultRowHeight(18);
        grid.setRowHeights(0, 36);
        for (int c = 0; c < 5; ++c)
            grid.setColWidths(c, 60);
        grid.Headings().Add()->setCaption(QStringLiteral("Band"));
        grid.Headings().Add()->setCaption(QStringLiteral("Other"));
        for (int c = 0; c < 5; ++c) {
            ThgColumn *column = grid.Columns().Items(c);
            column->setHeadingIndex(c < 3 ? 0 : c == 4 ? 1 : -1);
            column->setColumnColor(CellColor);
            column->setCaption(QStringLiteral("C%1").arg(c));
        }
        grid.Headings().Items(0)->setTitleColor(BandColor);
        grid.Headings().Items(0)->setTitleOuterBevel(bvNone);
        grid.resize(400, 200);
        grid.show();
    }

    QImage image() { return grid.viewport()->grab().toImage(); }
    // Paints, lets the growth posted by the paint happen, paints again.
    QImage settled()
    {
        image();
        QCoreApplication::processEvents();
        return image();
    }
};

bool hasInk(const QImage &image, const QRect &area, QColor background)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != background)
                return true;
    return false;
}

} // namespace

TEST(GridPainting, HeadingBandTakesTheTopSeventeenRowsOfTheTitle)
{
    BandGrid g;
    const QImage image = g.image();
    const QColor band = toQColor(BandColor);
    EXPECT_EQ(image.pixelColor(5, 0), band);
    EXPECT_EQ(image.pixelColor(5, 15), band);
    EXPECT_EQ(image.pixelColor(5, 16), QColor(Qt::black)); // the line under the band
    EXPECT_NE(image.pixelColor(5, 20), band); // the caption area
    // A column without a heading has its caption over the whole title.
    const QRect noHeading = g.grid.CellRect(3, 0);
    EXPECT_EQ(image.pixelColor(noHeading.left() + 5, 16), toQColor(clBtnFace));
}

TEST(GridPainting, BandSpansItsColumnsWithOneCaptionAndNoInnerLines)
{
    BandGrid g;
    const QImage image = g.image();
    const QColor band = toQColor(BandColor);
    // The grid lines between columns 0, 1 and 2 are painted over in the band
    // but stay below it.
    for (int line : {60, 121}) {
        EXPECT_EQ(image.pixelColor(line, 4), band) << line;
        EXPECT_NE(image.pixelColor(line, 25), band) << line;
    }
    // One caption, centred over the three columns: ink around the middle of
    // the span only.
    const int middle = (3 * 60 + 2) / 2;
    EXPECT_TRUE(hasInk(image, QRect(middle - 12, 2, 24, 12), band));
    EXPECT_FALSE(hasInk(image, QRect(4, 2, 30, 12), band));
    EXPECT_FALSE(hasInk(image, QRect(150, 2, 28, 12), band));
    // Column 3 has no heading: the band ends at the line before it.
    EXPECT_NE(image.pixelColor(182, 4), band);
}

TEST(GridPainting, ColumnBetweenTwoOfTheSameHeadingSplitsTheBand)
{
    BandGrid g;
    g.grid.Columns().Items(1)->setHeadingIndex(1);
    const QImage image = g.image();
    const QColor band = toQColor(BandColor);
    EXPECT_EQ(image.pixelColor(30, 4), band);
    EXPECT_NE(image.pixelColor(60, 4), band); // the line before the other heading is back
    EXPECT_NE(image.pixelColor(90, 4), band);
    EXPECT_EQ(image.pixelColor(125, 4), band);
}

TEST(GridPainting, RaisedSilverSpacerAndHighlightedRow)
{
    BandGrid g;
    ThgColumn *spacer = g.grid.Columns().Items(3);
    spacer->setColumnColor(clSilver);
    spacer->setColumnOuterBevel(bvRaised);
    g.grid.setOptions(g.grid.Options() | goRowSelect);
    g.grid.setSelection({0, 3, 4, 3});
    const QImage image = g.image();
    const QRect cell = g.grid.CellRect(3, 1);
    EXPECT_EQ(image.pixelColor(cell.center()), toQColor(clSilver));
    EXPECT_EQ(image.pixel(cell.left(), cell.top() + 5), toQColor(clBtnHighlight).rgb());
    EXPECT_EQ(image.pixel(cell.right(), cell.top() + 5), toQColor(clBtnShadow).rgb());
    const QRect selected = g.grid.CellRect(1, 3);
    EXPECT_EQ(image.pixelColor(selected.left() + 1, selected.top() + 1), toQColor(clHighlight));
    EXPECT_EQ(image.pixelColor(selected.left() + 1, selected.top() + 1 - 18), toQColor(CellColor));
}

TEST(GridPainting, WrappedTextGrowsItsRowOnceAndNeverShrinksIt)
{
    BandGrid g;
    g.grid.setHyperAdjustRowHeight(true);
    g.grid.Columns().Items(4)->setColumnClipStyle(hgclpWrap);
    g.grid.setCells(4, 2, QStringLiteral("a note long enough to need several lines"));
    g.settled();
    const QFontMetrics metrics(g.grid.font());
    const int needed = metrics.boundingRect(QRect(0, 0, 60 - 4, 1000), Qt::TextWordWrap, g.grid.Cells(4, 2)).height();
    EXPECT_EQ(g.grid.RowHeights(2), needed + 4);
    EXPECT_EQ(g.grid.RowHeights(1), 18);
    g.grid.setCells(4, 2, QStringLiteral("short"));
    g.settled();
    EXPECT_EQ(g.grid.RowHeights(2), needed + 4);
}

TEST(GridPainting, BordersOfEveryStyleTakeTheirThickness)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QRect r(0, 0, 20, 20);
    THyperGrid::DrawCellBorders(painter, r, {hgbrdSolid, 2, clRed}, {hgbrdDouble, 1, BlueColor}, {hgbrdNone, 3, clRed},
        {hgbrdDot, 1, GreenColor});
    painter.end();
    EXPECT_EQ(r, QRect(3, 2, 16, 18)); // top 2, left 1 + 2, bottom 0, right 1
    EXPECT_EQ(image.pixelColor(10, 0), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(10, 1), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(10, 19), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(0, 10), QColor(Qt::blue)); // double: a line, a gap, a line
    EXPECT_EQ(image.pixelColor(1, 10), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(2, 10), QColor(Qt::blue));
    for (ThgBorderStyle style : {hgbrdDash, hgbrdDashDot, hgbrdDashDotDot}) {
        QImage scratch(10, 10, QImage::Format_RGB32);
        QPainter p(&scratch);
        EXPECT_EQ(THyperGrid::DrawBorderLine(p, {style, 2, BlackColor}, {0, 0}, {10, 0}, {0, 1}), 2);
    }
}

TEST(GridPainting, PictureBesideTheText)
{
    BandGrid g;
    QPixmap picture(8, 8);
    picture.fill(Qt::red);
    g.grid.OnGetCellImage = [&](THyperGrid *, int col, int row, int heading, CellImage &image) {
        if (col == 3 && row == 1 && heading < 0) {
            image.PictureOrImageList = picture;
            image.Margin = 3;
        }
    };
    g.grid.setCells(3, 1, QStringLiteral("x"));
    const QImage image = g.image();
    const QRect cell = g.grid.CellRect(3, 1);
    EXPECT_EQ(image.pixelColor(cell.left() + 3, cell.top() + (18 - 8) / 2), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(cell.left() + 2, cell.top() + 9), toQColor(CellColor));
    QRect text = cell;
    g.grid.DrawCellImage(3, 1, nullptr, false, text, -1);
    EXPECT_EQ(text.left(), cell.left() + 8 + 2 * 3);
}

TEST(GridPainting, EventsChangeWhatIsPainted)
{
    BandGrid g;
    g.grid.setCells(0, 1, QStringLiteral("raw"));
    g.grid.OnChangeCellAttributes = [](THyperGrid *, int col, int row, ThgHeading *, ThgCellStates, TColor &color,
                                        QFont &, TColor &, HorizontalAlignment &, ThgVAlignment &, BevelStyle &,
                                        BevelStyle &) {
        if (col == 0 && row == 1)
            color = FuchsiaColor;
    };
    QStringList drawn;
    g.grid.OnDrawCell = [&](TStringGrid *, int col, int row, const QRect &, CellDrawState) {
        drawn << QStringLiteral("%1,%2").arg(col).arg(row);
    };
    const QImage image = g.image();
    const QRect cell = g.grid.CellRect(0, 1);
    EXPECT_EQ(image.pixelColor(cell.right() - 1, cell.bottom() - 1), toQColor(FuchsiaColor));
    EXPECT_TRUE(drawn.contains("0,1"));
    EXPECT_TRUE(drawn.contains("4,0"));
}

TEST(DisplayText, NumbersWithPrefixSeparatorsAndParentheses)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    THyperGrid grid;
    ThgColumn *money = grid.Columns().Items(1);
    money->setFormatType(hgfmtNumeric);
    money->setPrefix(QStringLiteral("$"));
    money->setNegativeParenthesis(true);
    grid.setCells(1, 1, QStringLiteral("-1234.5"));
    EXPECT_EQ(grid.GetDisplayText(1, 1), "($1,234.50)");
    grid.setCells(1, 1, QStringLiteral("1234567.125"));
    EXPECT_EQ(grid.GetDisplayText(1, 1), "$1,234,567.13");
    money->setNegativeParenthesis(false);
    money->setThousandsSeparator(false);
    money->setDecimals(0);
    grid.setCells(1, 1, QStringLiteral("-0.4"));
    EXPECT_EQ(grid.GetDisplayText(1, 1), "$0");
    grid.setCells(1, 1, QStringLiteral("-2.5"));
    EXPECT_EQ(grid.GetDisplayText(1, 1), "-$3");
    money->setFormatType(hgfmtScientific);
    money->setDecimals(2);
    grid.setCells(1, 1, QStringLiteral("1234.5"));
    EXPECT_EQ(grid.GetDisplayText(1, 1), "1.23E+03");

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    money->setFormatType(hgfmtNumeric);
    money->setThousandsSeparator(true);
    grid.setCells(1, 1, QStringLiteral("1234,5"));
    EXPECT_EQ(grid.GetDisplayText(1, 1), "$1.234,50");
    QLocale::setDefault(QLocale::system());
}

TEST(DisplayText, ConversionErrorsShowTheRawText)
{
    THyperGrid grid;
    ThgColumn *column = grid.Columns().Items(1);
    column->setFormatType(hgfmtNumeric);
    QStringList errors;
    grid.OnConversionError = [&](THyperGrid *, int, int row, ThgColumn *, QString &S) {
        errors << S;
        if (row == 2)
            S = QStringLiteral("?");
    };
    grid.setCells(1, 1, QStringLiteral("abc"));
    grid.setCells(1, 2, QStringLiteral("xyz"));
    EXPECT_EQ(grid.GetDisplayText(1, 1), "abc");
    EXPECT_EQ(grid.GetDisplayText(1, 2), "?");
    EXPECT_EQ(grid.GetDisplayText(1, 3), ""); // an empty cell is never formatted
    EXPECT_EQ(errors, QStringList({"abc", "xyz"}));

    grid.OnDisplayText = [](THyperGrid *, int, int, ThgColumn *, QString &S, bool &convert) {
        S = S.toUpper();
        convert = false;
    };
    EXPECT_EQ(grid.GetDisplayText(1, 1), "ABC");
    EXPECT_EQ(errors.size(), 2);
}

TEST(DisplayText, DatesFollowTheLocalesDateOrder)
{
    THyperGrid grid;
    ThgColumn *column = grid.Columns().Items(1);
    column->setFormatType(hgfmtDateTime);
    column->setDateFormat(2);
    column->setTimeFormat(0);
    grid.setCells(1, 1, QStringLiteral("07-12-26 14:05"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); // day first
    EXPECT_EQ(grid.GetDisplayText(1, 1), "07/12/26 14:05");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // month first
    EXPECT_EQ(grid.GetDisplayText(1, 1), "12/07/26 14:05");
    column->setTimeFormat(-1);
    column->setDateFormat(10);
    grid.setCells(1, 1, QStringLiteral("07-12-26"));
    EXPECT_EQ(grid.GetDisplayText(1, 1), "Monday December 7, 2026");
    // Both formats off: the text as stored, not even parsed.
    column->setDateFormat(-1);
    grid.setCells(1, 1, QStringLiteral("+00:51"));
    EXPECT_EQ(grid.GetDisplayText(1, 1), "+00:51");
    QLocale::setDefault(QLocale::system());
}

TEST(GridPainting, CellTextStandsOutOnAnyColumnColour)
{
    for (TColor color : {BlackColor, NavyColor, BlueColor, WhiteColor, YellowColor}) {
        BandGrid g;
        g.grid.Columns().Items(1)->setColumnColor(color);
        g.grid.setCells(1, 2, QStringLiteral("WWW"));
        const QRect inside = g.grid.CellRect(1, 2).adjusted(2, 2, -2, -2);
        EXPECT_GT(strongestContrast(g.image(), inside, toQColor(color)), 128) << color;
    }
}
