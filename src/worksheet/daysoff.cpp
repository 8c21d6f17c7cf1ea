#include "daysoff.h"

#include "datetimetext.h"
#include "errors.h"
#include "worksheetfile.h"

#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr int FieldCount = 4;

const char *const KindNames[] = {"Vacation", "Holiday", "Sick", "Flex"};

QString dayText(QDate day)
{
    return formatDateText(fromQDate(day));
}

QString spanText(const DayOffSpan &span)
{
    return QStringLiteral("%1 %2 – %3").arg(dayOffKindName(span.kind), dayText(span.first), dayText(span.last));
}

// The span a line's fields give, or why they give none.
std::variant<DayOffSpan, QString> readSpan(std::span<const QStringView> fields, int century)
{
    if (fields.size() != FieldCount)
        return QStringLiteral("%1 fields instead of %2").arg(fields.size()).arg(FieldCount);
    DayOffSpan span;
    for (const auto &[day, text] : {std::pair(&span.first, fields[0]), std::pair(&span.last, fields[1])}) {
        const std::optional<DateTime> value = tryParseDate(text, century);
        if (!value)
            return ConversionError::invalidDate(text).message();
        *day = toQDate(*value);
    }
    const std::optional<DayOffKind> kind = readDayOffKind(fields[2]);
    if (!kind)
        return QStringLiteral("'%1' is not a kind of day off (Vacation, Holiday, Sick or Flex)").arg(fields[2]);
    span.kind = *kind;
    span.note = fields[3].toString();
    if (span.last < span.first)
        return QStringLiteral("the last day comes before the first");
    return span;
}

} // namespace

QString dayOffKindName(DayOffKind kind)
{
    return QString::fromLatin1(KindNames[int(kind)]);
}

std::optional<DayOffKind> readDayOffKind(QStringView text)
{
    for (int kind = 0; kind < int(std::size(KindNames)); ++kind)
        if (text == QLatin1StringView(KindNames[kind]))
            return DayOffKind(kind);
    return std::nullopt;
}

bool owesNothing(DayOffKind kind)
{
    return kind != DayOffKind::Flex;
}

DaysOff DaysOff::read(const QString &path)
{
    DaysOff daysOff;
    QFile file(path);
    if (!file.exists())
        return daysOff;
    if (!file.open(QIODevice::ReadOnly))
        throw FileOpenError(path);
    const QByteArray bytes = file.readAll();
    const QString fileName = QFileInfo(path).fileName();
    const int century = currentCentury();
    daysOff.m_encoding = readCsvBytes(bytes, [&](int line, std::span<const QStringView> fields) {
        std::variant<DayOffSpan, QString> span = readSpan(fields, century);
        if (const DayOffSpan *read = std::get_if<DayOffSpan>(&span))
            if (const DayOffSpan *other = daysOff.overlapOf(*read, -1))
                span = QStringLiteral("it overlaps %1 of an earlier line").arg(spanText(*other));
        if (const DayOffSpan *read = std::get_if<DayOffSpan>(&span)) {
            daysOff.m_lines.emplace_back(*read);
            return;
        }
        daysOff.m_problems << QStringLiteral("%1, line %2: %3. The line is kept as it is and counts for nothing.")
                                  .arg(fileName)
                                  .arg(line + 1)
                                  .arg(std::get<QString>(span));
        QStringList kept;
        for (const QStringView field : fields)
            kept << field.toString();
        daysOff.m_lines.emplace_back(kept);
    });
    return daysOff;
}

void DaysOff::write(const QString &path) const
{
    std::vector<QStringList> rows;
    rows.reserve(m_lines.size());
    for (const Line &line : m_lines) {
        if (const DayOffSpan *span = std::get_if<DayOffSpan>(&line))
            rows.push_back({dayText(span->first), dayText(span->last), dayOffKindName(span->kind), span->note});
        else
            rows.push_back(std::get<QStringList>(line));
    }
    // One character that Windows-1252 lacks puts the whole file in UTF-8.
    CsvEncoding encoding = m_encoding;
    for (const QStringList &row : rows)
        if (!std::all_of(row.begin(), row.end(), [](const QString &field) { return fitsWindows1252(field); }))
            encoding = CsvEncoding::Utf8;

    // As the worksheet is saved: a temporary file that replaces the old one
    // only once it is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw FileCreateError(path);
    CsvWriter writer(file, encoding);
    std::vector<QStringView> fields;
    for (const QStringList &row : rows) {
        fields.assign(row.begin(), row.end());
        writer.writeRow(fields);
    }
    if (!writer.finish() || !file.commit())
        throw FileCreateError(path);
}

std::vector<DayOffSpan> DaysOff::spans() const
{
    std::vector<DayOffSpan> spans;
    for (const Line &line : m_lines)
        if (const DayOffSpan *span = std::get_if<DayOffSpan>(&line))
            spans.push_back(*span);
    return spans;
}

std::optional<QString> DaysOff::add(const DayOffSpan &span)
{
    if (std::optional<QString> refused = refusal(span, -1))
        return refused;
    m_lines.emplace_back(span);
    return std::nullopt;
}

std::optional<QString> DaysOff::replace(int index, const DayOffSpan &span)
{
    if (std::optional<QString> refused = refusal(span, index))
        return refused;
    *lineOfSpan(index) = span;
    return std::nullopt;
}

void DaysOff::remove(int index)
{
    m_lines.erase(lineOfSpan(index));
}

std::optional<DayOffKind> DaysOff::kindOn(QDate day) const
{
    for (const Line &line : m_lines)
        if (const DayOffSpan *span = std::get_if<DayOffSpan>(&line); span && span->contains(day))
            return span->kind;
    return std::nullopt;
}

std::vector<DaysOff::Line>::iterator DaysOff::lineOfSpan(int index)
{
    int spanIndex = -1;
    for (auto line = m_lines.begin(); line != m_lines.end(); ++line)
        if (std::holds_alternative<DayOffSpan>(*line) && ++spanIndex == index)
            return line;
    throw ListIndexError(index);
}

std::optional<QString> DaysOff::refusal(const DayOffSpan &span, int skipped) const
{
    if (!span.first.isValid() || !span.last.isValid() || span.last < span.first)
        return QStringLiteral("The last day, %1, comes before the first, %2.")
            .arg(dayText(span.last), dayText(span.first));
    if (const DayOffSpan *other = overlapOf(span, skipped))
        return QStringLiteral("%1 overlaps %2.").arg(spanText(span), spanText(*other));
    return std::nullopt;
}

const DayOffSpan *DaysOff::overlapOf(const DayOffSpan &span, int skipped) const
{
    int index = -1;
    for (const Line &line : m_lines) {
        const DayOffSpan *other = std::get_if<DayOffSpan>(&line);
        if (other && ++index != skipped && other->first <= span.last && span.first <= other->last)
            return other;
    }
    return nullptr;
}
