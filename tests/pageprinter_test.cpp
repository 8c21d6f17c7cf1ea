// Documents laid out by the page printer without a printer: a 300 dpi
// stand-in with letter paper, 0.25 in unprintable offsets and 1 in margins,
// so the body is 1950 × 2700 printer pixels from (225, 225) and a line of
// 10-point "Courier New" is 42 pixels high. Nothing is shown on screen.

#include "clocksource.h"
#include "pageprinter.h"
#include "printtestsupport.h"
#include "testsupport.h"

#include <QFontMetricsF>
#include <QTest>

namespace {

constexpr int Left = 225;
constexpr int Top = 225;
constexpr int BodyWidth = 1950;
constexpr int BodyHeight = 2700;
constexpr int Line = 42;
constexpr int Padding = 6;

class PagePrinterTest : public ::testing::Test
{
protected:
    PagePrinterTest()
    {
        prn.setPrinter(nullptr);
        setMargins(1, 1, 1, 1);
    }

    void setMargins(double top, double bottom, double left, double right)
    {
        prn.setMarginTop(top);
        prn.setMarginBottom(bottom);
        prn.setMarginLeft(left);
        prn.setMarginRight(right);
    }

    const std::vector<PageImage::Text> &texts(int page = 1) { return prn.Page(page).texts(); }
    QStringList textsOf(int page = 1)
    {
        QStringList list;
        for (const auto &text : texts(page))
            list << text.text;
        return list;
    }
    static int widthOf(const PageImage::Text &text)
    {
        return qRound(QFontMetricsF(text.font).horizontalAdvance(text.text));
    }
    static int topOf(const PageImage::Text &text)
    {
        return qRound(text.origin.y() - QFontMetricsF(text.font).ascent());
    }
    static int leftOf(const PageImage::Text &text) { return qRound(text.origin.x()); }
    static int rightOf(const PageImage::Text &text) { return leftOf(text) + widthOf(text); }

    TPagePrinter prn;
};

QString words(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("word%1").arg(i);
    return list.join(u' ');
}

} // namespace

// --- Geometry, margins and refusals ---------------------------------------------------

TEST(PagePrinterDefaults, WithoutPrinterTheStandInAnswers)
{
    TPagePrinter prn;
    prn.setPrinter(nullptr);
    EXPECT_DOUBLE_EQ(prn.MarginLeft(), 0.25);
    EXPECT_DOUBLE_EQ(prn.MarginBottom(), 0.25);
    EXPECT_DOUBLE_EQ(prn.BodyWidth(), 8);
    EXPECT_EQ(prn.Title(), QStringLiteral("<Unknown>"));
    prn.setTitle(QStringLiteral("Hours"));
    EXPECT_EQ(prn.Title(), QStringLiteral("<Unknown>"));
    prn.setOrientation(QPageLayout::Landscape);
    EXPECT_EQ(prn.Orientation(), QPageLayout::Portrait);
    EXPECT_EQ(prn.LineHeight(), Line);
    EXPECT_EQ(prn.PageNumber(), 0);
    EXPECT_EQ(prn.PageCount(), 0);
    EXPECT_EQ(prn.HeaderFont(), prn.font());
}

TEST_F(PagePrinterTest, MarginsAreClampedToThePaper)
{
    prn.setMarginLeft(0);
    EXPECT_DOUBLE_EQ(prn.MarginLeft(), 0.25);
    prn.setMarginTop(20);
    EXPECT_DOUBLE_EQ(prn.MarginTop(), 10.75);
    prn.setMarginRight(8.3);
    EXPECT_DOUBLE_EQ(prn.MarginRight(), 8.25);
}

TEST_F(PagePrinterTest, MarginsAndClearingAreRefusedWhileADocumentIsOpen)
{
    prn.BeginDocument();
    EXPECT_EQ(messageOf<EPagePrinter>([&] { prn.setMarginTop(2); }),
        QStringLiteral("Unable to change top margin while printing"));
    EXPECT_EQ(messageOf<EPagePrinter>([&] { prn.setMarginBottom(2); }),
        QStringLiteral("Unable to change bottom margin while printing"));
    EXPECT_EQ(messageOf<EPagePrinter>([&] { prn.setMarginLeft(2); }),
        QStringLiteral("Unable to change left margin while printing"));
    EXPECT_EQ(messageOf<EPagePrinter>([&] { prn.setMarginRight(2); }),
        QStringLiteral("Unable to change right margin while printing"));
    EXPECT_EQ(messageOf<EPagePrinter>([&] { prn.setOrientation(QPageLayout::Landscape); }),
        QStringLiteral("Unable to change orientation while printing"));
    EXPECT_EQ(
        messageOf<EPagePrinter>([&] { prn.ClearDocument(); }), QStringLiteral("Can't clear contents while printing"));
    EXPECT_EQ(messageOf<EPagePrinter>([&] { prn.setFileName(QStringLiteral("other.txt")); }),
        QStringLiteral("Can't change FileName while printing"));
    EXPECT_DOUBLE_EQ(prn.MarginTop(), 1);
    EXPECT_DOUBLE_EQ(prn.MarginRight(), 1);
    EXPECT_EQ(prn.PageCount(), 1);
    prn.EndDocument();
    prn.setMarginTop(2);
    EXPECT_DOUBLE_EQ(prn.MarginTop(), 2);
}

