#include "analogclock.h"

#include "clocksource.h"
#include "errors.h"
#include "frame3d.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace {

struct DialPoint
{
    int x;
    int y;
};

constexpr int DialRadius = 8000;

// Point i lies 6·i degrees clockwise from twelve o'clock on a circle of radius
// 8000, y growing downward, truncated toward zero. Twelve, six and nine
// o'clock are one unit short; that is below drawing resolution, but it decides
// on which pixel those marks and hand tips land.
constexpr DialPoint UnitDial[60] = {{0, -7999}, {836, -7956}, {1663, -7825}, {2472, -7608}, {3253, -7308},
    {4000, -6928}, {4702, -6472}, {5353, -5945}, {5945, -5353}, {6472, -4702}, {6928, -4000}, {7308, -3253},
    {7608, -2472}, {7825, -1663}, {7956, -836}, {8000, 0}, {7956, 836}, {7825, 1663}, {7608, 2472}, {7308, 3253},
    {6928, 4000}, {6472, 4702}, {5945, 5353}, {5353, 5945}, {4702, 6472}, {4000, 6928}, {3253, 7308}, {2472, 7608},
    {1663, 7825}, {836, 7956}, {0, 7999}, {-836, 7956}, {-1663, 7825}, {-2472, 7608}, {-3253, 7308}, {-4000, 6928},
    {-4702, 6472}, {-5353, 5945}, {-5945, 5353}, {-6472, 4702}, {-6928, 4000}, {-7308, 3253}, {-7608, 2472},
    {-7825, 1663}, {-7956, 836}, {-7999, 0}, {-7956, -836}, {-7825, -1663}, {-7608, -2472}, {-7308, -3253},
    {-6928, -4000}, {-6472, -4702}, {-5945, -5353}, {-5353, -5945}, {-4702, -6472}, {-4000, -6928}, {-3253, -7308},
    {-2472, -7608}, {-1663, -7825}, {-836, -7956}};

// The screen the dial is drawn for, shared by all clocks. All arithmetic is
// 32-bit integer with division truncating toward zero, so that the dial lands
// on the same pixels as its figures say.
struct DialScreen
{
    bool measured = false;
    int widthPx = 1;
    int horizontal = 1; // pixels per 100 mm
    int vertical = 1;
    DialPoint dial[60] = {};

    int toVertical(int a) const { return a * vertical / horizontal; }
    int toHorizontal(int a) const { return a * horizontal / vertical; }

    void measure(int widthPixels, int heightPixels, int widthMm, int heightMm)
    {
        widthPx = qMax(1, widthPixels);
        // An unknown physical size counts as square pixels.
        const bool sized = widthMm > 0 && heightMm > 0;
        horizontal = sized ? qMax(1, widthPixels * 100 / widthMm) : 1;
        vertical = sized ? qMax(1, heightPixels * 100 / heightMm) : 1;
        // Keeps the dial round on screens whose pixels are not square.
        for (int i = 0; i < 60; ++i)
            dial[i] = {UnitDial[i].x, toVertical(UnitDial[i].y)};
        measured = true;
    }
};

DialScreen &dialScreen()
{
    static DialScreen screen;
    return screen;
}

void measurePrimaryScreenOnce()
{
    DialScreen &screen = dialScreen();
    if (screen.measured)
        return;
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary) {
        screen.measure(1024, 768, 0, 0);
        return;
    }
    const QSize pixels = primary->size();
    const QSizeF mm = primary->physicalSize();
    screen.measure(pixels.width(), pixels.height(), int(mm.width()), int(mm.height()));
}

// Lengths in per cent of the radius.
struct HandShape
{
    int side;
    int tip;
    int tail;
};

HandShape shapeOf(ClockHand hand)
{
    switch (hand) {
    case ClockHand::Hour:
        return {7, 60, 15};
    case ClockHand::Minute:
        return {5, 80, 20};
    case ClockHand::Second:
        break;
    }
    return {0, 80, 0};
}

// The brighter shade of the hour marks' top and left edges.
QColor lightVariant(TColor color)
{
    const QColor rgb = toQColor(color);
    int bytes[3] = {rgb.red(), rgb.green(), rgb.blue()};
    for (int &byte : bytes) {
        if (byte == 255)
            return toQColor(clBtnHighlight);
        if (byte == 192)
            byte = 255;
        else if (byte != 0)
            byte = (byte + 127) & 0xFF;
    }
    return QColor(bytes[0], bytes[1], bytes[2]);
}

