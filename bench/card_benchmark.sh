#!/usr/bin/env bash
# Times vocell backup / restore / verify against tar (-cf, -xf, -d) and sha256sum on the same
# generated card trees, measures vocell's peak memory, and checks the targets. For paired
# before/after medians see paired_benchmark.sh; for a throttled card, throttled_benchmark.sh.
#
#   bench/card_benchmark.sh [VOCELL] [GENERATOR]
#
# VOCELL     the vocell binary            (default: build/release/cli/vocell)
# GENERATOR  vocell_generate_card_tree    (default: build/release/bench/vocell_generate_card_tree)
#
# Environment: RUNS (best of, default 3), SIZE_MB (default 128), SMALLER_MB (default 32),
# SMALL_FILES (default 20000), FEWER_FILES (default 5000), BENCH_TMPDIR (default /var/tmp),
# CACHE=warm to keep the page caches, SAMPLES_FILE to append every run's seconds to a file;
# VOCELL_HOME is passed on to vocell (for a binary whose build tree lacks its installed files).
# The table shows the best of the runs (and their median on the right); targets use the best.
# Page caches are dropped before every timed run when /proc/sys/vm/drop_caches is writable (as
# root); otherwise every run is warm-cache, on both sides alike. Either way the script says so.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/common.sh"
runs=${RUNS:-3}
size_mb=${SIZE_MB:-128}
smaller_mb=${SMALLER_MB:-32}
small_files=${SMALL_FILES:-20000}
fewer_files=${FEWER_FILES:-5000}
rss_limit_kib=8192

say() { printf '%s\n' "$*" >&2; }
die() { say "card_benchmark: $*"; exit 1; }

[[ -x $vocell ]] || die "no vocell binary at $vocell (cmake --preset release && cmake --build --preset release -j2)"
[[ -x $generator ]] || die "no generator at $generator (build the release preset first)"
[[ -x /usr/bin/time ]] || die "GNU time is missing: apt-get install time"
for tool in tar sha256sum find xargs awk; do
    command -v "$tool" >/dev/null || die "$tool is missing"
done

