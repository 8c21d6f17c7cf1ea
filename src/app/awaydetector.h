#pragma once
#include <QDateTime>
#include <QObject>

/// What the desktop tells of the person's absence: a span without input (or with the screen locked), or a sleep.
class AwayDetector : public QObject
{
    Q_OBJECT
public:
    enum class Kind { Idle, Asleep };
    using QObject::QObject;
    /// Watches from now on; spans shorter than minimumMinutes are not reported.
    virtual void start(int minimumMinutes) = 0;
    virtual void stop() = 0;
signals:
    /// The person is back at backAt after being away since awayFrom (the last input, the lock, or the sleep).
    void cameBack(const QDateTime &awayFrom, const QDateTime &backAt, AwayDetector::Kind kind);
};