TEST_F(PagePrinterTest, FileNameLosesOuterBlanks)
{
    prn.setFileName(QStringLiteral("  list.txt "));
    EXPECT_EQ(prn.FileName(), QStringLiteral("list.txt"));
    prn.BeginDocument();
    EXPECT_NO_THROW(prn.setFileName(QStringLiteral("list.txt "))); // the same name is no change
    prn.EndDocument();
}

TEST_F(PagePrinterTest, UnitChangeConvertsLengthsAndFormats)
{
    prn.setTableFormat(QStringLiteral("<2|>1.5"));
    prn.setPageBorderOffset(0.5);
    prn.setDefaultColWidth(1);
    prn.setHeaderFormat(QStringLiteral("^3"));
    prn.setMeasureUnit(muMillimeters);
    EXPECT_DOUBLE_EQ(prn.MarginTop(), 25.4);
    EXPECT_DOUBLE_EQ(prn.MarginLeft(), 25.4);
    EXPECT_EQ(prn.TableFormat(), QStringLiteral("<50.8|>38.1"));
    EXPECT_EQ(prn.HeaderFormat(), QStringLiteral("^76.2"));
    EXPECT_DOUBLE_EQ(prn.PageBorderOffset(), 12.7);
    EXPECT_DOUBLE_EQ(prn.DefaultColWidth(), 25.4);
    // Without a printer the paper is now A4.
    EXPECT_NEAR(prn.BodyWidth(), 210 - 2 * 25.4, 1e-9);
    prn.setMeasureUnit(muInches);
    EXPECT_NEAR(prn.MarginTop(), 1, 1e-12);
    EXPECT_EQ(prn.TableFormat(), QStringLiteral("<2|>1.5"));
}

TEST_F(PagePrinterTest, UnitChangeIsRefusedWhileADocumentIsOpen)
{
    prn.BeginDocument();
    EXPECT_EQ(messageOf<EPagePrinter>([&] { prn.setMeasureUnit(muMillimeters); }),
        QStringLiteral("Unable to change top margin while printing"));
    EXPECT_EQ(prn.MeasureUnit(), muInches);
    EXPECT_DOUBLE_EQ(prn.MarginTop(), 1);
}

TEST_F(PagePrinterTest, PageNumberOutOfRangeIsRefused)
{
    prn.setPageNumber(5); // no pages: 0, quietly
    EXPECT_EQ(prn.PageNumber(), 0);
    prn.BeginDocument();
    prn.NewPage();
    prn.NewPage();
    prn.EndDocument();
    ASSERT_EQ(prn.PageCount(), 3);
    EXPECT_EQ(prn.PageNumber(), 1);
    EXPECT_EQ(
        messageOf<EPagePrinter>([&] { prn.setPageNumber(0); }), QStringLiteral("PageNumber must be between 1 and 3"));
    EXPECT_EQ(
        messageOf<EPagePrinter>([&] { prn.setPageNumber(4); }), QStringLiteral("PageNumber must be between 1 and 3"));
    EXPECT_EQ(prn.PageNumber(), 1);
    prn.setPageNumber(3);
    EXPECT_EQ(prn.PageNumber(), 3);
    prn.ClearDocument();
    EXPECT_EQ(prn.PageCount(), 0);
    EXPECT_EQ(prn.PageNumber(), 0);
}

TEST_F(PagePrinterTest, LineHeightFollowsSpacingAndFont)
{
    prn.setLineSpacing(lsSingleAndAHalf);
    EXPECT_EQ(prn.LineHeight(), 63);
    // 20 points are 83 printer pixels, whichever face stands in for the
    // family: the line height follows the size, not the face's own metrics.
    prn.setFont(QFont(QStringLiteral("Courier New"), 20));
    EXPECT_EQ(prn.LineHeight(), 124); // 83 + 41
    EXPECT_EQ(prn.FooterFont().pointSize(), 20);
    prn.setAutoFooterFont(false);
    prn.setFont(QFont(QStringLiteral("Courier New"), 8));
    EXPECT_EQ(prn.FooterFont().pointSize(), 20);
    prn.setAutoFooterFont(true);
    EXPECT_EQ(prn.FooterFont().pointSize(), 8);
}

