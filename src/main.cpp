#include "mainwindow.h"
#include "messageboxes.h"
#include "terminationsignals.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Worktally"));
    QApplication::setApplicationDisplayName(QStringLiteral("Worktally"));
    installMessageBoxes();

    TForm1 form(QApplication::applicationDirPath());
    // Logging out, kill or Ctrl+C leave by the same door as the Exit button,
    // so the worksheet is saved.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &form, &TForm1::close);
    form.show();
    return app.exec();
}
