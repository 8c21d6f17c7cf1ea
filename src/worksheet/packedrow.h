#pragma once

#include <QStringView>

/// How a CellTable keeps a row in one string: for each cell a length, then
/// the characters. Lengths below PackedRowLongLength take one character;
/// longer ones are PackedRowLongLength followed by the length in two
/// characters (high half first). The cells after the last non-empty one are
/// left out.
constexpr char16_t PackedRowLongLength = 0xFFFF;

/// Reads the cells of a packed row one after another.
struct PackedRowCursor
{
    const QChar *p;
    const QChar *end;

    explicit PackedRowCursor(QStringView packed)
        : p(packed.data())
        , end(packed.data() + packed.size())
    { }

    bool atEnd() const { return p >= end; }

    QStringView next()
    {
        qsizetype length = p->unicode();
        ++p;
        if (length == PackedRowLongLength) {
            length = (qsizetype(p[0].unicode()) << 16) | p[1].unicode();
            p += 2;
        }
        QStringView cell(p, length);
        p += length;
        return cell;
    }
};
