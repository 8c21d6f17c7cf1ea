#pragma once

#include <optional>
#include <QDateTime>
#include <QString>

/// A span the person was away while the stopwatch ran, waiting for their
/// answer.
struct AwaySpan
{
    QDateTime from; // the last input, the lock or the sleep
    QDateTime to; // the return
    bool asleep = false; // the computer slept through the whole span
    QString periodStart; // the Start text of the period that ran meanwhile

    /// The whole minutes between the minutes from and to are shown with.
    qint64 minutes() const;
    /// "hh:mm" of from, with its date in the worksheet's form when to falls
    /// on another day.
    QString fromText() const;
    /// The question put to the person; lastRun when the span was recorded
    /// while Worktally last ran.
    QString question(bool lastRun) const;
};

/// The away spans reported while the stopwatch runs, merged into one span
/// that waits for an answer. The waiting span is kept in a file from the
/// moment it is known until it is answered, so that an exit, a logout or a
/// signal before the answer leaves it for the next start.
class AwayTime
{
public:
    /// pendingPath is the file that keeps the waiting span.
    explicit AwayTime(QString pendingPath);

    /// The person was away from from to to (asleep: the computer slept
    /// then) while the period starting at runningStart ran; runningStart is
    /// empty when the stopwatch is off. Only the part after the period's
    /// start counts, and only when it lasts minimumMinutes or more. A span
    /// of the period already waiting is merged with it, from the first start
    /// to the last end. True when the waiting span changed.
    bool report(const QDateTime &from, const QDateTime &to, bool asleep, const QString &runningStart,
        int minimumMinutes);

    /// The span waiting for an answer.
    const std::optional<AwaySpan> &pending() const { return m_pending; }
    /// True when the waiting span was recorded while Worktally last ran.
    bool isFromLastRun() const { return m_fromLastRun; }
    /// Takes up the span left waiting when Worktally last ended; true when
    /// there is one. A file that does not read is removed.
    bool readLastRun();
    /// The waiting span is answered: it is forgotten and its file removed.
    void answered();

private:
    void write() const;

    QString m_path;
    std::optional<AwaySpan> m_pending;
    bool m_fromLastRun = false;
};
