#!/bin/sh
# Runs a command in a Wayland session of its own: weston with the pixman
# renderer in a window of the X server given by DISPLAY (xvfb-run), on a
# socket in a private runtime folder; stopped and removed after the command,
# whose exit code this script returns. Weston's X window gives the session a
# seat, so that keys typed on the X server (xdotool) reach the programs as a
# user's would; headless weston has none, and Qt makes a pop-up a Wayland
# pop-up only in answer to input.
set -u

if [ -z "${DISPLAY:-}" ]; then
    echo "wayland_session.sh: no X server (run it under xvfb-run)" >&2
    exit 1
fi

runtime=$(mktemp -d "${TMPDIR:-/tmp}/worktally-wayland.XXXXXX") || exit 1
chmod 0700 "$runtime"
socket="$runtime/wayland-test"

# No on-screen keyboard, which weston would otherwise show over the windows
# whenever a text field has the focus; --debug lets the tests take
# screenshots through weston-screenshooter.
printf '[input-method]\npath=\n' >"$runtime/weston.ini"
XDG_RUNTIME_DIR="$runtime" weston --backend=x11-backend.so --use-pixman --config="$runtime/weston.ini" --debug \
    --width=1024 --height=768 --socket=wayland-test --idle-time=0 >"$runtime/weston.log" 2>&1 &
weston=$!

stop() {
    kill "$weston" 2>/dev/null
    wait "$weston" 2>/dev/null
    rm -rf "$runtime"
}

# weston makes its socket once it listens; give up when it ends first or
# after ten seconds.
tries=0
while [ ! -S "$socket" ]; do
    if ! kill -0 "$weston" 2>/dev/null || [ $tries -ge 100 ]; then
        echo "wayland_session.sh: weston did not start a Wayland session; its log:" >&2
        cat "$runtime/weston.log" >&2
        stop
        exit 1
    fi
    tries=$((tries + 1))
    sleep 0.1
done

# A full path: the tests give their processes runtime folders of their own.
WAYLAND_DISPLAY="$socket" XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=wayland "$@"
status=$?
stop
exit $status
