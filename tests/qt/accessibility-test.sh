#!/usr/bin/env bash
# Runs accessibility_test.py on the display it is given, on a private session bus that starts its
# own accessibility bus, with a copy of the installation and of the sample card. The card is put
# on a 125 MiB file system of its own (a tmpfs in a private mount namespace), so that its type
# is a real card's; where no mount namespace can be made, it is a plain folder.
#   accessibility-test.sh PROGRAM VOCELL HOME SAMPLE_CARD MESSAGES_HEADER
set -euo pipefail
if [ -z "${VOCELL_PRIVATE_MOUNTS:-}" ] && unshare --mount --map-root-user true 2>/dev/null; then
    VOCELL_PRIVATE_MOUNTS=1 exec unshare --mount --map-root-user bash "$0" "$@"
fi
program=$1 vocell=$2 home=$3 sample=$4 header=$5
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/vocell-accessibility.XXXXXX)
card=$work/VMCARD
cleanup() {
    umount "$card" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

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
