// Units, text cutting, column formats, tokens and friendly codes: the pure
// rules under the page printer, tested without any widget.

#include "clocksource.h"
#include "columnformat.h"
#include "friendlycode.h"
#include "localedates.h"
#include "printermetrics.h"
#include "printtestsupport.h"
#include "printunits.h"
#include "testsupport.h"
#include "textfit.h"
#include "textmeasure.h"

#include <QFontInfo>
#include <QImage>

namespace {

// Every character 10 pixels wide: widths read as character counts.
const TextWidth tenPerChar = [](const QString &, qsizetype length) { return int(length) * 10; };

} // namespace

// --- Units ---------------------------------------------------------------------

TEST(PrintUnits, HalvesRoundToEven)
{
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
}

TEST(PrintUnits, LengthsBecomePrinterPixels)
{
    EXPECT_EQ(lengthToPixels(1, muInches, 300), 300);
    EXPECT_EQ(lengthToPixels(25.4, muMillimeters, 600), 600);
    EXPECT_EQ(lengthToPixels(20, muMillimeters, 300), 236); // 236.22
    EXPECT_EQ(lengthToPixels(0.5, muInches, 5), 2); // 2.5, halves to even
    EXPECT_EQ(lengthToPixels(0.7, muInches, 5), 4); // 3.5
    EXPECT_EQ(lengthToPixels(1, muInches, 0), FallbackDpi);
    EXPECT_DOUBLE_EQ(pixelsToLength(600, muMillimeters, 300), 50.8);
    EXPECT_DOUBLE_EQ(pixelsToLength(150, muInches, 0), 0.5);
}

TEST(PrintUnits, UnitChangesConvertBothWays)
{
    EXPECT_DOUBLE_EQ(convertLength(1, muMillimeters), 25.4);
    EXPECT_NEAR(convertLength(25.4, muInches), 1, 1e-15);
    EXPECT_EQ(zoomedPixels(1, muInches, 96, 50), 48);
    EXPECT_EQ(zoomedPixels(0.25, muInches, 96, 50), 12); // 24 × 0.5
    EXPECT_EQ(zoomedPixels(0.25, muInches, 96, 25), 6);
}

TEST(PrintUnits, SpacingFramesAndPensFollowTheResolution)
{
    EXPECT_EQ(lineHeightFor(lsHalfSpace, 41), 20);
    EXPECT_EQ(lineHeightFor(lsSingleAndAHalf, 41), 61);
    EXPECT_EQ(lineHeightFor(lsDoubleSpace, 41), 82);
    EXPECT_EQ(frameLift(lsSingleAndAHalf, 3), 4); // 4.5 to even
    EXPECT_EQ(cellPadding(200), 0);
    EXPECT_EQ(cellPadding(300), 6);
    EXPECT_EQ(cellPadding(600), 12);
    EXPECT_EQ(rulePenWidth(299), 0);
    EXPECT_EQ(rulePenWidth(600), 4);
    EXPECT_EQ(fontPixelHeight(10, 300), 42);
    EXPECT_EQ(fontPixelHeight(9, 300), 38); // 37.5, halves away from zero
}

TEST(PrintUnits, WithoutPrinterThePaperIsLetterOrA4)
{
    const PaperGeometry inches = paperOf({}, muInches);
    EXPECT_DOUBLE_EQ(inches.width, 8.5);
    EXPECT_DOUBLE_EQ(inches.height, 11);
    EXPECT_DOUBLE_EQ(inches.offsetX, 0.25);
    const PaperGeometry millimetres = paperOf({}, muMillimeters);
    EXPECT_DOUBLE_EQ(millimetres.width, 210);
    EXPECT_DOUBLE_EQ(millimetres.printableHeight(), 285);

    PrinterMetrics printer;
    printer.available = true;
    printer.dpiX = 600;
    printer.dpiY = 300;
    printer.paperWidth = 5100;
    printer.paperHeight = 3300;
    printer.offsetX = 150;
    printer.offsetY = 75;
    const PaperGeometry real = paperOf(printer, muInches);
    EXPECT_DOUBLE_EQ(real.width, 8.5);
    EXPECT_DOUBLE_EQ(real.height, 11);
    EXPECT_DOUBLE_EQ(real.offsetX, 0.25);
    EXPECT_DOUBLE_EQ(real.offsetY, 0.25);
}