work=$(mktemp -d "${BENCH_TMPDIR:-/var/tmp}/vocell-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
log=$work/log

cold=0
cache_note=""
if [[ ${CACHE:-cold} == warm ]]; then
    cache_note="warm (CACHE=warm: caches kept; the first of the runs warms them)"
elif sync && { echo 3 >/proc/sys/vm/drop_caches; } 2>/dev/null; then
    cold=1
    cache_note="cold (page caches dropped before every timed run)"
else
    cache_note="warm (could not drop page caches, not root?; the first of the runs warms them)"
fi
settle() {
    sync
    if ((cold)); then echo 3 >/proc/sys/vm/drop_caches; fi
}

# timed KEY COMMAND...: runs the command after settling the caches, records its wall seconds
# among the samples of KEY (keeping the best) and its peak RSS in KiB (keeping the highest).
declare -A best=() peak=() samples=()
timed() {
    local key=$1
    shift
    settle
    local start end
    start=$(date +%s%N)
    if ! /usr/bin/time -f %M -o "$work/rss" "$@" >"$log" 2>&1 </dev/null; then
        cat "$log" >&2
        die "failed: $*"
    fi
    end=$(date +%s%N)
    local seconds rss
    seconds=$(seconds_between "$start" "$end")
    rss=$(tail -n 1 "$work/rss")
    samples[$key]+="$seconds "
    if [[ -z ${best[$key]:-} ]] || awk -v s="$seconds" -v b="${best[$key]}" 'BEGIN { exit !(s < b) }'; then
        best[$key]=$seconds
    fi
    if [[ -z ${peak[$key]:-} ]] || ((rss > peak[$key])); then peak[$key]=$rss; fi
}

# The steps of each side; prepare_OP empties what the run writes, outside the timing.
prepare_backup() { rm -f "$work/out.vcb" "$work/out.tar"; }
vocell_backup() { timed "$1/backup/vocell" "$vocell" backup "$2" "$work/out.vcb"; }
ref_backup() { timed "$1/backup/ref" tar -cf "$work/out.tar" -C "$2" .; }
vocell_backup_sync() { :; }
ref_backup_sync() { timed "$1/backup+sync/ref" bash -c 'tar -cf "$1" -C "$2" . && sync' _ "$work/out.tar" "$2"; }

# Every restore gets a fresh folder and nothing is deleted before the end: ext4 without a journal
# scans recently deleted inodes when it creates new ones, which would slow down whichever side
# runs after a deletion while the page cache still holds the inode tables.
restores=0
prepare_restore() { restored=$work/restored-$((++restores)); mkdir "$restored"; }
vocell_restore() {
    timed "$1/restore/vocell" "$vocell" restore "$work/out.vcb" "$restored"
    vocell_restored=$restored
}
ref_restore() { timed "$1/restore/ref" bash -c 'tar -xf "$1" -C "$2" && sync' _ "$work/out.tar" "$restored"; }

prepare_verify() { :; }
vocell_verify() { timed "$1/verify/vocell" "$vocell" verify "$work/out.vcb" "$2"; }
ref_verify() {
    timed "$1/verify/ref" bash -c 'find "$1" -type f -print0 | xargs -0 sha256sum >/dev/null' _ "$2"
}
# tar's own comparison of an archive with the tree: the same work as vocell verify.
vocell_verify_tar() { :; }
ref_verify_tar() { timed "$1/verify+tar/ref" tar -df "$work/out.tar" -C "$2"; }

# measure TREE CARD OP: best of $runs for both sides, alternating which goes first.
measure() {
    local tree=$1 card=$2 op=$3 i
    for ((i = 1; i <= runs; i++)); do
        local order=(vocell ref)
        ((i % 2 == 0)) && order=(ref vocell)
        for side in "${order[@]}"; do
            "prepare_${op%_*}"
            "${side}_$op" "$tree" "$card"
        done
    done
}

declare -A entries=() bytes=()
bench_tree() {
    local tree=$1
    shift
    local card=$work/card-$tree
    say "== $tree: generating ($*)"
    "$generator" "$card" "$@" >/dev/null
    entries[$tree]=$(find "$card" -mindepth 1 | wc -l)
    bytes[$tree]=$(find "$card" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
    say "== $tree: ${entries[$tree]} folders and files, ${bytes[$tree]} bytes"
    measure "$tree" "$card" backup
    measure "$tree" "$card" backup_sync
    # out.vcb and out.tar stay from the backup runs for restore and verify.
    "$vocell" backup "$card" "$work/out.vcb" >"$log" 2>&1 || die "backup failed"
    tar -cf "$work/out.tar" -C "$card" .
    measure "$tree" "$card" restore
    diff -r "$card" "$vocell_restored" >/dev/null || die "$tree: the restored tree differs from the card"
    measure "$tree" "$card" verify
    measure "$tree" "$card" verify_tar
}

say "card_benchmark: vocell $vocell, best of $runs, in $work"
say "card_benchmark: load average $(cut -d' ' -f1-3 /proc/loadavg)"
say "card_benchmark: cache $cache_note"

bench_tree "${size_mb}MB" --size-mb "$size_mb"
bench_tree "${smaller_mb}MB" --size-mb "$smaller_mb"
bench_tree "${small_files}files" --small-files "$small_files"
bench_tree "${fewer_files}files" --small-files "$fewer_files"

row() { # tree op reference-label vocell-key
    local tree=$1 op=$2 label=$3 vkey=${4:-$2}
    local v=${best[$tree/$vkey/vocell]} r=${best[$tree/$op/ref]}
    local vm rm
    vm=$(median "${samples[$tree/$vkey/vocell]}")
    rm=$(median "${samples[$tree/$op/ref]}")
    printf '%-12s %-30s %9s %9s %7s %10s   %9s %9s %7s\n' "$tree" "$vkey vs $label" "$v" "$r" \
        "$(ratio "$v" "$r")" "${peak[$tree/$vkey/vocell]}" "$vm" "$rm" "$(ratio "$vm" "$rm")"
    if [[ -n ${SAMPLES_FILE:-} ]]; then
        printf '%s %s vocell %s\n%s %s ref %s\n' "$tree" "$vkey vs $label" "${samples[$tree/$vkey/vocell]}" \
            "$tree" "$vkey vs $label" "${samples[$tree/$op/ref]}" >>"$SAMPLES_FILE"
    fi
}

echo
echo "cache: $cache_note; best of $runs; wall seconds"
printf '%-12s %-30s %9s %9s %7s %10s   %9s %9s %7s\n' tree operation vocell_s ref_s ratio rss_KiB \
    vocell_med ref_med ratio_med
for tree in "${size_mb}MB" "${smaller_mb}MB" "${small_files}files" "${fewer_files}files"; do
    row "$tree" backup "tar -cf"
    row "$tree" backup+sync "tar -cf; sync" backup
    row "$tree" restore "tar -xf; sync"
    row "$tree" verify "sha256sum"
    row "$tree" verify+tar "tar -d" verify
done

echo
verdict() { awk -v x="$1" -v lo="$2" -v hi="$3" 'BEGIN { print (x >= lo && x <= hi) ? "ok" : "MISS" }'; }
for tree in "${size_mb}MB" "${small_files}files"; do
    for op in backup restore; do
        r=$(ratio "${best[$tree/$op/vocell]}" "${best[$tree/$op/ref]}")
        echo "target: $op $tree ratio $r <= 1.0: $(verdict "$r" 0 1.0)"
    done
    r=$(ratio "${best[$tree/verify/vocell]}" "${best[$tree/verify+tar/ref]}")
    echo "target: verify $tree vs tar -d ratio $r <= 1.0: $(verdict "$r" 0 1.0)"
done
max_rss=0
for key in "${!peak[@]}"; do
    [[ $key == */vocell ]] && ((peak[$key] > max_rss)) && max_rss=${peak[$key]}
done
echo "target: vocell peak RSS $max_rss KiB < $rss_limit_kib KiB: $( ((max_rss < rss_limit_kib)) && echo ok || echo MISS)"
for op in backup restore verify; do
    big=$(awk -v s="${best[${size_mb}MB/$op/vocell]}" -v b="${bytes[${size_mb}MB]}" 'BEGIN { printf "%.4f", s / (b / 1048576) }')
    small=$(awk -v s="${best[${smaller_mb}MB/$op/vocell]}" -v b="${bytes[${smaller_mb}MB]}" 'BEGIN { printf "%.4f", s / (b / 1048576) }')
    r=$(ratio "$big" "$small")
    # The straight line through both runs: its slope is the cost of one more MB, its intercept
    # the cost every run pays whatever its size (process start, the final flush).
    line=$(awk -v tb="${best[${size_mb}MB/$op/vocell]}" -v ts="${best[${smaller_mb}MB/$op/vocell]}" \
               -v mb="${bytes[${size_mb}MB]}" -v ms="${bytes[${smaller_mb}MB]}" \
               'BEGIN { k = (tb - ts) / ((mb - ms) / 1048576); printf "%.4f s/MB + %.3f s", k, tb - k * mb / 1048576 }')
    echo "linear: $op s/MB ${size_mb}MB $big vs ${smaller_mb}MB $small (ratio $r, ok within 0.67-1.5): $(verdict "$r" 0.67 1.5); fit $line"
done
for op in backup restore verify; do
    many=$(awk -v s="${best[${small_files}files/$op/vocell]}" -v n="${entries[${small_files}files]}" 'BEGIN { printf "%.1f", s / n * 1e6 }')
    fewer=$(awk -v s="${best[${fewer_files}files/$op/vocell]}" -v n="${entries[${fewer_files}files]}" 'BEGIN { printf "%.1f", s / n * 1e6 }')
    r=$(ratio "$many" "$fewer")
    line=$(awk -v tb="${best[${small_files}files/$op/vocell]}" -v ts="${best[${fewer_files}files/$op/vocell]}" \
               -v nb="${entries[${small_files}files]}" -v ns="${entries[${fewer_files}files]}" \
               'BEGIN { k = (tb - ts) / (nb - ns); printf "%.1f us/entry + %.3f s", k * 1e6, tb - k * nb }')
    echo "linear: $op us/entry ${small_files} files $many vs ${fewer_files} files $fewer (ratio $r, ok within 0.67-1.5): $(verdict "$r" 0.67 1.5); fit $line"
done
