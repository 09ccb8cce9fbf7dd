#!/usr/bin/env bash
# The Windows program: builds it for i686 and x86_64 with its installers, then runs the Windows
# tests under Wine with Xvfb in a Wine prefix of their own, with the removable drives they use:
#   E:  "VMCARD", a 125 MiB card (a tmpfs where this machine lets us mount one)
#   F:  "FULLCARD", a 1 MiB card that fills up (tmpfs only)
# and an archive made by the Linux build from the same card as the Windows build, to compare.
# The x86_64 tests always run; the i686 ones too where this kernel runs 32-bit programs.
#   --screenshots  instead of the tests, retakes the screenshots in docs/screenshots/windows/, at
#                  100 % and (in 150-percent/) at 150 %, the screen's 144 dots per inch
#   --only REGEX   builds only the 64-bit program and runs only the 64-bit tests whose names
#                  match (ctest -R; the installer's tests come with those that need it)
set -euo pipefail
mode=${1:-tests}
only=
archs="i686 x86_64"
if [ "$mode" = --only ]; then
    only=${2:?--only needs a pattern of test names}
    archs=x86_64
fi
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

bash scripts/install-dependencies.sh

for arch in $archs; do
    cmake --preset "windows-$arch" >/dev/null
    cmake --build --preset "windows-$arch" -j"$jobs"
done

# The build for the host inside the 64-bit cross build: its command line makes the Linux archive
# of the card both systems back up, and its sample card is that card.
host=$root/build/windows-x86_64/host
vocell=$host/cli/vocell

