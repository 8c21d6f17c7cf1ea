#include "csvcodec.h"

#include "packedrow.h"

#include <QFileDevice>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

namespace {

constexpr qsizetype BufferSize = 1 << 20;

// Codes 1 to 32: control characters and the blank, skipped between fields.
constexpr bool isBlankOrControl(char16_t c)
{
    return c >= 1 && c <= 32;
}

char16_t codeOf(QChar c)
{
    return c.unicode();
}

char16_t codeOf(char c)
{
    return static_cast<unsigned char>(c);
}

// Whether the single quote at line[pos] closes its field: the separator or
// the line end follows it, perhaps after blanks. Any other quote is part of
// the text, as other programs write a quote inside a quoted note.
template<typename View> bool closesField(View line, qsizetype pos)
{
    auto lineEnds = [](char16_t c) { return c == u'\r' || c == u'\n'; };
    qsizetype next = pos + 1;
    while (next < line.size() && isBlankOrControl(codeOf(line[next])) && !lineEnds(codeOf(line[next])))
        ++next;
    return next >= line.size() || codeOf(line[next]) == u',' || lineEnds(codeOf(line[next]));
}

// The quoted field that starts at line[pos] (a quote): the text up to the
// quote that closes it, which pos moves past. Without a closing quote it is
// the rest of the line and pos moves to its end. Shared by ExtractQuotedField
// (characters) and the file reader (bytes).
template<typename View> struct QuotedSpan
{
    View text;
    bool quotes; // may hold quotes: each doubled one is to be made single
};

// find(line, from) is the index of the next quote at or after from, or -1.
template<typename View, typename Char, typename Find>
QuotedSpan<View> findQuoted(View line, qsizetype &pos, Char quote, Find find)
{
    const qsizetype start = ++pos;
    bool quotes = false;
    while ((pos = find(line, pos)) >= 0) {
        // The closing quote before a comma or at the end, as files written
        // by this program have it, is found first.
        if (pos + 1 == line.size() || line[pos + 1] == u',')
            return {line.sliced(start, pos++ - start), quotes};
        quotes = true;
        if (line[pos + 1] == quote)
            pos += 2;
        else if (closesField(line, pos))
            return {line.sliced(start, pos++ - start), quotes};
        else
            ++pos;
    }
    pos = line.size();
    return {line.sliced(start), quotes};
}

// Windows-1252 differs from Latin-1 only in 0x80 … 0x9F.
const char16_t Windows1252High[32] = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

// The Windows-1252 byte of a character; -1 when it has none.
int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    const auto *found = std::find(std::begin(Windows1252High), std::end(Windows1252High), c);
    return found != std::end(Windows1252High) ? 0x80 + int(found - std::begin(Windows1252High)) : -1;
}

} // namespace

bool fitsWindows1252(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return windows1252Byte(c.unicode()) >= 0; });
}

QString QuotedField(QStringView text, QChar quote)
{
    QString out;
    out.reserve(text.size() + 2);
    out.append(quote);
    for (const QChar c : text) {
        if (c == quote)
            out.append(quote);
        out.append(c);
    }
    out.append(quote);
    return out;
}

QString ExtractQuotedField(QStringView text, qsizetype &position, QChar quote)
{
    if (position < 0 || position >= text.size() || text[position] != quote)
        return {};
    const auto span = findQuoted(
        text, position, quote, [quote](QStringView line, qsizetype from) { return line.indexOf(quote, from); });
    QString field = span.text.toString();
    if (span.quotes)
        field.replace(QString(2, quote), QString(quote)); // a single one stays
    return field;
}

namespace {

// The first byte c at p or after it and before end; end when there is none.
// Sixteen bytes at a time, which may read past end but never past readable.
const char *findByte(const char *p, const char *end, char c, const char *readable)
{
#ifdef __SSE2__
    const __m128i wanted = _mm_set1_epi8(c);
    for (; p < end && readable - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        if (const unsigned found = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted))))
            return std::min(p + std::countr_zero(found), end);
    }
#endif
    const void *found = p < end ? std::memchr(p, c, size_t(end - p)) : nullptr;
    return found ? static_cast<const char *>(found) : end;
}

