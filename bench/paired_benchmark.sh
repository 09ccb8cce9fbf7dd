#!/usr/bin/env bash
# Paired, interleaved timings of vocell (and optionally an older vocell) against tar on the same
# generated card trees: backup vs `tar -cf; sync`, restore vs `tar -xf; sync`, verify vs `tar -d`.
# Every round runs each side once, in a rotating order, and the table gives the medians, so a
# machine that is busy now and then slows all sides alike.
#
#   bench/paired_benchmark.sh [VOCELL] [GENERATOR]
#
# VOCELL     the vocell binary            (default: build/release/cli/vocell)
# GENERATOR  vocell_generate_card_tree    (default: build/release/bench/vocell_generate_card_tree)
#
# Environment:
#   BASELINE     another vocell binary (for instance a build of main) timed as a third side
#   BASELINE_RESTORE_ARGS  what that side's restores are given besides (for instance --no-verify,
#                with BASELINE the same binary, to time what reading the card back costs)
#   RUNS         rounds per operation (default 5)
#   CACHE        cold (default: page caches dropped before every run, needs root) or warm
#   TREES        which trees (default "128MB 20000files"; NMB and Nfiles are understood)
#   OPS          which operations (default "backup restore verify")
#   CARD_DIR     where the card trees and the restores go (default: the work folder); the
#                throttled benchmark points it at a throttled loop device
#   BENCH_TMPDIR where the work folder (archives) is made (default /var/tmp)
#   LIMIT_MIBS   the card device's throughput limit in MiB/s, to print the time the limit allows
#   SAMPLES_FILE append every run's seconds to this file
#   SETTLE       seconds an operation waits after trees were deleted (default 40): for about
#                35 s ext4 passes over the inodes it freed whenever it creates a file, which
#                makes restores several times slower right after a deletion, on every side alike
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/common.sh"
baseline=${BASELINE:+$(realpath "$BASELINE")}
runs=${RUNS:-5}
trees=${TREES:-128MB 20000files}
ops=${OPS:-backup restore verify}

say() { printf '%s\n' "$*" >&2; }
die() { say "paired_benchmark: $*"; exit 1; }
[[ -x $vocell ]] || die "no vocell binary at $vocell (cmake --preset release && cmake --build --preset release -j2)"
[[ -x $generator ]] || die "no generator at $generator"
[[ -z $baseline || -x $baseline ]] || die "no baseline binary at $baseline"
[[ -x /usr/bin/time ]] || die "GNU time is missing: apt-get install time"

work=$(mktemp -d "${BENCH_TMPDIR:-/var/tmp}/vocell-paired.XXXXXX")
cards=${CARD_DIR:-$work}
mkdir -p "$cards"
cards=$(mktemp -d "$cards/vocell-cards.XXXXXX")
trap 'rm -rf "$work" "$cards"' EXIT

cold=0
if [[ ${CACHE:-cold} == cold ]] && sync && { echo 3 >/proc/sys/vm/drop_caches; } 2>/dev/null; then
    cold=1
fi
cache_note=$( ((cold)) && echo "cold (page caches dropped before every run)" || echo "warm")

sides=(after ref)
[[ -n $baseline ]] && sides=(before after ref)
binary() { [[ $1 == before ]] && echo "$baseline" || echo "$vocell"; }

declare -A samples=() peak=()
# timed KEY COMMAND...: settles the caches, runs the command, records its wall seconds and RSS.
timed() {
    local key=$1
    shift
    sync
    ((cold)) && echo 3 >/proc/sys/vm/drop_caches
    local start end rss
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/rss" "$@" >"$work/log" 2>&1 </dev/null || {
        cat "$work/log" >&2
        die "failed: $*"
    }
    end=$(date +%s%N)
    samples[$key]+="$(seconds_between "$start" "$end") "
    rss=$(tail -n 1 "$work/rss")
    if [[ -z ${peak[$key]:-} ]] || ((rss > peak[$key])); then peak[$key]=$rss; fi
}