work=$(mktemp -d /tmp/vocell-windows.XXXXXX)
mounts=()
xvfb_pid=
cleanup() {
    set +e
    [ -n "${WINEPREFIX:-}" ] && /usr/lib/wine/wineserver -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    for mount in "${mounts[@]}"; do umount "$mount" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

# A display for the dialogs.
for display in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
done
screen=1024x768x24
# Room for the Wine desktop window at 150 %.
[ "$mode" = --screenshots ] && screen=1600x1200x24
Xvfb ":$display" -screen 0 "$screen" -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"

# Wine writes nothing useful to a pipe and hangs on one while its server is kept warm: every run
# below sends its output to a file.
wine_run() { "$wine64" "$@" >>"$work/wine.log" 2>&1; }
# A Linux path as Wine's Z: drive names it.
winepath_of() { local path; path=$(realpath "$1"); echo "Z:${path//\//\\}"; }

wine_run wineboot -i
"$wineserver" -w

# A removable drive: a Wine drive of type floppy whose folder holds its label.
make_drive() {  # letter label size(empty for a plain folder)
    local letter=$1 label=$2 size=$3 folder=$work/drive-$1
    mkdir -p "$folder"
    if [ -n "$size" ] && mount -t tmpfs -o "size=$size,noatime" tmpfs "$folder" 2>/dev/null; then
        mounts+=("$folder")
    elif [ -n "$size" ]; then
        return 1
    fi
    echo "$label" >"$folder/.windows-label"
    ln -sfn "$folder" "$WINEPREFIX/dosdevices/$letter:"
    wine_run reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /d floppy /f
}
export VOCELL_WINE_DRIVES=1
if make_drive e VMCARD 125m; then
    export VOCELL_WINE_CARD_BYTES=$((125 * 1024 * 1024))
else
    echo "No tmpfs could be mounted here: E: is a plain folder and the card-full case is skipped"
    make_drive e VMCARD ""
fi
make_drive f FULLCARD 1m && export VOCELL_WINE_FULL_CARD=1 || make_drive f FULLCARD ""
"$wineserver" -k
"$wineserver" -w

# A warm server for the whole run: each test program would otherwise pay Wine's start-up.
"$wineserver" -p >>"$work/wine.log" 2>&1
wine_run wineboot

if [ "$mode" = --screenshots ]; then
    # A card with enough on it for a restore to be seen moving, in a Wine desktop window, which
    # draws the windows' frames and captions.
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows-x86_64/CMakeCache.txt)
    wine_run "build/windows-x86_64/VocellUtility-$version-setup-x86_64.exe" /S
    cp -r "$host/sample-card/VM" "$work/drive-e/"
    for folder in $(seq 200 259); do
        mkdir -p "$work/drive-e/VM/MSGS/$folder"
        for message in $(seq 1000 1099); do
            head -c 4000 /dev/urandom >"$work/drive-e/VM/MSGS/$folder/M$message.WAV"
        done
    done
    tour=$(winepath_of build/windows-x86_64/tests/tools/ScreenshotTour.exe)
    # One tour at each scale: the screen's dots per inch is Wine's LogPixels, read when its
    # server starts; the desktop window grows with the dialogs.
    take_tour() {  # dpi desktop-size folder
        local dpi=$1 size=$2 folder=$3 shots=$work/shots-$1
        "$wineserver" -k
        "$wineserver" -w
        wine_run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
        "$wineserver" -k
        "$wineserver" -w
        "$wineserver" -p >>"$work/wine.log" 2>&1
        wine_run wineboot
        mkdir -p "$shots" "$folder"
        timeout 600 "$wine64" explorer "/desktop=vocell,$size" "$tour" "$(winepath_of "$shots")" \
            "C:\\Harlo\\Vocell\\Backup\\tour-$dpi.vcb" >>"$work/wine.log" 2>&1 || true
        # The desktop window does not hand on the tour's exit code: its last picture tells.
        [ -f "$shots/restore-in-progress.bmp" ] || { tail -20 "$work/wine.log"; exit 1; }
        for shot in "$shots"/*.bmp; do
            convert "$shot" -trim +repage "$folder/$(basename "${shot%.bmp}").png"
        done
        ls -l "$folder"
    }
    take_tour 96 800x600 docs/screenshots/windows
    take_tour 144 1200x900 docs/screenshots/windows/150-percent
    exit 0
fi

if [ -n "$only" ]; then
    ctest --preset windows-x86_64 -R "$only" -j"$jobs" >"$work/ctest-only.log" 2>&1 && status=0 || status=$?
    cat "$work/ctest-only.log"
    exit "$status"
fi

# One card backed up by both builds. Its entries are created in reverse name order, since a
# tmpfs lists a folder newest first and Wine lists it by name, and each entry's last-write time
# is set to its birth time, which Linux reads as the creation time and Wine gives for it. The
# card's label file stays out of the way meanwhile: both would store it, each with its own
# attributes.
lay_out_card() {  # source target
    local source=$1 target=$2 name
    for name in $(ls -A "$source" | LC_ALL=C sort -r); do
        if [ -d "$source/$name" ]; then mkdir "$target/$name"; else cp "$source/$name" "$target/$name"; fi
    done
    for name in $(ls -A "$source"); do
        if [ -d "$source/$name" ]; then lay_out_card "$source/$name" "$target/$name"; fi
    done
}
listing() { (cd "$1" && find . -mindepth 1 -printf '%P %y %T@\n' | LC_ALL=C sort); }
card=$work/drive-e
interop=$work/interop
if [ -z "${VOCELL_WINE_CARD_BYTES:-}" ]; then
    echo "No tmpfs for the card here: the Windows and Linux archives of one card are not compared"
else
    mkdir -p "$interop/restored"
    mv "$card/.windows-label" "$interop/label"
    lay_out_card "$host/sample-card" "$card"
    find "$card" -mindepth 1 -depth | while read -r entry; do touch -h -m -d "$(stat -c %w "$entry")" "$entry"; done
    "$vocell" backup "$card" "$interop/linux.vcb" >"$interop/linux.log" 2>&1 || { cat "$interop/linux.log"; exit 1; }
    VOCELL_INTEROP_DIR=$(winepath_of "$interop") ctest --preset windows-x86_64 -L interop >"$work/ctest-interop.log" 2>&1 &&
        status=0 || status=$?
    cat "$work/ctest-interop.log"
    [ "$status" -eq 0 ] || exit "$status"
    "$vocell" restore "$interop/windows.vcb" "$interop/restored" >>"$interop/linux.log" 2>&1 &&
        "$vocell" verify "$interop/windows.vcb" "$interop/restored" >>"$interop/linux.log" 2>&1 ||
        { cat "$interop/linux.log"; exit 1; }
    if ! diff -r "$card" "$interop/restored" || [ "$(listing "$card")" != "$(listing "$interop/restored")" ]; then
        echo "The Windows archive did not restore the card as it was on Linux:"
        diff <(listing "$card") <(listing "$interop/restored")
        exit 1
    fi
    echo "The Windows and Linux archives of one card are the same bytes and restore each other"
    mv "$interop/label" "$card/.windows-label"
fi

# The 32-bit tests first, where they can run, so that the 64-bit summary closes the output.
if bash scripts/runs-32-bit.sh && [ -x /usr/lib/wine/wine ]; then
    echo "This machine runs 32-bit programs: running the i686 tests too"
    ctest --preset windows-i686 -LE interop -j"$jobs" >"$work/ctest-i686.log" 2>&1 && status=0 || status=$?
    cat "$work/ctest-i686.log"
    [ "$status" -eq 0 ] || exit "$status"
else
    echo "This machine does not run 32-bit programs: the i686 program and installer are built, not tested"
fi

ctest --preset windows-x86_64 -LE interop -j"$jobs" >"$work/ctest-x86_64.log" 2>&1 && status=0 || status=$?
cat "$work/ctest-x86_64.log"
exit "$status"
