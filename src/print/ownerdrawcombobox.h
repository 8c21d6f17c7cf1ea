#pragma once

#include <QComboBox>

/// csSimple, an always-open list, has no counterpart in QComboBox; it is
/// shown as an editable drop-down like csDropDown.
enum TOwnerDrawComboStyle { csDropDown, csSimple, csDropDownList };

/// A combo box whose entries all have one height and are drawn by the
/// control itself, in the drop-down list and, when it cannot be edited, in
/// the closed box.
class TOwnerDrawComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit TOwnerDrawComboBox(QWidget *parent = nullptr);

    TOwnerDrawComboStyle Style() const { return m_style; }
    void setStyle(TOwnerDrawComboStyle style);
    using QWidget::setStyle;

    int ItemHeight() const { return m_itemHeight; }
    /// The text of the selected entry; empty when none is selected.
    QString selectedItem() const;

protected:
    void setItemHeight(int height);
    /// Draws the content of entry index in rect. The background is already
    /// painted, and the painter holds the control's font and the pen of the
    /// text colour that goes with it.
    virtual void drawEntry(QPainter &painter, const QRect &rect, int index) const = 0;
    /// The user changed the edit text of an editable style.
    virtual void editTextTyped(const QString &) { }

    void paintEvent(QPaintEvent *event) override;

private:
    class EntryDelegate;

    TOwnerDrawComboStyle m_style = csDropDownList;
    int m_itemHeight = 16;
};