// --- Lines and pages -------------------------------------------------------------------

TEST_F(PagePrinterTest, LineReachingTheBottomMarginGoesOnTheNextPage)
{
    // 12 points are 50 pixels: 54 lines fill the body exactly.
    constexpr int line = 50;
    prn.setFont(QFont(QStringLiteral("Courier New"), 12));
    ASSERT_EQ(prn.LineHeight(), line);
    prn.BeginDocument();
    for (int i = 0; i < 54; ++i)
        prn.WriteTextLine(QStringLiteral("line %1").arg(i));
    prn.EndDocument();
    ASSERT_EQ(prn.PageCount(), 2);
    // The 54th line would end on the bottom margin itself.
    ASSERT_EQ(texts(1).size(), 53u);
    EXPECT_EQ(topOf(texts(1).back()), Top + 52 * line);
    EXPECT_EQ(textsOf(2), QStringList {QStringLiteral("line 53")});
    EXPECT_EQ(topOf(texts(2).front()), Top);
}

TEST_F(PagePrinterTest, NewLineBreaksAsSoonAsTheNextLineWouldNotFit)
{
    int newPages = 0;
    prn.OnNewPage = [&](TPagePrinter *) { ++newPages; };
    prn.BeginDocument();
    for (int i = 0; i < 63; ++i)
        EXPECT_EQ(prn.NewLine(), i + 1);
    EXPECT_EQ(prn.PageNumber(), 1);
    EXPECT_EQ(prn.NewLine(), 0);
    EXPECT_EQ(prn.PageNumber(), 2);
    EXPECT_EQ(newPages, 2);
}

TEST_F(PagePrinterTest, WhatOnNewPageWritesStartsTheBody)
{
    prn.OnNewPage = [](TPagePrinter *sender) { sender->WriteTextLine(QStringLiteral("(continued)")); };
    prn.BeginDocument();
    prn.WriteTextLine(QStringLiteral("first"));
    prn.EndDocument();
    EXPECT_EQ(textsOf(1), (QStringList {QStringLiteral("(continued)"), QStringLiteral("first")}));
    EXPECT_EQ(topOf(texts(1)[1]), Top + Line);
}

TEST_F(PagePrinterTest, BodyLowerThanALineGetsOneLinePerPage)
{
    setMargins(6, 6, 1, 1); // the body height is below zero
    prn.BeginDocument();
    for (int i = 0; i < 3; ++i)
        prn.WriteTextLine(QStringLiteral("line %1").arg(i));
    prn.EndDocument();
    ASSERT_EQ(prn.PageCount(), 4);
    for (int page = 1; page <= 3; ++page)
        EXPECT_EQ(textsOf(page), QStringList {QStringLiteral("line %1").arg(page - 1)});
}

// --- Text, alignment and wrapping ---------------------------------------------------------

TEST_F(PagePrinterTest, AlignedLinesEndAtTheMargins)
{
    prn.BeginDocument();
    prn.WriteAlignedLine(Qt::AlignRight, QStringLiteral("right"));
    prn.WriteAlignedLine(Qt::AlignHCenter, QStringLiteral("centre"));
    prn.WriteTextLine(QStringLiteral("left"));
    prn.EndDocument();
    EXPECT_EQ(prn.Alignment(), Qt::AlignLeft);
    EXPECT_NEAR(rightOf(texts()[0]), Left + BodyWidth, 1);
    EXPECT_NEAR(leftOf(texts()[1]) - Left, Left + BodyWidth - rightOf(texts()[1]), 2);
    EXPECT_EQ(leftOf(texts()[2]), Left);
}

TEST_F(PagePrinterTest, LabelAndRightAlignedValueShareTheLine)
{
    prn.BeginDocument();
    prn.WriteText(QStringLiteral("Actual Workhours:  "));
    prn.WriteAlignedLine(Qt::AlignRight, QStringLiteral("51:00"));
    prn.WriteTextLine(QStringLiteral("next"));
    prn.EndDocument();
    ASSERT_EQ(texts().size(), 3u);
    EXPECT_EQ(leftOf(texts()[0]), Left);
    EXPECT_EQ(topOf(texts()[1]), topOf(texts()[0]));
    EXPECT_NEAR(rightOf(texts()[1]), Left + BodyWidth, 1);
    EXPECT_EQ(topOf(texts()[2]), Top + Line);
}

