#include "popupcalendar.h"

#include "clocksource.h"
#include "frame3d.h"
#include "screenarea.h"

#include <algorithm>
#include <cmath>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <utility>

namespace {

constexpr int GridSize = 7;

bool isLeftButton(const QMouseEvent *event)
{
    return event->button() == Qt::LeftButton;
}

} // namespace

TCalendarGrid::TCalendarGrid(QWidget *parent)
    : QWidget(parent)
    , m_date(ClockSource::today())
{
    setFocusPolicy(Qt::StrongFocus);
    dateChanged();
}

void TCalendarGrid::setCalendarDate(DateTime date)
{
    date = std::trunc(date);
    if (date == m_date)
        return;
    m_date = date;
    dateChanged();
    update();
    if (OnChange)
        OnChange(this);
}

int TCalendarGrid::Day() const
{
    return m_parts.day;
}

int TCalendarGrid::Month() const
{
    return m_parts.month;
}

int TCalendarGrid::Year() const
{
    return m_parts.year;
}

void TCalendarGrid::dateChanged()
{
    m_parts = decodeDate(m_date);
    updateMonthOffset();
}

void TCalendarGrid::setDay(int day)
{
    if (const auto date = tryEncodeDate(Year(), Month(), day))
        setCalendarDate(*date);
}

void TCalendarGrid::setStartOfWeek(TDayOfWeekName day)
{
    if (day == m_startOfWeek)
        return;
    m_startOfWeek = day;
    updateMonthOffset();
    update();
}

void TCalendarGrid::setWeekends(TDaysOfWeek days)
{
    if (days == m_weekends)
        return;
    m_weekends = days;
    update();
}

void TCalendarGrid::setWeekendColor(TColor color)
{
    if (color == m_weekendColor)
        return;
    m_weekendColor = color;
    update();
}

void TCalendarGrid::stepMonths(int count)
{
    const auto date = m_parts;
    const int months = date.year * 12 + date.month - 1 + count;
    const int year = months / 12;
    const int month = months % 12 + 1;
    if (const auto stepped = tryEncodeDate(year, month, std::min(date.day, daysInMonth(year, month))))
        setCalendarDate(*stepped);
}

void TCalendarGrid::stepYears(int count)
{
    const auto date = m_parts;
    const int day = date.month == 2 && date.day == 29 ? 28 : date.day;
    if (const auto stepped = tryEncodeDate(date.year + count, date.month, day))
        setCalendarDate(*stepped);
}

void TCalendarGrid::updateMonthOffset()
{
    // The weekday of the first, counted from the first column: the first
    // lands in row 1, in its weekday's column.
    const int firstWeekday = dayOfWeek(*tryEncodeDate(Year(), Month(), 1)) % 7; // 0 = Sunday
    const int column = (firstWeekday - m_startOfWeek + GridSize) % GridSize;
    m_monthOffset = 1 - column;
}

TDayOfWeekName TCalendarGrid::dayOfColumn(int column) const
{
    return TDayOfWeekName((column + m_startOfWeek) % GridSize);
}

int TCalendarGrid::dayAt(int column, int row) const
{
    if (row < 1)
        return 0;
    const int day = column + m_monthOffset + GridSize * (row - 1);
    return day >= 1 && day <= daysInMonth(Year(), Month()) ? day : 0;
}

int TCalendarGrid::dayAt(QPoint point) const
{
    if (!rect().contains(point))
        return 0;
    return dayAt(point.x() * GridSize / width(), point.y() * GridSize / height());
}

QRect TCalendarGrid::cellRect(int column, int row) const
{
    const int left = column * width() / GridSize;
    const int top = row * height() / GridSize;
    return QRect(left, top, (column + 1) * width() / GridSize - left, (row + 1) * height() / GridSize - top);
}

QSize TCalendarGrid::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const QLocale locale;
    int width = metrics.horizontalAdvance(QStringLiteral("00"));
    for (int day = 1; day <= GridSize; ++day)
        width = std::max(width, metrics.horizontalAdvance(locale.dayName(day, QLocale::ShortFormat)));
    return QSize((width + 8) * GridSize, (metrics.height() + 4) * GridSize);
}

