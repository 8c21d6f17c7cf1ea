#include "friendlycode.h"

#include "localedates.h"

namespace {

std::optional<QChar> alignmentLetterOf(QChar code)
{
    switch (code.unicode()) {
    case 'l':
        return u'<';
    case 'c':
        return u'^';
    case 'r':
        return u'>';
    }
    return std::nullopt;
}

QString valueOf(QChar code, const FriendlyContext &context)
{
    switch (code.unicode()) {
    case 'd':
        return shortDateText(context.now);
    case 'D':
        return longDateText(context.now);
    case 't':
        return shortTimeText(context.now);
    case 'T':
        return longTimeText(context.now);
    case 'f':
        return fileNameOnly(context.fileName);
    case 'F':
        return context.fileName;
    case 'p':
        return QStringLiteral("{$PAGE}");
    case 'i':
        return QStringLiteral("{$TITLE}");
    case '&':
        return QStringLiteral("&");
    }
    return {};
}

} // namespace

QString fileNameOnly(const QString &path)
{
    qsizetype start = path.size();
    while (start > 0 && path[start - 1] != u'/' && path[start - 1] != u'\\' && path[start - 1] != u':')
        --start;
    return path.mid(start);
}

FriendlyRow translateFriendlyCode(QStringView code, const FriendlyContext &context)
{
    QString row;
    QString alignments;
    for (qsizetype i = 0; i < code.size(); ++i) {
        if (code[i] != u'&') {
            row.append(code[i]);
            continue;
        }
        if (++i == code.size())
            break; // a trailing "&" codes nothing
        if (const auto letter = alignmentLetterOf(code[i])) {
            // What came before the first alignment code is a left cell.
            if (!row.isEmpty()) {
                if (alignments.isEmpty())
                    alignments.append(u'<');
                row.append(context.rules.separator);
            }
            alignments.append(*letter);
        } else {
            const QString value = valueOf(code[i], context);
            row.append(value.isEmpty() ? QStringLiteral(" ") : value);
        }
    }
    if (alignments.isEmpty())
        alignments.append(u'<');

    QString width = QString::number(context.bodyWidth / alignments.size(), 'f', 2);
    width.replace(u'.', context.rules.decimalSeparator);
    QStringList cells;
    for (QChar letter : std::as_const(alignments))
        cells.append(letter + width);
    return {row, cells.join(context.rules.separator)};
}
