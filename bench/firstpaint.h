#pragma once

#include <cstdlib>
#include <QApplication>
#include <QTimer>
#include <QWidget>

// Shows the window and ends the process as soon as its first paint has been
// delivered; the queued exit runs after the children in the same pass have
// painted too. Tearing down is not part of starting, so the process leaves at
// once.
inline int runUntilFirstPaint(QApplication &app, QWidget &window)
{
    struct FirstPaint : QObject
    {
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                QTimer::singleShot(0, [] { std::_Exit(0); });
            return false;
        }
    } firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    return app.exec();
}