// Draws a bevel width pixels wide on the edge of r, and shrinks r by it.
void drawBevel(QPainter &painter, QRect &r, PanelBevel bevel, int width)
{
    if (bevel == PanelBevel::bvNone)
        return;
    QColor light = toQColor(clBtnHighlight);
    QColor dark = toQColor(clBtnShadow);
    if (bevel == PanelBevel::bvLowered)
        std::swap(light, dark);
    drawFrame3D(painter, r, light, dark, width);
}

template<typename T> bool assign(T &field, T value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

// Qt reports no change of the system time, so a tick compares how far the
// time of day moved with how much time really passed.
constexpr qint64 TimeJumpMs = 2000;

} // namespace

TAnalogClock::TAnalogClock(QWidget *parent)
    : QWidget(parent)
    , m_formatSettings(FormatSettings::current())
{
    measurePrimaryScreenOnce();
    // Every pixel comes from the face and the hands; nothing below shows.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_shownTime = currentTime();
    m_sinceShownTime.start();
    m_timer.setInterval(450);
    m_timer.setOnTimer([this](TThreadTimer *) { Tick(); });
}

void TAnalogClock::setScreenMetrics(int widthPx, int heightPx, int widthMm, int heightMm)
{
    dialScreen().measure(widthPx, heightPx, widthMm, heightMm);
}

void TAnalogClock::resetScreenMetrics()
{
    dialScreen().measured = false;
}

// --- Time and alarm ----------------------------------------------------------

TAnalogClock::Hands TAnalogClock::handsOf(DateTime time)
{
    const TimeOfDay t = decodeTime(time);
    return {t.hour % 12, t.minute, t.second};
}

DateTime TAnalogClock::currentTime()
{
    DateTime time = double(millisecondsOfDay(ClockSource::now())) / MillisecondsPerDay;
    if (OnGetTime)
        OnGetTime(this, time);
    return time;
}

void TAnalogClock::Tick()
{
    const DateTime now = currentTime();
    const Hands from = handsOf(m_shownTime);
    const Hands to = handsOf(now);
    // After a jump everything is repainted, so what changed need not be
    // worked out.
    if (timeJumped(now))
        update();
    else if (from != to)
        update(m_showMode == scAnalog ? changedHandsRegion(from, to) : changedCellsRegion(from, now));
    m_shownTime = now;
    checkAlarm(now);
}

bool TAnalogClock::timeJumped(DateTime now)
{
    const qint64 expected = millisecondsOfDay(m_shownTime) + m_sinceShownTime.restart();
    qint64 drift = (millisecondsOfDay(now) - expected) % MillisecondsPerDay;
    // Midnight is no jump: the drift is taken the short way round the day.
    if (drift > MillisecondsPerDay / 2)
        drift -= MillisecondsPerDay;
    else if (drift < -MillisecondsPerDay / 2)
        drift += MillisecondsPerDay;
    return qAbs(drift) > TimeJumpMs;
}

void TAnalogClock::checkAlarm(DateTime now)
{
    const TimeOfDay time = decodeTime(now);
    const TimeOfDay alarm = decodeTime(m_alarmTime);
    const bool inWindow = time.hour == alarm.hour && time.minute == alarm.minute && time.second >= alarm.second;
    if (!m_alarmEnabled || !inWindow) {
        rearmAlarm(now);
        return;
    }
    if (!m_alarmPending)
        return;
    // Cleared first, so that nothing the handler does can fire it again.
    m_alarmPending = false;
    if (OnAlarm)
        OnAlarm(this);
}

// Midnight is always ahead: it fires in the first minute of every day.
void TAnalogClock::rearmAlarm(DateTime now)
{
    const qint64 alarm = millisecondsOfDay(m_alarmTime);
    m_alarmPending = millisecondsOfDay(now) < alarm || alarm == 0;
}

void TAnalogClock::setAlarmElement(int TimeOfDay::*element, int value)
{
    TimeOfDay alarm = decodeTime(m_alarmTime);
    alarm.*element = value;
    const std::optional<DateTime> time = tryEncodeTime(alarm.hour, alarm.minute, alarm.second);
    if (!time) {
        const QString text = QStringLiteral("%1%2%3%2%4")
                                 .arg(QString::number(alarm.hour), m_formatSettings.timeSeparator,
                                     QString::number(alarm.minute), QString::number(alarm.second));
        throw ConversionError(QStringLiteral("''%1'' is not a valid time").arg(text));
    }
    m_alarmTime = *time;
    // Even rewriting the same value re-arms: an alarm set to the minute now
    // running, after its second, waits for tomorrow.
    rearmAlarm(currentTime());
}