# run TREE OP SIDE CARD: one timed run of one side.
restores=0
run() {
    local tree=$1 op=$2 side=$3 card=$4 key="$1/$2/$3"
    case $op/$side in
        backup/ref) timed "$key" bash -c 'tar -cf "$1" -C "$2" . && sync' _ "$work/out.tar" "$card" ;;
        backup/*) timed "$key" "$(binary "$side")" backup "$card" "$work/out-$side.vcb" ;;
        restore/*)
            local into=$cards/restored-$((++restores))
            mkdir "$into"
            if [[ $side == ref ]]; then
                timed "$key" bash -c 'tar -xf "$1" -C "$2" && sync' _ "$work/in.tar" "$into"
            else
                local extra=()
                [[ $side == before ]] && read -ra extra <<<"${BASELINE_RESTORE_ARGS:-}"
                timed "$key" "$(binary "$side")" restore "$work/in.vcb" "$into" "${extra[@]}"
                diff -r "$card" "$into" >/dev/null || die "$tree: $side restored a tree that differs from the card"
            fi
            ;;
        verify/ref) timed "$key" tar -df "$work/in.tar" -C "$card" ;;
        verify/*) timed "$key" "$(binary "$side")" verify "$work/in.vcb" "$card" ;;
    esac
}

declare -A bytes=()
deleted=-1000
for tree in $trees; do
    card=$cards/card-$tree
    generate_tree "$card" "$tree" || die "unknown tree $tree"
    bytes[$tree]=$(find "$card" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
    say "== $tree: $(find "$card" -mindepth 1 | wc -l) folders and files, ${bytes[$tree]} bytes"
    "$vocell" backup "$card" "$work/in.vcb" >/dev/null 2>&1 || die "backup failed"
    tar -cf "$work/in.tar" -C "$card" .
    for op in $ops; do
        settle=$((deleted + ${SETTLE:-40} - SECONDS))
        ((settle <= 0)) || sleep "$settle"
        for ((i = 0; i < runs; i++)); do
            n=${#sides[@]}
            for ((j = 0; j < n; j++)); do run "$tree" "$op" "${sides[(i + j) % n]}" "$card"; done
        done
        rm -rf "$cards"/restored-*
        sync
        deleted=$SECONDS
    done
    rm -rf "$card"
    deleted=$SECONDS
done

reference() { case $1 in backup) echo "tar -cf; sync" ;; restore) echo "tar -xf; sync" ;; verify) echo "tar -d" ;; esac; }

echo
echo "cache: $cache_note; median of $runs rounds; wall seconds; load average $(cut -d' ' -f1-3 /proc/loadavg)"
[[ -n ${LIMIT_MIBS:-} ]] && echo "card device limited to $LIMIT_MIBS MiB/s; 'limit s' is the tree's bytes at that rate"
header=(tree operation reference)
[[ -n $baseline ]] && header+=(before_s)
header+=(after_s ref_s after/ref)
[[ -n $baseline ]] && header+=(before/ref after/before)
header+=(rss_KiB)
[[ -n ${LIMIT_MIBS:-} ]] && header+=(limit_s after/limit)
printf '| %s ' "${header[@]}"
echo '|'
printf '| --- %.0s' "${header[@]}"
echo '|'
for tree in $trees; do
    for op in $ops; do
        a=$(median "${samples[$tree/$op/after]}")
        r=$(median "${samples[$tree/$op/ref]}")
        row=("$tree" "$op" "$(reference "$op")")
        [[ -n $baseline ]] && row+=("$(median "${samples[$tree/$op/before]}")")
        row+=("$a" "$r" "$(ratio "$a" "$r")")
        if [[ -n $baseline ]]; then
            b=$(median "${samples[$tree/$op/before]}")
            row+=("$(ratio "$b" "$r")" "$(ratio "$a" "$b")")
        fi
        row+=("${peak[$tree/$op/after]}")
        if [[ -n ${LIMIT_MIBS:-} ]]; then
            l=$(awk -v b="${bytes[$tree]}" -v m="$LIMIT_MIBS" 'BEGIN { printf "%.3f", b / (m * 1048576) }')
            row+=("$l" "$(ratio "$a" "$l")")
        fi
        printf '| %s ' "${row[@]}"
        echo '|'
        if [[ -n ${SAMPLES_FILE:-} ]]; then
            for side in "${sides[@]}"; do
                echo "$tree $op $side ${samples[$tree/$op/$side]}" >>"$SAMPLES_FILE"
            done
        fi
    done
done