// Reads one line's fields by the rules of the format, handing each to
// onField with whether it holds quotes. readable is the end of the
// text the line lies in.
template<typename OnField> void splitFields(QByteArrayView line, const char *readable, OnField onField)
{
    qsizetype i = 0;
    const qsizetype length = line.size();
    auto skipBlanks = [&] {
        while (i < length && isBlankOrControl(codeOf(line[i])))
            ++i;
    };
    auto findQuote = [&](QByteArrayView text, qsizetype from) {
        const char *end = text.data() + text.size();
        const char *found = findByte(text.data() + from, end, '"', readable);
        return found == end ? -1 : found - text.data();
    };
    skipBlanks();
    while (i < length) {
        if (line[i] == '"') {
            const auto quoted = findQuoted(line, i, '"', findQuote);
            onField(quoted.text, quoted.quotes);
        } else {
            // Up to a comma or a control character, without the blanks before
            // it; those before the field are skipped already.
            const qsizetype start = i;
            while (i < length && line[i] != ',' && static_cast<unsigned char>(line[i]) >= 32)
                ++i;
            QByteArrayView field = line.sliced(start, i - start);
            while (!field.isEmpty() && field.back() == ' ')
                field.chop(1);
            onField(field, false);
        }
        skipBlanks();
        if (i < length && line[i] == ',') {
            ++i;
            skipBlanks();
        }
    }
}

// Widens the ASCII bytes at the start of in (n bytes) into out, and tells how
// many there are. Sixteen bytes at a time: that may read past the field, but
// never past readable, the end of the text, and write up to 15 characters
// past what it widens. Inlined: it runs for every field, most of which are
// short.
Q_ALWAYS_INLINE qsizetype widenAscii(QChar *out, const char *in, qsizetype n, const char *readable)
{
    qsizetype i = 0;
#ifdef __SSE2__
    for (; i < n && readable - (in + i) >= 16; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_unpacklo_epi8(bytes, _mm_setzero_si128()));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i + 8), _mm_unpackhi_epi8(bytes, _mm_setzero_si128()));
        unsigned beyondAscii = unsigned(_mm_movemask_epi8(bytes));
        if (n - i < 16)
            beyondAscii &= (1u << (n - i)) - 1;
        if (beyondAscii)
            return i + std::countr_zero(beyondAscii);
    }
    if (i >= n)
        return n;
#else
    Q_UNUSED(readable);
#endif
    for (; i < n; ++i) {
        const auto byte = static_cast<unsigned char>(in[i]);
        if (byte >= 0x80)
            return i;
        out[i] = QChar(char16_t(byte));
    }
    return n;
}

// The character of the UTF-8 sequence beyond ASCII at p, before end, and
// its length; a length of 0 when the bytes there are not a valid one
// (overlong, a surrogate, beyond U+10FFFF, cut short).
struct Utf8Sequence
{
    char32_t character;
    int length;
};

Utf8Sequence utf8Sequence(const unsigned char *p, const unsigned char *end)
{
    const unsigned char lead = p[0];
    int length;
    char32_t c, least;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        return {0, 0};
    }
    if (end - p < length)
        return {0, 0};
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return {0, 0};
        c = c << 6 | (p[i] & 0x3F);
    }
    if (c < least || c > 0x10FFFF || QChar::isSurrogate(c))
        return {0, 0};
    return {c, length};
}

// Turns the bytes of a field into UTF-16. Neither encoding yields more
// characters than bytes, so out needs room for bytes.size() characters, and
// 15 more.
//
// Each valid UTF-8 sequence is read as UTF-8 and each byte that is not part
// of one as Windows-1252, what older Windows programs wrote: a stray byte
// from an editor garbles neither the correct UTF-8 beside it nor itself.
// Runs of plain ASCII are widened as they are.
class FieldDecoder
{
public:
    explicit FieldDecoder(QByteArrayView text)
        : m_readable(text.data() + text.size())
    { }

