#include "accessiblewidgets.h"

#include "analogclock.h"
#include "onoffswitch.h"
#include "panelstatusbar.h"

#include <QPointer>
#include <QRegularExpression>

namespace {

// A caption's text as read out: without the '&' that marks the Alt letter.
QString withoutMnemonic(QString caption)
{
    static const QRegularExpression marker(QStringLiteral("&(.)"));
    return caption.replace(marker, QStringLiteral("\\1"));
}

/// One panel of a status bar: a label with the panel's text.
class StatusPanelAccessible : public QAccessibleInterface
{
public:
    StatusPanelAccessible(PanelStatusBar *bar, int index)
        : m_bar(bar)
        , m_index(index)
    {
    }

    bool isValid() const override { return m_bar && m_index < m_bar->PanelCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_bar->window()->windowHandle(); }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_bar); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? m_bar->PanelText(m_index) : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override
    {
        const QRect panel = m_bar->panelRect(m_index);
        return QRect(m_bar->mapToGlobal(panel.topLeft()), panel.size());
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !m_bar->isVisible();
        return state;
    }

private:
    QPointer<PanelStatusBar> m_bar;
    int m_index;
};

} // namespace

// --- The on/off switch ---------------------------------------------------------------

OnOffSwitchAccessible::OnOffSwitchAccessible(TOnOffSwitch *widget)
    : QAccessibleWidget(widget, QAccessible::CheckBox)
{
}

TOnOffSwitch *OnOffSwitchAccessible::onOffSwitch() const
{
    return static_cast<TOnOffSwitch *>(widget());
}

QString OnOffSwitchAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
        return withoutMnemonic(onOffSwitch()->Caption());
    return QAccessibleWidget::text(t);
}

QAccessible::State OnOffSwitchAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = onOffSwitch()->StateOn();
    return state;
}

QStringList OnOffSwitchAccessible::actionNames() const
{
    return QStringList {toggleAction(), pressAction()} + QAccessibleWidget::actionNames();
}

void OnOffSwitchAccessible::doAction(const QString &actionName)
{
    // As a click: nothing while the switch is disabled.
    if (actionName != toggleAction() && actionName != pressAction())
        QAccessibleWidget::doAction(actionName);
    else if (widget()->isEnabled())
        onOffSwitch()->Toggle();
}

QStringList OnOffSwitchAccessible::keyBindingsForAction(const QString &actionName) const
{
    if (actionName != toggleAction() && actionName != pressAction())
        return QAccessibleWidget::keyBindingsForAction(actionName);
    QStringList keys;
    if (const QKeyCombination key = onOffSwitch()->ToggleKey(); key.toCombined() != 0)
        keys << QKeySequence(key).toString(QKeySequence::NativeText);
    if (const QKeySequence accelerator = QKeySequence::mnemonic(onOffSwitch()->Caption()); !accelerator.isEmpty())
        keys << accelerator.toString(QKeySequence::NativeText);
    return keys;
}

// --- The status bar ------------------------------------------------------------------

PanelStatusBarAccessible::PanelStatusBarAccessible(PanelStatusBar *widget)
    : QAccessibleWidget(widget, QAccessible::StatusBar)
{
}

PanelStatusBarAccessible::~PanelStatusBarAccessible()
{
    for (QAccessible::Id id : std::as_const(m_panels))
        QAccessible::deleteAccessibleInterface(id);
}

PanelStatusBar *PanelStatusBarAccessible::statusBar() const
{
    return static_cast<PanelStatusBar *>(widget());
}

int PanelStatusBarAccessible::childCount() const
{
    return statusBar()->PanelCount();
}

QAccessibleInterface *PanelStatusBarAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    while (m_panels.size() <= index)
        m_panels << QAccessible::registerAccessibleInterface(
            new StatusPanelAccessible(statusBar(), int(m_panels.size())));
    return QAccessible::accessibleInterface(m_panels[index]);
}

int PanelStatusBarAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    return child ? int(m_panels.indexOf(QAccessible::uniqueId(const_cast<QAccessibleInterface *>(child)))) : -1;
}

// --- The clock -------------------------------------------------------------------------

AnalogClockAccessible::AnalogClockAccessible(TAnalogClock *widget)
    : QAccessibleWidget(widget, QAccessible::StaticText)
{
}

QString AnalogClockAccessible::text(QAccessible::Text t) const
{
    // Read when asked, rather than told at every tick.
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
        return static_cast<TAnalogClock *>(widget())->shownTimeText();
    return QAccessibleWidget::text(t);
}