// --- Properties --------------------------------------------------------------

void TAnalogClock::setAutoSize(bool on)
{
    if (!assign(m_autoSize, on))
        return;
    fitFont();
    update();
}

void TAnalogClock::setShowMode(TShowClock mode)
{
    if (assign(m_showMode, mode))
        redrawFace();
}

void TAnalogClock::setShowSeconds(bool on)
{
    setDisplayOption(m_showSeconds, on, true);
}

void TAnalogClock::setTwelveHour(bool on)
{
    setDisplayOption(m_twelveHour, on, true);
}

void TAnalogClock::setLeadingZero(bool on)
{
    setDisplayOption(m_leadingZero, on, false);
}

void TAnalogClock::setDisplayOption(bool &field, bool on, bool affectsFontSize)
{
    if (!assign(field, on))
        return;
    update();
    if (affectsFontSize)
        fitFont();
}

void TAnalogClock::setDotsColor(TColor color)
{
    if (assign(m_dotsColor, color))
        redrawFace();
}

void TAnalogClock::setColor(TColor color)
{
    if (assign(m_color, color))
        redrawFace();
}

void TAnalogClock::setCtl3D(bool on)
{
    if (assign(m_ctl3D, on))
        redrawFace();
}

void TAnalogClock::setBevelOuter(PanelBevel bevel)
{
    if (assign(m_bevelOuter, bevel))
        relayout();
}

void TAnalogClock::setBevelInner(PanelBevel bevel)
{
    if (assign(m_bevelInner, bevel))
        relayout();
}

void TAnalogClock::setBevelWidth(int width)
{
    if (assign(m_bevelWidth, width))
        relayout();
}

void TAnalogClock::setBorderWidth(int width)
{
    if (assign(m_borderWidth, width))
        relayout();
}

// --- Layout ------------------------------------------------------------------

QRect TAnalogClock::innerRect() const
{
    const int bevels = int(m_bevelOuter != PanelBevel::bvNone) + int(m_bevelInner != PanelBevel::bvNone);
    const int depth = m_borderWidth + m_bevelWidth * bevels;
    return rect().adjusted(depth, depth, -depth, -depth);
}

void TAnalogClock::relayout()
{
    fitFont();
    redrawFace();
}

TAnalogClock::DialGeometry TAnalogClock::dialGeometry() const
{
    const DialScreen &screen = dialScreen();
    // Right and bottom are exclusive here, as the dial's figures count them.
    const QRect inner = innerRect();
    int left = inner.left();
    int top = inner.top();
    int right = left + inner.width();
    int bottom = top + inner.height();
    const int width = right - left;
    const int height = bottom - top;
    if (screen.toHorizontal(height) < width) {
        left += (width - screen.toHorizontal(height)) / 2;
        right = left + screen.toHorizontal(height);
    } else {
        top += (height - screen.toVertical(width)) / 2;
        bottom = top + screen.toVertical(width);
    }
    DialGeometry dial;
    dial.clockRect = QRect(left, top, right - left, bottom - top);

    // The marks grow with the dial, relative to the screen's width.
    const int dotWidth = dial.clockRect.width() * 25 / screen.widthPx;
    dial.dotHeight = qMax(1, screen.toVertical(dotWidth));
    dial.dotWidth = qMax(2, dotWidth);
    // The marks must stay inside the square, so the circle through their
    // centres shrinks by half a mark; the halves are crossed, which matters
    // only on screens whose pixels are not square.
    left += dial.dotHeight / 2;
    right -= dial.dotHeight / 2;
    top += dial.dotWidth / 2;
    bottom -= dial.dotWidth / 2;
    dial.radius = (right - left) / 2;
    dial.centre = QPoint(left + dial.radius, top + (bottom - top) / 2);
    return dial;
}

void TAnalogClock::fitFont()
{
    if (!m_autoSize)
        return;
    const QRect inner = innerRect();
    const int availableHeight = inner.height() - 4;
    const int availableWidth = inner.width() - 30;
    if (availableHeight <= 0 || availableWidth <= 0)
        return;
    QFont probe = font();
    probe.setPixelSize(1000);
    const QFontMetrics metrics(probe);
    QString sample = QStringLiteral("88888");
    if (m_showSeconds)
        sample += QStringLiteral("888");
    if (m_twelveHour) {
        const QString &am = m_formatSettings.amText;
        const QString &pm = m_formatSettings.pmText;
        sample += u' ' + (metrics.horizontalAdvance(am) > metrics.horizontalAdvance(pm) ? am : pm);
    }
    const int height = qMax(1,
        qMin(qRound(availableHeight * 4.0 / 5), qRound(1000.0 * availableWidth / metrics.horizontalAdvance(sample))));
    if (height == font().pixelSize())
        return;
    QFont fitted = font();
    fitted.setPixelSize(height);
    setFont(fitted);
}

