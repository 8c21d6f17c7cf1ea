#pragma once

#include "daysoff.h"
#include "today.h"

#include <optional>
#include <QDate>
#include <QString>
#include <vector>

class WorkingHours;

/// The flex-time account's first day and the balance carried into it, kept
/// in the settings file under [Account] as Start ("dd-mm-yy") and Opening
/// ("+hh:mm" or "-hh:mm"; none is +00:00). Without a Start there is no
/// account, and nothing in the program changes.
class AccountSetting
{
public:
    /// Reads the settings file. A Start or an Opening that does not read
    /// gives no account, and problem() says why.
    static AccountSetting read(const QString &settingsPath);
    /// Writes Start and Opening, both empty without an account (a file that
    /// never had them is left as it is then); only their own lines change.
    /// False when the file could not be written.
    bool write(const QString &settingsPath) const;

    bool isSet() const { return m_start.isValid(); }
    QDate start() const { return m_start; }
    qint64 openingMinutes() const { return m_opening; }
    /// An account from start with opening minutes carried in; a null start
    /// turns the account off.
    void set(QDate start, qint64 openingMinutes);
    /// Why the stored account did not read, for the places that tell the
    /// user; empty when it read or was not set.
    const QString &problem() const { return m_problem; }

    /// "+hh:mm" or "-hh:mm", hours without a limit; none when text is not that.
    /// (formatDifference writes it.)
    static std::optional<qint64> readOpening(QStringView text);

private:
    QDate m_start;
    qint64 m_opening = 0;
    QString m_problem;
};

/// One day of the account.
struct AccountDay
{
    QDate day;
    qint64 worked = 0; // the Time of the periods that start that day
    qint64 owed = 0;
    std::optional<DayOffKind> dayOff;

    bool operator==(const AccountDay &) const = default;
};

/// The account added up through yesterday.
struct AccountSums
{
    QDate start;
    qint64 opening = 0;
    qint64 worked = 0;
    qint64 owed = 0;

    /// Opening plus worked minus owed.
    qint64 balance() const { return opening + worked - owed; }
};

/// The account from its Start up to and including yesterday: a day owes the
/// nominal times of the rows dated that day when any of them owes time, what
/// the person typed holding; otherwise its weekday's working hours, unless
/// it is a Vacation, Holiday or Sick day (then nothing); a Flex day owes its
/// weekday's hours. Today is kept apart, by the same rule, as it is not over.
class Account
{
public:
    /// Nothing is counted when setting has no account. days holds the whole
    /// worksheet or at least the days from Start up to today.
    Account(const AccountSetting &setting, const WorksheetDays &days, const WorkingHours &hours,
        const DaysOff &daysOff, QDate today);

    /// Each day from Start through yesterday, in order.
    const std::vector<AccountDay> &days() const { return m_days; }
    const AccountSums &sums() const { return m_sums; }
    /// Today's worked and owed minutes; none counted before Start.
    const AccountDay &today() const { return m_today; }

private:
    std::vector<AccountDay> m_days;
    AccountSums m_sums;
    AccountDay m_today;
};
