#pragma once

#include "hypergridcolumns.h"
#include "inplaceedit.h"
#include "stringgrid.h"

class THyperGrid;
class ThgColumn;
class ThgHintWindow;
class TPopupListbox;

/// THyperGrid's cell editor. It knows the column of the cell it edits: it
/// takes the cell's colours and font, refuses typing in read-only columns,
/// limits the text to MaxTextLength, shows a push button at its right end in
/// hgctlButton columns and a drop-down arrow with a popup list in
/// hgctlComboBox columns (the arrow left of the button when there are both),
/// and offers completions in a hint just above itself.
///
/// Rectangles are in the editor's coordinates.
class THgInplaceEdit : public CellEditor
{
    Q_OBJECT

public:
    explicit THgInplaceEdit(THyperGrid *grid);

    THyperGrid *HyperGrid() const;
    /// The extras of the cell's column: hgctlButton, hgctlComboBox.
    ColumnControlTypes Controls() const { return m_controls; }
    /// The style's vertical scroll bar width: the arrow's width, and the
    /// button's unless it shows a picture of its own.
    int DefaultButtonWidth() const { return m_defaultButtonWidth; }
    int ButtonWidth() const { return m_buttonWidth; }
    /// The editor less 2 pixels left, top and right, less the cell picture.
    QRect EditRect() const { return m_editRect; }
    /// The cell button, over the editor's full height at its right end.
    QRect ButtonRect() const { return m_buttonRect; }
    /// The drop-down arrow: at the right end, or just left of the button.
    QRect ComboRect() const { return m_comboRect; }
    bool ButtonPressed() const { return m_buttonPressed; }
    bool ComboPressed() const { return m_comboPressed; }
    bool DroppedDown() const { return m_droppedDown; }
    /// The cell the editor was last prepared for.
    CellPosition EditCell() const { return m_editCell; }
    /// The drop-down list; null until a list column was first edited.
    TPopupListbox *List() const { return m_list; }
    ThgHintWindow *SuggestionHint() const { return m_suggestionHint; }

    /// Shows the column's items under the editor (above it where the screen
    /// ends), the one equal to the cell's text selected.
    void DropDown();
    /// Hides the list and the suggestion; accepting puts the selected item
    /// into the cell and fires OnComboSelection, unless the column is ReadOnly.
    void CloseUp(bool accept);
    /// Looks for a completion of the text: the first of a suggesting list
    /// column's Items that begins with it, or else OnGetSuggestion's answer.
    void UpdateSuggestion();
    /// Shows text as the suggestion; a blank text hides it.
    void ShowSuggestion(const QString &text);
    /// Takes a shown suggestion as the editor's and the cell's text.
    void AcceptSuggestion();

    void PrepareContents() override;
    void PrepareBounds() override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ThgColumn *column() const;
    void handleKey(QKeyEvent *event);
    // Keys of a list column; true when the list logic took the key.
    bool listKey(QKeyEvent *event);
    bool onButton(QPoint at) const;
    bool onArrow(QPoint at) const;
    void handlePress(QMouseEvent *event);
    void handleMove(QMouseEvent *event);
    void handleRelease(QMouseEvent *event);
    // The pressed look follows the pointer while the mouse is held down.
    void trackPress(QPoint at);
    void endTracking();
    void fireButtonClick();
    void hideSuggestion();
    // Fires OnCellEdited once for a cell whose text the editor changed.
    void reportEdit();
    // A click anywhere else takes the suggestion and closes the list.
    void updateCancelWatch();
    bool ownsWidget(const QWidget *widget) const;
    void paintButton(QPainter &painter);

    ColumnControlTypes m_controls;
    int m_defaultButtonWidth;
    int m_buttonWidth;
    QRect m_editRect;
    QRect m_buttonRect;
    QRect m_comboRect;
    bool m_buttonPressed = false;
    bool m_comboPressed = false;
    bool m_tracking = false;
    bool m_draggingInList = false; // a press on the arrow moved on into the list
    bool m_droppedDown = false;
    bool m_watchingCancel = false;
    CellPosition m_editCell {-1, -1};
    QString m_textAtStart;
    TPopupListbox *m_list = nullptr;
    ThgHintWindow *m_suggestionHint;
};
