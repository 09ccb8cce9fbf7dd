#!/usr/bin/env bash
# Formats each manual page as man shows it, with every troff warning on, and fails on any
# warning or error. Usage: check-manual-pages.sh PAGE...
set -uo pipefail

if ! command -v man >/dev/null; then
    echo "man is not installed (apt-get install man-db groff-base)" >&2
    exit 1
fi
status=0
for page in "$@"; do
    if [ ! -s "$page" ]; then
        echo "$page: missing or empty" >&2
        status=1
        continue
    fi
    if ! warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -E UTF-8 -l "$page" 2>&1 >/dev/null) ||
        [ -n "$warnings" ]; then
        echo "$page:" >&2
        echo "$warnings" >&2
        status=1
    else
        echo "$page: no warnings"
    fi
done
exit $status