TEST_F(PagePrinterTest, AlignmentComesBackWhenTheLineFails)
{
    prn.OnNewLine = [](TPagePrinter *) { throw WorktallyError(QStringLiteral("stop")); };
    EXPECT_THROW(prn.WriteAlignedLine(Qt::AlignRight, QStringLiteral("x")), WorktallyError);
    EXPECT_EQ(prn.Alignment(), Qt::AlignLeft);
}

TEST_F(PagePrinterTest, TabsAreExpanded)
{
    prn.BeginDocument();
    prn.WriteTextLine(QStringLiteral("ab\tc"));
    prn.setTabSize(0);
    prn.WriteTextLine(QStringLiteral("ab\tc"));
    prn.EndDocument();
    EXPECT_EQ(textsOf(), (QStringList {QStringLiteral("ab      c"), QStringLiteral("ab c")}));
}

TEST_F(PagePrinterTest, WrappedTextContinuesAtTheLeftMarginAfterTheLastBlank)
{
    const QString text = words(100);
    prn.BeginDocument();
    prn.WriteText(QStringLiteral("Notes: "));
    prn.WriteText(text);
    prn.EndDocument();
    const auto &parts = texts();
    ASSERT_GT(parts.size(), 3u);
    EXPECT_EQ(topOf(parts[1]), Top); // goes on after the label
    EXPECT_GT(leftOf(parts[1]), Left);
    QString joined;
    for (size_t i = 1; i < parts.size(); ++i) {
        joined += parts[i].text;
        EXPECT_LE(rightOf(parts[i]), Left + BodyWidth);
        if (i > 1) {
            EXPECT_EQ(leftOf(parts[i]), Left);
            EXPECT_EQ(topOf(parts[i]), Top + int(i - 1) * Line);
        }
        if (i + 1 < parts.size()) {
            EXPECT_TRUE(parts[i].text.endsWith(u' ')) << parts[i].text.toStdString();
        }
    }
    EXPECT_EQ(joined, text);
}

TEST_F(PagePrinterTest, WrappedLinesAreAlignedAndDropTheBlankAtTheBreak)
{
    const QString text = words(100);
    prn.BeginDocument();
    prn.WriteAlignedLine(Qt::AlignRight, text);
    prn.EndDocument();
    const auto &lines = texts();
    ASSERT_GT(lines.size(), 2u);
    // One blank at each break: kept at the end of a line that was shortened
    // to its last blank, dropped where the cut fell on it.
    QString joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NEAR(rightOf(lines[i]), Left + BodyWidth, 1);
        EXPECT_FALSE(lines[i].text.startsWith(u' '));
        joined += lines[i].text;
        if (!lines[i].text.endsWith(u' ') && i + 1 < lines.size())
            joined += u' ';
    }
    EXPECT_EQ(joined, text);
}

TEST_F(PagePrinterTest, WithoutWordWrapTheLineIsCut)
{
    prn.setWordWrap(false);
    prn.BeginDocument();
    prn.WriteTextLine(words(100));
    prn.EndDocument();
    ASSERT_EQ(texts().size(), 1u);
    EXPECT_TRUE(words(100).startsWith(texts()[0].text));
    EXPECT_LE(rightOf(texts()[0]), Left + BodyWidth);
    EXPECT_GT(rightOf(texts()[0]), Left + BodyWidth - 30); // no more than one character short
}

TEST_F(PagePrinterTest, WordLongerThanTheWidthIsSplit)
{
    const QString word(100, u'x');
    prn.BeginDocument();
    prn.WriteTextLine(word);
    prn.EndDocument();
    ASSERT_EQ(texts().size(), 2u);
    EXPECT_EQ(texts()[0].text + texts()[1].text, word);
    EXPECT_LE(rightOf(texts()[0]), Left + BodyWidth);
    EXPECT_GT(rightOf(texts()[0]), Left + BodyWidth - 30);
}

TEST_F(PagePrinterTest, CharacterThatNeverFitsIsStillWrittenOncePerLine)
{
    setMargins(1, 1, 4.24, 4.24); // a 6-pixel body: no character fits
    prn.BeginDocument();
    prn.WriteTextLine(QStringLiteral("abc"));
    prn.WriteText(QStringLiteral("de"));
    prn.EndDocument();
    EXPECT_EQ(textsOf(), (QStringList {u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs}));
    for (size_t i = 0; i < texts().size(); ++i)
        EXPECT_EQ(topOf(texts()[i]), Top + int(i) * Line);
}

TEST_F(PagePrinterTest, NegativeBodyWidthStillEnds)
{
    setMargins(1, 1, 5, 5);
    prn.BeginDocument();
    prn.WriteText(QStringLiteral("ab cd"));
    prn.NewLine();
    prn.WriteTextLine(QStringLiteral("ab cd"));
    prn.EndDocument();
    EXPECT_EQ(textsOf().join(QString()), QStringLiteral("ab cdabcd"));
}

