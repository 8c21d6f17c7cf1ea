#pragma once

#include <cstdlib>
#include <QApplication>
#include <QTimer>
#include <QWidget>

/// Ends the process as soon as the first paint of a window has been
/// delivered; the queued exit runs after the children in the same pass have
/// painted too. Tearing down is not part of starting, so the process leaves
/// at once.
class FirstPaintExit : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            QTimer::singleShot(0, [] { std::_Exit(0); });
        return false;
    }
};

/// Shows the window and ends the process at its first paint.
inline int runUntilFirstPaint(QApplication &app, QWidget &window)
{
    FirstPaintExit firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    return app.exec();
}
