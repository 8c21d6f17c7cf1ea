#include "taskbarentry.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <QGuiApplication>
#include <QList>
#include <QWidget>
#include <xcb/xcb.h>

namespace {

struct FreeReply
{
    void operator()(void *reply) const { std::free(reply); }
};
template<typename Reply> using ReplyPointer = std::unique_ptr<Reply, FreeReply>;

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const ReplyPointer<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, false, std::strlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The window manager manages a window from its mapping until it is
// withdrawn, and marks that time with WM_STATE Normal (1) or Iconic (3).
bool isManaged(xcb_connection_t *connection, xcb_window_t window)
{
    const xcb_atom_t wmState = atom(connection, "WM_STATE");
    const ReplyPointer<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, false, window, wmState, wmState, 0, 1), nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) < 4)
        return false;
    const quint32 state = *static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
    return state == 1 || state == 3;
}

// Before the window is mapped the state is the window's own property, which
// the window manager reads when it takes the window on.
void changeStateProperty(
    xcb_connection_t *connection, xcb_window_t window, xcb_atom_t netWmState, xcb_atom_t skipTaskbar, bool hidden)
{
    QList<xcb_atom_t> states;
    const ReplyPointer<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, false, window, netWmState, XCB_ATOM_ATOM, 0, 64), nullptr));
    if (reply && reply->format == 32) {
        const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        states = QList<xcb_atom_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }
    states.removeAll(skipTaskbar);
    if (hidden)
        states.append(skipTaskbar);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, netWmState, XCB_ATOM_ATOM, 32,
        quint32(states.size()), states.constData());
}

// A managed window's state belongs to the window manager, which changes it
// when asked through the root window.
void askWindowManager(
    xcb_connection_t *connection, xcb_window_t window, xcb_atom_t netWmState, xcb_atom_t skipTaskbar, bool hidden)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = netWmState;
    message.data.data32[0] = hidden ? 1 : 0; // add or remove
    message.data.data32[1] = skipTaskbar;
    message.data.data32[3] = 1; // asked by an application
    xcb_send_event(connection, false, screen->root,
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char *>(&message));
}

} // namespace

void setTaskbarEntryHidden(QWidget *window, bool hidden)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != u"xcb" || !x11)
        return;
    xcb_connection_t *connection = x11->connection();
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t netWmState = atom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (isManaged(connection, id))
        askWindowManager(connection, id, netWmState, skipTaskbar, hidden);
    else
        changeStateProperty(connection, id, netWmState, skipTaskbar, hidden);
    xcb_flush(connection);
}