TEST_F(PagePrinterTest, TextPastTheRightMarginGoesOnTheNextLine)
{
    prn.BeginDocument();
    for (int i = 0; i < 100; ++i)
        prn.WriteText(QStringLiteral("x"));
    prn.EndDocument();
    for (const auto &text : texts())
        EXPECT_LT(leftOf(text), Left + BodyWidth);
    EXPECT_EQ(topOf(texts().back()), Top + Line);
}

// --- Table rows ------------------------------------------------------------------------------

class TableRowTest : public PagePrinterTest
{
protected:
    TableRowTest() { prn.setTableFormat(QStringLiteral("<1|>1|^1")); } // 300 pixels each

    /// The lines of the page that are vertical at x or horizontal starting
    /// at x.
    std::vector<PageImage::Line> verticalsAt(int x)
    {
        std::vector<PageImage::Line> found;
        for (const auto &line : prn.Page(1).lines())
            if (line.from.x() == x && line.to.x() == x)
                found.push_back(line);
        return found;
    }
    std::vector<PageImage::Line> horizontalsFrom(int x)
    {
        std::vector<PageImage::Line> found;
        for (const auto &line : prn.Page(1).lines())
            if (line.from.x() == x && line.from.y() == line.to.y())
                found.push_back(line);
        return found;
    }
};

TEST_F(TableRowTest, CellsArePlacedInTheirColumnsWithPadding)
{
    prn.BeginDocument();
    prn.WriteTableRow(QStringLiteral("a|b|c|ignored"));
    prn.WriteTableRow(QStringLiteral("next"));
    prn.EndDocument();
    ASSERT_EQ(textsOf(), (QStringList {u"a"_qs, u"b"_qs, u"c"_qs, u"next"_qs}));
    EXPECT_EQ(leftOf(texts()[0]), Left + Padding);
    EXPECT_NEAR(rightOf(texts()[1]), Left + 600 - Padding, 1);
    EXPECT_NEAR(leftOf(texts()[2]) - (Left + 600), Left + 900 - rightOf(texts()[2]), 1);
    EXPECT_EQ(topOf(texts()[3]), Top + Line);
}

TEST_F(TableRowTest, TextFillingTheColumnStartsAtItsEdge)
{
    prn.setTableFormat(QStringLiteral("<0.93|>0.93")); // 279 pixels
    const QString full(11, u'x'); // 11 characters of 25.2 pixels: within 6 of 279
    prn.BeginDocument();
    prn.WriteTableRow(full + u'|' + full);
    prn.EndDocument();
    ASSERT_GE(widthOf(texts()[0]), 279 - Padding);
    EXPECT_EQ(leftOf(texts()[0]), Left);
    EXPECT_NEAR(rightOf(texts()[1]), Left + 558, 1);
}

TEST_F(TableRowTest, WrappedCellKeepsOneFramePerColumn)
{
    prn.setTableGrid(true);
    prn.BeginDocument();
    prn.WriteTableRow(QStringLiteral("a|b|one two three four five")); // the third cell needs 3 lines
    prn.EndDocument();
    EXPECT_EQ(textsOf(), (QStringList {u"a"_qs, u"b"_qs, u"one two "_qs, u"three four "_qs, u"five"_qs}));
    EXPECT_EQ(topOf(texts()[1]), Top);
    EXPECT_EQ(topOf(texts()[4]), Top + 2 * Line);

    for (int column = 0; column < 3; ++column) {
        const int x = Left + 300 * column;
        const auto horizontals = horizontalsFrom(x);
        ASSERT_EQ(horizontals.size(), 2u) << column; // the top of the first line, the bottom of the last
        const int y0 = horizontals[0].from.y();
        EXPECT_EQ(horizontals[0].to.x(), x + 300);
        EXPECT_EQ(horizontals[1].from.y(), y0 + 3 * Line);
        EXPECT_LE(y0, Top);
        // The sides close up line after line.
        int reached = y0;
        for (const auto &side : verticalsAt(x))
            if (side.from.y() == reached)
                reached = side.to.y();
        EXPECT_EQ(reached, y0 + 3 * Line) << column;
    }
    EXPECT_EQ(prn.Page(1).lines()[0].penWidth, 2);
}