// --- Tabs and cutting --------------------------------------------------------------

TEST(TextFit, TabsRunToTheNextStop)
{
    EXPECT_EQ(expandTabs(QStringLiteral("ab\tc"), 8), QStringLiteral("ab      c"));
    EXPECT_EQ(expandTabs(QStringLiteral("abcdefgh\tc"), 8), QStringLiteral("abcdefgh        c"));
    EXPECT_EQ(expandTabs(QStringLiteral("\t\tx"), 3), QStringLiteral("      x"));
    EXPECT_EQ(expandTabs(QStringLiteral("no tab"), 8), QStringLiteral("no tab"));
}

TEST(TextFit, TabSizeZeroGivesOneBlankPerTab)
{
    EXPECT_EQ(expandTabs(QStringLiteral("a\t\tb"), 0), QStringLiteral("a  b"));
    EXPECT_EQ(expandTabs(QStringLiteral("a\tb"), -3), QStringLiteral("a b"));
}

TEST(TextFit, FitTakesTheLongestPrefixThatFits)
{
    const QString text = QStringLiteral("abcdefghij");
    EXPECT_EQ(fitText(text, 100, tenPerChar), 10);
    EXPECT_EQ(fitText(text, 1000, tenPerChar), 10);
    EXPECT_EQ(fitText(text, 99, tenPerChar), 9);
    EXPECT_EQ(fitText(text, 30, tenPerChar), 3);
    EXPECT_EQ(fitText(text, 35, tenPerChar), 3);
    EXPECT_EQ(fitText(QString(), 0, tenPerChar), 0);
}

TEST(TextFit, FitAlwaysGivesOneCharacter)
{
    EXPECT_EQ(fitText(QStringLiteral("abc"), 5, tenPerChar), 1);
    EXPECT_EQ(fitText(QStringLiteral("abc"), 0, tenPerChar), 1);
    EXPECT_EQ(fitText(QStringLiteral("abc"), -400, tenPerChar), 1);
}

TEST(TextFit, FitMeasuresLogarithmicallyOften)
{
    int measured = 0;
    const TextWidth counting = [&measured](const QString &, qsizetype length) {
        ++measured;
        return int(length) * 10;
    };
    fitText(QString(1000, u'x'), 4567, counting);
    EXPECT_LE(measured, 12);
}

TEST(TextFit, SplitBreaksAfterTheLastBlank)
{
    const LineSplit split = splitLine(QStringLiteral("one two three"), 100, BlanksAtCut::Keep, tenPerChar);
    EXPECT_EQ(split.part, QStringLiteral("one two "));
    EXPECT_EQ(split.rest, QStringLiteral("three"));
}

TEST(TextFit, SplitAtABlankKeepsOrDropsIt)
{
    // "one two" fits exactly; the blank follows the cut.
    const QString text = QStringLiteral("one two three");
    EXPECT_EQ(splitLine(text, 70, BlanksAtCut::Keep, tenPerChar).rest, QStringLiteral(" three"));
    const LineSplit dropped = splitLine(text, 70, BlanksAtCut::DropOne, tenPerChar);
    EXPECT_EQ(dropped.part, QStringLiteral("one two"));
    EXPECT_EQ(dropped.rest, QStringLiteral("three"));
}

TEST(TextFit, SplitCanDropEverySpaceAtTheCut)
{
    const LineSplit trailing = splitLine(QStringLiteral("abc   "), 30, BlanksAtCut::DropSpaces, tenPerChar);
    EXPECT_EQ(trailing.part, QStringLiteral("abc"));
    EXPECT_EQ(trailing.rest, QString());
    const LineSplit between = splitLine(QStringLiteral("one two   three"), 70, BlanksAtCut::DropSpaces, tenPerChar);
    EXPECT_EQ(between.part, QStringLiteral("one two"));
    EXPECT_EQ(between.rest, QStringLiteral("three"));
    // A line feed is no blank: it still ends a line of its own.
    EXPECT_EQ(splitLine(QStringLiteral("abc \ndef"), 30, BlanksAtCut::DropSpaces, tenPerChar).rest,
        QStringLiteral("\ndef"));
    // Within the width, blanks stay where they are.
    EXPECT_EQ(splitLine(QStringLiteral("ab  cdefgh"), 60, BlanksAtCut::DropSpaces, tenPerChar).part,
        QStringLiteral("ab  "));
}

