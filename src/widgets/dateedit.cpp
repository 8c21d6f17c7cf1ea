#include "dateedit.h"

#include "clocksource.h"
#include "datetimetext.h"
#include "errors.h"
#include "messages.h"

#include <algorithm>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyle>
#include <QToolButton>

using DateUtil::NullDate;

namespace {

// A picture drawn on a transparent ground.
template<typename Draw> QPixmap drawnPicture(int width, int height, Draw draw)
{
    QPixmap picture(width, height);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    draw(painter);
    painter.end();
    return picture;
}

// A leaf of a wall calendar: rings, a red band and rows of days.
void drawCalendar(QPainter &p)
{
    p.fillRect(0, 1, 15, 13, toQColor(BlackColor));
    p.fillRect(1, 2, 13, 11, toQColor(WhiteColor));
    p.fillRect(1, 2, 13, 3, toQColor(clRed));
    for (int x : {3, 10})
        p.fillRect(x, 0, 2, 3, toQColor(GrayColor));
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            p.fillRect(2 + column * 3, 6 + row * 2, 2, 1, toQColor(BlackColor));
}

void drawArrow(QPainter &p)
{
    for (int row = 0; row < 4; ++row)
        p.fillRect(row, row, 7 - 2 * row, 1, toQColor(BlackColor));
}

void drawEllipsis(QPainter &p)
{
    for (int dot = 0; dot < 3; ++dot)
        p.fillRect(dot * 4, 0, 2, 2, toQColor(BlackColor));
}

int naturalButtonWidth(const QPixmap &glyph)
{
    return std::max(glyph.width() + 6, 16);
}

} // namespace

TDateEdit::TDateEdit(QWidget *parent)
    : MaskedEdit(parent)
    , m_dateOrder(DateUtil::localeDateOrder())
    , m_button(new QToolButton(this))
{
    m_button->setAutoRaise(true);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setAccessibleName(tr("Calendar"));
    connect(m_button, &QToolButton::clicked, this, [this] { buttonClick(); });
    showGlyph(builtInGlyph(m_glyphKind));
    rebuildLayout(DateSeparator());
    createPopup();
}

TDateEdit::~TDateEdit()
{
    // Destroyed later, the popup would report its closing to an edit that is
    // no longer whole.
    delete m_popup;
}

QPixmap TDateEdit::builtInGlyph(TGlyphKind kind)
{
    switch (kind) {
    case gkDefault:
        return drawnPicture(15, 14, drawCalendar);
    case gkDropDown:
        return drawnPicture(7, 4, drawArrow);
    case gkEllipsis:
        return drawnPicture(10, 2, drawEllipsis);
    case gkCustom:
        break;
    }
    return {};
}

DateTime TDateEdit::defaultDate() const
{
    return m_defaultToday ? ClockSource::today() : NullDate;
}

std::optional<DateTime> TDateEdit::readText() const
{
    return DateUtil::readDate(Text(), m_format, DateSeparator());
}

DateTime TDateEdit::Date() const
{
    return readText().value_or(defaultDate());
}

void TDateEdit::setDate(DateTime value)
{
    const DateTime before = Date();
    if (value == NullDate || !DateUtil::isDateValue(value))
        value = defaultDate();
    FormatSettings separator;
    separator.dateSeparator = DateSeparator();
    setText(value == NullDate ? QString() : formatDateTime(m_format, value, separator));
    if (Date() != before)
        setModified(true);
}

void TDateEdit::setDateLayout(DateFieldOrder order, QChar separator)
{
    if (order == m_dateOrder && separator == DateSeparator())
        return;
    m_dateOrder = order;
    rebuildLayout(separator);
}

void TDateEdit::setYearDigits(TYearDigits digits)
{
    if (digits == m_yearDigits)
        return;
    m_yearDigits = digits;
    rebuildLayout(DateSeparator());
}

void TDateEdit::setBlanksChar(QChar blank)
{
    if (blank.unicode() < u' ')
        blank = u' ';
    if (blank == m_blanksChar)
        return;
    m_blanksChar = blank;
    rebuildLayout(DateSeparator());
}

