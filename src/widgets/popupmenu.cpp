#include "popupmenu.h"

TPopupMenu::TPopupMenu(QWidget *parent)
    : QMenu(parent)
{ }

void TPopupMenu::setAutoPopup(bool on)
{
    if (on == m_autoPopup)
        return;
    m_autoPopup = on;
    emit autoPopupChanged(on);
}
