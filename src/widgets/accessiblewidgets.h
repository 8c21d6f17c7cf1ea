#pragma once

#include <QAccessibleWidget>

class PanelStatusBar;
class TAnalogClock;
class TOnOffSwitch;

/// What a screen reader learns of the on/off switch: a check box named
/// by its caption, checked while on, that its toggle action flips as a click
/// does.
class OnOffSwitchAccessible : public QAccessibleWidget
{
public:
    explicit OnOffSwitchAccessible(TOnOffSwitch *widget);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    TOnOffSwitch *onOffSwitch() const;
};

/// The status bar with one label for each of its panels, whose name is the
/// panel's whole text (also when the panel shows less of it).
class PanelStatusBarAccessible : public QAccessibleWidget
{
public:
    explicit PanelStatusBarAccessible(PanelStatusBar *widget);
    ~PanelStatusBarAccessible() override;

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

private:
    PanelStatusBar *statusBar() const;

    // Made when first asked for, and kept, so that a screen reader sees the
    // same object each time.
    mutable QList<QAccessible::Id> m_panels;
};

/// The clock, named with the time it shows.
class AnalogClockAccessible : public QAccessibleWidget
{
public:
    explicit AnalogClockAccessible(TAnalogClock *widget);

    QString text(QAccessible::Text t) const override;
};
