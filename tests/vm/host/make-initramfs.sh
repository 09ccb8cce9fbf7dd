#!/usr/bin/env bash
# Writes the guest's initramfs: busybox, the modules that reach this machine's root over
# virtio-9p and lay a tmpfs over it, and the init script.
#   make-initramfs.sh KERNEL_VERSION INIT OUTPUT
set -euo pipefail
version=$1 init=$2 output=$3
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/bin" "$tree/modules" "$tree/proc" "$tree/sys" "$tree/dev" "$tree/lower" "$tree/rw" "$tree/root"
cp /bin/busybox "$tree/bin/busybox"
cp "$init" "$tree/init"
chmod 755 "$tree/init"
# In load order, each module once.
modprobe -a --show-depends -S "$version" virtio_pci 9pnet_virtio 9p overlay |
    awk '$1 == "insmod" && !seen[$2]++ { print $2 }' |
    while read -r module; do
        cp "$module" "$tree/modules/"
        basename "$module" >>"$tree/modules/order"
    done
(cd "$tree" && find . | cpio -o -H newc --quiet) | gzip -1 >"$output"
