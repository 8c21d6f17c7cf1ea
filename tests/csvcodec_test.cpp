#include "celltable.h"
#include "csvcodec.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QBuffer>

namespace {
// Every line with fields as "index:field|field|…".
QStringList parse(const QByteArray &bytes)
{
    QStringList lines;
    readCsvBytes(bytes, [&](int line, std::span<const QStringView> fields) {
        QStringList parts;
        for (QStringView f : fields)
            parts << f.toString();
        lines << QString::number(line) + u':' + parts.join(u'|');
    });
    return lines;
}
} // namespace

TEST(CsvQuoting, DoublesTheQuoteCharacter)
{
    EXPECT_EQ(QuotedField(u"Train \"late\"", u'"'), "\"Train \"\"late\"\"\"");
    EXPECT_EQ(QuotedField(u"", u'"'), "\"\"");
    EXPECT_EQ(QuotedField(u"it's", u'\''), "'it''s'");
}

TEST(CsvQuoting, ExtractsAQuotedField)
{
    const QString text = QStringLiteral("\"Train \"\"late\"\"\",next");
    qsizetype pos = 0;
    EXPECT_EQ(ExtractQuotedField(text, pos, u'"'), "Train \"late\"");
    EXPECT_EQ(text.mid(pos), ",next");

    qsizetype notAtQuote = 1;
    EXPECT_EQ(ExtractQuotedField(text, notAtQuote, u'"'), "");
    EXPECT_EQ(notAtQuote, 1);

    // Without a closing quote the field is the whole rest of the text.
    const QString open = QStringLiteral("\"ab\"\"c");
    pos = 0;
    EXPECT_EQ(ExtractQuotedField(open, pos, u'"'), "ab\"c");
    EXPECT_EQ(pos, open.size());
}

TEST(CsvReading, SplitsFieldsByTheReadingRules)
{
    EXPECT_EQ(parse(QByteArray("\"01-12-98 08:00\",\"\",\"Train \"\"late\"\", at 8\"")),
        QStringList({"0:01-12-98 08:00||Train \"late\", at 8"}));
    EXPECT_EQ(parse(QByteArray("  a b  ,  c  ")), QStringList({"0:a b|c"})); // blanks around cut
    EXPECT_EQ(parse(QByteArray("\" a \",b")), QStringList({"0: a |b"})); // inside quotes kept
    EXPECT_EQ(parse(QByteArray("a,,b")), QStringList({"0:a||b"}));
    EXPECT_EQ(parse(QByteArray(",a")), QStringList({"0:|a"}));
    EXPECT_EQ(parse(QByteArray("a,")), QStringList({"0:a"})); // no field after a last comma
    EXPECT_EQ(parse(QByteArray("\"ab\" ,cd")), QStringList({"0:ab|cd"})); // blanks after a closing quote
    EXPECT_EQ(parse(QByteArray("a\tb")), QStringList({"0:a|b"})); // a tab ends a field
}

TEST(CsvReading, CountsLinesEvenWhenTheyHoldNoField)
{
    EXPECT_EQ(parse(QByteArray("a\r\n\r\n  \r\nb\r\n")), QStringList({"0:a", "3:b"}));
    EXPECT_EQ(parse(QByteArray("a\rb\nc\r\nd")), QStringList({"0:a", "1:b", "2:c", "3:d"}));
    EXPECT_EQ(parse(QByteArray("a\n\rb")), QStringList({"0:a", "2:b"})); // LF CR is two line ends
    // CR CR LF, what a text-mode write of CR LF makes, is one line end.
    EXPECT_EQ(parse(QByteArray("a\r\r\nb\r\r\n\r\r\nc\r\r")), QStringList({"0:a", "1:b", "3:c"}));
    EXPECT_EQ(parse(QByteArray()), QStringList());
}

