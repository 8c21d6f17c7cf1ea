#include "panelstatusbar.h"

#include <qdrawutil.h>
#include <QAccessible>
#include <QPainter>

PanelStatusBar::PanelStatusBar(QWidget *parent)
    : QWidget(parent)
{ }

void PanelStatusBar::addPanel(int width, Qt::Alignment alignment, const QString &text)
{
    m_panels.push_back({width, alignment, text});
    update();
}

QString PanelStatusBar::PanelText(int index) const
{
    return index >= 0 && index < PanelCount() ? m_panels[index].text : QString();
}

void PanelStatusBar::setPanelText(int index, const QString &text)
{
    if (index < 0 || index >= PanelCount() || m_panels[index].text == text)
        return;
    m_panels[index].text = text;
    update(panelRect(index));
    QAccessibleEvent nameChange(this, QAccessible::NameChanged);
    nameChange.setChild(index);
    QAccessible::updateAccessibility(&nameChange);
}

QRect PanelStatusBar::panelRect(int index) const
{
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += m_panels[i].width;
    const bool last = index == PanelCount() - 1;
    const int panelWidth = last ? std::max(width(), left + m_panels[index].width) - left : m_panels[index].width;
    // Two pixels between panels and above them, as status bars have.
    return QRect(left, 2, panelWidth - 2, height() - 2);
}

QRect PanelStatusBar::panelTextRect(int index) const
{
    return panelRect(index).adjusted(3, 0, -3, 0);
}

QString PanelStatusBar::shownText(int index) const
{
    const QString text = PanelText(index);
    const QFontMetrics metrics = fontMetrics();
    const int room = panelTextRect(index).width();
    if (metrics.horizontalAdvance(text) <= room)
        return text;
    // Blanks after the figure belong to it: they keep it in line with the panels above and below.
    qsizetype figureEnd = text.size();
    while (figureEnd > 0 && text[figureEnd - 1] == u' ')
        --figureEnd;
    const qsizetype figureStart = text.lastIndexOf(u' ', figureEnd - 1) + 1;
    const QString figure = text.mid(figureStart);
    const int leadRoom = room - metrics.horizontalAdvance(figure);
    const QString lead = leadRoom > 0 ? metrics.elidedText(text.left(figureStart), Qt::ElideLeft, leadRoom) : QString();
    return lead + figure;
}

QSize PanelStatusBar::sizeHint() const
{
    return QSize(200, fontMetrics().height() + 10);
}

void PanelStatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (int i = 0; i < PanelCount(); ++i) {
        qDrawShadePanel(&painter, panelRect(i), palette(), true, 1);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(panelTextRect(i), int(m_panels[i].alignment | Qt::AlignVCenter), shownText(i));
    }
}