// Blanks past the column's edge end the line with it: they neither make a
// line of their own nor start the cell's next line.
TEST_F(TableRowTest, BlanksPastTheColumnEdgeAreDropped)
{
    prn.setTableGrid(true);
    const QString full(11, u'x'); // 11 characters of 25.2 pixels: a twelfth does not fit in 300
    prn.BeginDocument();
    prn.WriteTableRow(full + u' ' + u'|' + full + QStringLiteral("   yz"));
    prn.WriteTableRow(QStringLiteral("next"));
    prn.EndDocument();
    EXPECT_EQ(textsOf(), (QStringList {full, full, u"yz"_qs, u"next"_qs}));
    EXPECT_EQ(topOf(texts()[2]), Top + Line);
    EXPECT_EQ(topOf(texts().back()), Top + 2 * Line);
}

TEST_F(TableRowTest, NeighbouringRowsShareTheirEdges)
{
    prn.setTableGrid(true);
    prn.BeginDocument();
    prn.WriteTableRow(QStringLiteral("a"));
    prn.WriteTableRow(QStringLiteral("b"));
    prn.EndDocument();
    const auto horizontals = horizontalsFrom(Left);
    ASSERT_EQ(horizontals.size(), 4u);
    EXPECT_EQ(horizontals[1].from.y(), horizontals[2].from.y()); // bottom of row 1, top of row 2
}

TEST_F(TableRowTest, LineFeedInACellStartsItsNextLine)
{
    prn.setTableGrid(true);
    prn.BeginDocument();
    prn.WriteTableRow(QStringLiteral("a\nb|c"));
    prn.EndDocument();
    EXPECT_EQ(textsOf(), (QStringList {u"a"_qs, u"c"_qs, u"b"_qs}));
    EXPECT_EQ(topOf(texts()[2]), Top + Line);
    EXPECT_EQ(horizontalsFrom(Left).back().from.y() - horizontalsFrom(Left).front().from.y(), 2 * Line);
}

TEST_F(TableRowTest, NegativeWidthGivesAColumnWithoutFrame)
{
    prn.setTableFormat(QStringLiteral("<-1|<1"));
    prn.setTableGrid(true);
    prn.BeginDocument();
    prn.WriteTableRow(QStringLiteral("a|b"));
    prn.EndDocument();
    EXPECT_EQ(leftOf(texts()[1]), Left + 300 + Padding);
    EXPECT_TRUE(horizontalsFrom(Left).empty());
    EXPECT_EQ(horizontalsFrom(Left + 300).size(), 2u);
    EXPECT_EQ(verticalsAt(Left + 600).size(), 1u);
}

TEST_F(TableRowTest, WithoutFormatEachLineHoldsOneCharacter)
{
    prn.setTableFormat(QString());
    prn.BeginDocument();
    prn.WriteTableRow(QStringLiteral("abc|ignored"));
    prn.EndDocument();
    EXPECT_EQ(textsOf(), (QStringList {u"a"_qs, u"b"_qs, u"c"_qs}));
}

TEST_F(TableRowTest, WithoutWordWrapTheCellIsCut)
{
    prn.setWordWrap(false);
    prn.BeginDocument();
    prn.WriteTableRow(QStringLiteral("one two three four|b"));
    prn.EndDocument();
    EXPECT_EQ(textsOf(), (QStringList {u"one two thr"_qs, u"b"_qs}));
}

TEST_F(TableRowTest, TokensShowThePageAndLine)
{
    const FixedClock clock(QDateTime(QDate(2026, 3, 14), QTime(15, 5, 30)));
    prn.BeginDocument();
    prn.NewPage();
    prn.NewPage();
    prn.NewLine();
    prn.WriteTableRow(QStringLiteral("{$PAGE}|{$LINE}|{$TITLE}"));
    prn.EndDocument();
    EXPECT_EQ(textsOf(3), (QStringList {u"3"_qs, u"1"_qs, u"<Unknown>"_qs}));
}

// However long the document takes to write, its pages tell when it began.
TEST_F(TableRowTest, DateAndTimeTokensShowWhenTheDocumentBegan)
{
    const LocaleScope locale(QLocale(QLocale::English, QLocale::UnitedStates));
    FixedClock clock(QDateTime(QDate(2026, 3, 14), QTime(15, 5, 30)));
    prn.BeginDocument();
    clock.advance(24 * 60 * 60);
    prn.NewPage();
    prn.WriteTableRow(QStringLiteral("{$DATE}|{$TIME}"));
    prn.EndDocument();
    EXPECT_EQ(textsOf(2), (QStringList {u"3/14/26"_qs, u"3:05:30 PM"_qs}));
}

TEST_F(TableRowTest, WriteLinesWritesRowsOrLines)
{
    prn.setLines({QStringLiteral("a|b"), QStringLiteral("c|d")});
    prn.BeginDocument();
    prn.WriteLines(true);
    prn.WriteLines(false);
    prn.EndDocument();
    EXPECT_EQ(textsOf(), (QStringList {u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"a|b"_qs, u"c|d"_qs}));
}

