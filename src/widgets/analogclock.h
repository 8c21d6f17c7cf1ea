#pragma once

#include "datetime.h"
#include "datetimetext.h"
#include "screencolor.h"
#include "threadtimer.h"

#include <functional>
#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

enum TShowClock { scDigital, scAnalog };
// Scoped: the grid's bevel enumeration uses the same short names.
enum class PanelBevel { bvNone, bvLowered, bvRaised };
enum class ClockHand { Hour, Minute, Second };

/// A bevelled panel that shows the time of day as a dial with hands or as
/// digits, and fires OnAlarm once each time the time of day passes through
/// the alarm's minute at or after its second.
///
/// All geometry is integer arithmetic on a 60-point dial table of radius 8000
/// whose vertical coordinates are corrected, once per process, for screens
/// whose pixels are not square.
class TAnalogClock : public QWidget
{
    Q_OBJECT

public:
    explicit TAnalogClock(QWidget *parent = nullptr);

    bool AlarmEnabled() const { return m_alarmEnabled; }
    void setAlarmEnabled(bool on) { m_alarmEnabled = on; }
    /// Each write replaces one element of the alarm time and re-arms the
    /// alarm for it. An element that makes the time invalid raises
    /// ConversionError and keeps the alarm as it was.
    int AlarmHour() const { return decodeTime(m_alarmTime).hour; }
    void setAlarmHour(int hour) { setAlarmElement(&TimeOfDay::hour, hour); }
    int AlarmMinute() const { return decodeTime(m_alarmTime).minute; }
    void setAlarmMinute(int minute) { setAlarmElement(&TimeOfDay::minute, minute); }
    int AlarmSecond() const { return decodeTime(m_alarmTime).second; }
    void setAlarmSecond(int second) { setAlarmElement(&TimeOfDay::second, second); }

    /// Fits the font to the digits whenever the clock lays itself out.
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    TShowClock ShowMode() const { return m_showMode; }
    void setShowMode(TShowClock mode);
    bool ShowSeconds() const { return m_showSeconds; }
    void setShowSeconds(bool on);
    bool TwelveHour() const { return m_twelveHour; }
    void setTwelveHour(bool on);
    bool LeadingZero() const { return m_leadingZero; }
    void setLeadingZero(bool on);
    /// The colour of the hour marks.
    TColor DotsColor() const { return m_dotsColor; }
    void setDotsColor(TColor color);
    /// The face colour; the hands and digits take the palette's text colour.
    TColor Color() const { return m_color; }
    void setColor(TColor color);
    /// Draws the marks raised or sunk instead of flat.
    bool Ctl3D() const { return m_ctl3D; }
    void setCtl3D(bool on);

    PanelBevel BevelOuter() const { return m_bevelOuter; }
    void setBevelOuter(PanelBevel bevel);
    PanelBevel BevelInner() const { return m_bevelInner; }
    void setBevelInner(PanelBevel bevel);
    int BevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int width);
    /// The gap between the outer and the inner bevel.
    int BorderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);

    std::function<void(TAnalogClock *sender)> OnAlarm;
    /// Receives the time of day the clock is about to use and may replace it.
    std::function<void(TAnalogClock *sender, DateTime &time)> OnGetTime;

    /// Brings the display up to the current time (repainting only what
    /// changed) and checks the alarm. The clock's own timer calls it every
    /// 450 ms.
    void Tick();
    /// The time on the clock as its digits read (or would read, on the dial).
    QString shownTimeText() const { return digitalLayout(m_shownTime).text; }

    /// The square the dial is drawn in, physically square on the screen.
    QRect clockRect() const { return dialGeometry().clockRect; }
    int radius() const { return dialGeometry().radius; }
    QPoint centre() const { return dialGeometry().centre; }
    /// Where a hand standing at a dial position (0..59) ends.
    QPoint handTip(ClockHand hand, int position) const;
    /// Digital mode: the character cells of the time now shown, the digits
    /// and separators without the AM/PM suffix.
    QList<QRect> digitCells() const;

    /// The screen the dial table is corrected for, in place of the primary
    /// screen. Clocks laid out afterwards use it.
    static void setScreenMetrics(int widthPx, int heightPx, int widthMm, int heightMm);
    /// Makes the next clock read the primary screen again.
    static void resetScreenMetrics();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Hands
    {
        int hour; // 0..11
        int minute;
        int second;
        int hourPosition() const { return hour * 5 + minute / 12; }
        bool operator==(const Hands &) const = default;
    };
    // Where everything on the dial stands, worked out from the widget's size.
    struct DialGeometry
    {
        QRect clockRect;
        int dotWidth;
        int dotHeight;
        int radius;
        QPoint centre;
        QPoint pointAt(int length, int position) const;
        QPoint handTip(ClockHand hand, int position) const;
        QPolygon handOutline(ClockHand hand, int position) const;
    };
    struct DigitalLayout
    {
        QString text;
        int cellCount;
        int hourChars;
        QRect firstCell;
        QRect cell(int index) const { return firstCell.translated(index * firstCell.width(), 0); }
    };

    static Hands handsOf(DateTime time);
    DateTime currentTime();
    bool timeJumped(DateTime now);
    void checkAlarm(DateTime now);
    void rearmAlarm(DateTime now);
    void setAlarmElement(int TimeOfDay::*element, int value);

    void setDisplayOption(bool &field, bool on, bool affectsFontSize);
    void relayout();
    void fitFont();
    QRect innerRect() const;
    DialGeometry dialGeometry() const;
    void redrawFace();
    QPixmap renderFace() const;
    void drawDialMarks(QPainter &painter) const;
    QColor fontColor() const;

    void drawHands(QPainter &painter) const;
    QRegion changedHandsRegion(Hands from, Hands to) const;

    DigitalLayout digitalLayout(DateTime time) const;
    void drawDigits(QPainter &painter) const;
    QRegion changedCellsRegion(Hands from, DateTime to) const;

    bool m_autoSize = false;
    TShowClock m_showMode = scDigital;
    bool m_twelveHour = false;
    bool m_leadingZero = true;
    bool m_showSeconds = true;
    DateTime m_alarmTime = 0;
    bool m_alarmEnabled = false;
    TColor m_dotsColor = clTeal;
    bool m_alarmPending = true;
    TColor m_color = clBtnFace;
    bool m_ctl3D = true;
    PanelBevel m_bevelOuter = PanelBevel::bvRaised;
    PanelBevel m_bevelInner = PanelBevel::bvLowered;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;

    DateTime m_shownTime = 0; // the time the hands or digits on screen show
    QElapsedTimer m_sinceShownTime; // to tell a change of the system time from time passing
    FormatSettings m_formatSettings; // the locale's separators and AM/PM texts

    QPixmap m_face; // background, bevels and marks; drawn again only when they change

    // Last, so that it is destroyed first: no tick reaches a clock being torn down.
    TThreadTimer m_timer;
};
