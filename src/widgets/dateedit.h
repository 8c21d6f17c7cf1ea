#pragma once

#include "maskededit.h"
#include "popupcalendar.h"

#include <QPixmap>
#include <QStringList>

class QToolButton;

enum TYearDigits { dyDefault, dyFour, dyTwo };
enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };
enum TCalendarStyle { csPopup, csDialog };

/// A masked edit for a date, with a button at its right end that drops down
/// a calendar (or opens a date dialog). The text has two-digit fields and two
/// or four year digits in the date order and with the separator of the
/// default locale, unless setDateLayout fixes them ("08-12-98"). Numeric-pad
/// + and − step a day, "T" gives today, ClickKey acts as the button.
class TDateEdit : public MaskedEdit
{
    Q_OBJECT

public:
    explicit TDateEdit(QWidget *parent = nullptr);
    ~TDateEdit() override;

    /// The date the text shows. A text that does not read as a date gives
    /// today with DefaultToday, else NullDate.
    DateTime Date() const;
    /// Shows a date. An invalid date or NullDate shows today with
    /// DefaultToday, else empties the text.
    void setDate(DateTime value);

    /// Fixes the date order and separator, which otherwise follow the default
    /// locale; rebuilds format and mask and keeps the date.
    void setDateLayout(DateFieldOrder order, QChar separator);
    DateFieldOrder DateOrder() const { return m_dateOrder; }
    /// "DD/MM/YY" and the like, "/" standing for DateSeparator().
    const QString &DateFormat() const { return m_format; }
    TYearDigits YearDigits() const { return m_yearDigits; }
    void setYearDigits(TYearDigits digits);
    /// Marks the empty places while editing; one below a blank becomes a blank.
    QChar BlanksChar() const { return m_blanksChar; }
    void setBlanksChar(QChar blank);

    bool DefaultToday() const { return m_defaultToday; }
    void setDefaultToday(bool on) { m_defaultToday = on; }
    /// Leaving the edit with a text that is not a date reports it and keeps
    /// the focus here.
    bool CheckOnExit() const { return m_checkOnExit; }
    void setCheckOnExit(bool on) { m_checkOnExit = on; }
    /// Off, the text takes no typing; the calendar still sets it.
    bool DirectInput() const { return m_directInput; }
    void setDirectInput(bool on);
    /// On, neither typing nor the calendar changes the date.
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on);
    QKeyCombination ClickKey() const { return m_clickKey; }
    void setClickKey(QKeyCombination key) { m_clickKey = key; }

    TGlyphKind GlyphKind() const { return m_glyphKind; }
    void setGlyphKind(TGlyphKind kind);
    const QPixmap &Glyph() const { return m_glyph; }
    /// Makes the glyph kind gkCustom.
    void setGlyph(const QPixmap &glyph);
    /// The glyph kind's natural width unless set; 0 or 1 hides the button.
    int ButtonWidth() const { return m_buttonWidth; }
    void setButtonWidth(int width);
    QToolButton *button() const { return m_button; }

    TCalendarStyle CalendarStyle() const { return m_calendarStyle; }
    void setCalendarStyle(TCalendarStyle style);
    const QString &DialogTitle() const { return m_dialogTitle; }
    void setDialogTitle(const QString &title) { m_dialogTitle = title; }
    TPopupAlign PopupAlign() const { return m_popupAlign; }
    void setPopupAlign(TPopupAlign align) { m_popupAlign = align; }
    TColor PopupColor() const { return m_popupColor; }
    void setPopupColor(TColor color);
    TDayOfWeekName StartOfWeek() const { return m_startOfWeek; }
    void setStartOfWeek(TDayOfWeekName day);
    TDaysOfWeek Weekends() const { return m_weekends; }
    void setWeekends(TDaysOfWeek days);
    TColor WeekendColor() const { return m_weekendColor; }
    void setWeekendColor(TColor color);
    /// Tooltips of the calendar's buttons: previous year, previous month,
    /// next month, next year; more are dropped.
    const QStringList &CalendarHints() const { return m_calendarHints; }
    void setCalendarHints(const QStringList &hints);

    /// The drop-down calendar; none with csDialog.
    TPopupCalendar *popup() const { return m_popup; }
    bool PopupVisible() const;
    /// Opens the calendar on the date of the text, or on today.
    void dropDown();
    void closeUp(bool accept);

    static QPixmap builtInGlyph(TGlyphKind kind);

    /// May change the date chosen in the calendar, or refuse it.
    std::function<void(TDateEdit *sender, DateTime &date, bool &action)> OnAcceptDate;
    /// Fires on every use of the button, before the calendar opens or closes.
    std::function<void(TDateEdit *sender)> OnButtonClick;

protected:
    /// OnChange stays silent while the calendar is open and while the edit
    /// rewrites its own text.
    void change() override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void rebuildLayout(QChar separator);
    DateTime defaultDate() const;
    std::optional<DateTime> readText() const;
    bool dateKey(const QKeyEvent *event);
    void checkText();
    void buttonClick();
    void selectInDialog();
    bool acceptDate(DateTime date);
    void popupClosed(bool accept);
    void createPopup();
    void configure(CalendarPanel *panel) const;
    void updatePopup();
    void showGlyph(const QPixmap &glyph);
    void layoutButton();

    DateFieldOrder m_dateOrder;
    QString m_format;
    TYearDigits m_yearDigits = dyDefault;
    QChar m_blanksChar = u' ';
    bool m_defaultToday = false;
    bool m_checkOnExit = false;
    bool m_directInput = true;
    bool m_readOnly = false;
    QKeyCombination m_clickKey {Qt::AltModifier, Qt::Key_Down};
    bool m_formatting = false;

    QToolButton *m_button;
    TGlyphKind m_glyphKind = gkDefault;
    QPixmap m_glyph;
    int m_buttonWidth = 0;

    TCalendarStyle m_calendarStyle = csPopup;
    TPopupCalendar *m_popup = nullptr;
    QString m_dialogTitle = QStringLiteral("Select a Date");
    TPopupAlign m_popupAlign = epaRight;
    TColor m_popupColor = clBtnFace;
    TDayOfWeekName m_startOfWeek = Mon;
    TDaysOfWeek m_weekends {Sun};
    TColor m_weekendColor = clRed;
    QStringList m_calendarHints;
};
