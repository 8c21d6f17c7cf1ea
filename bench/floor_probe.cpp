// The floor of the start-up benchmarks: a bare Qt window of the main
// window's size, with no file and no text, ended at its first paint (or
// watched until it is mapped). It links Qt Widgets alone, as a minimal Qt
// program would.

#include "firstpaint.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(670, 423);
    return runUntilFirstPaint(app, window);
}
