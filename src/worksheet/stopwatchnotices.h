#pragma once

#include <QDate>
#include <QDateTime>
#include <QStringList>

struct Balance;

/// What a running stopwatch tells the user through the notification area:
/// that today's target is reached, once a day, and that a period has been
/// running for 12 hours, once per period, unless the person answered about
/// their away time in that period within the hour before.
class StopwatchNotices
{
public:
    /// The away time in the period that started at periodStart was answered
    /// at answeredAt.
    void awayAnswered(const QDateTime &periodStart, const QDateTime &answeredAt);

    /// The notices due at now for the period that started at periodStart,
    /// today's balance counting that period up to now.
    QStringList due(const QDateTime &periodStart, const Balance &today, const QDateTime &now);

private:
    QDate m_targetDay; // the day whose target was reached and told
    QDateTime m_longPeriod; // the start of the period told to be long
    QDateTime m_answeredPeriod; // the start of the period whose away time was answered last
    QDateTime m_answeredAt;
};