// Line ends are looked for sixteen bytes at a time: each of them, at every
// place in lines long and short, ends its line and no other.
TEST(CsvReading, FindsEveryLineEndWhereverItStands)
{
    const QByteArray ends[] = {"\r", "\n", "\r\n", "\r\r\n", "\n\r"};
    QByteArray bytes;
    QStringList expected;
    int line = 0;
    for (int length = 1; length <= 40; ++length) {
        for (const QByteArray &end : ends) {
            const QByteArray text = QByteArray::number(line).leftJustified(length, 'x');
            bytes += text + end;
            expected << QString::number(line) + u':' + QString::fromLatin1(text);
            line += end == "\n\r" ? 2 : 1; // LF CR is two line ends
        }
    }
    EXPECT_EQ(parse(bytes), expected);
}

// Each of these once lost or garbled part of the file.
TEST(CsvReading, DamagedOrUnusualBytesAreReadInFull)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"zero byte", QByteArray("\"no\0te\",a\0\r\n\0b", 14), {"0:no te|a", "1:b"}},
        {"unclosed quote", "\"open,x\r\n\"K\xC3\xB8\r\n\"a\"\"", {"0:open,x", QString::fromUtf8("1:Kø"), "2:a\""}},
        {"UTF-16 LE", QByteArray("\xFF\xFE\"\0K\0\xF8\0\"\0\r\0\n\0b\0", 16), {QString::fromUtf8("0:Kø"), "1:b"}},
        {"UTF-16 BE", QByteArray("\xFE\xFF\0\"\0K\0\xF8\0\"\0\n\xD8\x3D\xDE\x00", 16),
            {QString::fromUtf8("0:Kø"), QString::fromUtf8("1:😀")}},
        {"one line in Windows-1252", "\"K\xC3\xB8\"\r\n\"K\xF8 \x80\"\r\n\"\xC3\xA6\"",
            {QString::fromUtf8("0:Kø"), QString::fromUtf8("1:Kø €"), QString::fromUtf8("2:æ")}},
        {"byte-order mark in a field", "\xEF\xBB\xBF\"a\",\"\xEF\xBB\xBF\xC3\xB8\"",
            {QStringLiteral("0:a|\uFEFF\u00F8")}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parse(c.bytes), c.lines) << c.name;
}

