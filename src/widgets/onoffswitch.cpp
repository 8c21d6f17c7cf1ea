#include "onoffswitch.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QStylePainter>

namespace {

// A lever in a slot: down and red when off, up and green when on.
QPixmap drawLever(int index, QSize size)
{
    QPixmap picture(size);
    // A transparent ground, so that the smoothed edges blend into the
    // switch's colour rather than into a key colour.
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plate(size.width() * 0.2, size.height() * 0.1, size.width() * 0.6, size.height() * 0.8);
    p.setPen(QPen(toQColor(BlackColor), 1));
    p.setBrush(toQColor(clSilver));
    p.drawRoundedRect(plate, 3, 3);
    const QRectF slot = plate.adjusted(plate.width() * 0.35, 3, -plate.width() * 0.35, -3);
    p.setBrush(toQColor(GrayColor));
    p.drawRect(slot);
    const qreal knobHeight = slot.height() * 0.45;
    const QRectF knob(
        plate.left() + 2, index == 1 ? slot.top() : slot.bottom() - knobHeight, plate.width() - 4, knobHeight);
    p.setBrush(toQColor(index == 1 ? LimeColor : clRed));
    p.drawRoundedRect(knob, 2, 2);
    return picture;
}

} // namespace

TOnOffSwitch::TOnOffSwitch(QWidget *parent)
    : QWidget(parent)
{
    m_glyphs[0] = builtInGlyph(0);
    m_glyphs[1] = builtInGlyph(1);
    resize(50, 60);
    setFocusPolicy(Qt::StrongFocus);
}

QPixmap TOnOffSwitch::builtInGlyph(int index)
{
    return drawLever(index, QSize(32, 48));
}

void TOnOffSwitch::setStateOn(bool on)
{
    if (on == m_stateOn)
        return;
    m_stateOn = on;
    update();
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent checkedChange(this, changed);
    QAccessible::updateAccessibility(&checkedChange);
    if (on && OnOn)
        OnOn(this);
    else if (!on && OnOff)
        OnOff(this);
}

void TOnOffSwitch::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    grabAccelerator();
    update();
    QAccessibleEvent nameChange(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChange);
}

void TOnOffSwitch::setTextPosition(TTextPos position)
{
    if (position == m_textPosition)
        return;
    m_textPosition = position;
    update();
}

void TOnOffSwitch::setGlyph(int index, const QPixmap &glyph)
{
    if (glyph.isNull()) {
        m_glyphs[index] = builtInGlyph(index);
        m_userGlyphs &= ~(1u << index);
    } else {
        m_glyphs[index] = glyph;
        m_userGlyphs |= 1u << index;
    }
    forgetShownGlyphs();
    update();
}

void TOnOffSwitch::setShowFocus(bool on)
{
    if (on == m_showFocus)
        return;
    m_showFocus = on;
    update();
}

void TOnOffSwitch::setBorderStyle(TBorderStyle style)
{
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    update();
}

void TOnOffSwitch::setColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    forgetShownGlyphs();
    update();
}

void TOnOffSwitch::setParentColor(bool on)
{
    if (on == m_parentColor)
        return;
    m_parentColor = on;
    forgetShownGlyphs();
    update();
}

QColor TOnOffSwitch::backgroundColor() const
{
    if (m_parentColor && parentWidget())
        return parentWidget()->palette().color(parentWidget()->backgroundRole());
    return toQColor(m_color);
}

void TOnOffSwitch::forgetShownGlyphs()
{
    for (int i = 0; i < 2; ++i) {
        m_shown[i] = QPixmap();
        m_greyed[i] = QPixmap();
    }
}

const QPixmap &TOnOffSwitch::shownGlyph() const
{
    const int index = m_stateOn ? 1 : 0;
    if (m_shown[index].isNull()) {
        QImage image = m_glyphs[index].toImage().convertToFormat(QImage::Format_ARGB32);
        if (!image.isNull()) {
            const QRgb transparent = image.pixel(0, image.height() - 1);
            const QRgb background = backgroundColor().rgba();
            for (int y = 0; y < image.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x)
                    if (line[x] == transparent)
                        line[x] = background;
            }
        }
        m_shown[index] = QPixmap::fromImage(image);
    }
    if (isEnabled())
        return m_shown[index];
    if (m_greyed[index].isNull()) {
        QStyleOption option;
        option.initFrom(this);
        m_greyed[index] = style()->generatedIconPixmap(QIcon::Disabled, m_shown[index], &option);
    }
    return m_greyed[index];
}

