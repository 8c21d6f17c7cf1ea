#!/bin/sh
# Installs the build into a staging folder, as a package build would, and
# checks what the desktop reads from it: the menu entry, the software-centre
# description, the icon at every theme size, the help pages beside the
# program's share folder.
#   install_test.sh <build folder> <application id>
set -eu
build=$1
id=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
share="$stage/usr/share"
failed=0
fail() {
    echo "FAILED: $*"
    failed=1
}

[ -x "$stage/usr/bin/worktally" ] || fail "no executable"
[ -f "$share/worktally/WORKTALLY.html" ] || fail "no help pages"
for module in worktally-printing.so worktally-sound.so; do
    [ -f "$stage/usr/lib/worktally/$module" ] || fail "no $module"
done
# Printing and the alarm sound come with their modules, loaded on first use.
if ldd "$stage/usr/bin/worktally" | grep -E "Qt6(PrintSupport|Multimedia)"; then
    fail "the program links Qt Print Support or Qt Multimedia"
fi

desktop="$share/applications/$id.desktop"
desktop-file-validate "$desktop" || fail "$desktop"
grep -qx "Exec=/usr/bin/worktally" "$desktop" || fail "the menu entry does not start /usr/bin/worktally"
grep -qx "Icon=$id" "$desktop" || fail "the menu entry does not name the icon $id"

metainfo="$share/metainfo/$id.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "$metainfo"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
    || fail "the description does not launch $id.desktop"

# A PNG's width and height are the big-endian words at bytes 16 and 20.
for size in 16 22 24 32 48 64 128 256; do
    png="$share/icons/hicolor/${size}x${size}/apps/$id.png"
    dimensions=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{ print $1*2^24 + $2*2^16 + $3*2^8 + $4 "x" $5*2^24 + $6*2^16 + $7*2^8 + $8 }')
    [ "$dimensions" = "${size}x${size}" ] || fail "$png is '$dimensions'"
done
svg="$share/icons/hicolor/scalable/apps/$id.svg"
grep -q "<svg " "$svg" 2>/dev/null || fail "no scalable icon"

[ "$failed" -eq 0 ] && echo "installed files are complete and valid"
exit "$failed"