void TCalendarGrid::drawCell(QPainter &painter, int column, int row, const QRect &rect)
{
    const int day = dayAt(column, row);
    if (row > 0 && day == 0)
        return;
    const TDayOfWeekName weekday = dayOfColumn(column);
    QColor color = palette().color(QPalette::WindowText);
    if (day == Day()) {
        painter.fillRect(rect, palette().color(QPalette::Highlight));
        color = palette().color(QPalette::HighlightedText);
    } else if (m_weekends.contains(weekday)) {
        color = toQColor(m_weekendColor);
    }
    const QString text
        = row == 0 ? QLocale().dayName(weekday == Sun ? 7 : weekday, QLocale::ShortFormat) : QString::number(day);
    painter.setPen(color);
    painter.drawText(rect, Qt::AlignCenter, text);
}

void TCalendarGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    for (int row = 0; row < GridSize; ++row)
        for (int column = 0; column < GridSize; ++column)
            drawCell(painter, column, row, cellRect(column, row));
}

void TCalendarGrid::keyPressEvent(QKeyEvent *event)
{
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    // Combinations with Ctrl or Alt belong to others (Alt+Down closes the popup).
    const int key = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier) ? 0 : event->key();
    switch (key) {
    case Qt::Key_Left:
        setCalendarDate(m_date - 1);
        return;
    case Qt::Key_Right:
        setCalendarDate(m_date + 1);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        // A week up or down, as long as the month goes.
        const int day = Day() + (key == Qt::Key_Up ? -GridSize : GridSize);
        if (day >= 1 && day <= daysInMonth(Year(), Month()))
            setDay(day);
        return;
    }
    case Qt::Key_Plus:
    case Qt::Key_Minus:
        if (keypad) {
            setCalendarDate(m_date + (key == Qt::Key_Plus ? 1 : -1));
            return;
        }
        break;
    default:
        if (key && event->text().compare(u"t", Qt::CaseInsensitive) == 0) {
            setCalendarDate(ClockSource::today());
            return;
        }
        break;
    }
    QWidget::keyPressEvent(event);
}

void TCalendarGrid::mousePressEvent(QMouseEvent *event)
{
    if (isLeftButton(event)) {
        if (const int day = dayAt(event->position().toPoint()))
            setDay(day);
    }
    QWidget::mousePressEvent(event);
}

void TLocCalendar::drawCell(QPainter &painter, int column, int row, const QRect &rect)
{
    TCalendarGrid::drawCell(painter, column, row, rect);
    const int day = dayAt(column, row);
    if (day == 0 || tryEncodeDate(Year(), Month(), day) != m_today)
        return;
    QRect frame = rect.adjusted(0, 0, -1, -1);
    drawFrame3D(painter, frame, toQColor(clBtnShadow), toQColor(clBtnHighlight));
}

void TLocCalendar::paintEvent(QPaintEvent *event)
{
    m_today = ClockSource::today();
    TCalendarGrid::paintEvent(event);
}

void TLocCalendar::mouseReleaseEvent(QMouseEvent *event)
{
    TCalendarGrid::mouseReleaseEvent(event);
    if (isLeftButton(event) && dayAt(event->position().toPoint()) && OnDayClick)
        OnDayClick(this);
}

CalendarPanel::CalendarPanel(QWidget *parent)
    : QWidget(parent)
    , m_calendar(new TLocCalendar(this))
    , m_title(new QLabel(this))
{
    const char16_t *arrows[] = {u"«", u"‹", u"›", u"»"};
    auto *header = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        QToolButton *button = m_buttons[i] = new QToolButton(this);
        button->setText(QString::fromUtf16(arrows[i]));
        button->setAutoRaise(true);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, i] { step(Step(i)); });
        header->addWidget(button);
        if (i == PreviousMonth)
            header->addWidget(m_title, 1);
    }
    m_title->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(header);
    layout->addWidget(m_calendar);
    setFocusProxy(m_calendar);
    m_calendar->OnChange = [this](TCalendarGrid *) { updateTitle(); };
    updateTitle();
}

