// The floor of the start-up benchmarks: a bare Qt window of the main
// window's size, ended at its first paint. It links Qt Widgets alone, as a
// minimal Qt program would. With --text it also shows one line of text (what
// loading fonts adds); with --read <file> it first reads that file, as any
// program showing a worksheet must.

#include "firstpaint.h"

#include <QFile>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (const qsizetype read = arguments.indexOf(QStringLiteral("--read")); read > 0) {
        QFile file(arguments.value(read + 1));
        if (!file.open(QIODevice::ReadOnly) || file.readAll().isEmpty())
            return 2;
    }
    QWidget window;
    window.setFixedSize(670, 423);
    if (arguments.contains(QStringLiteral("--text")))
        new QLabel(QStringLiteral("Worktally"), &window);
    return runUntilFirstPaint(app, window);
}