QRect TOnOffSwitch::clientRect() const
{
    return m_borderStyle == bsSingle ? rect().adjusted(1, 1, -1, -1) : rect();
}

QRect TOnOffSwitch::glyphRect() const
{
    const QRect client = clientRect();
    const int W = client.width();
    const int H = client.height();
    const QSize glyph = m_glyphs[m_stateOn ? 1 : 0].size();
    const int w = glyph.width();
    const int h = glyph.height();
    QPoint topLeft;
    switch (m_textPosition) {
    case tpLeft:
        topLeft = {W - w, (H - h) / 2};
        break;
    case tpRight:
        topLeft = {0, (H - h) / 2};
        break;
    case tpAbove:
        topLeft = {(W - w) / 2, H - h};
        break;
    case tpBelow:
        topLeft = {(W - w) / 2, 0};
        break;
    case tpNone:
        topLeft = {(W - w) / 2, (H - h) / 2};
        break;
    }
    return QRect(client.topLeft() + topLeft, glyph);
}

void TOnOffSwitch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_borderStyle == bsSingle) {
        painter.setPen(toQColor(BlackColor));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    QRect r = clientRect();
    painter.fillRect(r, backgroundColor());
    const QRect glyph = glyphRect();
    painter.drawPixmap(glyph.topLeft(), shownGlyph());
    if (hasFocus() && m_showFocus && focusPolicy() & Qt::TabFocus) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = glyph;
        focus.backgroundColor = backgroundColor();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
    if (m_textPosition == tpNone)
        return;

    switch (m_textPosition) {
    case tpLeft:
        r.setRight(r.right() - glyph.width());
        break;
    case tpRight:
        r.setLeft(r.left() + glyph.width());
        break;
    case tpAbove:
        r.setBottom(r.bottom() - glyph.height());
        break;
    default:
        r.setTop(r.top() + glyph.height());
        break;
    }
    // The caption is one line high, centred in what is left.
    const int t = fontMetrics().height();
    const int top = (r.top() + r.bottom() + 1 - t) / 2;
    r.setTop(top);
    r.setHeight(t);
    style()->drawItemText(&painter, r, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextExpandTabs,
        palette(), isEnabled(), m_caption, QPalette::WindowText);
}

// Qt delivers a double click's second press as a double-click event, which
// QWidget hands on to here, so each click of a double click toggles.
void TOnOffSwitch::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        if (focusPolicy() & Qt::ClickFocus)
            setFocus(Qt::MouseFocusReason);
        Toggle();
    }
    QWidget::mousePressEvent(event);
}

void TOnOffSwitch::keyPressEvent(QKeyEvent *event)
{
    const QKeyCombination pressed(
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier), Qt::Key(event->key()));
    if (m_toggleKey.toCombined() != 0 && pressed == m_toggleKey) {
        Toggle();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TOnOffSwitch::grabAccelerator()
{
    if (m_acceleratorId)
        releaseShortcut(m_acceleratorId);
    m_acceleratorId = 0;
    const QKeySequence accelerator = QKeySequence::mnemonic(m_caption);
    if (!accelerator.isEmpty())
        m_acceleratorId = grabShortcut(accelerator);
}

bool TOnOffSwitch::event(QEvent *event)
{
    // The caption's accelerator only moves the focus here; it does not toggle.
    if (event->type() == QEvent::Shortcut && static_cast<QShortcutEvent *>(event)->shortcutId() == m_acceleratorId) {
        if (focusPolicy() != Qt::NoFocus)
            setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QWidget::event(event);
}

void TOnOffSwitch::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (m_showFocus)
        update();
}

void TOnOffSwitch::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    if (m_showFocus)
        update();
}

void TOnOffSwitch::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange)
        update();
    if (event->type() == QEvent::PaletteChange)
        forgetShownGlyphs();
    QWidget::changeEvent(event);
}
