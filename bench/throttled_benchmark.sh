#!/usr/bin/env bash
# Runs the paired benchmark with the card on a throttled block device, the way a slow USB card
# reader serves it: a loop device over an image file, a file system on it, and a throughput limit
# on the device for reads and writes alike. Archives stay on the machine's own disk.
#
#   sudo bench/throttled_benchmark.sh [VOCELL] [GENERATOR]
#
# Needs root, losetup, mkfs.fat or mkfs.ext4, and the block I/O limits of either cgroup version:
# cgroup v1 blkio (blkio.throttle.*_bps_device, set on the root group so that the kernel's
# write-back is limited too) or cgroup v2 with the io controller (io.max on a group of its own,
# which the benchmark then runs in). It says which it used, and stops when neither works.
#
# Environment: LIMIT_MIBS (default 40), IMAGE_MB (default 4096: every restore of a round stays
# until the operation's rounds end), FS (vfat or ext4; default vfat
# when the kernel can mount it, else ext4), and everything bench/paired_benchmark.sh takes (OPS
# defaults to "backup restore" here).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
limit_mibs=${LIMIT_MIBS:-40}
image_mb=${IMAGE_MB:-4096}
bps=$((limit_mibs * 1048576))

say() { printf '%s\n' "$*" >&2; }
die() { say "throttled_benchmark: $*"; exit 1; }
((EUID == 0)) || die "needs root (loop devices, mounts and I/O limits)"
command -v losetup >/dev/null || die "losetup is missing (apt-get install mount)"

fs_type=${FS:-}
if [[ -z $fs_type ]]; then
    if grep -qw vfat /proc/filesystems && command -v mkfs.fat >/dev/null; then fs_type=vfat; else fs_type=ext4; fi
fi

work=$(mktemp -d "${BENCH_TMPDIR:-/var/tmp}/vocell-throttled.XXXXXX")
image=$work/card.img
mountpoint=$work/card
loop=""
limit_undo=()
cleanup() {
    local undo
    for undo in "${limit_undo[@]}"; do eval "$undo" 2>/dev/null || true; done
    if mountpoint -q "$mountpoint"; then umount "$mountpoint" || true; fi
    [[ -n $loop ]] && losetup -d "$loop" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

truncate -s "${image_mb}M" "$image"
case $fs_type in
    vfat) mkfs.fat -F 32 -n VMCARD "$image" >/dev/null ;;
    ext4) mkfs.ext4 -q -F -N 600000 "$image" ;;  # inodes for fifteen restores of 20,000 files
    *) die "unknown FS $fs_type" ;;
esac
# Direct I/O on the image keeps the machine's page cache from holding the card's blocks twice.
loop=$(losetup --find --show --direct-io=on "$image" 2>/dev/null || losetup --find --show "$image")
mkdir -p "$mountpoint"
mount -t "$fs_type" "$loop" "$mountpoint"
device=$(lsblk -dno MAJ:MIN "$loop" | tr -d ' ')

v1=/sys/fs/cgroup/blkio
v2=$(awk '$3 == "cgroup2" { print $2; exit }' /proc/mounts)
if [[ -w $v1/blkio.throttle.read_bps_device ]]; then
    for direction in read write; do
        echo "$device $bps" >"$v1/blkio.throttle.${direction}_bps_device"
        limit_undo+=("echo '$device 0' > '$v1/blkio.throttle.${direction}_bps_device'")
    done
    how="cgroup v1 blkio throttle on the root group, $device read and write $limit_mibs MiB/s"
elif [[ -n $v2 ]] && grep -qw io "$v2/cgroup.controllers" 2>/dev/null; then
    group=$v2/vocell-throttled-$$
    echo +io >"$v2/cgroup.subtree_control" 2>/dev/null || true
    mkdir "$group"
    limit_undo+=("echo $$ > '$v2/cgroup.procs'; rmdir '$group'")
    echo "$device rbps=$bps wbps=$bps" >"$group/io.max"
    echo $$ >"$group/cgroup.procs"
    how="cgroup v2 io.max in $group, $device rbps=wbps=$limit_mibs MiB/s"
else
    die "no block I/O limits here: neither cgroup v1 blkio throttling nor a cgroup v2 io controller"
fi

say "throttled_benchmark: $fs_type on $loop ($device), $how; load average $(cut -d' ' -f1-3 /proc/loadavg)"
# The limit as the device delivers it: 64 MiB written and flushed, then read back cold.
dd if=/dev/zero of="$mountpoint/probe" bs=1M count=64 conv=fsync status=none
sync && echo 3 >/proc/sys/vm/drop_caches
start=$(date +%s%N)
cat "$mountpoint/probe" >/dev/null
end=$(date +%s%N)
rm -f "$mountpoint/probe"
say "throttled_benchmark: 64 MiB read back at $(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", 64 / ((b - a) / 1e9) }') MiB/s"

CARD_DIR=$mountpoint LIMIT_MIBS=$limit_mibs OPS=${OPS:-backup restore} bash "$here/paired_benchmark.sh" "$@"
