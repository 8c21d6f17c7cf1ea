#include "workinghours.h"

#include "datetimetext.h"
#include "errors.h"
#include "worksheettotals.h"

#include <algorithm>
#include <QDate>
#include <QSettings>

namespace {

const QString Section = QStringLiteral("WorkingHours/");

// "hh:mm" below 24 hours; anything else owes nothing.
std::optional<int> readMinutes(const QString &text)
{
    try {
        return int(readDuration(text.trimmed()).minutes);
    } catch (const ConversionError &) {
        return std::nullopt;
    }
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
    for (int day = 1; day <= 7; ++day)
        hours.setMinutes(day, readMinutes(settings.value(Section + dayKey(day)).toString()));
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
