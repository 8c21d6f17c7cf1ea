// Starts like the program does, with Worktally's main window over the
// Hourbook.csv in the folder given, and ends as soon as the window has been
// painted for the first time.

#include "firstpaint.h"
#include "mainwindow.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Worktally"));
    if (argc < 2)
        return 2;
    TForm1 window(QString::fromLocal8Bit(argv[1]));
    return runUntilFirstPaint(app, window);
}
