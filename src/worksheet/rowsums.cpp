#include "rowsums.h"

#include "csvcodec.h"
#include "datetimetext.h"
#include "worksheetrows.h"

#include <string_view>

RowSums &RowSums::operator+=(const RowSums &later)
{
    if (!later.anyRow)
        return *this;
    sums.home += later.sums.home;
    sums.nominal += later.sums.nominal;
    if (!anyRow) {
        sums.firstEndDate = later.sums.firstEndDate;
        sums.firstNominalDate = later.sums.firstNominalDate;
        anyRow = true;
    }
    sums.lastEndDate = later.sums.lastEndDate;
    sums.lastNominalDate = later.sums.lastNominalDate;
    today += later.today;
    week += later.week;
    return *this;
}

namespace {

QDate mondayOf(QDate day)
{
    return day.addDays(1 - day.dayOfWeek());
}

} // namespace

RowSums sumRows(CellTable &cells, QDate today)
{
    RowSums part;
    if (cells.rowCount() <= 2) // nothing but the empty bottom line
        return part;
    part.sums = sumWorksheet(cells);
    part.anyRow = true;
    const QDate monday = mondayOf(today);
    const QDate sunday = monday.addDays(6);
    const WorksheetDays days(cells, monday, sunday);
    part.today = days.on(today);
    part.week = days.over(monday, sunday);
    return part;
}

namespace {

// The start of a line as this program writes it: the Start, End, Time,
// spacer, nominal Date and hh:mm fields, quoted; 9 stands for a digit.
constexpr std::string_view WrittenStart = R"("99-99-99 99:99","99-99-99 99:99","99:99","","99-99-99","99:99")";
constexpr qsizetype StartAt = 1;
constexpr qsizetype EndAt = 18;
constexpr qsizetype TimeAt = 35;
constexpr qsizetype NominalDateAt = 46;
constexpr qsizetype NominalTimeAt = 57;
constexpr qsizetype DateLength = 8;
constexpr qsizetype DateTimeLength = 14;

bool startsAsWritten(const char *p)
{
    for (size_t i = 0; i < WrittenStart.size(); ++i) {
        if (WrittenStart[i] == '9' ? static_cast<unsigned char>(p[i] - '0') > 9 : p[i] != WrittenStart[i])
            return false;
    }
    return true;
}

int twoDigits(const char *p)
{
    return (p[0] - '0') * 10 + (p[1] - '0');
}

// The minutes of an "hh:mm" that reads as a time of day; none for one that
// does not (24:00, 07:60), which the table's reading reports.
std::optional<qint64> minutesOf(const char *p)
{
    const int hours = twoDigits(p);
    const int minutes = twoDigits(p + 3);
    if (hours > 23 || minutes > 59)
        return std::nullopt;
    return hours * 60 + minutes;
}

// A date as a number that sorts as the date does: yyyymmdd.
int dateKey(int year, int month, int day)
{
    return (year * 100 + month) * 100 + day;
}

// The date of a "dd-mm-yy" (and perhaps a time) at p, of length bytes, when
// it reads and lies first … last; none otherwise. The digits tell at once
// whether a date lies in between, if it is one: only those few are read in
// full, as WorksheetDays reads them.
std::optional<QDate> dateWithin(const char *p, qsizetype length, int century, int first, int last)
{
    const int key = dateKey(century + twoDigits(p + 6), twoDigits(p + 3), twoDigits(p));
    if (key < first || key > last)
        return std::nullopt;
    const std::optional<DateTime> value = tryParseDateTime(QString::fromLatin1(p, length), century);
    return value ? std::optional(toQDate(*value)) : std::nullopt;
}

// Past the line end at p and any blank lines after it, which hold no field:
// however CR and LF follow each other, they end lines and nothing else.
const char *pastLineEnds(const char *p, const char *end)
{
    while (p < end && (*p == '\r' || *p == '\n'))
        ++p;
    return p;
}

// Whether a line holds fields but no text in any: empty ones or "", apart
// by commas, as the empty bottom line is written. The table drops such rows.
bool holdsNoText(const char *p, const char *lineEnd)
{
    while (p < lineEnd) {
        if (*p == '"') {
            if (lineEnd - p < 2 || p[1] != '"')
                return false;
            p += 2;
        }
        if (p < lineEnd && *p++ != ',')
            return false;
    }
    return true;
}

} // namespace

std::optional<RowSums> sumWrittenLines(QByteArrayView bytes, QDate today)
{
    // What the file reader would take for UTF-16 is left to it.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return std::nullopt;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    const int century = currentCentury();
    const QDate monday = mondayOf(today);
    const QDate sunday = monday.addDays(6);
    const int mondayKey = dateKey(monday.year(), monday.month(), monday.day());
    const int sundayKey = dateKey(sunday.year(), sunday.month(), sunday.day());

    RowSums part;
    const char *firstRow = nullptr;
    const char *lastRow = nullptr;
    auto count = [&](qint64 Balance::*side, const std::optional<QDate> &date, qint64 minutes) {
        if (!date)
            return;
        part.week.*side += minutes;
        if (*date == today)
            part.today.*side += minutes;
    };
    const char *const end = bytes.data() + bytes.size();
    for (const char *line = bytes.data(); line < end;) {
        const char *lineEnd;
        if (end - line >= qsizetype(WrittenStart.size()) && startsAsWritten(line)) {
            // The sixth field closes before a comma or at the line end; what
            // follows it does not count.
            const char *afterFields = line + WrittenStart.size();
            if (afterFields < end && *afterFields != ',' && *afterFields != '\r' && *afterFields != '\n')
                return std::nullopt;
            const std::optional<qint64> worked = minutesOf(line + TimeAt);
            const std::optional<qint64> owed = minutesOf(line + NominalTimeAt);
            if (!worked || !owed)
                return std::nullopt;
            part.sums.home += *worked;
            part.sums.nominal += *owed;
            count(&Balance::home, dateWithin(line + StartAt, DateTimeLength, century, mondayKey, sundayKey), *worked);
            count(&Balance::owed, dateWithin(line + NominalDateAt, DateLength, century, mondayKey, sundayKey), *owed);
            if (!firstRow)
                firstRow = line;
            lastRow = line;
            lineEnd = findLineEnd(afterFields, end);
        } else {
            lineEnd = findLineEnd(line, end);
            if (!holdsNoText(line, lineEnd))
                return std::nullopt;
        }
        line = pastLineEnds(lineEnd, end);
    }
    if (firstRow) {
        part.anyRow = true;
        part.sums.firstEndDate = QString::fromLatin1(firstRow + EndAt, DateLength);
        part.sums.lastEndDate = QString::fromLatin1(lastRow + EndAt, DateLength);
        part.sums.firstNominalDate = QString::fromLatin1(firstRow + NominalDateAt, DateLength);
        part.sums.lastNominalDate = QString::fromLatin1(lastRow + NominalDateAt, DateLength);
    }
    return part;
}

RowSums sumLines(QByteArrayView bytes, QDate today)
{
    if (std::optional<RowSums> part = sumWrittenLines(bytes, today))
        return *part;
    CsvEncoding encoding;
    CellTable rows = worksheetRows(bytes, encoding);
    return sumRows(rows, today);
}