// Other programs write a quote inside a quoted note as it is: only a quote
// before the separator or the line end closes the field.
TEST(CsvReading, AQuoteInsideAQuotedFieldIsText)
{
    const struct
    {
        const char *name;
        QByteArray line;
        QStringList fields;
    } cases[] = {
        {"quoted word", "\"say \"hi\" now\",x", {"say \"hi\" now", "x"}},
        {"text after a quote", "\"abc\"def", {"abc\"def"}},
        {"closing quote, blanks, comma", "\"abc\" \t,\"d\"", {"abc", "d"}},
        {"closing quote, blanks, line end", "\"abc\"  ", {"abc"}},
        {"doubled and single", "\"a\"\"\"b\"", {"a\"\"b"}},
        {"as written", "\"Train \"\"late\"\", at 8\",\"\"", {"Train \"late\", at 8", ""}},
        {"quoted word last", "\"say \"hi\"\"", {"say \"hi\""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parse(c.line), QStringList("0:" + c.fields.join(u'|')));
        // The character version reads the first field the same.
        const QString text = QString::fromUtf8(c.line);
        qsizetype position = 0;
        EXPECT_EQ(ExtractQuotedField(text, position, u'"'), c.fields.first());
        const QString rest = text.mid(position).trimmed();
        EXPECT_TRUE(rest.isEmpty() || rest.startsWith(u',')) << rest.toStdString();
    }
}

// Whether the quote of an unclosed field is looked for sixteen bytes at a
// time or byte by byte near the end of the text, the next line's quotes are
// never taken for its closing quote.
TEST(CsvReading, AnUnclosedQuoteEndsWithItsLine)
{
    const QByteArray padding(40, 'x');
    const struct
    {
        const char *name;
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"sixteen at a time", "\"ab\r\n\"cd\",\"" + padding + "\"", {"0:ab", "1:cd|" + padding}},
        {"long unclosed field", "\"" + padding + "\n\"cd\"\r\n" + padding, {"0:" + padding, "1:cd", "2:" + padding}},
        {"near the end", "\"ab\n\"c\"", {"0:ab", "1:c"}},
        {"near the end, CR LF", "\"a\"\"b\r\n\"\"", {"0:a\"b", "1:"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parse(c.bytes), c.lines) << c.name;
}

TEST(CsvDecoding, ReadsUtf8AndFallsBackToWindows1252)
{
    EXPECT_EQ(parse("\"K\xC3\xB8"
                    "be \"\"x\"\"\",b"),
        QStringList({QString::fromUtf8("0:Købe \"x\"|b")}));
    EXPECT_EQ(parse("\xEF\xBB\xBF\"a\""), QStringList({"0:a"})); // byte-order mark dropped
    EXPECT_EQ(parse("\"K\xF8"
                    "be \x80 5\x96"
                    "6\""),
        QStringList({QString::fromUtf8("0:Købe € 5–6")}));
}

// Each valid UTF-8 sequence is UTF-8, each other byte Windows-1252, wherever
// they stand; the file is written back in UTF-8 once any UTF-8 was read.
TEST(CsvDecoding, AStrayByteGarblesNothingBesideIt)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
        QString text;
        CsvEncoding encoding;
    } cases[] = {
        {"Windows-1252 before UTF-8", "\"Gr\xFC\xC3\x9F Gott\"", QString::fromUtf8("Grüß Gott"), CsvEncoding::Utf8},
        {"UTF-8 before Windows-1252", "\"\xC3\xB8 \x80\"", QString::fromUtf8("ø €"), CsvEncoding::Utf8},
        {"lead byte cut short", "\"\xC3 \xE2\x82\"", QStringLiteral(u"\u00C3 \u00E2\u201A"), CsvEncoding::Windows1252},
        {"overlong", "\"\xC0\xAF\"", QString::fromUtf8("À¯"), CsvEncoding::Windows1252},
        {"surrogate", "\"\xED\xA0\x80\"", QStringLiteral(u"\u00ED\u00A0\u20AC"), CsvEncoding::Windows1252},
        {"four bytes", "\"\xF0\x9F\x98\x80\xFC\"", QString::fromUtf8("😀ü"), CsvEncoding::Utf8},
        {"ASCII", "\"abc\"", "abc", CsvEncoding::Utf8},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QString text;
        const CsvEncoding encoding
            = readCsvBytes(c.bytes, [&](int, std::span<const QStringView> fields) { text = fields[0].toString(); });
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(encoding, c.encoding);
    }
}

// Where Windows-1252 differs from Latin-1, both ways.
TEST(CsvDecoding, Windows1252SignsBetween0x80And0x9F)
{
    const QByteArray bytes("\x80\x8A\x8C\x96\x9C\x9F\x81");
    const QString text = QString::fromUtf8("€ŠŒ–œŸ") + QChar(0x81);
    EXPECT_EQ(parse("\"" + bytes + "\""), QStringList("0:" + text));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CsvWriter writer(buffer, CsvEncoding::Windows1252);
    const QStringView row[] = {text};
    writer.writeRow(row);
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(buffer.data(), "\"" + bytes + "\"\r\n");
}

TEST(CsvWriting, QuotesEveryFieldAndFlattensLineBreaks)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CsvWriter writer(buffer);
    const QString note = QStringLiteral("first\r\nsecond\nthird\rfourth \"x\"");
    const QStringView row1[] = {u"01-12-98 08:00", u"", note};
    const QStringView row2[] = {u"", u"", u"Købe"};
    writer.writeRow(row1);
    writer.writeRow(row2);
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(buffer.data(),
        QByteArray("\"01-12-98 08:00\",\"\",\"first second third fourth \"\"x\"\"\"\r\n"
                   "\"\",\"\",\"K\xC3\xB8"
                   "be\"\r\n"));
}

