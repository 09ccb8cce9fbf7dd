#!/usr/bin/env bash
# Installs what building and testing the utility needs on Debian 12, if it is missing.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev
          libbenchmark-dev libcli11-dev time clang-format)
# The Linux desktop program: Qt 6, the drive libraries, and what its tests run on (umockdev,
# a mock UDisks2 on a private bus, Xvfb, the pinned font).
packages+=(qt6-base-dev libudev-dev libmount-dev libblkid-dev dbus-daemon umockdev libumockdev-dev
           python3-dbusmock dosfstools mtools xvfb xauth openbox fonts-dejavu-core appstream
           desktop-file-utils)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