void TDateEdit::rebuildLayout(QChar separator)
{
    const bool fourDigits = m_yearDigits == dyFour || (m_yearDigits == dyDefault && DateUtil::localeFourDigitYear());
    const QString format = DateUtil::dateFormat(m_dateOrder, fourDigits);
    QString mask = format;
    std::replace_if(
        mask.begin(), mask.end(), [](QChar c) { return c.isLetter(); }, u'9');
    mask = u'!' + mask + QStringLiteral(";1;") + m_blanksChar;
    if (format == m_format && mask == EditMask() && separator == DateSeparator())
        return;
    // The date is read by the old layout and written back by the new one.
    const DateTime date = Date();
    const QScopedValueRollback formatting(m_formatting, true);
    m_format = format;
    setDateSeparator(separator);
    setEditMask(mask);
    setDate(date);
}

void TDateEdit::setDirectInput(bool on)
{
    if (on == m_directInput)
        return;
    m_directInput = on;
    QLineEdit::setReadOnly(m_readOnly || !m_directInput);
}

void TDateEdit::setReadOnly(bool on)
{
    if (on == m_readOnly)
        return;
    m_readOnly = on;
    QLineEdit::setReadOnly(m_readOnly || !m_directInput);
    m_button->setEnabled(!on);
}

void TDateEdit::setGlyphKind(TGlyphKind kind)
{
    if (kind == m_glyphKind)
        return;
    m_glyphKind = kind;
    if (kind != gkCustom)
        showGlyph(builtInGlyph(kind));
}

void TDateEdit::setGlyph(const QPixmap &glyph)
{
    if (m_glyphKind == gkCustom && glyph.cacheKey() == m_glyph.cacheKey())
        return;
    m_glyphKind = gkCustom;
    showGlyph(glyph);
}

void TDateEdit::showGlyph(const QPixmap &glyph)
{
    m_glyph = glyph;
    m_button->setIcon(QIcon(glyph));
    m_button->setIconSize(glyph.size());
    m_buttonWidth = naturalButtonWidth(glyph);
    layoutButton();
}

void TDateEdit::setButtonWidth(int width)
{
    if (width == m_buttonWidth)
        return;
    m_buttonWidth = width;
    layoutButton();
}

void TDateEdit::layoutButton()
{
    const bool shown = m_buttonWidth > 1;
    m_button->setVisible(shown);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    m_button->setGeometry(width() - frame - m_buttonWidth, frame, m_buttonWidth, height() - 2 * frame);
    setTextMargins(0, 0, shown ? m_buttonWidth : 0, 0);
    fitMaskText();
}

void TDateEdit::resizeEvent(QResizeEvent *event)
{
    MaskedEdit::resizeEvent(event);
    layoutButton();
}

void TDateEdit::setCalendarStyle(TCalendarStyle style)
{
    if (style == m_calendarStyle)
        return;
    m_calendarStyle = style;
    if (style == csPopup)
        createPopup();
    else
        delete std::exchange(m_popup, nullptr);
}

void TDateEdit::createPopup()
{
    m_popup = new TPopupCalendar(this);
    m_popup->setColor(m_popupColor);
    configure(m_popup->panel());
    m_popup->OnCloseUp = [this](TPopupCalendar *, bool accept) { popupClosed(accept); };
    // The popup has the keyboard; what the calendar does not take is typing
    // in the edit.
    m_popup->OnOtherKey = [this](QKeyEvent *event) { QCoreApplication::sendEvent(this, event); };
}

void TDateEdit::configure(CalendarPanel *panel) const
{
    TCalendarGrid *calendar = panel->calendar();
    calendar->setStartOfWeek(m_startOfWeek);
    calendar->setWeekends(m_weekends);
    calendar->setWeekendColor(m_weekendColor);
    panel->setHints(m_calendarHints);
}

void TDateEdit::updatePopup()
{
    if (m_popup)
        configure(m_popup->panel());
}

void TDateEdit::setPopupColor(TColor color)
{
    if (color == m_popupColor)
        return;
    m_popupColor = color;
    if (m_popup)
        m_popup->setColor(color);
}

