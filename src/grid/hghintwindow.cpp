#include "hghintwindow.h"

#include "screenarea.h"
#include "screencolor.h"

#include <algorithm>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace {
// The text starts 2 pixels inside the one-pixel frame.
constexpr int TextInset = 3;
} // namespace

ThgHintWindow::ThgHintWindow(QWidget *owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
}

void ThgHintWindow::setText(const QString &text)
{
    m_text = text;
    const QFontMetrics metrics(font());
    const int width = metrics.horizontalAdvance(text);
    // Lines wrap only where they would not fit on the screen.
    const int screenWidth = (screen() ? screen() : QGuiApplication::primaryScreen())->geometry().width();
    const QRect wrapped = metrics.boundingRect(QRect(0, 0, screenWidth, 0), Qt::TextWordWrap, text);
    resize(std::max(width, wrapped.width()) + 8, wrapped.height() + 6);
    update();
}

void ThgHintWindow::ActivateHint(const QRect &rect, const QString &text)
{
    setText(text);
    const QScreen *screen = QGuiApplication::screenAt(rect.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    move(placement(rect.topLeft(), size(), knownScreenArea(screen->geometry())));
    show();
}

QPoint ThgHintWindow::placement(QPoint topLeft, QSize size, const QRect &screen)
{
    QPoint at = topLeft;
    if (screen.isNull())
        return at;
    if (at.y() + size.height() > screen.bottom() + 1)
        at.setY(screen.bottom() + 1 - size.height());
    if (at.x() + size.width() > screen.right() + 1)
        at.setX(screen.right() + 1 - size.width());
    return QPoint(std::max(at.x(), screen.left()), std::max(at.y(), screen.top()));
}

void ThgHintWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(clInfoBk));
    painter.setPen(toQColor(clInfoText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.drawText(rect().adjusted(TextInset, TextInset, -TextInset, -TextInset), Qt::TextWordWrap, m_text);
}
