#include "csvcodec.h"

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

// The quoted field that starts at line[pos] (a quote): the text up to the
// first quote not followed by a second one, which pos moves past. Without a
// closing quote it is the rest of the line and pos moves to its end. Shared by
// ExtractQuotedField (characters) and the file reader (bytes).
template<typename View> struct QuotedSpan
{
    View text;
    bool doubled; // holds doubled quotes, to be made single
};

// find(line, from) is the index of the next quote at or after from, or -1.
template<typename View, typename Char, typename Find>
QuotedSpan<View> findQuoted(View line, qsizetype &pos, Char quote, Find find)
{
    const qsizetype start = ++pos;
    bool doubled = false;
    while ((pos = find(line, pos)) >= 0) {
        if (pos + 1 < line.size() && line[pos + 1] == quote) {
            doubled = true;
            pos += 2;
            continue;
        }
        return {line.sliced(start, pos++ - start), doubled};
    }
    pos = line.size();
    return {line.sliced(start), doubled};
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
    if (span.doubled)
        field.replace(QString(2, quote), QString(quote));
    return field;
}

namespace {

// Codes 1 to 32: control characters and the blank, skipped between fields.
bool isBlankOrControl(char c)
{
    return c >= 1 && c <= 32;
}

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
// onField with whether it holds doubled quotes. readable is the end of the
// text the line lies in.
template<typename OnField> void splitFields(QByteArrayView line, const char *readable, OnField onField)
{
    qsizetype i = 0;
    const qsizetype length = line.size();
    auto skipBlanks = [&] {
        while (i < length && isBlankOrControl(line[i]))
            ++i;
    };
    auto findQuote = [&](QByteArrayView text, qsizetype from) {
        const char *end = text.data() + text.size();
        const char *found = findByte(text.data() + from, end, '"', readable);
        return found < end ? found - text.data() : -1;
    };
    skipBlanks();
    while (i < length) {
        if (line[i] == '"') {
            const auto quoted = findQuoted(line, i, '"', findQuote);
            onField(quoted.text, quoted.doubled);
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
// past what it widens.
qsizetype widenAscii(QChar *out, const char *in, qsizetype n, const char *readable)
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

// Turns the bytes of a field into UTF-16. Neither encoding yields more
// characters than bytes, so out needs room for bytes.size() characters, and
// 15 more.
//
// Each line is read as UTF-8 when it is valid UTF-8 and as Windows-1252
// otherwise: one stray byte then garbles no more than its own line. The choice
// is made at the line's first field with a byte above 127, so a line of plain
// ASCII is never checked.
class FieldDecoder
{
public:
    explicit FieldDecoder(QByteArrayView text)
        : m_readable(text.data() + text.size())
    { }

    void startLine(QByteArrayView line)
    {
        m_line = line;
        m_lineChecked = false;
    }

    QChar *decode(QChar *out, QByteArrayView bytes, bool doubledQuotes)
    {
        if (!doubledQuotes)
            return decode(out, bytes);
        // A run at a time, each up to and with a quote whose second one of
        // the pair is left out.
        const char *const end = bytes.data() + bytes.size();
        for (const char *p = bytes.data(); true;) {
            const char *quote = findByte(p, end, '"', m_readable);
            if (quote == end)
                return decode(out, QByteArrayView(p, end));
            out = decode(out, QByteArrayView(p, quote + 1));
            p = std::min(quote + 2, end);
        }
    }

    /// Windows-1252 only when no line was read as UTF-8.
    CsvEncoding encodingRead() const
    {
        return m_sawWindows1252 && !m_sawUtf8 ? CsvEncoding::Windows1252 : CsvEncoding::Utf8;
    }

private:
    QChar *decode(QChar *out, QByteArrayView bytes)
    {
        const qsizetype n = bytes.size();
        if (widenAscii(out, bytes.data(), n, m_readable) == n)
            return out + n;
        if (!m_lineChecked) {
            m_lineChecked = true;
            m_lineIsUtf8 = m_line.isValidUtf8();
            (m_lineIsUtf8 ? m_sawUtf8 : m_sawWindows1252) = true;
        }
        if (m_lineIsUtf8)
            return m_utf8.appendToBuffer(out, bytes);
        // Latin-1, mended where Windows-1252 differs.
        const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
        for (qsizetype i = 0; i < n; ++i)
            out[i] = QChar(in[i] >= 0x80 && in[i] < 0xA0 ? Windows1252High[in[i] - 0x80] : char16_t(in[i]));
        return out + n;
    }

    const char *m_readable;
    QByteArrayView m_line;
    bool m_lineChecked = false;
    bool m_lineIsUtf8 = false;
    bool m_sawUtf8 = false;
    bool m_sawWindows1252 = false;
    // Stateless: every field is whole. A byte-order mark inside a field is
    // text like any other; only the one before the whole file is dropped.
    QStringDecoder m_utf8 {
        QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom};
};

// Finds line ends with the library's fast byte search, remembering the next
// CR and LF so that each part of the text is searched once.
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
        const char *lineEnd = std::min(nextOf('\r', m_cr), nextOf('\n', m_lf));
        line = QByteArrayView(m_pos, lineEnd - m_pos);
        m_pos = lineEnd + ((lineEnd + 1 < m_end && lineEnd[0] == '\r' && lineEnd[1] == '\n') ? 2 : 1);
        return true;
    }

private:
    const char *nextOf(char c, const char *&cached)
    {
        if (cached < m_pos) {
            cached = static_cast<const char *>(std::memchr(m_pos, c, m_end - m_pos));
            if (!cached)
                cached = m_end;
        }
        return cached;
    }

    const char *m_pos;
    const char *m_end;
    const char *m_cr = nullptr;
    const char *m_lf = nullptr;
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
        decoder.startLine(line);
        splitFields(line, readable, [&](QByteArrayView field, bool doubledQuotes) {
            QChar *const start = out;
            out = decoder.decode(out, field, doubledQuotes);
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
