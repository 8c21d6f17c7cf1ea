#include "accessibility.h"

#include "accessiblegrid.h"
#include "accessiblewidgets.h"
#include "analogclock.h"
#include "mainwindow.h"
#include "onoffswitch.h"
#include "panelstatusbar.h"
#include "stringgrid.h"

namespace {

QAccessibleInterface *programWidgetAccessible(const QString &, QObject *object)
{
    if (auto *onOffSwitch = qobject_cast<TOnOffSwitch *>(object))
        return new OnOffSwitchAccessible(onOffSwitch);
    if (auto *grid = qobject_cast<TStringGrid *>(object))
        return new StringGridAccessible(grid);
    if (auto *statusBar = qobject_cast<PanelStatusBar *>(object))
        return new PanelStatusBarAccessible(statusBar);
    if (auto *clock = qobject_cast<TAnalogClock *>(object))
        return new AnalogClockAccessible(clock);
    // A plain widget reads as a filler; the main window is a window.
    if (auto *form = qobject_cast<TForm1 *>(object))
        return new QAccessibleWidget(form, QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    QAccessible::installFactory(programWidgetAccessible);
}
