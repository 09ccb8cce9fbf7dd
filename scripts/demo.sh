#!/usr/bin/env bash
# The main job on the bundled sample card: back it up, list and verify the backup, restore it
# onto a second (empty) card folder and check that folder against the backup.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-dependencies.sh
cmake --preset release >/dev/null
cmake --build --preset release --target vocell vocell_data

vocell="$PWD/build/release/cli/vocell"
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
