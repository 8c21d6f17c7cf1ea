#pragma once

#include "printunits.h"

#include <optional>
#include <QList>
#include <QString>

// Column formats of table rows: entries separated by the token separator,
// each an optional alignment letter ("<" left, ">" right, "^" centred)
// followed by a width in the measure unit, e.g. "<28|>15|^20".

/// What reading a format depends on besides the format itself.
struct FormatRules
{
    QChar separator = u'|';
    /// The width of an entry without a usable number.
    double defaultColWidth = 0;
    QChar decimalSeparator = u'.';

    bool operator==(const FormatRules &) const = default;
};

/// One column: a negative width means a column without a cell frame, as
/// wide as the absolute value.
struct TableColumn
{
    Qt::AlignmentFlag alignment = Qt::AlignLeft;
    double width = 0;
};

TableColumn parseColumn(QStringView entry, const FormatRules &rules);
/// Every separator starts a new column; an empty format is one column.
QList<TableColumn> parseColumnFormat(const QString &format, const FormatRules &rules);

/// The stored form: each entry as its alignment letter and its width in the
/// shortest decimal form. With convertTo, widths are converted to that unit
/// on the way. An empty format stays empty.
QString normaliseFormat(
    const QString &format, const FormatRules &rules, std::optional<TMeasureUnit> convertTo = std::nullopt);

/// A number in its shortest general form, up to 15 significant digits.
QString formatGeneral(double value, QChar decimalSeparator);

/// The values of the tokens a table cell may hold.
struct TokenValues
{
    QString line;
    QString page;
    QString date;
    QString time;
    QString title;
};

/// Replaces "{$LINE}", "{$PAGE}", "{$DATE}", "{$TIME}" and "{$TITLE}" (in
/// this order, case-sensitive) by their values.
QString expandTokens(QString text, const TokenValues &values);
