// How THyperGrid's title cells and heading bands act as push buttons.

#include "hypergrid.h"
#include "messages.h"

#include <QMouseEvent>

int THyperGrid::HeadingAt(int x, int y) const
{
    const CellPosition cell = MouseToCell(x, y);
    if (cell.Y != 0 || FixedRows() < 1 || cell.X < 0 || cell.X >= VisibleColumnCount())
        return -1;
    const int index = ColumnAt(cell.X)->HeadingIndex();
    return index >= 0 && y < CellRect(cell.X, 0).top() + RowHeights(0) / 2 - 2 ? index : -1;
}

bool THyperGrid::isPressedCell(int col, int row) const
{
    return m_press.Pressed && m_press.Heading < 0 && m_press.Cell == CellPosition {col, row};
}

bool THyperGrid::isPressedHeading(int headingIndex, int firstCol, int lastCol) const
{
    return m_press.Pressed && m_press.Heading == headingIndex && m_press.Cell.X >= firstCol
        && m_press.Cell.X <= lastCol;
}

void THyperGrid::mousePressEvent(QMouseEvent *event)
{
    runGuarded([&] {
        if (!(m_columnClick && pressTitle(event)))
            THgHintGrid::mousePressEvent(event);
    });
}

bool THyperGrid::pressTitle(const QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const CellPosition cell = MouseToCell(at.x(), at.y());
    if (cell.X < 0 || cell.Y < 0)
        return false;
    const bool fixedRow = cell.Y < FixedRows();
    const bool fixedCol = cell.X < FixedCols();
    if (!fixedRow && !fixedCol)
        return false;
    QRect area = CellRect(cell.X, cell.Y);
    if (event->button() == Qt::LeftButton) {
        // The edges stay free for sizing and moving columns and rows.
        const GridOptions options = Options();
        if (fixedRow && !fixedCol) {
            if (options & goColMoving)
                area.adjust(0, 4, 0, -4);
            if (options & goColSizing)
                area.adjust(4, 0, -4, 0);
        } else if (fixedCol && !fixedRow) {
            if (options & goRowMoving)
                area.adjust(4, 0, -4, 0);
            if (options & goRowSizing)
                area.adjust(0, 4, 0, -4);
        }
    }
    if (!area.contains(at))
        return false;
    m_press = {true, cell, HeadingAt(at.x(), at.y()), event->button(), false, false};
    trackPress(at, event->buttons());
    return true;
}

void THyperGrid::trackPress(QPoint at, Qt::MouseButtons buttons)
{
    const int heading = HeadingAt(at.x(), at.y());
    m_press.Inside
        = m_press.Heading < 0 ? heading < 0 && MouseToCell(at.x(), at.y()) == m_press.Cell : heading == m_press.Heading;
    const bool pressed = m_press.Inside && (buttons & Qt::LeftButton);
    if (pressed == m_press.Pressed)
        return;
    m_press.Pressed = pressed;
    repaintPress();
}

void THyperGrid::repaintPress()
{
    if (m_press.Heading < 0) {
        viewport()->update(CellRect(m_press.Cell.X, m_press.Cell.Y));
        return;
    }
    // The band's columns on screen, over the upper half of the title row.
    QRect band;
    for (int col = 0; col < ColCount(); ++col)
        if (ColumnAt(col)->HeadingIndex() == m_press.Heading)
            band |= CellRect(col, 0);
    band.setHeight(RowHeights(0) / 2 - 2);
    viewport()->update(band);
}

void THyperGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (m_press.Tracking)
        trackPress(event->position().toPoint(), event->buttons());
    else
        THgHintGrid::mouseMoveEvent(event);
}

void THyperGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_press.Tracking) {
        THgHintGrid::mouseReleaseEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    const bool due = m_press.Inside && event->button() == m_press.Button;
    if (due && OnFixedCellClick) {
        const CellPosition cell = MouseToCell(at.x(), at.y());
        runGuarded([&] {
            OnFixedCellClick(
                this, cell.X, cell.Y, m_press.Heading, event->button(), event->modifiers(), at.x(), at.y());
        });
    }
    m_press.Tracking = false;
    if (m_press.Pressed) {
        m_press.Pressed = false;
        repaintPress();
    }
    if (!due)
        THgHintGrid::mouseReleaseEvent(event);
}
