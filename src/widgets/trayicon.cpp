#include "trayicon.h"

#include "messages.h"

#include <algorithm>
#include <QCursor>
#include <QGuiApplication>

namespace {

// How often the icon asks whether a notification area runs: the toolkit
// tells of none coming or going.
constexpr int AreaWatchInterval = 1000;

// The notification area keeps room for this much tooltip text.
constexpr qsizetype maxTooltipLength = 63;

// The part of a hint before its first "|"; what follows is the long hint,
// meant for places with more room than a tooltip.
QString shortHint(const QString &hint)
{
    return hint.section(u'|', 0, 0).left(maxTooltipLength);
}

// Copies of one icon share its key; icons built separately never do.
bool sameIcon(const QIcon &a, const QIcon &b)
{
    return a.cacheKey() == b.cacheKey();
}

template<typename Handler, typename... Args> void fire(const Handler &handler, Args... args)
{
    if (handler)
        handler(args...);
}

enum class Stage { Move, Down, Up, DoubleClick };

struct ButtonMessage
{
    Qt::MouseButton button;
    Stage stage;
};

ButtonMessage decode(TrayMouseMessage message)
{
    switch (message) {
    case TrayMouseMessage::Move:
        break;
    case TrayMouseMessage::LeftDown:
        return {Qt::LeftButton, Stage::Down};
    case TrayMouseMessage::LeftUp:
        return {Qt::LeftButton, Stage::Up};
    case TrayMouseMessage::LeftDoubleClick:
        return {Qt::LeftButton, Stage::DoubleClick};
    case TrayMouseMessage::RightDown:
        return {Qt::RightButton, Stage::Down};
    case TrayMouseMessage::RightUp:
        return {Qt::RightButton, Stage::Up};
    case TrayMouseMessage::RightDoubleClick:
        return {Qt::RightButton, Stage::DoubleClick};
    case TrayMouseMessage::MiddleDown:
        return {Qt::MiddleButton, Stage::Down};
    case TrayMouseMessage::MiddleUp:
        return {Qt::MiddleButton, Stage::Up};
    case TrayMouseMessage::MiddleDoubleClick:
        return {Qt::MiddleButton, Stage::DoubleClick};
    }
    return {Qt::NoButton, Stage::Move};
}

} // namespace

TTrayIcon::TTrayIcon(QObject *parent)
    : QObject(parent)
    , m_tray(this)
    , m_animation(this)
    , m_areaWatch(this)
{
    m_animation.setInterval(m_interval);
    connect(&m_animation, &QTimer::timeout, this, &TTrayIcon::showNextFrame);
    m_areaWatch.setInterval(AreaWatchInterval);
    connect(&m_areaWatch, &QTimer::timeout, this, &TTrayIcon::checkNotificationArea);
    m_areaWatch.start();
    connect(&m_tray, &QSystemTrayIcon::activated, this, &TTrayIcon::onActivated);
}

bool TTrayIcon::notificationAreaAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TTrayIcon::setActive(bool on)
{
    if (on == m_active)
        return;
    m_active = on;
    if (on) {
        m_areaWatch.start();
        add();
    } else {
        m_areaWatch.stop();
        remove();
    }
    handMenuToPlatform();
}

void TTrayIcon::setEnabled(bool on)
{
    m_enabled = on;
    handMenuToPlatform();
}

void TTrayIcon::setPopupMenu(TPopupMenu *menu)
{
    if (m_popupMenu)
        disconnect(m_popupMenu, nullptr, this, nullptr);
    m_popupMenu = menu;
    if (menu)
        connect(menu, &TPopupMenu::autoPopupChanged, this, &TTrayIcon::handMenuToPlatform);
    handMenuToPlatform();
}

// Qt exports the menu to a StatusNotifierItem host, whose panel draws it, and
// pops it up itself in an XEmbed notification area; neither waits for it to
// close, so a panel's request for the menu is answered at once. (Qt 6.4 keeps
// a menu it once exported on the bus when it is taken back.)
void TTrayIcon::handMenuToPlatform()
{
    const bool shown = m_active && m_enabled && m_popupMenu && m_popupMenu->AutoPopup();
    m_tray.setContextMenu(shown ? m_popupMenu.data() : nullptr);
}

void TTrayIcon::setHint(const QString &hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    updateStep();
}

void TTrayIcon::setDetail(const QString &detail)
{
    if (detail == m_detail)
        return;
    m_detail = detail;
    updateStep();
}

void TTrayIcon::setIcon(const QIcon &icon)
{
    if (sameIcon(icon, m_icon))
        return;
    m_icon = icon;
    updateStep();
}

void TTrayIcon::setIcons(const QList<QIcon> &icons)
{
    if (std::ranges::equal(icons, m_icons, sameIcon))
        return;
    m_icons = icons;
    updateStep();
}

void TTrayIcon::setAnimated(bool on)
{
    on = on && !m_icons.isEmpty();
    if (on == m_animated)
        return;
    m_animated = on;
    if (on && m_tray.isVisible())
        m_animation.start();
    else
        m_animation.stop();
    m_iconIndex = 0;
    updateStep();
}

void TTrayIcon::setInterval(quint16 milliseconds)
{
    if (milliseconds == m_interval)
        return;
    m_interval = milliseconds;
    m_animation.setInterval(milliseconds);
}

