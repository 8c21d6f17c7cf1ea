#pragma once

#include "awaydetector.h"

/// Reports what the test tells it to, as the desktop's detector would.
class FakeAwayDetector : public AwayDetector
{
public:
    int watchingFor = 0; // the minimum minutes while watching, 0 while stopped

    void start(int minimumMinutes) override { watchingFor = minimumMinutes; }
    void stop() override { watchingFor = 0; }
    void comeBack(const QDateTime &from, const QDateTime &to, Kind kind = Kind::Idle)
    {
        emit cameBack(from, to, kind);
    }
};
