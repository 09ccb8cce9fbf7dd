#!/usr/bin/env bash
# What any backup must pay on this disk, beside what vocell and tar pay: copying the archive's
# bytes from memory into a new file, flushing it, and renaming it over the previous archive of
# the same size (which the file system then frees), with the folder flushed. Paired, interleaved
# rounds and medians, like paired_benchmark.sh, warm cache.
#
#   bench/archive_floor.sh [VOCELL] [GENERATOR]
#
# Environment: RUNS (default 9), TREES (default "128MB 20000files"), BENCH_TMPDIR (default /var/tmp)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/common.sh"
runs=${RUNS:-9}
trees=${TREES:-128MB 20000files}

work=$(mktemp -d "${BENCH_TMPDIR:-/var/tmp}/vocell-floor.XXXXXX")
trap 'rm -rf "$work"' EXIT

declare -A samples=()
timed() {
    local key=$1
    shift
    sync
    local start end
    start=$(date +%s%N)
    "$@" >"$work/log" 2>&1 || {
        cat "$work/log" >&2
        echo "archive_floor: failed: $*" >&2
        exit 1
    }
    end=$(date +%s%N)
    samples[$key]+="$(seconds_between "$start" "$end") "
}

for tree in $trees; do
    card=$work/card-$tree
    generate_tree "$card" "$tree"
    "$vocell" backup "$card" "$work/in.vcb" >/dev/null
    cat "$work/in.vcb" >/dev/null  # the floor copies from memory
    for side in floor vocell tar; do cp "$work/in.vcb" "$work/out-$side.vcb"; done
    for ((i = 0; i < runs; i++)); do
        for side in floor vocell tar; do
            case $side in
                floor) timed "$tree/$side" bash -c 'dd if="$1" of="$2.new" bs=1M conv=fdatasync status=none &&
                    mv -f "$2.new" "$2" && sync "$(dirname "$2")"' _ "$work/in.vcb" "$work/out-floor.vcb" ;;
                vocell) timed "$tree/$side" "$vocell" backup "$card" "$work/out-vocell.vcb" ;;
                tar) timed "$tree/$side" bash -c 'tar -cf "$1" -C "$2" . && sync' _ "$work/out-tar.vcb" "$card" ;;
            esac
        done
    done
    rm -rf "$card"
done

echo
echo "warm cache; median of $runs rounds; wall seconds; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| tree | archive bytes floor s | vocell backup s | tar -cf; sync s | floor/tar | vocell/tar |"
echo "| --- | --- | --- | --- | --- | --- |"
for tree in $trees; do
    f=$(median "${samples[$tree/floor]}")
    v=$(median "${samples[$tree/vocell]}")
    t=$(median "${samples[$tree/tar]}")
    echo "| $tree | $f | $v | $t | $(ratio "$f" "$t") | $(ratio "$v" "$t") |"
done
