#!/usr/bin/env bash
# Runs a program on the X display with a window manager, so that windows get their title bars
# (and screenshots show the captions).
set -euo pipefail
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
trap 'kill "$manager" 2>/dev/null || true' EXIT
sleep 1
"$@"
