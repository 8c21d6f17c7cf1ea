#include "workinghours.h"

#include "datetimetext.h"
#include "worksheet.h"
#include "worksheettotals.h"

#include <algorithm>
#include <QDate>
#include <QSettings>

namespace {

const QString Section = QStringLiteral("WorkingHours/");

// Whether an hh:mm cell owes time: empty and zero ("00:00", " 0:00") do not.
bool owesTime(QStringView cell)
{
    const std::optional<DateTime> time = tryParseTime(cell);
    return time ? *time > 0 : !cell.trimmed().isEmpty();
}

} // namespace

QString WorkingHours::dayKey(int day)
{
    static const char *const keys[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    return QString::fromLatin1(keys[day - 1]);
}

WorkingHours WorkingHours::read(const QString &settingsPath)
{
    const QSettings settings(settingsPath, QSettings::IniFormat);
    WorkingHours hours;
    for (int day = 1; day <= 7; ++day) {
        // "hh:mm" below 24 hours; anything else owes nothing.
        const QString owed = settings.value(Section + dayKey(day)).toString().trimmed();
        if (const std::optional<qint64> minutes = tryReadMinutes(owed))
            hours.setMinutes(day, int(*minutes));
    }
    return hours;
}

bool WorkingHours::write(const QString &settingsPath) const
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    for (int day = 1; day <= 7; ++day) {
        const std::optional<int> owed = minutes(day);
        settings.setValue(Section + dayKey(day), owed ? formatMinuteTotal(*owed) : QString());
    }
    settings.sync();
    return settings.status() == QSettings::NoError;
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
    const QString nothingOwed = QStringLiteral("00:00");
    const QDate day = toQDate(date);
    const std::optional<int> target = minutesOn(day);
    if (!target)
        return nothingOwed;
    // The program writes nominal dates as "dd-mm-yy"; one typed into the file
    // in another form ("7-12-26") is read as a date.
    const QString dayText = formatDateText(date);
    const DateTime dayValue = fromQDate(day);
    const int century = currentCentury();
    for (int row = 1; row < rows.rowCount(); ++row) {
        const QStringView cell = rows.cell(NominalDateColumn, row);
        if (cell != dayText && tryParseDate(cell, century) != dayValue)
            continue;
        if (owesTime(rows.cell(NominalTimeColumn, row)))
            return nothingOwed;
    }
    return formatMinuteTotal(*target);
}
