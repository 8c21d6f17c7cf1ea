#pragma once

#include "dateutil.h"
#include "screencolor.h"

#include <functional>
#include <QDialog>
#include <QFrame>

class QLabel;
class QToolButton;

/// A month as 7 × 7 cells: the short day names in row 0, starting with
/// StartOfWeek, and the days of CalendarDate's month in rows 1 to 6, the
/// first in the column of its weekday. The cell of CalendarDate's day is the
/// selected one; only cells that show a day can be selected. Columns of
/// weekend days are drawn in WeekendColor.
class TCalendarGrid : public QWidget
{
    Q_OBJECT

public:
    explicit TCalendarGrid(QWidget *parent = nullptr);

    DateTime CalendarDate() const { return m_date; }
    /// Keeps the whole day; on a change repaints and fires OnChange.
    void setCalendarDate(DateTime date);
    int Day() const;
    int Month() const;
    int Year() const;
    TDayOfWeekName StartOfWeek() const { return m_startOfWeek; }
    void setStartOfWeek(TDayOfWeekName day);
    TDaysOfWeek Weekends() const { return m_weekends; }
    void setWeekends(TDaysOfWeek days);
    TColor WeekendColor() const { return m_weekendColor; }
    void setWeekendColor(TColor color);

    /// Steps keep the day, cut to the last day of the new month.
    void stepMonths(int count);
    /// A year step makes 29 February the 28th first.
    void stepYears(int count);

    /// Cell (column, row ≥ 1) shows day column + MonthOffset + 7 × (row − 1).
    int MonthOffset() const { return m_monthOffset; }
    /// The day a cell shows, or 0 where it shows none.
    int dayAt(int column, int row) const;
    QRect cellRect(int column, int row) const;
    QSize sizeHint() const override;

    std::function<void(TCalendarGrid *sender)> OnChange;

protected:
    virtual void drawCell(QPainter &painter, int column, int row, const QRect &rect);
    /// The day under a point, or 0.
    int dayAt(QPoint point) const;

    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void setDay(int day);
    void dateChanged();
    void updateMonthOffset();
    TDayOfWeekName dayOfColumn(int column) const;

    DateTime m_date;
    // m_date's parts, decoded once per change: painting asks for them in
    // every cell.
    ::CalendarDate m_parts;
    int m_monthOffset = 0;
    TDayOfWeekName m_startOfWeek = Mon;
    TDaysOfWeek m_weekends {Sun};
    TColor m_weekendColor = clRed;
};

/// The calendar of the drop-down: today's cell has a lowered frame, and a
/// click on a day chooses it.
class TLocCalendar : public TCalendarGrid
{
    Q_OBJECT

public:
    using TCalendarGrid::TCalendarGrid;

    std::function<void(TLocCalendar *sender)> OnDayClick;

protected:
    void drawCell(QPainter &painter, int column, int row, const QRect &rect) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    DateTime m_today = 0; // read once per paint rather than once per cell
};

/// A calendar under its month and year, between buttons that step a year or
/// a month back and forth and repeat while held. Page Up and Page Down step
/// a month, with Ctrl a year.
class CalendarPanel : public QWidget
{
    Q_OBJECT

public:
    enum Step { PreviousYear, PreviousMonth, NextMonth, NextYear };

    explicit CalendarPanel(QWidget *parent = nullptr);

    TLocCalendar *calendar() const { return m_calendar; }
    QString title() const;
    QToolButton *stepButton(Step step) const { return m_buttons[step]; }
    /// The buttons' tooltips, in the order of Step.
    void setHints(const QStringList &hints);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void step(Step step);
    void updateTitle();

    TLocCalendar *m_calendar;
    QLabel *m_title;
    QToolButton *m_buttons[4];
};

enum TPopupAlign { epaRight, epaLeft };

/// The drop-down window of a date edit: a calendar panel that closes on a
/// click on a day or Enter, which accept the day, and on Escape or a click
/// outside, which do not. Keys that the calendar does not take go to
/// OnOtherKey, so that typing goes on in the edit.
class TPopupCalendar : public QFrame
{
    Q_OBJECT

public:
    /// A hidden popup that lives as long as owner.
    explicit TPopupCalendar(QWidget *owner);

    CalendarPanel *panel() const { return m_panel; }
    TLocCalendar *calendar() const { return m_panel->calendar(); }
    TColor Color() const { return m_color; }
    void setColor(TColor color);

    /// Shows the popup below anchor, lined up with its right or left edge.
    void popUp(QWidget *anchor, TPopupAlign align);
    /// Hides the popup; OnCloseUp tells whether the day was accepted.
    void closeUp(bool accept);

    /// Where a popup of size goes under anchor (global coordinates): below
    /// it, or above where the screen ends, and moved sideways onto the screen
    /// (a null screen: where it lies is unknown, below it).
    static QPoint placement(const QRect &anchor, QSize size, TPopupAlign align, const QRect &screen);

    std::function<void(TPopupCalendar *sender, bool accept)> OnCloseUp;
    std::function<void(QKeyEvent *event)> OnOtherKey;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void applyColor();

    CalendarPanel *m_panel;
    TColor m_color = clBtnFace;
    bool m_accept = false;
};

/// A modal dialog around a calendar panel, with OK and Cancel.
class TSelectDateDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TSelectDateDlg(QWidget *parent = nullptr);

    CalendarPanel *panel() const { return m_panel; }

private:
    CalendarPanel *m_panel;
};
