#!/usr/bin/env bash
# Installs what building and testing the utility needs on Debian 12, if it is missing.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev
          libbenchmark-dev libcli11-dev libxxhash-dev time clang-format clang-tidy)
# The checks of the manual pages (man formats them with groff) and of the bash completion.
packages+=(man-db groff-base bash-completion)
# The Linux desktop program: Qt 6, the drive libraries, and what its tests run on (umockdev,
# a mock UDisks2 on a private bus, Xvfb, the pinned font, the accessibility bus and its Python
# client for the screen reader's view).
packages+=(qt6-base-dev libudev-dev libmount-dev libblkid-dev dbus-daemon umockdev libumockdev-dev
           python3-dbusmock dosfstools mtools xvfb xauth openbox fonts-dejavu-core appstream
           desktop-file-utils at-spi2-core python3-pyatspi)
# The Windows program: mingw-w64 cross compilers, GoogleTest's sources to build for Windows, NSIS
# for the installer, Wine and Xvfb to run the tests, ImageMagick for the screenshots.
windows_packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
                  binutils-mingw-w64-x86-64 googletest nsis wine wine64 xvfb xauth imagemagick)
packages+=("${windows_packages[@]}")
# The Debian packages: CPack runs dpkg-shlibdeps (dpkg-dev) for their dependencies; lintian
# checks them.
packages+=(dpkg-dev lintian)
# The tests on real cards (tests/vm): QEMU, Debian's kernel with its vfat, USB and 9p modules
# (installed into /boot and /lib/modules for the virtual machine only: update-initramfs runs,
# no bootloader is installed or run), busybox for the machine's first process, udisks2 (udisksd,
# which brings udev) and the tools that lay out card images.
packages+=(qemu-system-x86 linux-image-amd64 busybox-static udisks2 cpio fdisk)
# Wine for the 32-bit build, where this kernel runs 32-bit programs at all.
if bash "$(dirname "$0")/runs-32-bit.sh"; then
    packages+=(wine32:i386)
fi
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
