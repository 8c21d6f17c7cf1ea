#include "stopwatchnotices.h"

#include "datetimetext.h"
#include "today.h"

namespace {

constexpr qint64 LongPeriodSeconds = 12 * 60 * 60;
// The person who answered about the period's away time this recently knows
// that it runs.
constexpr qint64 RecentAnswerSeconds = 60 * 60;

} // namespace

QStringList StopwatchNotices::due(const QDateTime &periodStart, const Balance &today, const QDateTime &now)
{
    QStringList notices;
    // A day that owes nothing has nothing to reach.
    if (today.owed > 0 && today.home >= today.owed && m_targetDay != now.date()) {
        m_targetDay = now.date();
        notices << QStringLiteral("Today's %1 are done.").arg(formatMinuteTotal(today.owed));
    }
    if (periodStart.secsTo(now) >= LongPeriodSeconds && m_longPeriod != periodStart) {
        m_longPeriod = periodStart;
        const bool justAnswered = m_answeredPeriod == periodStart && m_answeredAt.secsTo(now) < RecentAnswerSeconds;
        if (!justAnswered)
            notices << QStringLiteral("The stopwatch has been running for 12 hours. Forgotten to stop it?");
    }
    return notices;
}

void StopwatchNotices::awayAnswered(const QDateTime &periodStart, const QDateTime &answeredAt)
{
    m_answeredPeriod = periodStart;
    m_answeredAt = answeredAt;
}
