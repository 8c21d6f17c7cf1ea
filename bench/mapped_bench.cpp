// Time from starting the program to the moment the X server maps its main
// window (the MapNotify that a window manager or a watcher sees), with a
// worksheet of 10 000 and 100 000 rows, next to its floor: a bare Qt window
// of the same size (floor_probe, which links Qt Widgets alone) that reads the
// same file. The two are started alternately on an X server of the
// benchmark's own, which this benchmark watches; the counters give the
// medians and their ratio.

#include "floorcomparison.h"
#include "startupprobes.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <memory>
#include <poll.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

namespace {

/// A client of the X server that sees every top-level window being mapped.
class MapWatcher
{
public:
    explicit MapWatcher(const QString &display)
        : m_connection(xcb_connect(display.toLocal8Bit().constData(), nullptr))
    {
        if (xcb_connection_has_error(m_connection))
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
    }
    ~MapWatcher() { xcb_disconnect(m_connection); }

    bool connected() const { return m_root != 0; }

    /// Milliseconds from starting probe until a window of the main window's
    /// size is mapped; the probe is killed then. Negative when none is
    /// mapped within ten seconds.
    double timeToMap(const Probe &probe)
    {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = startProbe(probe);
        if (pid < 0)
            return -1;
        double mapped = -1;
        const auto deadline = start + std::chrono::seconds(10);
        while (mapped < 0 && std::chrono::steady_clock::now() < deadline) {
            const std::unique_ptr<xcb_generic_event_t, decltype(&free)> event(nextEvent(deadline), &free);
            if (event && (event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
                if (isMainWindowSized(reinterpret_cast<xcb_map_notify_event_t *>(event.get())->window))
                    mapped = elapsed.count();
            }
        }
        ::kill(pid, SIGKILL); // ends without saving anything
        ::waitpid(pid, nullptr, 0);
        return mapped;
    }

private:
    xcb_generic_event_t *nextEvent(std::chrono::steady_clock::time_point deadline)
    {
        if (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
            return event;
        const auto wait
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd connection {xcb_get_file_descriptor(m_connection), POLLIN, 0};
        ::poll(&connection, 1, std::max(0, int(wait.count())));
        return xcb_poll_for_event(m_connection);
    }

    bool isMainWindowSized(xcb_window_t window)
    {
        xcb_get_geometry_reply_t *geometry
            = xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        const bool sized = geometry && geometry->width == 670 && geometry->height == 423;
        free(geometry);
        return sized;
    }

    xcb_connection_t *m_connection;
    xcb_window_t m_root = 0;
};

void BM_MappedAgainstFloor(benchmark::State &state)
{
    const PrivateXServer server;
    MapWatcher watcher(server.display());
    if (server.display().isEmpty() || !watcher.connected()) {
        state.SkipWithError("Xvfb could not be started: the mapping is watched on an X server of its own");
        return;
    }
    const int rows = int(state.range(0));
    const Probe worktally = worktallyProbe(QStringLiteral(WORKTALLY_EXECUTABLE), server.display(), rows);
    const Probe floor = floorProbe(server.display(), rows);
    compareWithFloor(
        state, 21, [&] { return watcher.timeToMap(worktally); }, [&] { return watcher.timeToMap(floor); });
}

} // namespace

BENCHMARK(BM_MappedAgainstFloor)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
