#pragma once

#include "datetime.h"

#include <array>
#include <optional>
#include <QString>
#include <QStringList>

class CellTable;
class QDate;

/// The working time a user owes on each weekday, kept in the settings file
/// under [WorkingHours] as "hh:mm" per day (keys Mon … Sun). A day without a
/// value owes nothing; with no day set, nothing in the program changes.
/// Whether an hh:mm cell owes time: empty and zero ("00:00", " 0:00") do not.
bool owesTime(QStringView cell);

class WorkingHours
{
public:
    /// Reads the days from the settings file; a missing file, key or a value
    /// that is not a time below 24 hours leaves that day without a target.
    static WorkingHours read(const QString &settingsPath);
    /// Raises ConversionError naming each value read that is not a time
    /// (one line each), for the places that tell the user.
    void requireReadable() const;
    /// Writes every day (an empty value for a day without a target); false
    /// when the file could not be written.
    bool write(const QString &settingsPath) const;

    /// Minutes owed on day (1 = Monday … 7 = Sunday, as QDate::dayOfWeek).
    std::optional<int> minutes(int day) const { return m_minutes.at(day - 1); }
    void setMinutes(int day, std::optional<int> minutes) { m_minutes.at(day - 1) = minutes; }
    /// Minutes owed on date's weekday.
    std::optional<int> minutesOn(const QDate &date) const;
    bool isEmpty() const;

    /// The hh:mm a new row for date's day starts with: that weekday's target
    /// while no row of rows with that nominal date owes time yet, so that a
    /// day is owed once; else "00:00".
    QString nominalTimeOfNewRow(const CellTable &rows, DateTime date) const;
    /// The same, told whether a row of date's day owes time already.
    QString nominalTimeOfNewRow(bool dayOwes, DateTime date) const;

    /// The settings key of day: "Mon" … "Sun".
    static QString dayKey(int day);

private:
    std::array<std::optional<int>, 7> m_minutes;
    QStringList m_unreadable; // the conversion messages of the values that did not read
};