    QChar *decode(QChar *out, QByteArrayView bytes, bool quotes)
    {
        if (!quotes)
            return decode(out, bytes);
        // A run at a time, each up to and with a quote; the second quote of
        // a doubled pair is left out, a single quote kept.
        const char *const end = bytes.data() + bytes.size();
        for (const char *p = bytes.data(); true;) {
            const char *quote = findByte(p, end, '"', m_readable);
            if (quote == end)
                return decode(out, QByteArrayView(p, end));
            out = decode(out, QByteArrayView(p, quote + 1));
            p = quote + 1 < end && quote[1] == '"' ? quote + 2 : quote + 1;
        }
    }

    /// Windows-1252 when bytes were read as Windows-1252 and none as UTF-8
    /// beyond ASCII.
    CsvEncoding encodingRead() const
    {
        return m_sawWindows1252 && !m_sawUtf8 ? CsvEncoding::Windows1252 : CsvEncoding::Utf8;
    }

private:
    QChar *decode(QChar *out, QByteArrayView bytes)
    {
        const qsizetype ascii = widenAscii(out, bytes.data(), bytes.size(), m_readable);
        if (ascii == bytes.size())
            return out + ascii;
        return decodeBeyondAscii(out + ascii, bytes.sliced(ascii));
    }

    // From a byte beyond ASCII on, each sequence or byte by itself, and the
    // ASCII runs between them as they are.
    Q_NEVER_INLINE QChar *decodeBeyondAscii(QChar *out, QByteArrayView bytes)
    {
        const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
        const qsizetype n = bytes.size();
        for (qsizetype i = 0;;) {
            if (const Utf8Sequence sequence = utf8Sequence(in + i, in + n); sequence.length > 0) {
                m_sawUtf8 = true;
                if (QChar::requiresSurrogates(sequence.character)) {
                    *out++ = QChar(QChar::highSurrogate(sequence.character));
                    *out++ = QChar(QChar::lowSurrogate(sequence.character));
                } else {
                    *out++ = QChar(char16_t(sequence.character));
                }
                i += sequence.length;
            } else {
                m_sawWindows1252 = true;
                // Latin-1, mended where Windows-1252 differs.
                *out++ = QChar(in[i] < 0xA0 ? Windows1252High[in[i] - 0x80] : char16_t(in[i]));
                ++i;
            }
            const qsizetype ascii = widenAscii(out, bytes.data() + i, n - i, m_readable);
            out += ascii;
            i += ascii;
            if (i == n)
                return out;
        }
    }

    const char *m_readable;
    bool m_sawUtf8 = false;
    bool m_sawWindows1252 = false;
};

} // namespace

// The first CR or LF at p or after it and before end; end when there is
// none. Sixteen bytes at a time: one pass finds either, where the library's
// search, called for each, costs two calls a line.
const char *findLineEnd(const char *p, const char *end)
{
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i ends = _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf));
        if (const unsigned found = unsigned(_mm_movemask_epi8(ends)))
            return p + std::countr_zero(found);
    }
#endif
    while (p < end && *p != '\r' && *p != '\n')
        ++p;
    return p;
}

namespace {

// Cuts the text into lines at their ends.
class LineSplitter
{
public:
    LineSplitter(const char *begin, const char *end)
        : m_pos(begin)
        , m_end(end)
    { }

    bool next(QByteArrayView &line)
    {
        if (m_pos >= m_end)
            return false;
        const char *lineEnd = findLineEnd(m_pos, m_end);
        line = QByteArrayView(m_pos, lineEnd - m_pos);
        m_pos = lineEnd + lineEndLength(lineEnd);
        return true;
    }

private:
    // CR LF and CR CR LF (what a text-mode write of CR LF makes) end one line
    // each, like CR or LF alone.
    qsizetype lineEndLength(const char *lineEnd) const
    {
        const qsizetype left = m_end - lineEnd;
        if (left < 2 || lineEnd[0] != '\r')
            return 1;
        if (lineEnd[1] == '\n')
            return 2;
        return left >= 3 && lineEnd[1] == '\r' && lineEnd[2] == '\n' ? 3 : 1;
    }

    const char *m_pos;
    const char *m_end;
};

} // namespace