TEST(TextFit, SplitCutsAWordLongerThanTheWidth)
{
    const LineSplit split = splitLine(QStringLiteral("abcdefghij klm"), 40, BlanksAtCut::DropOne, tenPerChar);
    EXPECT_EQ(split.part, QStringLiteral("abcd"));
    EXPECT_EQ(split.rest, QStringLiteral("efghij klm"));
}

TEST(TextFit, SplitBreaksAtControlCharacters)
{
    const LineSplit split = splitLine(QStringLiteral("ab\ncdefgh"), 50, BlanksAtCut::Keep, tenPerChar);
    EXPECT_EQ(split.part, QStringLiteral("ab\n"));
    EXPECT_EQ(split.rest, QStringLiteral("cdefgh"));
}

TEST(TextFit, SplittingAlwaysAdvances)
{
    QString rest = QStringLiteral("a bc  def");
    int parts = 0;
    while (!rest.isEmpty() && parts < 100) {
        rest = splitLine(rest, -10, BlanksAtCut::DropOne, tenPerChar).rest;
        ++parts;
    }
    EXPECT_TRUE(rest.isEmpty());
}

// --- Column formats ------------------------------------------------------------------

TEST(ColumnFormat, EntriesGiveAlignmentAndWidth)
{
    const FormatRules rules;
    const QList<TableColumn> columns = parseColumnFormat(QStringLiteral("<28|<28|>15|^20|>15|>15|<50"), rules);
    ASSERT_EQ(columns.size(), 7);
    EXPECT_EQ(columns[2].alignment, Qt::AlignRight);
    EXPECT_EQ(columns[3].alignment, Qt::AlignHCenter);
    EXPECT_EQ(columns[6].alignment, Qt::AlignLeft);
    EXPECT_DOUBLE_EQ(columns[6].width, 50);
    EXPECT_DOUBLE_EQ(parseColumn(u"<-20", rules).width, -20);
    EXPECT_DOUBLE_EQ(parseColumn(u"12.5", rules).width, 12.5);
}

TEST(ColumnFormat, MissingOrInvalidWidthsTakeTheDefault)
{
    FormatRules rules;
    rules.defaultColWidth = 7;
    EXPECT_DOUBLE_EQ(parseColumn(u"", rules).width, 7);
    EXPECT_DOUBLE_EQ(parseColumn(u">", rules).width, 7);
    EXPECT_DOUBLE_EQ(parseColumn(u"<wide", rules).width, 7);
    EXPECT_EQ(parseColumnFormat(QString(), rules).size(), 1);
}

TEST(ColumnFormat, NormalisedFormIsLetterAndShortestWidth)
{
    const FormatRules rules;
    EXPECT_EQ(normaliseFormat(QStringLiteral("28|>|^"), rules), QStringLiteral("<28|>0|^0"));
    EXPECT_EQ(normaliseFormat(QStringLiteral("<2.50|>1.5"), rules), QStringLiteral("<2.5|>1.5"));
    EXPECT_EQ(normaliseFormat(QString(), rules), QString());
}

TEST(ColumnFormat, NormalisingConvertsUnits)
{
    const FormatRules rules;
    EXPECT_EQ(normaliseFormat(QStringLiteral("<2|>1.5"), rules, muMillimeters), QStringLiteral("<50.8|>38.1"));
    EXPECT_EQ(normaliseFormat(QStringLiteral("<50.8|>38.1"), rules, muInches), QStringLiteral("<2|>1.5"));
}

TEST(ColumnFormat, OtherSeparatorsAndDecimalCommas)
{
    FormatRules rules;
    rules.separator = u';';
    rules.decimalSeparator = u',';
    EXPECT_EQ(normaliseFormat(QStringLiteral("^2,5;x"), rules), QStringLiteral("^2,5;<0"));
}

TEST(ColumnFormat, TokensAreReplacedEverywhere)
{
    const TokenValues values {QStringLiteral("4"), QStringLiteral("3"), QStringLiteral("3/14/26"),
        QStringLiteral("10:05:30 AM"), QStringLiteral("Hours")};
    EXPECT_EQ(expandTokens(QStringLiteral("{$PAGE}/{$PAGE} line {$LINE}"), values), QStringLiteral("3/3 line 4"));
    EXPECT_EQ(
        expandTokens(QStringLiteral("{$TITLE} {$DATE} {$TIME}"), values), QStringLiteral("Hours 3/14/26 10:05:30 AM"));
    EXPECT_EQ(expandTokens(QStringLiteral("{$page} {$PAGE"), values), QStringLiteral("{$page} {$PAGE"));
}

