#pragma once

#include "popupmenu.h"

#include <functional>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

/// What happened with the mouse on the icon in the notification area.
enum class TrayMouseMessage {
    Move,
    LeftDown,
    LeftUp,
    LeftDoubleClick,
    RightDown,
    RightUp,
    RightDoubleClick,
    MiddleDown,
    MiddleUp,
    MiddleDoubleClick,
};

/// An icon with a tooltip in the desktop's notification area. It turns the
/// mouse actions on the icon into events, has PopupMenu shown on a right
/// click, runs the menu's default item on a double click, and can cycle
/// through Icons as an animation.
///
/// The menu is handed to the platform, which shows it without blocking: an
/// XEmbed notification area at the cursor, a StatusNotifierItem host (most
/// panels, every Wayland desktop) beside the icon from the copy exported over
/// D-Bus.
///
/// The icon is added (really shown) while Active, its current icon is not
/// empty and the desktop offers a notification area. A notification area that
/// starts later takes the icon in as soon as it runs, and one that goes away
/// takes it along: addedChanged tells of both.
class TTrayIcon : public QObject
{
    Q_OBJECT

public:
    using NotifyEvent = std::function<void(TTrayIcon *sender)>;
    using ClickEvent
        = std::function<void(TTrayIcon *sender, Qt::MouseButton button, Qt::KeyboardModifiers keys, QPoint position)>;
    using MouseMoveEvent = std::function<void(TTrayIcon *sender, Qt::KeyboardModifiers keys, QPoint position)>;
    /// doubleClick marks the second press of a double click.
    using MouseEvent = std::function<void(
        TTrayIcon *sender, Qt::MouseButton button, Qt::KeyboardModifiers keys, bool doubleClick, QPoint position)>;

    explicit TTrayIcon(QObject *parent = nullptr);

    /// On a change adds or removes the icon.
    bool Active() const { return m_active; }
    void setActive(bool on);
    /// While false every mouse action on the icon is ignored.
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool on);
    /// The tooltip shows the part before the first "|", at most 63 characters.
    const QString &Hint() const { return m_hint; }
    void setHint(const QString &hint);
    /// Lines the tooltip shows below the hint's: what the program has to
    /// tell at a glance. Not cut as the hint is; empty leaves the hint alone.
    const QString &Detail() const { return m_detail; }
    void setDetail(const QString &detail);
    /// Shown while not animated; an empty icon takes the icon out of the tray.
    const QIcon &Icon() const { return m_icon; }
    void setIcon(const QIcon &icon);
    /// The frames of the animation; emptying the list ends it.
    const QList<QIcon> &Icons() const { return m_icons; }
    void setIcons(const QList<QIcon> &icons);
    /// Stays off while Icons is empty, so set it after Icons. The frames move
    /// on only while the icon is added.
    bool Animated() const { return m_animated; }
    void setAnimated(bool on);
    /// Milliseconds between two frames.
    quint16 Interval() const { return m_interval; }
    void setInterval(quint16 milliseconds);
    /// Not owned; becomes null when the menu is destroyed.
    TPopupMenu *PopupMenu() const { return m_popupMenu; }
    void setPopupMenu(TPopupMenu *menu);

    /// Positions are the cursor's on the screen, keys the Shift, Ctrl and Alt
    /// keys held, both read when the action is handled.
    ClickEvent OnClick;
    NotifyEvent OnDblClick;
    /// Qt's tray reports no moves: only handleTrayMessage(Move) fires it.
    MouseMoveEvent OnMouseMove;
    MouseEvent OnMouseDown;
    MouseEvent OnMouseUp;

    /// Whether the icon is shown in a notification area now.
    bool isAdded() const { return m_added; }
    /// Adds the icon to a notification area that started, or notes that the
    /// area went away; the icon asks every second while it is Active.
    void checkNotificationArea();
    /// The platform's icon, for what this component leaves out (balloon
    /// messages); its icon, tooltip and visibility belong to the component.
    QSystemTrayIcon *systemTrayIcon() { return &m_tray; }

    /// A message in the balloon of the icon; nothing while the icon is not
    /// in a notification area.
    void showNotice(const QString &title, const QString &text);

    /// Runs the events and steps of one mouse action on the icon. A failure
    /// in a handler is reported and the icon goes on working.
    void handleTrayMessage(TrayMouseMessage message);

signals:
    /// The icon came into a notification area or left it.
    void addedChanged(bool added);

protected:
    /// Whether the desktop would show the icon.
    virtual bool notificationAreaAvailable() const;

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void dispatch(TrayMouseMessage message);
    void clickStep(Qt::MouseButton button, Qt::KeyboardModifiers keys, QPoint position);
    /// The platform shows PopupMenu while it may pop up by itself.
    void handMenuToPlatform();
    void doubleClickStep();

    QIcon currentIcon() const;
    void showCurrentIcon(const QIcon &icon);
    void add();
    void remove();
    void updateStep();
    /// Tells whether the icon came into a notification area or left it.
    void noteAdded();
    void showNextFrame();

    QSystemTrayIcon m_tray; // visible once added, also while its notification area is away
    QTimer m_animation; // the frame clock, running while animated and added
    QTimer m_areaWatch; // asks after the notification area while Active
    bool m_added = false;
    bool m_active = true;
    bool m_animated = false;
    bool m_enabled = true;
    Qt::MouseButtons m_pressed; // left or right went down on the icon and awaits its click
    int m_iconIndex = -1; // the frame shown while animated
    quint16 m_interval = 150;
    QIcon m_icon;
    QList<QIcon> m_icons;
    QString m_hint;
    QString m_detail;
    QPointer<TPopupMenu> m_popupMenu;
};