void TDateEdit::setStartOfWeek(TDayOfWeekName day)
{
    if (day == m_startOfWeek)
        return;
    m_startOfWeek = day;
    updatePopup();
}

void TDateEdit::setWeekends(TDaysOfWeek days)
{
    if (days == m_weekends)
        return;
    m_weekends = days;
    updatePopup();
}

void TDateEdit::setWeekendColor(TColor color)
{
    if (color == m_weekendColor)
        return;
    m_weekendColor = color;
    updatePopup();
}

void TDateEdit::setCalendarHints(const QStringList &hints)
{
    const QStringList kept = hints.mid(0, 4);
    if (kept == m_calendarHints)
        return;
    m_calendarHints = kept;
    updatePopup();
}

bool TDateEdit::PopupVisible() const
{
    return m_popup && m_popup->isVisible();
}

void TDateEdit::dropDown()
{
    if (!m_popup || PopupVisible() || m_readOnly)
        return;
    m_popup->calendar()->setCalendarDate(readText().value_or(ClockSource::today()));
    m_popup->popUp(this, m_popupAlign);
}

void TDateEdit::closeUp(bool accept)
{
    if (PopupVisible())
        m_popup->closeUp(accept);
}

void TDateEdit::popupClosed(bool accept)
{
    if (accept)
        acceptDate(m_popup->calendar()->CalendarDate());
}

bool TDateEdit::acceptDate(DateTime date)
{
    bool action = true;
    if (OnAcceptDate)
        OnAcceptDate(this, date, action);
    if (action)
        setDate(date);
    return action;
}

void TDateEdit::buttonClick()
{
    if (OnButtonClick)
        OnButtonClick(this);
    if (m_calendarStyle == csDialog)
        selectInDialog();
    else if (PopupVisible())
        closeUp(false);
    else
        dropDown();
}

void TDateEdit::selectInDialog()
{
    TSelectDateDlg dialog(this);
    dialog.setWindowTitle(m_dialogTitle);
    configure(dialog.panel());
    const DateTime current = Date();
    dialog.panel()->calendar()->setCalendarDate(current == NullDate ? ClockSource::today() : current);
    if (dialog.exec() == QDialog::Accepted && acceptDate(dialog.panel()->calendar()->CalendarDate()))
        selectAll();
    setFocus();
}

void TDateEdit::change()
{
    if (!m_formatting && !PopupVisible())
        MaskedEdit::change();
}

bool TDateEdit::dateKey(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers held = event->modifiers();
    const bool padKey
        = (held & Qt::KeypadModifier) && !(held & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    if (padKey && (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Minus)) {
        const DateTime current = Date();
        const int step = event->key() == Qt::Key_Plus ? 1 : -1;
        setDate((current == NullDate ? ClockSource::today() : current) + step);
        selectAll();
        return true;
    }
    const QString typed = event->text();
    if (typed == u"+" || typed == u"-")
        return true;
    if (typed.compare(u"t", Qt::CaseInsensitive) == 0) {
        setDate(ClockSource::today());
        return true;
    }
    return false;
}

void TDateEdit::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers held
        = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (QKeyCombination(held, Qt::Key(event->key())) == m_clickKey) {
        if (!m_readOnly)
            buttonClick();
        return;
    }
    if (m_directInput && !m_readOnly && dateKey(event))
        return;
    MaskedEdit::keyPressEvent(event);
}

void TDateEdit::focusOutEvent(QFocusEvent *event)
{
    MaskedEdit::focusOutEvent(event);
    // The edit's own popup and a switch to another window leave it in use.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    closeUp(false);
    if (m_checkOnExit)
        runGuarded([this] { checkText(); });
}

void TDateEdit::checkText()
{
    const QString text = Text();
    if (std::all_of(text.begin(), text.end(), [this](QChar c) { return c == u' ' || c == DateSeparator(); }))
        return;
    const std::optional<DateTime> date = readText();
    if (!date) {
        setFocus();
        throw ConversionError::invalidDate(text);
    }
    // Writing the date back puts the text in its standard layout.
    const QScopedValueRollback formatting(m_formatting, true);
    setDate(*date);
}
