// Away time: while the stopwatch runs, the person's absence is asked about
// on their return, and the answer stops the period where they left.

#include "mainwindow.h"

#include "awaydetector.h"
#include "awaysetting.h"
#include "awaytime.h"
#include "clocksource.h"
#include "datetimetext.h"
#include "hypergrid.h"
#include "messages.h"
#include "onoffswitch.h"
#include "stopwatchnotices.h"
#include "worksheet.h"
#include "worksheeteditor.h"

#include <QScopedValueRollback>

void TForm1::setAwayDetector(std::unique_ptr<AwayDetector> detector)
{
    if (m_awayDetector)
        m_awayDetector->stop();
    useAwayDetector(std::move(detector));
    watchAwayTime(Switch1->StateOn());
}

void TForm1::setAwayDetectorMaker(std::function<std::unique_ptr<AwayDetector>()> make)
{
    m_makeAwayDetector = std::move(make);
    watchAwayTime(Switch1->StateOn());
}

void TForm1::useAwayDetector(std::unique_ptr<AwayDetector> detector)
{
    m_awayDetector = std::move(detector);
    if (m_awayDetector)
        connect(m_awayDetector.get(), &AwayDetector::cameBack, this,
            guarded([this](const QDateTime &from, const QDateTime &to, AwayDetector::Kind kind) {
                awayCameBack(from, to, kind == AwayDetector::Kind::Asleep);
            }));
}

void TForm1::watchAwayTime(bool running)
{
    const int minutes = running ? AwaySetting::minutes(settingsPath()) : 0;
    // Made when first needed: with the setting off, nothing asks the buses.
    if (minutes > 0 && !m_awayDetector && m_makeAwayDetector)
        useAwayDetector(m_makeAwayDetector());
    if (!m_awayDetector)
        return;
    if (minutes > 0)
        m_awayDetector->start(minutes);
    else
        m_awayDetector->stop();
}

void TForm1::awayCameBack(const QDateTime &from, const QDateTime &to, bool asleep)
{
    const int row = runningRow();
    const QString runningStart = row ? Grid1->Cells(StartColumn, row) : QString();
    if (m_awayTime->report(from, to, asleep, runningStart, AwaySetting::minutes(settingsPath())))
        askAboutAway();
}

void TForm1::askAboutAway()
{
    const AwaySpan &span = *m_awayTime->pending();
    if (!m_awayQuestion) {
        m_awayQuestion = new AwayQuestion(this);
        connect(m_awayQuestion, &AwayQuestion::answered, this,
            guarded([this](AwayQuestion::Answer answer) { answerAway(answer); }));
    }
    m_awayQuestion->ask(span, m_awayTime->isFromLastRun());
    if (m_inTray)
        notify(span.question(m_awayTime->isFromLastRun()));
}

void TForm1::answerAway(AwayQuestion::Answer answer)
{
    if (!m_awayTime->pending())
        return;
    finishReading(); // the answer concerns the whole worksheet
    const AwaySpan span = *m_awayTime->pending();
    m_awayTime->answered();
    if (const std::optional<DateTime> start = tryParseDateTime(span.periodStart, currentCentury()))
        m_notices->awayAnswered(toQDateTime(*start), ClockSource::currentDateTime());
    if (answer == AwayQuestion::Answer::Keep)
        return;
    const DateTime awayStart = fromQDateTime(span.from);
    const int running = runningRow();
    if (running && Grid1->Cells(StartColumn, running) == span.periodStart) {
        {
            // Turned off here rather than by the switch's handler, which ends the period now.
            const QScopedValueRollback noStop(Switch1->OnOff, {});
            Switch1->setStateOn(false);
        }
        Switch1Off(awayStart);
    } else {
        endPeriodAt(span.periodStart, awayStart);
    }
    if (answer == AwayQuestion::Answer::StopAndStartAgain)
        Switch1->setStateOn(true);
}

void TForm1::endPeriodAt(const QString &periodStart, DateTime end)
{
    for (int row = Grid1->RowCount() - 2; row > 0; --row) { // above the bottom line, below the titles
        if (Grid1->Cells(StartColumn, row) != periodStart)
            continue;
        const std::optional<DateTime> shownEnd = tryParseDateTime(Grid1->Cells(EndColumn, row), currentCentury());
        if (!shownEnd || *shownEnd <= end)
            return;
        PeriodTexts period = m_editor->period(row);
        std::tie(period.endDate, period.endTime) = splitAtBlank(formatDateTimeText(end));
        writePeriod(row, period);
        return;
    }
}
