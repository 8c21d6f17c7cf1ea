#pragma once

#include "contenthash.h"

#include <functional>
#include <QByteArray>
#include <QString>
#include <span>
#include <vector>

class QIODevice;

/// quote + text with every quote character doubled + quote.
QString QuotedField(QStringView text, QChar quote);

/// Reads the quoted field that starts at text[position] (a quote character):
/// the characters up to the closing quote, each doubled quote turned into
/// one, and moves position past the closing quote. The closing quote is the
/// first single quote followed by a comma or the line end (blanks may come
/// between); any other single quote is part of the text. Without a closing
/// quote the field is the whole rest of the text, and position moves to the
/// end. A position that is not at a quote gives an empty text and stays where
/// it is.
QString ExtractQuotedField(QStringView text, qsizetype &position, QChar quote);

/// The encodings a worksheet file is written in.
enum class CsvEncoding { Utf8, Windows1252 };

/// Splits a worksheet file's bytes into lines (ended by CR, LF, CR LF or
/// CR CR LF) and each line into its comma-separated, optionally quoted fields
/// (a quoted field as ExtractQuotedField reads it), and hands every line that
/// has at least one field to onLine with its index counted from 0. The fields
/// are valid only during the call.
///
/// Damaged files are read in full: a zero byte is read as a blank. A file
/// that starts with a UTF-16 byte-order mark is UTF-16. Otherwise each valid
/// UTF-8 sequence is read as UTF-8 (after an optional byte-order mark at the
/// start of the file) and each other byte as Windows-1252, what older Windows
/// programs wrote, so no character of a note is lost.
///
/// Returns the encoding to write the text back in: Windows-1252 when bytes
/// beyond ASCII were read as Windows-1252 and none as UTF-8, otherwise UTF-8.
using CsvLineHandler = std::function<void(int line, std::span<const QStringView> fields)>;
CsvEncoding readCsvBytes(QByteArrayView bytes, const CsvLineHandler &onLine);

/// About how many lines a file's bytes hold, judged by the lines in its
/// first 64 KiB, so that room for their rows is made at once. It never
/// exceeds a line per 16 bytes, whatever the start of the file looks like.
int estimateLineCount(QByteArrayView bytes);

/// The first CR or LF at p or after it and before end; end when there is none.
const char *findLineEnd(const char *p, const char *end);

/// Whether Windows-1252 has a byte for every character of text.
bool fitsWindows1252(QStringView text);

/// Writes rows as lines of quoted fields joined by commas, each ended by
/// CR LF, without a byte-order mark. The format cannot carry a line break
/// inside a field, so each one is written as a blank. In Windows-1252 a
/// character without a byte becomes "?": check fitsWindows1252 first.
class CsvWriter
{
public:
    explicit CsvWriter(QIODevice &device, CsvEncoding encoding = CsvEncoding::Utf8);

    void writeRow(std::span<const QStringView> fields);
    /// Writes a row kept as a CellTable keeps it (see packedrow.h) as
    /// fieldCount fields, the same bytes as writeRow of its cells: those
    /// beyond the cells kept are empty, those beyond fieldCount left out.
    void writePackedRow(QStringView packed, qsizetype fieldCount);
    /// Writes what is still buffered; false if the device refused any byte.
    bool finish();
    /// The ContentHash of the bytes written: of all of them after finish().
    size_t contentHash() const { return m_hash.value(); }

private:
    /// Room for bytes at the end of the buffer, flushing it first if need be.
    char *reserve(qsizetype bytes);
    void flush();
    void startWritingToDisk();

    QIODevice &m_device;
    CsvEncoding m_encoding;
    QByteArray m_buffer; // kept at its full size: the first m_used bytes wait
    qsizetype m_used = 0;
    ContentHash m_hash;
    bool m_ok = true;
    QByteArray m_narrowed; // a packed row of ASCII characters, one byte each
    std::vector<QStringView> m_fields; // the cells of a packed row beyond ASCII
};
