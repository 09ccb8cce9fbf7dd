#!/bin/bash
# The guest's boot once it runs on the host's root: the kernel's own file systems, the modules
# of card readers and FAT, udev and a system D-Bus as a desktop has them, then the one job; its
# exit status goes to the host, which then ends the machine. A step of its own that fails stops
# the machine early, and the host reports that with the console's last lines.
set -euo pipefail
export PATH=$(dirname "$0"):/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
ln -sf /proc/self/fd /dev/fd
for folder in /run /tmp /var/tmp /media /root; do mount -t tmpfs -o mode=0755 tmpfs "$folder"; done
chmod 1777 /tmp /var/tmp
hostname vocell-vm

argument() { sed -n "s/.* $1=\([^ ]*\).*/\1/p" /proc/cmdline; }
share=$(argument vocell.share)
mkdir -p "$share"
mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000 vmshare "$share"

modprobe -a virtio_console xhci_pci usb_storage sd_mod vfat nls_cp437 nls_utf8 nls_ascii
# Media changes are polled by the kernel every 2 s, as systemd's udev rules set it up.
echo 2000 >/sys/module/block/parameters/events_dfl_poll_msecs
/lib/systemd/systemd-udevd --daemon
# Only what is there before the job starts needs udev now; readers plugged later bring their
# own events.
udevadm trigger --action=add --subsystem-match=virtio-ports --subsystem-match=block
udevadm settle --timeout=30 || true
mkdir -p /run/dbus
dbus-daemon --system --fork

control=/dev/virtio-ports/vocell.control
for _ in $(seq 100); do [ -e "$control" ] && break; sleep 0.1; done
vm-host-step ready

set -a
# shellcheck disable=SC1091
. "$share/job.env"
set +a
export VOCELL_VM_SHARE=$share HOME=/root
status=0
cd "$share"
bash "$VOCELL_VM_JOB" </dev/null 2>&1 || status=$?
sync
# The host ends the machine once it has the status.
vm-host-step exit "$status"
sleep infinity
