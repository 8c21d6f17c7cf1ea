#include "account.h"

#include "datetimetext.h"
#include "inifile.h"
#include "workinghours.h"
#include "worksheettotals.h"

#include <algorithm>

namespace {

const QString Section = QStringLiteral("Account");
const QString StartKey = QStringLiteral("Start");
const QString OpeningKey = QStringLiteral("Opening");

} // namespace

AccountSetting AccountSetting::read(const QString &settingsPath)
{
    IniFile settings;
    settings.read(settingsPath); // a file that cannot be read sets no account
    AccountSetting account;
    const QString start = settings.value(Section, StartKey).value_or(QString());
    if (start.isEmpty())
        return account;
    const QString opening = settings.value(Section, OpeningKey).value_or(QString());
    const std::optional<DateTime> startDay = tryParseDate(start, currentCentury());
    const std::optional<qint64> openingMinutes = opening.isEmpty() ? 0 : readOpening(opening);
    if (!startDay)
        account.m_problem = QStringLiteral("The account's start, '%1', is not a date (dd-mm-yy).").arg(start);
    else if (!openingMinutes)
        account.m_problem
            = QStringLiteral("The account's opening balance, '%1', is not a signed time (+hh:mm or -hh:mm).")
                  .arg(opening);
    else
        account.set(toQDate(*startDay), *openingMinutes);
    return account;
}

bool AccountSetting::write(const QString &settingsPath) const
{
    IniFile settings;
    if (!settings.read(settingsPath))
        return false;
    // Turning off what was never on leaves the file as it was.
    if (!isSet() && !settings.value(Section, StartKey))
        return true;
    settings.setValue(Section, StartKey, isSet() ? formatDateText(fromQDate(m_start)) : QString());
    settings.setValue(Section, OpeningKey, isSet() ? formatDifference(m_opening) : QString());
    return settings.write(settingsPath);
}

void AccountSetting::set(QDate start, qint64 openingMinutes)
{
    m_start = start;
    m_opening = start.isValid() ? openingMinutes : 0;
    m_problem.clear();
}

std::optional<qint64> AccountSetting::readOpening(QStringView text)
{
    text = text.trimmed();
    const qsizetype colon = text.indexOf(u':');
    if (text.size() < 2 || (text[0] != u'+' && text[0] != u'-') || colon < 2 || text.size() - colon != 3)
        return std::nullopt;
    const QStringView hoursText = text.sliced(1, colon - 1);
    const QStringView minutesText = text.sliced(colon + 1);
    auto allDigits = [](QStringView digits) {
        return std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    // More hours than anyone carries over would overflow the sums.
    if (!allDigits(hoursText) || !allDigits(minutesText) || hoursText.size() > 6)
        return std::nullopt;
    const qint64 minutes = minutesText.toInt();
    if (minutes > 59)
        return std::nullopt;
    const qint64 total = hoursText.toLongLong() * 60 + minutes;
    return text[0] == u'-' ? -total : total;
}

namespace {

AccountDay dayOfAccount(QDate day, const WorksheetDays &days, const WorkingHours &hours, const DaysOff &daysOff)
{
    const Balance rows = days.on(day);
    AccountDay result{day, rows.home, rows.owed, daysOff.kindOn(day)};
    // What the person typed holds; a day without it owes its working hours,
    // a day off nothing.
    if (result.owed == 0 && !(result.dayOff && owesNothing(*result.dayOff)))
        result.owed = hours.minutesOn(day).value_or(0);
    return result;
}

} // namespace

Account::Account(const AccountSetting &setting, const WorksheetDays &days, const WorkingHours &hours,
    const DaysOff &daysOff, QDate today)
{
    if (!setting.isSet())
        return;
    m_sums.start = setting.start();
    m_sums.opening = setting.openingMinutes();
    if (setting.start() < today)
        m_days.reserve(size_t(setting.start().daysTo(today)));
    for (QDate day = setting.start(); day < today; day = day.addDays(1)) {
        m_days.push_back(dayOfAccount(day, days, hours, daysOff));
        m_sums.worked += m_days.back().worked;
        m_sums.owed += m_days.back().owed;
    }
    if (setting.start() <= today)
        m_today = dayOfAccount(today, days, hours, daysOff);
}
