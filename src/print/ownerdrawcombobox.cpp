#include "ownerdrawcombobox.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

// Gives the rows of the drop-down list the control's height and lets the
// control draw them on the normal or the selected background.
class TOwnerDrawComboBox::EntryDelegate : public QStyledItemDelegate
{
public:
    explicit EntryDelegate(TOwnerDrawComboBox *combo)
        : QStyledItemDelegate(combo)
        , m_combo(combo)
    { }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(m_combo->font());
        m_combo->drawEntry(*painter, option.rect, index.row());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_combo->ItemHeight()};
    }

private:
    TOwnerDrawComboBox *m_combo;
};

TOwnerDrawComboBox::TOwnerDrawComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setItemDelegate(new EntryDelegate(this));
    // What the user types chooses among the entries; it never becomes one.
    setInsertPolicy(QComboBox::NoInsert);
}

void TOwnerDrawComboBox::setStyle(TOwnerDrawComboStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    const bool editable = style != csDropDownList;
    if (editable == isEditable())
        return;
    setEditable(editable);
    if (!editable)
        return;
    // Without completion the edit text is exactly what was typed, so that a
    // typed name selects only the entry that equals it.
    setCompleter(nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString &text) { editTextTyped(text); });
}

QString TOwnerDrawComboBox::selectedItem() const
{
    return currentIndex() < 0 ? QString() : itemText(currentIndex());
}

void TOwnerDrawComboBox::setItemHeight(int height)
{
    if (height == m_itemHeight)
        return;
    m_itemHeight = height;
    view()->doItemsLayout();
}

// An editable box shows its line edit; otherwise the closed box shows the
// selected entry as the list draws it.
void TOwnerDrawComboBox::paintEvent(QPaintEvent *event)
{
    if (isEditable()) {
        QComboBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0)
        return;
    painter.setPen(palette().color(QPalette::ButtonText));
    drawEntry(painter, style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this),
        currentIndex());
}
