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

    // Without a closing quote the last character is lost.
    const QString open = QStringLiteral("\"abc");
    pos = 0;
    EXPECT_EQ(ExtractQuotedField(open, pos, u'"'), "ab");
    EXPECT_EQ(pos, open.size());
    const QString doubledAtEnd = QStringLiteral("\"ab\"\"");
    pos = 0;
    EXPECT_EQ(ExtractQuotedField(doubledAtEnd, pos, u'"'), "ab");
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
    EXPECT_EQ(parse(QByteArray("\"ab\"cd,\"e\"")), QStringList({"0:ab|cd|e"})); // text after a closing quote
    EXPECT_EQ(parse(QByteArray("a\tb")), QStringList({"0:a|b"})); // a tab ends a field
    EXPECT_EQ(parse(QByteArray("\"open,x")), QStringList({"0:open,"}));
}

TEST(CsvReading, CountsLinesEvenWhenTheyHoldNoField)
{
    EXPECT_EQ(parse(QByteArray("a\r\n\r\n  \r\nb\r\n")), QStringList({"0:a", "3:b"}));
    EXPECT_EQ(parse(QByteArray("a\rb\nc\r\nd")), QStringList({"0:a", "1:b", "2:c", "3:d"}));
    EXPECT_EQ(parse(QByteArray("a\n\rb")), QStringList({"0:a", "2:b"})); // LF CR is two line ends
    EXPECT_EQ(parse(QByteArray()), QStringList());
    EXPECT_EQ(parse(QByteArray("a\n\0b\nc", 6)), QStringList({"0:a"})); // a zero ends the text
}

TEST(CsvReading, UnclosedQuoteLosesItsLastCharacterWhole)
{
    EXPECT_EQ(parse("\"ab\"\""), QStringList({"0:ab"}));
    EXPECT_EQ(parse("\"a\"\"\"\""), QStringList({"0:a\""}));
    EXPECT_EQ(parse("\"K\xC3\xB8"), QStringList({"0:K"})); // two bytes, one letter
    EXPECT_EQ(parse("\"x\xF0\x9F\x98\x80"), QStringList({"0:x"})); // a letter beyond 16 bits
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
