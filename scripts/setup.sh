#!/bin/sh
# Installs, only when missing, every Debian package that building, testing,
# benchmarking and running Worktally needs. Shared by `make run` and `make test`.
set -eu

# fonts-wine and fonts-liberation stand in for Tahoma, MS Sans Serif and
# Courier New with the same widths, which the windows' pixel layout needs.
# The CUPS packages and printer-driver-cups-pdf: the printer test starts a
# scheduler of its own with a queue that prints into PDF files.
# libxcb-screensaver0-dev reads the X session's idle time for the away time.
# at-spi2-core, python3-pyatspi and gir1.2-atspi-2.0 are the accessibility bus
# and the screen reader's client that the screen-reader test reads through.
# weston and qt6-wayland: the Wayland session that tests start for themselves.
PACKAGES="
cmake make g++ pkg-config
qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-multimedia-dev
libgl-dev libxcb1-dev libfontconfig-dev
libxcb-screensaver0-dev
libgtest-dev libgmock-dev libbenchmark-dev
xvfb xauth xdotool trayer openbox x11-utils poppler-utils dbus-daemon
desktop-file-utils appstream xdg-utils
fonts-liberation fonts-dejavu-core fonts-wine
python3 python3-xlib
cups cups-daemon cups-client cups-ipp-utils printer-driver-cups-pdf
at-spi2-core python3-pyatspi gir1.2-atspi-2.0
weston qt6-wayland
"
# The Adwaita style, whose frames take more room than the windows' widths leave.
PACKAGES="$PACKAGES adwaita-qt6"
# busctl, with which the panel examples and their test read the stopwatch's
# state on the session bus.
PACKAGES="$PACKAGES systemd"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