int estimateLineCount(QByteArrayView bytes)
{
    const QByteArrayView sample = bytes.first(std::min<qsizetype>(bytes.size(), 1 << 16));
    // CR LF, LF or CR: the more frequent of the two ends every line.
    const qsizetype ends = std::max(sample.count('\n'), sample.count('\r'));
    const qint64 estimate = sample.isEmpty() ? 0 : bytes.size() * qint64(ends) / sample.size() + 1;
    return int(std::min({estimate, bytes.size() / 16 + 1, qint64(INT_MAX)}));
}

CsvEncoding readCsvBytes(QByteArrayView bytes, const CsvLineHandler &onLine)
{
    QByteArray converted; // the text, when it cannot be read from bytes as they are
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // What "Unicode" text editors write. Stateless: an odd last byte
        // becomes a replacement character instead of vanishing.
        QStringDecoder utf16(bytes.startsWith("\xFF") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
            QStringDecoder::Flag::Stateless);
        converted = QString(utf16(bytes)).toUtf8();
        bytes = converted;
    }
    if (bytes.contains('\0')) {
        // A zero byte is read as a blank, so nothing after it is lost.
        if (converted.isNull())
            converted = bytes.toByteArray();
        converted.replace('\0', ' ');
        bytes = converted;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    FieldDecoder decoder(bytes);
    LineSplitter lines(bytes.data(), bytes.data() + bytes.size());

    const char *const readable = bytes.data() + bytes.size();
    std::vector<QStringView> fields;
    QString lineText; // the decoded fields of the current line, side by side
    QByteArrayView line;
    for (int lineIndex = 0; lines.next(line); ++lineIndex) {
        if (lineText.size() < line.size() + 15)
            lineText.resize(line.size() + 15);
        QChar *out = lineText.data();
        fields.clear();
        splitFields(line, readable, [&](QByteArrayView field, bool quotes) {
            QChar *const start = out;
            out = decoder.decode(out, field, quotes);
            fields.push_back(QStringView(start, out - start));
        });
        if (!fields.empty())
            onLine(lineIndex, fields);
    }
    return decoder.encodingRead();
}

namespace {

// A character written as it is: no quote to double, no line break to
// flatten, nothing beyond ASCII.
bool isPlain(char16_t c)
{
    return c < 0x80 && c != u'"' && c != u'\r' && c != u'\n';
}

// Each encoder writes one character beyond ASCII; p points past it, and the
// UTF-8 one moves it past the second half of a surrogate pair too.
char *encodeUtf8(char *out, char16_t c, const char16_t *&p, const char16_t *end)
{
    if (c < 0x800) {
        *out++ = char(0xC0 | c >> 6);
        *out++ = char(0x80 | (c & 0x3F));
        return out;
    }
    if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
        const char32_t u = QChar::surrogateToUcs4(c, *p++);
        *out++ = char(0xF0 | u >> 18);
        *out++ = char(0x80 | (u >> 12 & 0x3F));
        *out++ = char(0x80 | (u >> 6 & 0x3F));
        *out++ = char(0x80 | (u & 0x3F));
        return out;
    }
    if (QChar::isSurrogate(c))
        c = QChar::ReplacementCharacter; // half a pair has no UTF-8 form
    *out++ = char(0xE0 | c >> 12);
    *out++ = char(0x80 | (c >> 6 & 0x3F));
    *out++ = char(0x80 | (c & 0x3F));
    return out;
}

char *encodeWindows1252(char *out, char16_t c)
{
    const int byte = windows1252Byte(c);
    *out++ = byte >= 0 ? char(byte) : '?';
    return out;
}

