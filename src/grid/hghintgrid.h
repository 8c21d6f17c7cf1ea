#pragma once

#include "stringgrid.h"

#include <QTimer>

class ThgHintWindow;

/// The string grid with timed cell hints: once a cell has been the hint
/// cell for 60 ticks of 10 ms, OnShowCellHint is asked for its hint, which
/// then shows above the cell's right end. The hint cell follows the mouse
/// (HintFollowsMouse) or else the current cell.
class THgHintGrid : public TStringGrid
{
    Q_OBJECT

public:
    explicit THgHintGrid(QWidget *parent = nullptr);

    bool HintFollowsMouse() const { return m_hintFollowsMouse; }
    void setHintFollowsMouse(bool on) { m_hintFollowsMouse = on; }

    /// The cell whose hint is counted down; (-1, -1) for none.
    CellPosition HintCell() const { return m_hintCell; }
    /// A new hint cell starts the countdown afresh.
    void SetHintCell(int col, int row);
    /// Starts the countdown where hints are allowed; off, or not allowed,
    /// stops it and hides a shown hint.
    void ArmHint(bool on);
    /// Ticks left before the hint shows.
    int HintCountdown() const { return m_countdown; }
    /// The window of the cell hints; null until the first hint shows.
    ThgHintWindow *HintWindow() const { return m_hintWindow; }

    /// Asked for a cell's hint with an empty Hint and its top-left on screen;
    /// a blank Hint shows nothing.
    std::function<void(THgHintGrid *sender, int col, int row, QString &hint, QPoint &topLeft)> OnShowCellHint;

protected:
    void FocusEntered() override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool hintsAllowed() const;
    void hintTick();

    bool m_hintFollowsMouse = true;
    CellPosition m_hintCell {-1, -1};
    int m_countdown = 0;
    QTimer m_hintTimer;
    bool m_mouseInside = false;
    ThgHintWindow *m_hintWindow = nullptr;
};
