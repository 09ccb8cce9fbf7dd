#!/usr/bin/env bash
# Runs a test program against the mock UDisks2 of udisks2_mock.py, served on a private bus that
# the program sees as its system bus.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/vocell-udisks.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/bus" &
pids+=($!)
for _ in $(seq 50); do [ -S "$work/bus" ] && break; sleep 0.1; done
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/bus"
/usr/bin/python3 -m dbusmock --system --template "$here/udisks2_mock.py" >"$work/mock.log" 2>&1 &
pids+=($!)
"$@" || { status=$?; cat "$work/mock.log" >&2; exit "$status"; }
