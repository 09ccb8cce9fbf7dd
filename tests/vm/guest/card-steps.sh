# What the jobs share, sourced by each: cases and their checks, card images made and checked on
# the host, readers plugged and cards mounted in the guest, and the vocell program.
#
# A job sets VOCELL (the program) and VOCELL_BUILD_HOME (its installed data) from the host and
# calls run_case for each case (VOCELL_VM_CASES=REGEX picks some); finish prints each case's result and "N passed, N failed".
# shellcheck shell=bash

readonly kHostSteps=$(cd "$(dirname "${BASH_SOURCE[0]}")/../host" && pwd)
readonly kGuestSteps=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
readonly kMarker=VOCELL-RESTORE-INTERRUPTED.TXT
cases_passed=0
cases_failed=0
results=()
case_ok=1

# Runs a case (a function and its arguments); it fails when any of its checks did.
# VOCELL_VM_CASES, a regular expression, runs only the cases whose names it matches.
run_case() {
    local name=$1
    shift
    [[ $name =~ ${VOCELL_VM_CASES:-.} ]] || return 0
    case_ok=1
    echo "=== $name"
    local started=$SECONDS
    "$@" || problem "the case stopped with status $?"
    local took=$((SECONDS - started))
    if [ "$case_ok" -eq 1 ]; then
        cases_passed=$((cases_passed + 1))
        results+=("PASS  $name (${took} s)")
    else
        cases_failed=$((cases_failed + 1))
        results+=("FAIL  $name (${took} s)")
    fi
}

problem() {
    echo "FAILED: $*"
    case_ok=0
}
expect() {  # description, command...: the command succeeds
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else problem "$what"; fi
}
expect_not() {  # description, command...: the command fails
    local what=$1
    shift
    if "$@"; then problem "$what"; else echo "ok: $what"; fi
}
expect_equal() {  # description, expected, actual
    if [ "$2" = "$3" ]; then
        echo "ok: $1"
    else
        problem "$1"
        diff <(echo "$2") <(echo "$3") | sed 's/^/    /' || true
    fi
}
contains() { grep -qF -- "$2" <<<"$1"; }
count_of() { grep -cF -- "$2" <<<"$1" || true; }

finish() {
    echo "=== results"
    printf '%s\n' "${results[@]}"
    echo "$cases_passed passed, $cases_failed failed"
    [ "$cases_failed" -eq 0 ]
}

# --- on the host ------------------------------------------------------------------------------
new_card() { vm-host-step run "$kHostSteps/make-card.sh" "$@"; }  # image, MiB, label, [--partitioned]
# The image's listing read by the host (fat_listing.py), after fsck.fat and mtools agreed.
host_listing() {
    local listing
    listing=$(vm-host-step run "$kHostSteps/check-card.sh" "$@") || { echo "$listing" >&2; return 1; }
    echo "$listing"
}
# The listing without creation times, which Linux cannot set on a FAT file.
settable_fields() { cut -f1-4,6-7; }
# Whether NAME is an entry of the image, as the host reads it.
host_has() { vm-host-step run "$kHostSteps/fat_listing.py" "$1" | cut -f1 | grep -qx -- "$2"; }

# --- in the guest -----------------------------------------------------------------------------
wait_for() {  # seconds, command...: true once the command succeeds
    local limit=$1
    shift
    local until=$((SECONDS + limit))
    while ! "$@" 2>/dev/null; do
        [ "$SECONDS" -lt "$until" ] || return 1
        sleep 0.2
    done
}
label_device() { readlink -f "/dev/disk/by-label/$1"; }
has_label() { [ -e "/dev/disk/by-label/$1" ]; }
# Plugs a reader holding IMAGE and waits for the card's file system to show up by its label.
plug_card() {  # reader, image, label, [fixed]
    vm-host-step plug "$1" "$2" "${4:-removable}"
    wait_for 30 has_label "$3" || { echo "the card $3 did not appear"; return 1; }
    udevadm settle
}
unplug_card() {  # reader, label
    vm-host-step unplug "$1"
    wait_for 30 eval "! has_label $2"
}
# Mounts the card as root would by hand (the kernel's defaults), or with the options given.
mount_card() {  # label, folder, [options]
    mkdir -p "$2"
    mount -t vfat -o "${3:-rw}" "/dev/disk/by-label/$1" "$2"
}
# A program that has just ended may still hold the card for a moment.
unmount_card() {
    wait_for 15 umount "$1" || { echo "cannot unmount $1"; return 1; }
}
# Unmounts, drops every cached page and remounts, so that what follows reads the medium.
remount_cold() {  # label, folder, [options]
    umount "$2"
    sync
    echo 3 >/proc/sys/vm/drop_caches
    mount_card "$@"
}
# Sets a file's FAT attributes through the driver (letters of RHSA).
set_fat_attributes() { /usr/bin/python3 "$kGuestSteps/fat-attributes.py" "$@"; }