// --- Headers, footers and borders --------------------------------------------------------------

TEST(PageHeaders, FriendlyCodesForA4WithTwentyMillimetreMargins)
{
    const LocaleScope locale(QLocale(QLocale::English, QLocale::UnitedStates));
    const FixedClock clock(QDateTime(QDate(2026, 3, 14), QTime(9, 30)));
    TPagePrinter prn;
    prn.setPrinter(nullptr);
    prn.setMeasureUnit(muMillimeters);
    prn.setMarginLeft(20);
    prn.setMarginRight(20);
    ASSERT_DOUBLE_EQ(prn.BodyWidth(), 170);
    prn.setFriendlyHeader(QStringLiteral("&l&F &r&D"));
    prn.setFriendlyFooter(QStringLiteral("&r&p"));
    EXPECT_EQ(prn.Header(), QStringLiteral("  |Saturday, March 14, 2026"));
    EXPECT_EQ(prn.HeaderFormat(), QStringLiteral("<85|>85"));
    EXPECT_EQ(prn.Footer(), QStringLiteral("{$PAGE}"));
    EXPECT_EQ(prn.FooterFormat(), QStringLiteral(">170"));
    // A friendly text overrides rows set directly once the document begins.
    prn.setFooter(QStringLiteral("mine"));
    prn.BeginDocument();
    EXPECT_EQ(prn.Footer(), QStringLiteral("{$PAGE}"));
    prn.EndDocument();
}

class HeaderFooterTest : public PagePrinterTest
{
protected:
    HeaderFooterTest()
    {
        prn.setHeader(QStringLiteral("head"));
        prn.setHeaderFormat(QStringLiteral("<8"));
        prn.setFooter(QStringLiteral("{$PAGE}"));
        prn.setFooterFormat(QStringLiteral(">6.5"));
    }

    void writeTwoPages()
    {
        prn.BeginDocument();
        prn.WriteTextLine(QStringLiteral("body"));
        prn.NewPage();
        prn.WriteTextLine(QStringLiteral("body"));
        prn.EndDocument();
    }
};

TEST_F(HeaderFooterTest, RowsAreCentredInTheMarginsAndTheBodyStartsAtTheTop)
{
    writeTwoPages();
    ASSERT_EQ(textsOf(1), (QStringList {u"head"_qs, u"1"_qs, u"body"_qs}));
    EXPECT_EQ(textsOf(2), (QStringList {u"head"_qs, u"2"_qs, u"body"_qs}));
    // Paper top to top margin: 300 pixels; the printable origin is 75 below the edge.
    EXPECT_EQ(topOf(texts()[0]), (300 - Line) / 2 - 75);
    EXPECT_EQ(topOf(texts()[1]), Top + BodyHeight + (300 - Line) / 2);
    EXPECT_NEAR(rightOf(texts()[1]), Left + BodyWidth - Padding, 1);
    EXPECT_EQ(topOf(texts()[2]), Top);
}

TEST_F(HeaderFooterTest, SmallMarginsKeepTheRowsInsideThePrintableArea)
{
    setMargins(0.25, 0.25, 1, 1);
    writeTwoPages();
    EXPECT_EQ(topOf(texts()[0]), 0);
    EXPECT_EQ(topOf(texts()[1]) + Line, 3150); // the printable height
}

TEST_F(HeaderFooterTest, BorderLineMovesTheHeaderAndFooter)
{
    prn.setPageBorders(pbTop | pbBottom);
    prn.setPageBorderOffset(0.2); // 60 pixels outside the body
    writeTwoPages();
    EXPECT_EQ(topOf(texts()[0]), (240 - Line) / 2 - 75);
    EXPECT_EQ(topOf(texts()[1]), Top + BodyHeight + 60 + (240 - Line) / 2);
}

TEST_F(HeaderFooterTest, RowsHaveTheirOwnFontAndNeverAFrame)
{
    prn.setAutoHeaderFont(false);
    prn.setHeaderFont(QFont(QStringLiteral("Courier New"), 20));
    prn.setTableGrid(true);
    writeTwoPages();
    EXPECT_EQ(texts()[0].font.pixelSize(), 83);
    EXPECT_EQ(texts()[1].font.pixelSize(), Line);
    EXPECT_EQ(texts()[2].font.pixelSize(), Line);
    EXPECT_EQ(prn.LineHeight(), Line);
    EXPECT_TRUE(prn.Page(1).lines().empty());
}

