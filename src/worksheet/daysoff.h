#pragma once

#include "csvcodec.h"

#include <optional>
#include <QDate>
#include <QString>
#include <QStringList>
#include <variant>
#include <vector>

/// Why a day owes nothing or its usual hours: Vacation, Holiday and Sick owe
/// nothing, Flex (a day taken off against the balance) owes its weekday's hours.
enum class DayOffKind { Vacation, Holiday, Sick, Flex };

/// "Vacation", "Holiday", "Sick" or "Flex": the kind as the file writes it.
QString dayOffKindName(DayOffKind kind);
/// The kind a file's text names, exactly as dayOffKindName writes it.
std::optional<DayOffKind> readDayOffKind(QStringView text);
/// Whether a day of kind owes nothing.
bool owesNothing(DayOffKind kind);

/// A span of days off, first to last day inclusive.
struct DayOffSpan
{
    QDate first;
    QDate last;
    DayOffKind kind = DayOffKind::Vacation;
    QString note;

    bool contains(QDate day) const { return first <= day && day <= last; }
    bool operator==(const DayOffSpan &) const = default;
};

/// The days off kept in DaysOff.csv, a line per span:
/// "first day","last day","kind","note", the days as "dd-mm-yy", written as
/// the worksheet is (every field quoted, CR LF, the encoding it was read in).
/// A line that does not read as a span is told (problems()) and kept as the
/// fields it had: writing the file back writes it again in its place.
class DaysOff
{
public:
    /// Reads path; a missing file has no days off. Raises FileOpenError when
    /// the file is there but cannot be read: then it must not be written over.
    static DaysOff read(const QString &path);
    /// Replaces path as a whole, never leaving it half written; raises
    /// FileCreateError when that fails (the old file is then untouched).
    void write(const QString &path) const;

    /// The spans in the order of the file.
    std::vector<DayOffSpan> spans() const;
    /// One message per line that did not read, naming its line number.
    const QStringList &problems() const { return m_problems; }

    /// Adds span at the end; replaces the span at index (of spans()); removes
    /// it. Adding and replacing give the reason when they refuse: a last day
    /// before the first, or a day that another span holds already.
    std::optional<QString> add(const DayOffSpan &span);
    std::optional<QString> replace(int index, const DayOffSpan &span);
    void remove(int index);

    /// The kind of day off of day, if it lies in a span.
    std::optional<DayOffKind> kindOn(QDate day) const;

private:
    using Line = std::variant<DayOffSpan, QStringList>; // a span, or the fields of a line that did not read
    /// The line that holds the span at index.
    std::vector<Line>::iterator lineOfSpan(int index);
    /// Why span cannot join the others, leaving out the one at index skipped
    /// (the one it replaces).
    std::optional<QString> refusal(const DayOffSpan &span, int skipped) const;
    /// The span that shares a day with span, leaving out the one at index skipped.
    const DayOffSpan *overlapOf(const DayOffSpan &span, int skipped) const;

    std::vector<Line> m_lines;
    QStringList m_problems;
    CsvEncoding m_encoding = CsvEncoding::Utf8;
};
