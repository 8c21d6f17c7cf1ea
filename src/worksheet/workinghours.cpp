#include "workinghours.h"

#include "datetimetext.h"
#include "errors.h"
#include "inifile.h"
#include "worksheet.h"
#include "worksheettotals.h"

#include <algorithm>
#include <QDate>

namespace {

const QString Section = QStringLiteral("WorkingHours");

} // namespace

bool owesTime(QStringView cell)
{
    const std::optional<DateTime> time = tryParseTime(cell);
    return time ? *time > 0 : !cell.trimmed().isEmpty();
}

QString WorkingHours::dayKey(int day)
{
    static const char *const keys[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    return QString::fromLatin1(keys[day - 1]);
}

WorkingHours WorkingHours::read(const QString &settingsPath)
{
    IniFile settings;
    settings.read(settingsPath); // a file that cannot be read sets no day
    WorkingHours hours;
    for (int day = 1; day <= 7; ++day) {
        const QString owed = settings.value(Section, dayKey(day)).value_or(QString()).trimmed();
        if (owed.isEmpty())
            continue;
        // "hh:mm" below 24 hours; anything else owes nothing, and is told.
        try {
            hours.setMinutes(day, int(readDuration(owed).minutes));
        } catch (const ConversionError &e) {
            hours.m_unreadable << e.message();
        }
    }
    return hours;
}

void WorkingHours::requireReadable() const
{
    if (!m_unreadable.isEmpty())
        throw ConversionError(m_unreadable.join(u'\n'));
}

bool WorkingHours::write(const QString &settingsPath) const
{
    IniFile settings;
    if (!settings.read(settingsPath))
        return false;
    for (int day = 1; day <= 7; ++day) {
        const std::optional<int> owed = minutes(day);
        settings.setValue(Section, dayKey(day), owed ? formatMinuteTotal(*owed) : QString());
    }
    return settings.write(settingsPath);
}

std::optional<int> WorkingHours::minutesOn(const QDate &date) const
{
    return date.isValid() ? minutes(date.dayOfWeek()) : std::nullopt;
}

bool WorkingHours::isEmpty() const
{
    return std::none_of(m_minutes.begin(), m_minutes.end(), [](const std::optional<int> &m) { return m.has_value(); });
}

QString WorkingHours::nominalTimeOfNewRow(const CellTable &rows, DateTime date) const
{
    if (!minutesOn(toQDate(date)))
        return nominalTimeOfNewRow(false, date);
    // The program writes nominal dates as "dd-mm-yy"; one typed into the file
    // in another form ("7-12-26") is read as a date.
    const QString dayText = formatDateText(date);
    const DateTime dayValue = fromQDate(toQDate(date));
    const int century = currentCentury();
    for (int row = 1; row < rows.rowCount(); ++row) {
        const QStringView cell = rows.cell(NominalDateColumn, row);
        if (cell != dayText && tryParseDate(cell, century) != dayValue)
            continue;
        if (owesTime(rows.cell(NominalTimeColumn, row)))
            return nominalTimeOfNewRow(true, date);
    }
    return nominalTimeOfNewRow(false, date);
}

QString WorkingHours::nominalTimeOfNewRow(bool dayOwes, DateTime date) const
{
    const std::optional<int> target = minutesOn(toQDate(date));
    return target && !dayOwes ? formatMinuteTotal(*target) : QStringLiteral("00:00");
}
