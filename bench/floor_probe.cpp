// The floor of startup_bench: a bare Qt window of the main window's size,
// ended at its first paint. It links Qt Widgets alone, as a minimal Qt
// program would; with --text it also shows one line of text (what loading
// fonts adds).

#include "firstpaint.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(670, 423);
    if (argc > 1 && qstrcmp(argv[1], "--text") == 0)
        new QLabel(QStringLiteral("Worktally"), &window);
    return runUntilFirstPaint(app, window);
}