vocell_home=/tmp/vocell-home
prepare_vocell_home() {
    rm -rf "$vocell_home"
    cp -r "$VOCELL_BUILD_HOME" "$vocell_home"
}
vocell() { VOCELL_HOME=$vocell_home "$VOCELL" "$@" </dev/null 2>&1; }

# Every entry of an archive as "PATH<TAB>SIZE" (folders "-"), in the listing's spelling.
archive_entries() {
    vocell list --json "$1" | /usr/bin/python3 -c '
import json, re, sys
for entry in json.load(sys.stdin)["entries"]:
    path = "/" + re.sub(r"\\+", "/", entry["path"].split(":", 1)[1]).strip("/")
    print(path + "\t" + ("-" if entry["kind"] == "folder" else str(entry["size"])))'
}
# The host listing's entries as "PATH<TAB>SIZE", to compare with archive_entries.
entries_of_listing() { cut -f1,6; }

# A card's tree of voice mail written through the driver: the sample card's prompts and
# messages, names in every case FAT keeps (upper, lower, mixed, long), every attribute on files
# and folders, a distinct last-write time (on FAT's 2-second steps) and access date on each
# entry. MESSAGE_KIB sizes the extra messages.
build_card_tree() {  # folder, [message KiB]
    local card=$1 kib=${2:-256}
    cp -r "$VOCELL_SAMPLE_CARD/VM" "$card/"
    mkdir -p "$card/VM/MSGS/102"
    local i
    for i in 0 1 2 3; do
        head -c $((kib * 1024)) /dev/urandom >"$card/VM/MSGS/102/M000$i.WAV"
    done
    head -c 1500000 /dev/urandom >"$card/VM/MSGS/102/A long message name.wav"
    : >"$card/VM/MSGS/102/EMPTY.WAV"
    echo "greeting" >"$card/VM/GREET/100/Greeting.wav"
    echo "name" >"$card/VM/NAMES/lower.wav"
    set_fat_attributes "$card/VM/MSGS/101/M0001.WAV" RA
    set_fat_attributes "$card/VM/NAMES/100.WAV" HA
    set_fat_attributes "$card/VM/NAMES/101.WAV" SA
    set_fat_attributes "$card/VM/GREET/101/G1.WAV" RHS
    set_fat_attributes "$card/VM/MSGS/100/M0000.WAV" -
    set_fat_attributes "$card/VM/GREET/101" H
    set_fat_attributes "$card/VM/NAMES" S
    set_fat_attributes "$card/VM/MSGS/101" R
    set_fat_attributes "$card/VM/MSGS/102" A
    # Times last, deepest first, so that nothing written afterwards moves a folder's time.
    local day=1 entry
    while IFS= read -r entry; do
        touch -m -d "$(printf '2021-03-%02d 10:%02d:%02d' $((day % 28 + 1)) $((day % 60)) $((day % 30 * 2)))" "$entry"
        touch -a -d "$(printf '2022-07-%02d 12:00:00' $((day % 28 + 1)))" "$entry"
        day=$((day + 1))
    done < <(find "$card/VM" -depth)
}

# Every file of a card folder as "PATH<TAB>SIZE<TAB>SHA256", to compare with a host listing.
file_digests() {  # folder
    (cd "$1" && find . -type f -printf '%P\n' | sort | while IFS= read -r path; do
        printf '/%s\t%s\t%s\n' "$path" "$(stat -c %s "$path")" "$(sha256sum <"$path" | cut -d' ' -f1)"
    done)
}
# The same three fields of the files of a host listing.
files_of_listing() { awk -F'\t' '$6 != "-" { print $1 "\t" $6 "\t" $7 }'; }