#ifdef __SSE2__
// Narrows the Count (8 or 4) characters at p into out, and tells how many of
// them, from the first, are plain: those are written; the bytes after them
// are to be written over. out needs room for Count bytes.
template<int Count> int copyPlainChars(char *out, const char16_t *p)
{
    const __m128i chars = Count == 8 ? _mm_loadu_si128(reinterpret_cast<const __m128i *>(p))
                                     : _mm_loadl_epi64(reinterpret_cast<const __m128i *>(p));
    const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(chars, _mm_set1_epi16(short(0xFF80))), _mm_setzero_si128());
    const __m128i special = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi16(chars, _mm_set1_epi16('"')), _mm_cmpeq_epi16(chars, _mm_set1_epi16('\r'))),
        _mm_cmpeq_epi16(chars, _mm_set1_epi16('\n')));
    const __m128i bytes = _mm_packus_epi16(chars, chars);
    if constexpr (Count == 8)
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out), bytes);
    else
        qToUnaligned(_mm_cvtsi128_si32(bytes), out);
    // Two mask bits per character; the first one not plain ends the run.
    const unsigned notPlain = ~unsigned(_mm_movemask_epi8(_mm_andnot_si128(special, ascii)));
    return std::min(std::countr_zero(notPlain) / 2, Count);
}

// Copies the plain characters at p several at a time, up to the first one
// that is not plain or the last few; the caller goes on one by one from
// there. Most cells are short and plain, and go here whole.
Q_ALWAYS_INLINE void copyPlainRun(char *&out, const char16_t *&p, const char16_t *begin, const char16_t *end)
{
    auto take = [&](int count, int plain) {
        p += plain;
        out += plain;
        return plain == count;
    };
    while (end - p >= 8)
        if (!take(8, copyPlainChars<8>(out, p)))
            return;
    if (end - p >= 4 && !take(4, copyPlainChars<4>(out, p)))
        return;
    // The last few as the end of the four that end the text, when all four
    // are plain: those of them already written are written again the same.
    char lastFour[4];
    if (p < end && end - begin >= 4 && copyPlainChars<4>(lastFour, end - 4) == 4) {
        std::memcpy(out - (p - (end - 4)), lastFour, 4);
        out += end - p;
        p = end;
    }
}
#else
// Without SSE2 every character goes one by one.
void copyPlainRun(char *&, const char16_t *&, const char16_t *, const char16_t *) { }
#endif

// A field in quotes, each quote doubled and each line break (CR, LF or
// CR LF) a blank.
template<CsvEncoding Encoding> char *writeQuoted(char *out, QStringView text)
{
    *out++ = '"';
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    const char16_t *const begin = p;
    while (p < end) {
        copyPlainRun(out, p, begin, end);
        if (p == end)
            break;
        const char16_t c = *p++;
        if (isPlain(c)) {
            *out++ = char(c);
        } else if (c == u'"') {
            *out++ = '"';
            *out++ = '"';
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && p < end && *p == u'\n')
                ++p;
            *out++ = ' ';
        } else {
            out = Encoding == CsvEncoding::Utf8 ? encodeUtf8(out, c, p, end) : encodeWindows1252(out, c);
        }
    }
    *out++ = '"';
    return out;
}

// Narrows the n characters at p into out and tells whether they are all
// ASCII; when they are not, the bytes written are of no use.
bool narrowAscii(char *out, const char16_t *p, qsizetype n)
{
    qsizetype i = 0;
    char16_t beyondAscii = 0;
#ifdef __SSE2__
    __m128i highBits = _mm_setzero_si128();
    for (; n - i >= 8; i += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        highBits = _mm_or_si128(highBits, _mm_and_si128(chars, _mm_set1_epi16(short(0xFF80))));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + i), _mm_packus_epi16(chars, chars));
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(highBits, _mm_setzero_si128())) != 0xFFFF)
        return false;
#endif
    for (; i < n; ++i) {
        beyondAscii |= p[i] & 0xFF80;
        out[i] = char(p[i]);
    }
    return !beyondAscii;
}

// Copies the plain bytes at the start of the n bytes at in to out, and tells
// how many there are. Sixteen bytes at a time: that reads and writes up to
// 15 bytes past the n, so both in and out need room for them.
qsizetype copyPlainBytes(char *out, const char *in, qsizetype n)
{
    qsizetype i = 0;
#ifdef __SSE2__
    for (; i < n; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), bytes);
        const __m128i special = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))),
            _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
        if (const unsigned found = unsigned(_mm_movemask_epi8(special)))
            return std::min(i + std::countr_zero(found), n);
    }
    return n;
#else
    for (; i < n && isPlain(char16_t(in[i])); ++i)
        out[i] = in[i];
    return i;
#endif
}

