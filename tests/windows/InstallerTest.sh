#!/usr/bin/env bash
# The installer under Wine, as two steps around the tests that need an installed program:
#   install SETUP     installs silently; the program, the three folders and their files, the
#                     Start-menu shortcut and the uninstall entry are there
#   uninstall         uninstalls silently with an archive in Backup; everything installed is
#                     gone, and the archive is still there
set -euo pipefail
wine=${VOCELL_WINE:-/usr/lib/wine/wine64}
: "${WINEPREFIX:?the Windows tests run in a Wine prefix of their own (scripts/test-windows.sh)}"
home=$WINEPREFIX/drive_c/Harlo/Vocell
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
log=$(mktemp)
trap 'rm -f "$log"' EXIT

fail() { echo "FAILED: $*"; exit 1; }
expect_file() { [ -f "$1" ] || fail "missing $1"; }

case "$1" in
install)
    "$wine" "$2" /S >"$log" 2>&1 || fail "the installer ended with $?"
    expect_file "$home/VocellUtility.exe"
    expect_file "$home/Uninstall.exe"
    expect_file "$home/Prompts/PromptUpdateVer1_3_1.vcp"
    expect_file "$home/Data/InitializedFileStruct.vcb"
    [ -d "$home/Backup" ] || fail "no Backup folder"
    expect_file "$menu/Harlo Solvane Vocell Utility.lnk"
    "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\HarloSolvaneVocellUtility' \
        /v UninstallString >"$log" 2>&1 || fail "no uninstall entry"
    grep -q 'Uninstall.exe' "$log" || fail "the uninstall entry does not name the uninstaller"
    ;;
uninstall)
    echo "a technician's backup" >"$home/Backup/customer.vcb"
    "$wine" 'C:\Harlo\Vocell\Uninstall.exe' /S >"$log" 2>&1 || fail "the uninstaller ended with $?"
    # The uninstaller runs on from a copy of itself, and removes itself last: wait for that.
    for _ in $(seq 1 300); do
        [ -e "$home/Uninstall.exe" ] || break
        sleep 0.1
    done
    [ ! -e "$home/Uninstall.exe" ] || fail "the uninstaller did not finish"
    for gone in VocellUtility.exe Prompts Data; do
        [ ! -e "$home/$gone" ] || fail "$gone is still installed"
    done
    [ ! -e "$menu/Harlo Solvane Vocell Utility.lnk" ] || fail "the shortcut is still there"
    ! "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\HarloSolvaneVocellUtility' \
        >"$log" 2>&1 || fail "the uninstall entry is still there"
    [ "$(cat "$home/Backup/customer.vcb" 2>/dev/null)" = "a technician's backup" ] || fail "the backup is gone"
    rm -f "$home/Backup/customer.vcb"
    ;;
*) fail "usage: $0 install SETUP | uninstall" ;;
esac
