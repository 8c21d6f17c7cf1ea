#include "awaytime.h"

#include "datetime.h"
#include "datetimetext.h"

#include <QFile>
#include <QSaveFile>

namespace {

QDateTime toMinute(const QDateTime &time)
{
    const QTime t = time.time();
    return QDateTime(time.date(), QTime(t.hour(), t.minute()));
}

QString shownTime(const QDateTime &time, bool withDate)
{
    const DateTime value = fromQDateTime(time);
    return withDate ? formatDateTimeText(value) : formatTimeText(value);
}

const QString FromKey = QStringLiteral("From=");
const QString ToKey = QStringLiteral("To=");
const QString KindKey = QStringLiteral("Kind=");
const QString PeriodKey = QStringLiteral("Period=");
const QString Asleep = QStringLiteral("Asleep");
const QString Idle = QStringLiteral("Idle");

} // namespace

qint64 AwaySpan::minutes() const
{
    return toMinute(from).secsTo(toMinute(to)) / 60;
}

QString AwaySpan::fromText() const
{
    return shownTime(from, from.date() != to.date());
}

QString AwaySpan::question(bool lastRun) const
{
    const QString span = QStringLiteral("from %1 to %2 (%3 %4)")
                             .arg(fromText(), shownTime(to, from.date() != to.date()))
                             .arg(minutes())
                             .arg(minutes() == 1 ? QStringLiteral("minute") : QStringLiteral("minutes"));
    if (lastRun)
        return asleep ? QStringLiteral("While Worktally last ran the computer was asleep %1.").arg(span)
                      : QStringLiteral("While Worktally last ran you were away %1.").arg(span);
    return asleep ? QStringLiteral("The computer was asleep %1 while the stopwatch ran.").arg(span)
                  : QStringLiteral("You were away %1 while the stopwatch ran.").arg(span);
}

AwayTime::AwayTime(QString pendingPath)
    : m_path(std::move(pendingPath))
{ }

bool AwayTime::report(
    const QDateTime &from, const QDateTime &to, bool asleep, const QString &runningStart, int minimumMinutes)
{
    if (runningStart.isEmpty() || minimumMinutes <= 0)
        return false;
    const std::optional<DateTime> periodStart = tryParseDateTime(runningStart, currentCentury());
    if (!periodStart)
        return false;
    const QDateTime start = std::max(from, toQDateTime(*periodStart));
    if (start.secsTo(to) < qint64(minimumMinutes) * 60)
        return false;
    // One question per period: a span of another period while one waits
    // would be answered for the wrong period.
    if (m_pending && m_pending->periodStart != runningStart)
        return false;
    if (m_pending) {
        m_pending->from = std::min(m_pending->from, start);
        m_pending->to = std::max(m_pending->to, to);
        // "asleep" only where the computer slept throughout; "away" is true
        // of a sleep as well.
        m_pending->asleep = m_pending->asleep && asleep;
    } else {
        m_pending = AwaySpan {start, to, asleep, runningStart};
    }
    write();
    return true;
}

void AwayTime::write() const
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return; // the question is still asked now; only a later start would not ask it
    const AwaySpan &span = *m_pending;
    const QString text = FromKey + span.from.toString(Qt::ISODate) + '\n' + ToKey + span.to.toString(Qt::ISODate)
        + '\n' + KindKey + (span.asleep ? Asleep : Idle) + '\n' + PeriodKey + span.periodStart + '\n';
    file.write(text.toUtf8());
    file.commit();
}

bool AwayTime::readLastRun()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    AwaySpan span;
    QString kind;
    for (const QString &line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line.startsWith(FromKey))
            span.from = QDateTime::fromString(line.mid(FromKey.size()), Qt::ISODate);
        else if (line.startsWith(ToKey))
            span.to = QDateTime::fromString(line.mid(ToKey.size()), Qt::ISODate);
        else if (line.startsWith(KindKey))
            kind = line.mid(KindKey.size());
        else if (line.startsWith(PeriodKey))
            span.periodStart = line.mid(PeriodKey.size());
    }
    file.close();
    if (!span.from.isValid() || !span.to.isValid() || span.to < span.from || span.periodStart.isEmpty()
        || (kind != Asleep && kind != Idle)) {
        file.remove();
        return false;
    }
    span.asleep = kind == Asleep;
    m_pending = span;
    m_fromLastRun = true;
    return true;
}

void AwayTime::answered()
{
    m_pending.reset();
    m_fromLastRun = false;
    QFile::remove(m_path);
}
