#!/usr/bin/env bash
# The main job on the bundled sample card: back it up, list and verify the backup, restore it
# onto a second (empty) card folder and check that folder against the backup. Then the desktop
# program opens on the sample card (drive E:) when there is a display, or, without one, writes a
# picture of its main dialog beside the demo's files.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-dependencies.sh
cmake --preset release >/dev/null
targets=(vocell vocell_data)
[ -d build/release/qt/program ] && targets+=(vocell-utility)
cmake --build --preset release --target "${targets[@]}"

vocell="$PWD/build/release/cli/vocell"
desktop="$PWD/build/release/qt/program/vocell-utility"
work=$(mktemp -d /tmp/vocell-demo.XXXXXX)
cp -r build/release/sample-card "$work/card"
mkdir "$work/second-card"
cd "$work"

run() {
    echo
    echo "\$ vocell $*"
    "$vocell" "$@"
}
run version card
run backup card card-backup.vcb
run list card-backup.vcb
run verify card-backup.vcb card
run restore card-backup.vcb second-card
run verify card-backup.vcb second-card
echo
echo "The sample card, its backup and the restored copy are in $work"

if [ -x "$desktop" ]; then
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        echo "Opening Vocell Utility on the sample card (drive E:)"
        "$desktop" --card-folder "$work/card" &
    else
        QT_QPA_PLATFORM=offscreen "$desktop" --card-folder "$work/card" --screenshot "$work/vocell-utility.png" \
            2>/dev/null
        echo "No display here: the main dialog of Vocell Utility on the sample card is $work/vocell-utility.png"
    fi
fi