// --- Dates and friendly codes ----------------------------------------------------------

TEST(LocaleDates, LocaleFormatsReadAsDisplayCodes)
{
    EXPECT_EQ(displayPatternOf(QStringLiteral("h:mm:ss AP t")), QStringLiteral("h:mm:ss ampm"));
    EXPECT_EQ(displayPatternOf(QStringLiteral("HH:mm:ss.zzz")), QStringLiteral("HH:mm:ss."));
    EXPECT_EQ(displayPatternOf(QStringLiteral("d 'at' MMMM")), QStringLiteral("d 'at' MMMM"));
}

TEST(LocaleDates, TextsFollowTheLocale)
{
    const LocaleScope locale(QLocale(QLocale::English, QLocale::UnitedStates));
    const DateTime value = fromQDateTime(QDateTime(QDate(2026, 3, 14), QTime(15, 5, 30)));
    EXPECT_EQ(shortDateText(value), QStringLiteral("3/14/26"));
    EXPECT_EQ(longDateText(value), QStringLiteral("Saturday, March 14, 2026"));
    EXPECT_EQ(shortTimeText(value), QStringLiteral("3:05 PM"));
    EXPECT_EQ(longTimeText(value), QStringLiteral("3:05:30 PM"));
}

class FriendlyCode : public ::testing::Test
{
protected:
    FriendlyRow translate(const QString &code) { return translateFriendlyCode(code, context); }

    LocaleScope locale {QLocale(QLocale::English, QLocale::UnitedStates)};
    FriendlyContext context {QString(), fromQDateTime(QDateTime(QDate(2026, 3, 14), QTime(9, 30))), 170, {}};
};

TEST_F(FriendlyCode, CodesGiveTheCellsAndTheirColumns)
{
    const struct
    {
        const char *code;
        QString row;
        QString format;
    } cases[] = {
        {"&l&F &r&D", "  |Saturday, March 14, 2026", "<85.00|>85.00"}, // file name and long date in two halves
        {"&r&p", "{$PAGE}", ">170.00"}, // the page number at the right
        {"abc&rdef", "abc|def", "<85.00|>85.00"}, // text before the first alignment is a left cell
        {"Hours of &i", "Hours of {$TITLE}", "<170.00"}, // without alignment one left cell spans the body
        {"&l&d&c&t&r&T", "3/14/26|9:30 AM|9:30:00 AM", "<56.67|^56.67|>56.67"}, // dates, times, three cells
    };
    for (const auto &c : cases) {
        const FriendlyRow row = translate(QString::fromLatin1(c.code));
        EXPECT_EQ(row.row, c.row) << c.code;
        EXPECT_EQ(row.format, c.format) << c.code;
    }
}

TEST_F(FriendlyCode, AmpersandsUnknownCodesAndTrailingAmpersand)
{
    EXPECT_EQ(translate(QStringLiteral("A&&B&xC&")).row, QStringLiteral("A&B C"));
}

TEST_F(FriendlyCode, FileNameWithAndWithoutFolder)
{
    context.fileName = QStringLiteral("C:\\docs\\list.txt");
    EXPECT_EQ(translate(QStringLiteral("&f")).row, QStringLiteral("list.txt"));
    EXPECT_EQ(translate(QStringLiteral("&F")).row, QStringLiteral("C:\\docs\\list.txt"));
    EXPECT_EQ(fileNameOnly(QStringLiteral("/home/me/Hourbook.csv")), QStringLiteral("Hourbook.csv"));
}

TEST_F(FriendlyCode, WidthsUseTheLocaleDecimalSeparator)
{
    context.rules.decimalSeparator = u',';
    context.bodyWidth = 7.5;
    EXPECT_EQ(translate(QStringLiteral("&lA&rB")).format, QStringLiteral("<3,75|>3,75"));
}

// --- Measuring ---------------------------------------------------------------------------

