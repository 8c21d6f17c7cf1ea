#include "popupmenu.h"

TPopupMenu::TPopupMenu(QWidget *parent)
    : QMenu(parent)
{ }

void TPopupMenu::Popup(QPoint position)
{
    exec(position);
}
