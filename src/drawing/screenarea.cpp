#include "screenarea.h"

#include <QGuiApplication>

QRect knownScreenArea(const QRect &screenArea)
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ? QRect() : screenArea;
}