// Characters × advance where a fixed-pitch font allows it must give what
// shaping the text gives, for every prefix; wide, combining and control
// characters and proportional fonts are measured.
TEST(TextMeasure, WidthsAreThoseOfTheShapedText)
{
    const QString texts[] = {QStringLiteral("01-12-98 08:00 |Remark: |-02:54 "),
        QStringLiteral("M\u00f8de med kunden \u00abvigtigt\u00bb \u2013 \u00e9t"), QStringLiteral("Cafe\u0301 au lait"),
        QStringLiteral("\u4f1a\u8b70 with the team"), QStringLiteral("soft\u00adhyphen and\u00a0blank"),
        QStringLiteral("tab\tand\nline feed")};
    ASSERT_TRUE(QFontInfo(QFont(QStringLiteral("Courier New"))).fixedPitch());
    for (const int dpi : {300, 96}) {
        QImage device(1, 1, QImage::Format_Mono);
        device.setDotsPerMeterX(qRound(dpi / 0.0254));
        device.setDotsPerMeterY(qRound(dpi / 0.0254));
        for (const char *family : {"Courier New", "DejaVu Sans"}) {
            for (const int pixels : {12, 38, 42}) {
                QFont font(QString::fromLatin1(family));
                font.setPixelSize(pixels);
                font.setHintingPreference(QFont::PreferNoHinting);
                const TextMeasure measure(font, &device);
                const QFontMetricsF shaped(font, &device);
                for (const QString &text : texts)
                    for (qsizetype length = 0; length <= text.size(); ++length)
                        ASSERT_EQ(measure.width(text, length), qRound(shaped.horizontalAdvance(text.left(length))))
                            << family << ' ' << pixels << ' ' << dpi << ": " << text.left(length).toStdString();
            }
        }
    }
}

// --- Lines sent to a printer -----------------------------------------------------------

namespace {

/// The lines of a page as sorted text, each "x,y-x,y/pen".
QStringList linesOf(const std::vector<PageImage::Line> &lines)
{
    QStringList texts;
    for (const auto &line : lines)
        texts << QStringLiteral("%1,%2-%3,%4/%5")
                     .arg(line.from.x())
                     .arg(line.from.y())
                     .arg(line.to.x())
                     .arg(line.to.y())
                     .arg(line.penWidth);
    texts.sort();
    return texts;
}

QStringList joined(std::initializer_list<PageImage::Line> lines)
{
    PageImage page;
    for (const auto &line : lines)
        page.addLine(line.from, line.to, line.penWidth);
    return linesOf(page.joinedLines());
}

} // namespace

TEST(JoinedLines, RepeatedAndTouchingPiecesBecomeOneLine)
{
    // Drawn twice.
    EXPECT_EQ(joined({{{1, 5}, {9, 5}, 0}, {{1, 5}, {9, 5}, 0}}), QStringList {"1,5-9,5/0"});
    // End to end on a row, in any order and direction.
    EXPECT_EQ(joined({{{20, 5}, {30, 5}, 0}, {{1, 5}, {9, 5}, 0}, {{20, 5}, {9, 5}, 0}}), QStringList {"1,5-30,5/0"});
    // Overlapping on a column, one inside another.
    EXPECT_EQ(joined({{{4, 0}, {4, 10}, 2}, {{4, 3}, {4, 6}, 2}, {{4, 8}, {4, 15}, 2}}), QStringList {"4,0-4,15/2"});
}

TEST(JoinedLines, GapsPensRowsAndSlantsKeepTheirLinesApart)
{
    // A pixel between them.
    EXPECT_EQ(joined({{{1, 5}, {9, 5}, 0}, {{10, 5}, {12, 5}, 0}}), (QStringList {"1,5-9,5/0", "10,5-12,5/0"}));
    // Another pen.
    EXPECT_EQ(joined({{{1, 5}, {9, 5}, 0}, {{9, 5}, {12, 5}, 3}}), (QStringList {"1,5-9,5/0", "9,5-12,5/3"}));
    // Neighbouring rows, and a row and a column that meet.
    EXPECT_EQ(joined({{{1, 5}, {9, 5}, 0}, {{1, 6}, {9, 6}, 0}, {{9, 5}, {9, 20}, 0}}),
        (QStringList {"1,5-9,5/0", "1,6-9,6/0", "9,5-9,20/0"}));
    // A slanting line stays as it was drawn.
    EXPECT_EQ(joined({{{1, 1}, {9, 9}, 0}, {{1, 1}, {9, 9}, 0}}), (QStringList {"1,1-9,9/0", "1,1-9,9/0"}));
}
