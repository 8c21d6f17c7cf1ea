#include "inputidlesource.h"

#include "clocksource.h"

#include <cstdlib>
#include <memory>
#include <QGuiApplication>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

namespace {
// Often enough that the question follows the return within seconds; a query
// is one round trip to the X server.
constexpr int PollMilliseconds = 5000;
} // namespace

InputIdleSource::InputIdleSource(IdleReader readIdle, QObject *parent)
    : AwayDetector(parent)
    , m_readIdle(std::move(readIdle))
{
    m_pollTimer.setInterval(PollMilliseconds);
    connect(&m_pollTimer, &QTimer::timeout, this, &InputIdleSource::poll);
}

void InputIdleSource::start(int minimumMinutes)
{
    m_minimumMinutes = minimumMinutes;
    m_startedAt = ClockSource::currentDateTime();
    m_idleSince = {};
    m_lastIdle = 0;
    m_pollTimer.start();
    poll();
}

void InputIdleSource::stop()
{
    m_pollTimer.stop();
    m_startedAt = {};
}

void InputIdleSource::poll()
{
    if (!m_startedAt.isValid())
        return;
    const std::optional<qint64> idle = m_readIdle();
    if (!idle)
        return;
    const QDateTime lastInput = ClockSource::currentDateTime().addMSecs(-*idle);
    if (m_idleSince.isValid() && *idle < m_lastIdle) {
        // Input came since the last poll: the run without input ended then.
        if (m_idleSince.secsTo(lastInput) >= m_minimumMinutes * 60)
            emit cameBack(m_idleSince, lastInput, Kind::Idle);
        m_idleSince = {};
    }
    // The run is kept from its first poll: the idle time may leave out a sleep
    // in between, which would move a later estimate of its start.
    if (!m_idleSince.isValid())
        m_idleSince = std::max(lastInput, m_startedAt);
    m_lastIdle = *idle;
}

InputIdleSource::IdleReader x11IdleReader()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return {};
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(connection, &xcb_screensaver_id);
    if (!extension || !extension->present)
        return {};
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    return [connection, root]() -> std::optional<qint64> {
        std::unique_ptr<xcb_screensaver_query_info_reply_t, decltype(&std::free)> reply(
            xcb_screensaver_query_info_reply(connection, xcb_screensaver_query_info(connection, root), nullptr),
            &std::free);
        if (!reply)
            return std::nullopt;
        return reply->ms_since_user_input;
    };
}