// Room for the rows is made from this before reading: near the truth for
// files as written, and never huge for a file that only starts with short
// lines.
TEST(CsvReading, EstimatesTheLinesFromTheStartOfTheFile)
{
    QByteArray written;
    for (int i = 0; i < 5000; ++i)
        written += "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"\",\"\"\r\n";
    const QByteArray shortThenLong = QByteArray(1 << 16, '\n') + QByteArray(1 << 20, 'x');
    EXPECT_EQ(estimateLineCount(QByteArray()), 0);
    EXPECT_NEAR(estimateLineCount(written), 5000, 50);
    EXPECT_NEAR(estimateLineCount(QByteArray(written).replace("\r\n", "\r")), 5000, 50);
    EXPECT_LE(estimateLineCount(shortThenLong), shortThenLong.size() / 16 + 1);
}

// A row as the table keeps it is written without being taken apart, ASCII
// rows by a path of their own: every row must come out byte for byte as its
// cells given one by one do, in either encoding.
TEST(CsvWriting, RowsAsKeptComeOutAsTheirCellsOneByOne)
{
    const QString long17 = QStringLiteral("abcdefghijklmnop\"");
    const std::vector<QStringList> rows = {
        {"01-12-98 08:00", "01-12-98 12:30", "04:30", "", "01-12-98", "07:24", "", "-02:54", "Call, \"urgent\""},
        {"", "", "", "", "", "", "", "", ""}, // nothing kept
        {"a"}, // the rest left out, written empty
        {"", "", "x"},
        {"\"", "\"\"", "a\"b", "\"quoted\"", "16 characters!!\"", long17, "\"" + long17},
        {"line\r\nbreak", "cr\rlf\nlf", "\r\n", "\r", "\n\r", "end\r", "abcdefghijklmno\r\nx", "abcdefghijklmnop\r\n"},
        {"Købe", "€ for ‘1252’", "plain", "a\"ø\r\nb"}, // beyond ASCII: in Windows-1252 too
        {"Købe bread and milk"}, // beyond ASCII but within Latin-1, early
        {"ASCII first, then ÿ"}, // and last
        {"東京 \"x\"", "😀", "tab\tand\x01control"},
        {QString(127, u'a'), QString(128, u'b') + u'"', QString(300, u'c')}, // lengths beyond ASCII
        {QString(70000, u'd') + u'"', "after"}, // a length of three characters
        {"between", "", "", "", "", "", "", "", "last"},
    };
    const int columns = 9;
    CellTable table;
    table.resize(columns, int(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            table.setCell(c, int(r), rows[r][c]);

    for (const CsvEncoding encoding : {CsvEncoding::Utf8, CsvEncoding::Windows1252}) {
        for (const qsizetype fieldCount : {qsizetype(columns), qsizetype(3), qsizetype(12)}) {
            QBuffer cellByCell, asKept;
            cellByCell.open(QIODevice::WriteOnly);
            asKept.open(QIODevice::WriteOnly);
            CsvWriter general(cellByCell, encoding);
            CsvWriter packed(asKept, encoding);
            std::vector<QStringView> cells;
            for (int r = 0; r < table.rowCount(); ++r) {
                table.rowCells(r, cells);
                cells.resize(size_t(fieldCount));
                general.writeRow(cells);
                packed.writePackedRow(table.packedRow(r), fieldCount);
                // The same bytes row by row, so that a difference is found
                // where it starts.
                ASSERT_TRUE(general.finish());
                ASSERT_TRUE(packed.finish());
                ASSERT_EQ(asKept.data(), cellByCell.data())
                    << "row " << r << ", " << fieldCount << " fields, encoding " << int(encoding);
            }
            EXPECT_EQ(packed.contentHash(), general.contentHash());
        }
    }
    // And the bytes themselves, for a row as most rows are.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CsvWriter writer(buffer);
    writer.writePackedRow(table.packedRow(0), columns);
    ASSERT_TRUE(writer.finish());
    EXPECT_EQ(buffer.data(),
        "\"01-12-98 08:00\",\"01-12-98 12:30\",\"04:30\",\"\",\"01-12-98\",\"07:24\",\"\",\"-02:54\","
        "\"Call, \"\"urgent\"\"\"\r\n");
}