TEST_F(PagePrinterTest, BordersLieOnTheMarginsAtOffsetZero)
{
    prn.setPageBorders(pbTop | pbBottom | pbLeft | pbRight);
    prn.BeginDocument();
    prn.EndDocument();
    const auto &lines = prn.Page(1).lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].from, QPoint(Left, Top));
    EXPECT_EQ(lines[0].to, QPoint(Left + BodyWidth, Top));
    EXPECT_EQ(lines[1].from, QPoint(Left, Top + BodyHeight));
    EXPECT_EQ(lines[1].to, QPoint(Left + BodyWidth, Top + BodyHeight));
    EXPECT_EQ(lines[3].from, QPoint(Left + BodyWidth, Top));
    EXPECT_EQ(lines[3].penWidth, 2);
}

// --- Documents from a source ----------------------------------------------------------------------

namespace {

/// A heading, then rows of a table in sizes and frames that change from row
/// to row, some wrapping over several lines, each page continued from the
/// last, and a total at the end.
class TableSource : public DocumentSource
{
public:
    explicit TableSource(int rows)
        : m_rows(rows)
    { }

    qsizetype pieceCount() const override { return m_rows + 2; }
    void writePiece(TPagePrinter &printer, qsizetype piece) override
    {
        if (piece == 0) {
            printer.WriteTextLine(QStringLiteral("Heading"));
        } else if (piece <= m_rows) {
            printer.setTableGrid(piece % 7 != 3);
            printer.setFont(QFont(QStringLiteral("Courier New"), piece % 5 == 0 ? 12 : 10));
            printer.WriteTableRow(
                QStringLiteral("row %1|%2|{$PAGE}").arg(piece).arg(piece % 4 == 0 ? words(12) : u"x"_qs));
        } else {
            printer.WriteAlignedLine(Qt::AlignRight, QStringLiteral("total"));
        }
    }

private:
    int m_rows;
};

void setUpTable(TPagePrinter &prn)
{
    prn.setPrinter(nullptr);
    prn.setMarginTop(1);
    prn.setMarginBottom(1);
    prn.setMarginLeft(1);
    prn.setMarginRight(1);
    prn.setTableFormat(QStringLiteral("<2|<2|>1"));
    prn.setHeader(QStringLiteral("page {$PAGE}"));
    prn.setHeaderFormat(QStringLiteral("<6.5"));
    prn.setPageBorders(pbTop | pbBottom);
    prn.OnNewPage = [](TPagePrinter *sender) {
        if (sender->PageNumber() > 1)
            sender->WriteTextLine(QStringLiteral("(continued)"));
    };
}

} // namespace

TEST(SourcedDocument, PagesAreLaidOutAsFarAsNeededAndAsIfWrittenInOneGo)
{
    TPagePrinter written;
    setUpTable(written);
    TableSource source(300);
    written.BeginDocument();
    for (qsizetype piece = 0; piece < source.pieceCount(); ++piece)
        source.writePiece(written, piece);
    written.EndDocument();
    ASSERT_GT(written.PageCount(), 5);

    TPagePrinter prn;
    setUpTable(prn);
    prn.LayOutDocument(std::make_unique<TableSource>(300));
    EXPECT_FALSE(prn.LayoutComplete());
    EXPECT_EQ(prn.PageCount(), 1);
    EXPECT_EQ(prn.PageNumber(), 1);
    // Settings changed now are not the document's.
    prn.setFont(QFont(QStringLiteral("Courier New"), 20));
    prn.setTableGrid(false);
    prn.setMarginLeft(2);

    EXPECT_EQ(displayListOf(prn.Page(5)), displayListOf(written.Page(5))); // laid out as far as page 5
    EXPECT_FALSE(prn.LayoutComplete());
    prn.setPageNumber(written.PageCount());
    EXPECT_TRUE(prn.LayoutComplete());
    ASSERT_EQ(prn.PageCount(), written.PageCount());
    for (int page = prn.PageCount(); page >= 1; --page)
        EXPECT_EQ(displayListOf(prn.Page(page)), displayListOf(written.Page(page))) << page;
}

TEST(SourcedDocument, RestIsLaidOutBetweenEventsAndAStartOverDropsIt)
{
    TPagePrinter prn;
    setUpTable(prn);
    int completions = 0;
    prn.OnLayoutComplete = [&](TPagePrinter *) { ++completions; };
    prn.LayOutDocument(std::make_unique<TableSource>(300));
    prn.LayOutDocument(std::make_unique<TableSource>(1000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return prn.LayoutComplete(); }, 5000));
    EXPECT_EQ(completions, 1);
    EXPECT_GT(prn.PageCount(), 20);

    prn.LayOutDocument(std::make_unique<TableSource>(1000));
    prn.ClearDocument();
    EXPECT_TRUE(prn.LayoutComplete());
    EXPECT_EQ(prn.PageCount(), 0);
}