// --- Painting ----------------------------------------------------------------

QColor TAnalogClock::fontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TAnalogClock::redrawFace()
{
    m_face = QPixmap();
    update();
}

QPixmap TAnalogClock::renderFace() const
{
    const qreal ratio = devicePixelRatioF();
    QPixmap face(size() * ratio);
    face.setDevicePixelRatio(ratio);
    QPainter painter(&face);
    QRect r = rect();
    painter.fillRect(r, toQColor(m_color));
    drawBevel(painter, r, m_bevelOuter, m_bevelWidth);
    r.adjust(m_borderWidth, m_borderWidth, -m_borderWidth, -m_borderWidth);
    drawBevel(painter, r, m_bevelInner, m_bevelWidth);
    if (m_showMode == scAnalog)
        drawDialMarks(painter);
    return face;
}

void TAnalogClock::drawDialMarks(QPainter &painter) const
{
    const DialGeometry dial = dialGeometry();
    // Marks too small to shade are drawn flat, and minute marks not at all.
    const bool largeDots = dial.dotWidth > 2 && dial.dotHeight > 1;
    const QColor face = toQColor(m_color);
    const QColor ink = fontColor();
    // System colours each read the palette: once for all 60 marks.
    const QColor dots = toQColor(m_dotsColor);
    const QColor dotsLight = lightVariant(m_dotsColor);
    const QColor frame = toQColor(clWindowFrame);
    const QColor shadow = toQColor(clBtnShadow);
    const QColor highlight = toQColor(clBtnHighlight);
    for (int i = 0; i < 60; ++i) {
        const QPoint p = dial.pointAt(dial.radius, i);
        if (i % 5 == 0) {
            QRect mark(p.x() - dial.dotWidth / 2, p.y() - dial.dotHeight / 2, dial.dotWidth, dial.dotHeight);
            if (m_ctl3D && largeDots) {
                painter.fillRect(mark, dots);
                drawFrame3D(painter, mark, dotsLight, frame);
            } else {
                painter.fillRect(mark, ink);
            }
        } else if (largeDots && m_ctl3D) {
            // A pixel-sized dimple: shadow above left, light below right.
            painter.fillRect(p.x() - 1, p.y() - 1, 2, 2, shadow);
            painter.fillRect(p.x(), p.y(), 2, 2, highlight);
            painter.fillRect(p.x(), p.y(), 1, 1, face);
        } else if (largeDots) {
            painter.fillRect(p.x(), p.y(), 1, 1, ink);
        }
    }
}

QPoint TAnalogClock::DialGeometry::pointAt(int length, int position) const
{
    const DialPoint d = dialScreen().dial[position];
    return {centre.x() + length * d.x / DialRadius, centre.y() + length * d.y / DialRadius};
}

QPoint TAnalogClock::DialGeometry::handTip(ClockHand hand, int position) const
{
    return pointAt(radius * shapeOf(hand).tip / 100, position);
}

// The second hand is a line from the centre; the others are kites with their
// long point at the tip and the short one behind the centre.
QPolygon TAnalogClock::DialGeometry::handOutline(ClockHand hand, int position) const
{
    const QPoint tip = handTip(hand, position);
    if (hand == ClockHand::Second)
        return QPolygon({centre, tip});
    const HandShape shape = shapeOf(hand);
    const int side = radius * shape.side / 100;
    const DialPoint across = dialScreen().dial[(position + 15) % 60];
    const QPoint offset(side * across.x / DialRadius, side * across.y / DialRadius);
    const QPoint tail = pointAt(radius * shape.tail / 100, (position + 30) % 60);
    return QPolygon({centre + offset, tip, centre - offset, tail});
}

QPoint TAnalogClock::handTip(ClockHand hand, int position) const
{
    return dialGeometry().handTip(hand, position);
}

void TAnalogClock::drawHands(QPainter &painter) const
{
    const DialGeometry dial = dialGeometry();
    const Hands hands = handsOf(m_shownTime);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(fontColor(), 0));
    painter.drawPolygon(dial.handOutline(ClockHand::Hour, hands.hourPosition()));
    painter.drawPolygon(dial.handOutline(ClockHand::Minute, hands.minute));
    if (!m_showSeconds)
        return;
    // Inverted rather than coloured, so that it shows over face and hands.
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.drawPolyline(dial.handOutline(ClockHand::Second, hands.second));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