QString CalendarPanel::title() const
{
    return m_title->text();
}

void CalendarPanel::updateTitle()
{
    m_title->setText(QLocale().standaloneMonthName(m_calendar->Month()) + u' ' + QString::number(m_calendar->Year()));
}

void CalendarPanel::setHints(const QStringList &hints)
{
    for (int i = 0; i < 4; ++i)
        m_buttons[i]->setToolTip(hints.value(i));
}

void CalendarPanel::step(Step step)
{
    switch (step) {
    case PreviousYear:
        m_calendar->stepYears(-1);
        break;
    case PreviousMonth:
        m_calendar->stepMonths(-1);
        break;
    case NextMonth:
        m_calendar->stepMonths(1);
        break;
    case NextYear:
        m_calendar->stepYears(1);
        break;
    }
}

void CalendarPanel::keyPressEvent(QKeyEvent *event)
{
    const bool years = event->modifiers() & Qt::ControlModifier;
    if (event->key() == Qt::Key_PageUp)
        step(years ? PreviousYear : PreviousMonth);
    else if (event->key() == Qt::Key_PageDown)
        step(years ? NextYear : NextMonth);
    else
        QWidget::keyPressEvent(event);
}

TPopupCalendar::TPopupCalendar(QWidget *owner)
    : QFrame(owner, Qt::Popup)
    , m_panel(new CalendarPanel(this))
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    // A click outside only closes the popup, as it does a drop-down list.
    setAttribute(Qt::WA_NoMouseReplay);
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addWidget(m_panel);
    applyColor();
    calendar()->OnDayClick = [this](TLocCalendar *) { closeUp(true); };
}

void TPopupCalendar::setColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    applyColor();
}

void TPopupCalendar::applyColor()
{
    QPalette shade = palette();
    shade.setColor(QPalette::Window, toQColor(m_color));
    setPalette(shade);
}

QPoint TPopupCalendar::placement(const QRect &anchor, QSize size, TPopupAlign align, const QRect &screen)
{
    QPoint at(align == epaRight ? anchor.right() + 1 - size.width() : anchor.left(), anchor.bottom() + 1);
    if (screen.isNull())
        return at;
    if (at.y() + size.height() > screen.bottom() + 1)
        at.setY(anchor.top() - size.height());
    at.setX(std::max(screen.left(), std::min(at.x(), screen.right() + 1 - size.width())));
    at.setY(std::max(at.y(), screen.top()));
    return at;
}

void TPopupCalendar::popUp(QWidget *anchor, TPopupAlign align)
{
    adjustSize();
    const QRect area(anchor->mapToGlobal(QPoint(0, 0)), anchor->size());
    move(placement(area, size(), align, knownScreenArea(anchor->screen()->availableGeometry())));
    show();
    m_panel->setFocus(Qt::PopupFocusReason);
}

void TPopupCalendar::closeUp(bool accept)
{
    m_accept = accept;
    hide();
}

void TPopupCalendar::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    const bool accept = std::exchange(m_accept, false);
    if (OnCloseUp)
        OnCloseUp(this, accept);
}

void TPopupCalendar::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        closeUp(true);
        return;
    case Qt::Key_Escape:
        closeUp(false);
        return;
    case Qt::Key_Plus:
    case Qt::Key_Minus: // the calendar takes those of the numeric pad only
        return;
    default:
        break;
    }
    if (OnOtherKey)
        OnOtherKey(event);
    else
        QFrame::keyPressEvent(event);
}

TSelectDateDlg::TSelectDateDlg(QWidget *parent)
    : QDialog(parent)
    , m_panel(new CalendarPanel(this))
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_panel);
    layout->addWidget(buttons);
    m_panel->setFocus(Qt::PopupFocusReason);
}