QIcon TTrayIcon::currentIcon() const
{
    if (m_animated && !m_icons.isEmpty())
        return m_icons[std::clamp<qsizetype>(m_iconIndex, 0, m_icons.size() - 1)];
    return m_icon;
}

void TTrayIcon::showCurrentIcon(const QIcon &icon)
{
    m_tray.setIcon(icon);
    m_tray.setToolTip(m_detail.isEmpty() ? shortHint(m_hint) : shortHint(m_hint) + u'\n' + m_detail);
}

// A notification area often starts after this program, at login. On X11 the
// toolkit docks an icon shown before into it; elsewhere the area watch adds
// the icon once the area runs.
void TTrayIcon::add()
{
    remove();
    const QIcon icon = currentIcon();
    if (icon.isNull() || !(notificationAreaAvailable() || QGuiApplication::platformName() == u"xcb"))
        return;
    showCurrentIcon(icon);
    m_tray.show();
    if (m_animated)
        m_animation.start();
    noteAdded();
}

void TTrayIcon::remove()
{
    m_tray.hide();
    m_pressed = {};
    m_animation.stop();
    noteAdded();
}

void TTrayIcon::showNotice(const QString &title, const QString &text)
{
    if (m_added)
        m_tray.showMessage(title, text, QSystemTrayIcon::Information);
}

void TTrayIcon::checkNotificationArea()
{
    if (m_active && !m_tray.isVisible())
        add();
    else
        noteAdded();
}

void TTrayIcon::noteAdded()
{
    const bool added = m_tray.isVisible() && notificationAreaAvailable();
    if (added == m_added)
        return;
    m_added = added;
    emit addedChanged(added);
}

void TTrayIcon::updateStep()
{
    if (m_icons.isEmpty() && m_animated) {
        setAnimated(false); // which comes back here
        return;
    }
    if (!m_tray.isVisible()) {
        if (m_active)
            add();
        return;
    }
    const QIcon icon = currentIcon();
    if (icon.isNull())
        remove();
    else
        showCurrentIcon(icon);
}

void TTrayIcon::showNextFrame()
{
    if (++m_iconIndex >= m_icons.size())
        m_iconIndex = 0;
    updateStep();
}

// The platform reports whole clicks only; each is handled as the presses and
// releases it is made of. The second press of a double click has no click of
// its own.
void TTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    QList<TrayMouseMessage> messages;
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        messages = {TrayMouseMessage::LeftDown, TrayMouseMessage::LeftUp};
        break;
    case QSystemTrayIcon::Context:
        messages = {TrayMouseMessage::RightDown, TrayMouseMessage::RightUp};
        break;
    case QSystemTrayIcon::DoubleClick:
        messages = {TrayMouseMessage::LeftDoubleClick, TrayMouseMessage::LeftUp};
        break;
    case QSystemTrayIcon::MiddleClick:
        messages = {TrayMouseMessage::MiddleDown, TrayMouseMessage::MiddleUp};
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
    // A menu item run by the first message may have destroyed this icon.
    const QPointer<TTrayIcon> alive(this);
    for (TrayMouseMessage message : messages) {
        if (!alive)
            return;
        handleTrayMessage(message);
    }
}

void TTrayIcon::handleTrayMessage(TrayMouseMessage message)
{
    if (m_enabled)
        runGuarded([&] { dispatch(message); });
}

void TTrayIcon::dispatch(TrayMouseMessage message)
{
    const QPoint position = QCursor::pos();
    const Qt::KeyboardModifiers keys
        = QGuiApplication::queryKeyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const auto [button, stage] = decode(message);
    // The menu and its items run inside the click steps and may destroy this
    // icon, as the main window's exit does.
    const QPointer<TTrayIcon> alive(this);
    switch (stage) {
    case Stage::Move:
        fire(OnMouseMove, this, keys, position);
        break;
    case Stage::Down:
        fire(OnMouseDown, this, button, keys, false, position);
        // Only left and right clicks are reported as clicks.
        if (button != Qt::MiddleButton)
            m_pressed.setFlag(button);
        break;
    case Stage::Up:
        if (m_pressed.testFlag(button)) {
            m_pressed.setFlag(button, false);
            clickStep(button, keys, position);
            if (!alive)
                return;
        }
        fire(OnMouseUp, this, button, keys, false, position);
        break;
    case Stage::DoubleClick:
        if (button == Qt::LeftButton) {
            doubleClickStep();
            if (!alive)
                return;
        }
        fire(OnMouseDown, this, button, keys, true, position);
        break;
    }
}

// A right click on an icon with a menu is the platform's: it shows the menu.
void TTrayIcon::clickStep(Qt::MouseButton button, Qt::KeyboardModifiers keys, QPoint position)
{
    if (button == Qt::RightButton && m_tray.contextMenu())
        return;
    fire(OnClick, this, button, keys, position);
}

void TTrayIcon::doubleClickStep()
{
    QAction *item = m_active && m_popupMenu ? m_popupMenu->defaultAction() : nullptr;
    // Only a top-level item the user could click himself stands in for the
    // double click; a hidden item is disabled as well.
    if (item && item->isEnabled() && m_popupMenu->actions().contains(item)) {
        item->trigger();
        return;
    }
    fire(OnDblClick, this);
}
