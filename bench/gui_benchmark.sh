#!/usr/bin/env bash
# Times a backup and a restore of the generated card of small files in the Linux desktop program,
# worked from outside through its accessibility interface (AT-SPI, bench/gui_driver.py) on Xvfb
# with a window manager, against `vocell backup` and `vocell restore` of the same tree, and
# checks that the program takes at most TARGET (1.2) times as long. A GUI run is timed from the
# Enter that accepts the file dialog to the completion message; a vocell run is the
# whole process. Both sides alternate which goes first; the table gives the best of RUNS, and
# beside it the ratio of the medians.
#
#   bench/gui_benchmark.sh [VOCELL] [GENERATOR] [VOCELL_UTILITY]
#
# VOCELL          the vocell binary          (default: build/release/cli/vocell)
# GENERATOR       vocell_generate_card_tree  (default: build/release/bench/vocell_generate_card_tree)
# VOCELL_UTILITY  the desktop program        (default: build/release/qt/program/vocell-utility)
#
# Environment: RUNS (best of, default 3), SMALL_FILES (default 20000), TARGET (default 1.2),
# BENCH_TMPDIR (default /var/tmp), SETTLE (seconds to wait before the first run, default 40: for
# about 35 s after trees were deleted, an earlier run's included, ext4 makes creating files several
# times slower), PERF_DATA (a file: the program of the backups is recorded there with perf
# record --call-graph dwarf, for its profile, and that of each restore beside it). The page caches are kept: every run is warm, on
# both sides.
# Needs Xvfb, openbox, dbus-run-session, at-spi2-core and python3-pyatspi.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/common.sh"
utility=$(realpath "${3:-$repo/build/release/qt/program/vocell-utility}")
runs=${RUNS:-3}
small_files=${SMALL_FILES:-20000}
target=${TARGET:-1.2}

say() { printf '%s\n' "$*" >&2; }
die() { say "gui_benchmark: $*"; exit 1; }
[[ -x $vocell ]] || die "no vocell binary at $vocell (cmake --preset release && cmake --build --preset release -j2)"
[[ -x $generator ]] || die "no generator at $generator"
[[ -x $utility ]] || die "no desktop program at $utility (the release build makes it where Qt 6 is found)"
for tool in Xvfb openbox dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || die "$tool is missing (apt-get install xvfb openbox dbus-daemon at-spi2-core)"
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || die "python3-pyatspi is missing (apt-get install python3-pyatspi)"

work=$(mktemp -d "${BENCH_TMPDIR:-/var/tmp}/vocell-gui-bench.XXXXXX")
xvfb=
cleanup() {
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# The installed folders the program needs, with an empty Backup folder for the archives.
mkdir -p "$work/home/Backup"
cp -r "$(dirname "$vocell")/../home/Prompts" "$(dirname "$vocell")/../home/Data" "$work/home/" ||
    die "no installed files beside $vocell"
say "== ${small_files} small files: generating"
generate_tree "$work/card" "${small_files}files"

for display in $(seq 70 120); do
    [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]] || break
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY=":$display"
sleep 1

sleep "${SETTLE:-40}"
say "gui_benchmark: $utility against $vocell, best of $runs, load average $(cut -d' ' -f1-3 /proc/loadavg)"
# A session bus with the accessibility bus on it, and a window manager that activates windows.
dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    openbox --sm-disable >/dev/null 2>&1 &
    sleep 1
    exec /usr/bin/python3 "$@"' _ "$here/gui_driver.py" "$vocell" "$utility" "$work/card" "$work" "$runs" \
    >"$work/times" 2>"$work/driver.log" || { cat "$work/driver.log" >&2; die "the driver failed"; }

# best SIDE OP [FIELD]: the least of a side's runs (wall seconds, or field 4: processor seconds).
best() { awk -v s="$1" -v o="$2" -v f="${3:-3}" '$1 == s && $2 == o { if (b == "" || $f < b) b = $f } END { print b }' "$work/times"; }
# median SIDE OP: the middle of a side's runs (wall seconds; the mean of the two middle ones).
median() {
    awk -v s="$1" -v o="$2" '$1 == s && $2 == o { print $3 }' "$work/times" | sort -n |
        awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
all() { awk -v s="$1" -v o="$2" '$1 == s && $2 == o { printf "%s ", $3 }' "$work/times"; }
echo
echo "${small_files} small files, warm cache, best of $runs; wall seconds, and the processor seconds the program used"
printf '%-8s %9s %9s %7s %9s %9s %7s %8s   %s\n' operation gui_s vocell_s ratio gui_cpu vocell_cpu ratio median_r \
    "runs (gui; vocell)"
status=0
for op in backup restore; do
    g=$(best gui "$op")
    c=$(best cli "$op")
    r=$(ratio "$g" "$c")
    gp=$(best gui "$op" 4)
    cp=$(best cli "$op" 4)
    printf '%-8s %9s %9s %7s %9s %9s %7s %8s   %s; %s\n' "$op" "$g" "$c" "$r" "$gp" "$cp" "$(ratio "$gp" "$cp")" \
        "$(ratio "$(median gui "$op")" "$(median cli "$op")")" "$(all gui "$op")" "$(all cli "$op")"
    verdict=$(awk -v x="$r" -v t="$target" 'BEGIN { print (x <= t) ? "ok" : "MISS" }')
    echo "target: gui $op / vocell $op ratio $r <= $target: $verdict"
    [[ $verdict == ok ]] || status=1
done
exit "$status"
