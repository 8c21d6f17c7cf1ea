// The clock's tick as the main window runs it twice a second: read the time,
// repaint what moved, check the alarm. The full repaint is timed beside it to
// show what painting only the moved hand saves.

#include "analogclock.h"
#include "clocksource.h"

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QPaintEvent>

namespace {

// Adds up the pixels the clock repaints.
class PaintedArea : public QObject
{
public:
    qint64 pixels = 0;
    int paints = 0;

    void reset()
    {
        pixels = 0;
        paints = 0;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect &r : static_cast<QPaintEvent *>(event)->region())
                pixels += qint64(r.width()) * r.height();
        }
        return false;
    }
};

// The main window's clock, shown, on a 1024-pixel-wide screen.
struct ShownClock
{
    FixedClock time {QDateTime(QDate(2026, 3, 9), QTime(10, 40, 15))};
    TAnalogClock clock;
    PaintedArea painted;

    explicit ShownClock(TShowClock mode)
    {
        clock.setShowMode(mode);
        clock.resize(131, 129);
        clock.installEventFilter(&painted);
        clock.show();
        while (painted.paints == 0)
            QCoreApplication::processEvents();
        painted.reset();
    }
    void report(benchmark::State &state) const
    {
        state.counters["paints"] = benchmark::Counter(painted.paints, benchmark::Counter::kAvgIterations);
        state.counters["pixels"] = benchmark::Counter(double(painted.pixels), benchmark::Counter::kAvgIterations);
    }
};

void useMainWindowScreen()
{
    TAnalogClock::setScreenMetrics(1024, 768, 256, 192);
}

// A second passes each tick, so one tick in 60 moves the minute hand too.
void tickEverySecond(benchmark::State &state, TShowClock mode)
{
    useMainWindowScreen();
    ShownClock shown(mode);
    for (auto _ : state) {
        shown.time.advance(1);
        shown.clock.Tick();
        QCoreApplication::processEvents();
    }
    shown.report(state);
}

void BM_ClockAnalogTick(benchmark::State &state)
{
    tickEverySecond(state, scAnalog);
}

void BM_ClockDigitalTick(benchmark::State &state)
{
    tickEverySecond(state, scDigital);
}

// What every tick would cost if it repainted the whole clock.
void BM_ClockAnalogFullRepaint(benchmark::State &state)
{
    useMainWindowScreen();
    ShownClock shown(scAnalog);
    for (auto _ : state) {
        shown.time.advance(1);
        shown.clock.Tick();
        shown.clock.update();
        QCoreApplication::processEvents();
    }
    shown.report(state);
}

} // namespace

BENCHMARK(BM_ClockAnalogTick);
BENCHMARK(BM_ClockDigitalTick);
BENCHMARK(BM_ClockAnalogFullRepaint);