QRegion TAnalogClock::changedHandsRegion(Hands from, Hands to) const
{
    const DialGeometry dial = dialGeometry();
    const auto bounds = [&dial](ClockHand hand, int position) {
        return dial.handOutline(hand, position).boundingRect().adjusted(-1, -1, 1, 1);
    };
    QRegion region;
    if (m_showSeconds && from.second != to.second)
        region += bounds(ClockHand::Second, from.second) | bounds(ClockHand::Second, to.second);
    if (from.minute != to.minute || from.hour != to.hour) {
        for (const Hands &hands : {from, to}) {
            region += bounds(ClockHand::Hour, hands.hourPosition());
            region += bounds(ClockHand::Minute, hands.minute);
        }
    }
    return region;
}

TAnalogClock::DigitalLayout TAnalogClock::digitalLayout(DateTime time) const
{
    const int hour = decodeTime(time).hour;
    const int shownHour = m_twelveHour ? (hour + 11) % 12 + 1 : hour; // 0 shows as 12
    QString format = m_leadingZero ? QStringLiteral("hh:nn") : QStringLiteral("h:nn");
    if (m_showSeconds)
        format += QStringLiteral(":ss");
    if (m_twelveHour)
        format += QStringLiteral(" ampm");

    DigitalLayout layout;
    layout.text = formatDateTime(format, time, m_formatSettings);
    layout.hourChars = shownHour > 9 || m_leadingZero ? 2 : 1;
    layout.cellCount = layout.hourChars + (m_showSeconds ? 6 : 3);
    // Every character gets the cell of an "8", so that digits changing do not
    // move the others.
    const QFontMetrics metrics = fontMetrics();
    const int cellWidth = metrics.horizontalAdvance(u'8');
    const int height = metrics.height();
    const int total = layout.cellCount * cellWidth + metrics.horizontalAdvance(layout.text.mid(layout.cellCount));
    const QRect inner = innerRect();
    const int left = (2 * inner.left() + inner.width() - total) / 2;
    const int top = (2 * inner.top() + inner.height() - height) / 2;
    layout.firstCell = QRect(left, top, cellWidth, height);
    return layout;
}

QList<QRect> TAnalogClock::digitCells() const
{
    const DigitalLayout layout = digitalLayout(m_shownTime);
    QList<QRect> cells;
    for (int k = 0; k < layout.cellCount; ++k)
        cells << layout.cell(k);
    return cells;
}

void TAnalogClock::drawDigits(QPainter &painter) const
{
    const DigitalLayout layout = digitalLayout(m_shownTime);
    painter.setPen(fontColor());
    painter.setFont(font());
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
    for (int k = 0; k < layout.cellCount; ++k)
        painter.drawText(layout.cell(k), flags | Qt::AlignHCenter, layout.text.at(k));
    painter.drawText(layout.cell(layout.cellCount), flags | Qt::AlignLeft, layout.text.mid(layout.cellCount));
}

// Only the cells whose digits changed; a new hour may change the number of
// cells and the suffix, so it repaints everything.
QRegion TAnalogClock::changedCellsRegion(Hands from, DateTime to) const
{
    const Hands hands = handsOf(to);
    if (hands.hour != from.hour)
        return rect();
    const DigitalLayout layout = digitalLayout(to);
    QRegion region;
    if (hands.minute != from.minute)
        region += layout.cell(layout.hourChars + 1) | layout.cell(layout.hourChars + 2);
    if (m_showSeconds && hands.second != from.second)
        region += layout.cell(layout.hourChars + 4) | layout.cell(layout.hourChars + 5);
    return region;
}

void TAnalogClock::paintEvent(QPaintEvent *)
{
    if (m_face.isNull())
        m_face = renderFace();
    QPainter painter(this);
    // The painter is clipped to the region that changed.
    painter.drawPixmap(0, 0, m_face);
    if (m_showMode == scAnalog)
        drawHands(painter);
    else
        drawDigits(painter);
}

void TAnalogClock::resizeEvent(QResizeEvent *event)
{
    relayout();
    QWidget::resizeEvent(event);
}

void TAnalogClock::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::LocaleChange:
        m_formatSettings = FormatSettings::current();
        [[fallthrough]];
    case QEvent::FontChange:
        update();
        fitFont();
        break;
    case QEvent::PaletteChange:
        redrawFace();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}
