#!/usr/bin/env bash
# The Debian packages vocell and vocell-utility: builds them from the optimised build installed
# into /usr (the preset "package"), checks them with lintian (an error or a warning fails), then
# installs them on this machine and tries what they installed: vocell backs the sample card up
# and restores it into an empty folder, vocell-utility writes a picture of its main dialog on
# Xvfb. Last, purging them must leave none of the files they installed.
# This machine's own vocell and vocell-utility packages are replaced, and purged at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
packages=(vocell vocell-utility)

bash scripts/install-dependencies.sh
cmake --preset package >/dev/null
cmake --build --preset package -j"$jobs"
build=$root/build/package
rm -f "$build"/*.deb
(cd "$build" && cpack) >"$build/cpack.log" 2>&1 || { cat "$build/cpack.log"; exit 1; }
debs=("$build"/*.deb)
echo "Built: ${debs[*]##*/}"
[ ${#debs[@]} -eq ${#packages[@]} ] || { echo "cpack made ${#debs[@]} packages, not ${#packages[@]}"; exit 1; }

lintian --info --pedantic --fail-on error,warning "${debs[@]}" >"$build/lintian.log" 2>&1 && status=0 || status=$?
echo "lintian:"
grep -vx 'running with root privileges is not recommended!' "$build/lintian.log" || true
[ "$status" -eq 0 ] || { echo "lintian found errors or warnings in the packages (above)"; exit 1; }
echo "lintian: no errors, no warnings"

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
work=$(mktemp -d /tmp/vocell-packages.XXXXXX)
installed=
cleanup() {
    set +e
    [ -n "$installed" ] && DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get purge -y -qq "${packages[@]}" >/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${debs[@]}" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; exit 1; }
installed=1
dpkg -L "${packages[@]}" | grep -vx '/\.' | LC_ALL=C sort -u >"$work/installed-files"
echo "Installed ${packages[*]}: $(wc -l <"$work/installed-files") paths"

# The installed programs, with nothing of the build tree or the user's data folder to find.
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_RUNTIME_DIR=$work/runtime
unset VOCELL_HOME
mkdir -p "$HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
said=$(/usr/bin/vocell --version)
[ "$said" = "vocell $version" ] || { echo "vocell --version says '$said', not 'vocell $version'"; exit 1; }
echo "$said"

cp -r "$build/sample-card" "$work/card"
mkdir "$work/restored"
(cd "$work" && /usr/bin/vocell backup card card.vcb && /usr/bin/vocell restore card.vcb restored &&
    /usr/bin/vocell verify card.vcb restored) >"$work/vocell.log" 2>&1 || { cat "$work/vocell.log"; exit 1; }
diff -r "$work/card" "$work/restored" || { echo "The restored card differs from the sample card"; exit 1; }
echo "vocell backed up the sample card and restored it: the copy is the same"

xvfb-run -a /usr/bin/vocell-utility --card-folder "$work/restored" --screenshot "$work/main-dialog.png" \
    >"$work/desktop.log" 2>&1 || { cat "$work/desktop.log"; exit 1; }
[ "$(head -c 8 "$work/main-dialog.png" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    { cat "$work/desktop.log"; echo "vocell-utility --screenshot wrote no PNG picture"; exit 1; }
echo "vocell-utility drew its main dialog on Xvfb: $(stat -c %s "$work/main-dialog.png") bytes of PNG"

DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get purge -y -qq "${packages[@]}" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; exit 1; }
installed=
# A file of the packages must be gone; a folder may stay only while another package owns it.
left=()
while read -r path; do
    [ -e "$path" ] || [ -L "$path" ] || continue
    if [ -d "$path" ] && [ ! -L "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1; then continue; fi
    left+=("$path")
done <"$work/installed-files"
if [ ${#left[@]} -ne 0 ]; then
    echo "Purging ${packages[*]} left these behind:"
    printf '  %s\n' "${left[@]}"
    exit 1
fi
echo "Purged ${packages[*]}: none of the $(wc -l <"$work/installed-files") installed paths is left"
