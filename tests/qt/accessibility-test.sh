#!/usr/bin/env bash
# Runs accessibility_test.py on an X display of its own (Xvfb), on a private session bus that
# starts its own accessibility bus, with a copy of the installation and of the sample card. The
# card is put on a 125 MiB file system of its own (a tmpfs in a private mount namespace), so that
# its type is a real card's; where no mount namespace can be made, it is a plain folder.
#   accessibility-test.sh PROGRAM VOCELL HOME SAMPLE_CARD MESSAGES_HEADER
set -euo pipefail
if [ -z "${VOCELL_PRIVATE_MOUNTS:-}" ] && unshare --mount --map-root-user true 2>/dev/null; then
    VOCELL_PRIVATE_MOUNTS=1 exec unshare --mount --map-root-user bash "$0" "$@"
fi
program=$1 vocell=$2 home=$3 sample=$4 header=$5
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/vocell-accessibility.XXXXXX)
card=$work/VMCARD
xvfb=
cleanup() {
    # Ended before the next server may take its number.
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null; fi
    umount "$card" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display itself, and never resets: by default an X server starts anew
# when its last client leaves, and the accessibility bus's launcher comes and goes before the
# program connects, which then finds no server to talk to.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"

mkdir "$card"
card_type=()
if [ -n "${VOCELL_PRIVATE_MOUNTS:-}" ] && mount -t tmpfs -o size=125m tmpfs "$card" 2>/dev/null; then
    card_type=(--card-type)
fi
cp -r "$sample"/. "$card"
cp -r "$home" "$work/home"
export VOCELL_HOME=$work/home XDG_DATA_HOME=$work/data
dbus-run-session -- /usr/bin/python3 "$here/accessibility_test.py" "$program" "$vocell" "$header" "$card" \
    "${card_type[@]}"
