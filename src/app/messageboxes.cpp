#include "messageboxes.h"

#include "messages.h"

#include <QApplication>
#include <QMessageBox>

void installMessageBoxes()
{
    setMessagePresenter([](MessageKind kind, const QString &text) {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        switch (kind) {
        case MessageKind::Information:
            icon = QMessageBox::Information;
            break;
        case MessageKind::Warning:
            icon = QMessageBox::Warning;
            break;
        case MessageKind::Error:
            icon = QMessageBox::Critical;
            break;
        case MessageKind::Plain:
            break;
        }
        QMessageBox box(
            icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });
}