// The ASCII text of a field, n bytes at in, inside its quotes as writeQuoted
// writes it; in and out need room for 15 bytes more.
char *writeQuotedAscii(char *out, const char *in, qsizetype n)
{
    const char *const end = in + n;
    while (true) {
        const qsizetype plain = copyPlainBytes(out, in, end - in);
        out += plain;
        in += plain;
        if (in == end)
            return out;
        const char c = *in++;
        if (c == '"') {
            *out++ = '"';
            *out++ = '"';
        } else {
            if (c == '\r' && in < end && *in == '\n')
                ++in;
            *out++ = ' ';
        }
    }
}

} // namespace

CsvWriter::CsvWriter(QIODevice &device, CsvEncoding encoding)
    : m_device(device)
    , m_encoding(encoding)
{
    m_buffer.resize(BufferSize);
}

void CsvWriter::writeRow(std::span<const QStringView> fields)
{
    // A character takes three bytes at the most (a doubled quote two, half a
    // surrogate pair three); a field adds its quotes and a comma.
    qsizetype most = 2;
    for (const QStringView field : fields)
        most += 3 * field.size() + 3;
    char *const start = reserve(most);
    char *out = start;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            *out++ = ',';
        out = m_encoding == CsvEncoding::Utf8 ? writeQuoted<CsvEncoding::Utf8>(out, fields[i])
                                              : writeQuoted<CsvEncoding::Windows1252>(out, fields[i]);
    }
    *out++ = '\r';
    *out++ = '\n';
    m_used += out - start;
}

void CsvWriter::writePackedRow(QStringView packed, qsizetype fieldCount)
{
    // Most rows are plain ASCII: narrowed as a whole, their cells are copied
    // many bytes at a time, with no character to encode. A length character
    // beyond ASCII (a cell of 128 characters or more) takes the general way.
    if (m_narrowed.size() < packed.size() + 16)
        m_narrowed.resize(packed.size() + 16);
    if (!narrowAscii(m_narrowed.data(), packed.utf16(), packed.size())) {
        m_fields.assign(fieldCount, QStringView());
        PackedRowCursor cursor(packed);
        for (QStringView &field : m_fields) {
            if (cursor.atEnd())
                break;
            field = cursor.next();
        }
        writeRow(m_fields);
        return;
    }
    // Each field at most doubles its characters and adds its quotes and a
    // comma; 15 bytes more are written over.
    char *const start = reserve(2 * packed.size() + 3 * fieldCount + 2 + 15);
    char *out = start;
    const char *in = m_narrowed.constData();
    const char *const end = in + packed.size();
    for (qsizetype i = 0; i < fieldCount; ++i) {
        if (i > 0)
            *out++ = ',';
        *out++ = '"';
        if (in < end) {
            const qsizetype length = static_cast<unsigned char>(*in++);
            out = writeQuotedAscii(out, in, length);
            in += length;
        }
        *out++ = '"';
    }
    *out++ = '\r';
    *out++ = '\n';
    m_used += out - start;
}

char *CsvWriter::reserve(qsizetype bytes)
{
    if (m_used + bytes > m_buffer.size()) {
        flush();
        if (bytes > m_buffer.size())
            m_buffer.resize(bytes);
    }
    return m_buffer.data() + m_used;
}

void CsvWriter::flush()
{
    const QByteArrayView bytes(m_buffer.constData(), m_used);
    m_hash.add(bytes);
    if (m_ok && !bytes.isEmpty() && m_device.write(bytes.data(), bytes.size()) != bytes.size())
        m_ok = false;
    m_used = 0;
    startWritingToDisk();
}

// The disk writes what the file has so far while the rest is put together:
// the sync at the end of a save then finds little left to wait for.
void CsvWriter::startWritingToDisk()
{
#ifdef Q_OS_LINUX
    auto *file = qobject_cast<QFileDevice *>(&m_device);
    if (!file || !m_ok)
        return;
    if (!file->flush()) // Qt's own buffer goes to the file first
        m_ok = false;
    else if (file->handle() >= 0)
        ::sync_file_range(file->handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

bool CsvWriter::finish()
{
    flush();
    return m_ok;
}
