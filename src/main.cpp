#include "mainwindow.h"
#include "messageboxes.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Worktally"));
    QApplication::setApplicationDisplayName(QStringLiteral("Worktally"));
    installMessageBoxes();

    TForm1 form(QApplication::applicationDirPath());
    form.show();
    return app.exec();
}
