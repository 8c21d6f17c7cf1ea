#include "hghintgrid.h"

#include "hghintwindow.h"
#include "inplaceedit.h"
#include "messages.h"

#include <QApplication>
#include <QMouseEvent>

namespace {
constexpr int HintTicks = 60;
constexpr int HintTickMs = 10;
} // namespace

THgHintGrid::THgHintGrid(QWidget *parent)
    : TStringGrid(parent)
{
    viewport()->setMouseTracking(true); // the hint cell follows the mouse
    m_hintTimer.setInterval(HintTickMs);
    connect(&m_hintTimer, &QTimer::timeout, this, [this] { runGuarded([this] { hintTick(); }); });
    // A hint waits while the user is in another program.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
        [this](Qt::ApplicationState state) { ArmHint(state == Qt::ApplicationActive); });
}

void THgHintGrid::SetHintCell(int col, int row)
{
    if (m_hintCell == CellPosition {col, row})
        return;
    m_hintCell = {col, row};
    ArmHint(false);
    ArmHint(true);
}

bool THgHintGrid::hintsAllowed() const
{
    if (!OnShowCellHint || !parentWidget() || !window()->isActiveWindow())
        return false;
    if (m_hintCell.X < 0 || m_hintCell.Y < 0 || m_hintCell.X >= ColCount() || m_hintCell.Y >= RowCount())
        return false;
    if (m_hintFollowsMouse)
        return m_mouseInside;
    return hasFocus() || (InplaceEditor() && InplaceEditor()->hasFocus());
}

void THgHintGrid::ArmHint(bool on)
{
    if (on && hintsAllowed()) {
        m_countdown = HintTicks;
        m_hintTimer.start();
        return;
    }
    if (m_hintWindow)
        m_hintWindow->hide();
    m_hintTimer.stop();
}

void THgHintGrid::hintTick()
{
    if (--m_countdown > 0)
        return;
    m_hintTimer.stop();
    const QRect cell = CellRect(m_hintCell.X, m_hintCell.Y);
    if (cell.isEmpty())
        return; // scrolled away: nothing to point at
    QPoint topLeft = viewport()->mapToGlobal(QPoint(cell.right() + 1, cell.top() - cell.height() + 4));
    QString hint;
    OnShowCellHint(this, m_hintCell.X, m_hintCell.Y, hint, topLeft);
    if (hint.trimmed().isEmpty())
        return;
    if (!m_hintWindow)
        m_hintWindow = new ThgHintWindow(this);
    m_hintWindow->ActivateHint(QRect(topLeft, QSize()), hint);
}

void THgHintGrid::FocusEntered()
{
    if (!m_hintFollowsMouse)
        ArmHint(true);
}

void THgHintGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (m_hintFollowsMouse) {
        const QPoint at = event->position().toPoint();
        const CellPosition cell = MouseToCell(at.x(), at.y());
        if (cell.X < 0 || cell.Y < 0)
            SetHintCell(-1, -1);
        else
            SetHintCell(cell.X, cell.Y);
    }
    TStringGrid::mouseMoveEvent(event);
}

void THgHintGrid::enterEvent(QEnterEvent *event)
{
    TStringGrid::enterEvent(event);
    if (m_hintFollowsMouse) {
        m_mouseInside = true;
        ArmHint(true);
    }
}

void THgHintGrid::leaveEvent(QEvent *event)
{
    TStringGrid::leaveEvent(event);
    if (m_hintFollowsMouse) {
        m_mouseInside = false;
        ArmHint(false);
    }
}
