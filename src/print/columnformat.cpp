#include "columnformat.h"

#include "numbertext.h"

TableColumn parseColumn(QStringView entry, const FormatRules &rules)
{
    TableColumn column;
    if (!entry.isEmpty()) {
        switch (entry.front().unicode()) {
        case '<':
            entry = entry.mid(1);
            break;
        case '>':
            column.alignment = Qt::AlignRight;
            entry = entry.mid(1);
            break;
        case '^':
            column.alignment = Qt::AlignHCenter;
            entry = entry.mid(1);
            break;
        }
    }
    column.width = tryParseFloat(entry, rules.decimalSeparator).value_or(rules.defaultColWidth);
    return column;
}

QList<TableColumn> parseColumnFormat(const QString &format, const FormatRules &rules)
{
    QList<TableColumn> columns;
    for (QStringView entry : QStringView(format).split(rules.separator))
        columns.append(parseColumn(entry, rules));
    return columns;
}

QString formatGeneral(double value, QChar decimalSeparator)
{
    QString text = QString::number(value, 'g', 15);
    text.replace(u'.', decimalSeparator);
    return text;
}

QString normaliseFormat(const QString &format, const FormatRules &rules, std::optional<TMeasureUnit> convertTo)
{
    if (format.isEmpty())
        return {};
    QStringList entries;
    for (const TableColumn &column : parseColumnFormat(format, rules)) {
        const double width = convertTo ? convertLength(column.width, *convertTo) : column.width;
        const QChar letter = column.alignment == Qt::AlignRight ? u'>'
            : column.alignment == Qt::AlignHCenter              ? u'^'
                                                                : u'<';
        entries.append(letter + formatGeneral(width, rules.decimalSeparator));
    }
    return entries.join(rules.separator);
}

QString expandTokens(QString text, const TokenValues &values)
{
    text.replace(QStringLiteral("{$LINE}"), values.line);
    text.replace(QStringLiteral("{$PAGE}"), values.page);
    text.replace(QStringLiteral("{$DATE}"), values.date);
    text.replace(QStringLiteral("{$TIME}"), values.time);
    text.replace(QStringLiteral("{$TITLE}"), values.title);
    return text;
}
