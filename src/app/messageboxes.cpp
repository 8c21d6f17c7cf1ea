#include "messageboxes.h"

#include "messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

void installMessageBoxes()
{
    setMessagePresenter([](MessageKind kind, const QString &text, QWidget *window) {
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
        QMessageBox box(icon, QApplication::applicationDisplayName(), text, QMessageBox::Ok,
            window ? window : QApplication::activeWindow());
        box.exec();
    });
    setQuestionPresenter([](const QString &text, const QStringList &buttons, int safeChoice) {
        QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text, QMessageBox::NoButton,
            QApplication::activeWindow());
        QList<QPushButton *> pushButtons;
        for (int i = 0; i < buttons.size(); ++i)
            pushButtons << box.addButton(
                buttons[i], i == safeChoice ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        // Return as well as Escape picks the answer that loses nothing.
        box.setDefaultButton(pushButtons.value(safeChoice));
        box.setEscapeButton(pushButtons.value(safeChoice));
        box.exec();
        const qsizetype chosen = pushButtons.indexOf(box.clickedButton());
        return chosen >= 0 ? int(chosen) : safeChoice;
    });
}
