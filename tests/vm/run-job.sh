#!/usr/bin/env bash
# Boots a virtual machine on this machine's own root and runs one test job in it:
#
#   tests/vm/run-job.sh JOB [NAME=VALUE...]
#
# The guest runs the installed Debian kernel under QEMU (TCG) with this machine's root shared
# read-only over virtio-9p and a tmpfs on top, so it runs the programs of the build tree as they
# are. JOB is a bash script run there as root; NAME=VALUE pairs go into its environment. It
# prints what the job prints and ends with the job's exit status; 77 means skipped (QEMU, the
# kernel or busybox missing here). The job reaches the host through vm-host-step (see
# tests/vm/README.md): plugging, pulling and throttling card readers, and the host's FAT tools.
# What the job writes into $VOCELL_VM_SHARE/output is copied to $VOCELL_VM_OUTPUT when that is set.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
readonly kSkipped=77

# VOCELL_VM_REQUIRED=1 (scripts/test.sh, which installs everything first) makes a missing
# package a failure instead of a skip.
skip() {
    echo "SKIPPED: $* (bash scripts/install-dependencies.sh installs it)"
    [ "${VOCELL_VM_REQUIRED:-0}" = 1 ] && exit 1
    exit "$kSkipped"
}

[ $# -ge 1 ] || { echo "usage: $0 JOB [NAME=VALUE...]" >&2; exit 2; }
job=$(realpath "$1")
shift
[ -f "$job" ] || { echo "no such job: $job" >&2; exit 2; }

command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 is not installed"
kernel=$(find /boot -maxdepth 1 -name 'vmlinuz-*' 2>/dev/null | sort -V | tail -n 1)
[ -n "$kernel" ] || skip "no kernel image in /boot (linux-image-amd64)"
version=${kernel#/boot/vmlinuz-}
[ -d "/lib/modules/$version/kernel/fs/fat" ] || skip "the modules of kernel $version are not installed"
[ -x /bin/busybox ] || skip "busybox is not installed (busybox-static)"
command -v cpio >/dev/null || skip "cpio is not installed"
command -v sfdisk >/dev/null || skip "sfdisk is not installed (fdisk)"
[ -x /usr/libexec/udisks2/udisksd ] || skip "udisksd is not installed (udisks2)"

work=$(mktemp -d /tmp/vocell-vm.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/share"
bash "$here/host/make-initramfs.sh" "$version" "$here/guest/init" "$work/initramfs.gz"

status=0
/usr/bin/python3 "$here/host/vm_host.py" --kernel "$kernel" --initramfs "$work/initramfs.gz" \
    --work "$work" --boot "$here/guest/boot.sh" --job "$job" -- "$@" || status=$?
# What the job left in the shared folder's output/ (screenshots), kept where VOCELL_VM_OUTPUT says.
if [ -n "${VOCELL_VM_OUTPUT:-}" ] && [ -d "$work/share/output" ]; then
    mkdir -p "$VOCELL_VM_OUTPUT"
    cp -r "$work/share/output/." "$VOCELL_VM_OUTPUT/"
fi
exit "$status"
