#!/bin/bash
# Card readers pulled out while vocell restores onto them, through QMP: part-way through a slow
# (throttled) restore, and the moment "Restore Complete." appears. What the medium holds is read
# by the host from the image afterwards.
set -euo pipefail
# shellcheck source=../guest/card-steps.sh
. "$(dirname "$0")/../guest/card-steps.sh"
prepare_vocell_home
work=$VOCELL_VM_SHARE
readonly kSlowCard=400000  # bytes a second: a slow card, so that a pull lands part-way
readonly kDesktopOptions=shortname=mixed,utf8=1,showexec,flush

# A card folder whose prompts come last in the archive and take a few seconds to write.
make_archive() {
    rm -rf /tmp/pull-card && cp -r "$VOCELL_SAMPLE_CARD" /tmp/pull-card
    local file
    for file in /tmp/pull-card/VM/PROMPTS/*/*/1/*.WAV /tmp/pull-card/VM/MSGS/10[01]/*.WAV; do
        head -c 196608 /dev/urandom >"$file"
    done
    # The slot-0 prompts first, their version file before their recordings: a folder's newest
    # entry is listed first on tmpfs, so the tree is laid out again in the reverse order.
    local prompts=/tmp/pull-card/VM/PROMPTS slot part
    mv "$prompts" /tmp/pull-prompts
    for slot in 3 2 1 0; do
        for part in 1 0; do
            mkdir -p "$prompts/0/$slot/$part"
            cp /tmp/pull-prompts/0/$slot/$part/* "$prompts/0/$slot/$part/"
        done
    done
    rm -rf /tmp/pull-prompts
    vocell backup /tmp/pull-card /tmp/pull.vcb >/dev/null
    file_digests /tmp/pull-card >/tmp/pull-card.digests
}

pulled_mid_restore() {
    new_card "$work/pulled.img" 32 PULLED || return
    plug_card pulled "$work/pulled.img" PULLED || return
    # As UDisks2 mounts a card for a desktop: "flush" writes each closed file out at once.
    mount_card PULLED /media/pulled "$kDesktopOptions"
    vm-host-step throttle pulled "$kSlowCard"
    timeout 300 bash -c 'VOCELL_HOME=$0 "$1" restore /tmp/pull.vcb /media/pulled </dev/null >/tmp/pulled.out 2>&1; echo $? >/tmp/pulled.status' \
        "$vocell_home" "$VOCELL" &
    local restore=$!
    expect "the archive holds the slot-0 version file before its recordings" grep -q VERSION.TXT \
        <(archive_entries /tmp/pull.vcb | cut -f1 | grep -E 'PROMPTS/0/0/(0/VERSION.TXT|1/)' | head -n 1)
    # Pulled while the prompts are being written: their version file is on the card, not all of them.
    wait_for 240 test -e /media/pulled/VM/PROMPTS/0/0/0/VERSION.TXT || problem "the restore never reached the prompts"
    # What the kernel's writeback would have put on the medium by now on a card of real size.
    sync
    vm-host-step unplug pulled
    wait "$restore"
    local output
    output=$(cat /tmp/pulled.out)
    echo "$output"
    expect_not "the pulled restore does not end with status 0" test "$(cat /tmp/pulled.status)" = 0
    expect_not "the pulled restore does not say it completed" contains "$output" "Restore Complete."
    expect_equal "the pulled restore reports the write error once" 1 "$(count_of "$output" "An error has occurred while writing")"
    umount -l /media/pulled

    plug_card pulled "$work/pulled.img" PULLED || return
    mount_card PULLED /media/pulled "$kDesktopOptions"
    expect "the card plugged back says its restore was interrupted" contains "$(vocell version /media/pulled)" "interrupted"
    output=$(vocell restore /tmp/pull.vcb /media/pulled)
    echo "$output"
    remount_cold PULLED /media/pulled
    local verified
    verified=$(vocell verify /tmp/pull.vcb /media/pulled)
    echo "$verified"
    if contains "$output" "Restore Complete."; then
        expect "a restore that says it completed leaves the card as the archive holds it" test -n "$verified" -a \
            "$(vocell verify /tmp/pull.vcb /media/pulled >/dev/null; echo $?)" = 0
    fi
    unmount_card /media/pulled
    local listing
    listing=$(host_listing "$work/pulled.img" --damage-allowed) || return
    expect_not "no interrupted-restore mark left after the full restore" grep -q "^/$kMarker" <<<"$listing"
    expect_equal "the card ends as the archive holds it, read by the host" \
        "$(cat /tmp/pull-card.digests)" "$(files_of_listing <<<"$listing")"
    unplug_card pulled PULLED
}

pulled_at_restore_complete() {
    new_card "$work/complete.img" 32 COMPLETE || return
    plug_card complete "$work/complete.img" COMPLETE || return
    mount_card COMPLETE /media/complete
    local output
    output=$(VOCELL_HOME=$vocell_home "$VOCELL" restore /tmp/pull.vcb /media/complete </dev/null 2>&1 |
        while IFS= read -r line; do
            echo "$line"
            [[ $line == *"Restore Complete."* ]] && vm-host-step unplug complete
        done)
    echo "$output"
    expect "the restore said it completed" contains "$output" "Restore Complete."
    umount -l /media/complete
    local listing
    listing=$(host_listing "$work/complete.img" --damage-allowed) || return
    expect_not "no interrupted-restore mark on the medium" grep -q "^/$kMarker" <<<"$listing"
    expect_not "no unfinished new copy on the medium" grep -q '\.vocell-new' <<<"$listing"
    expect_equal "every file on the medium as the archive holds it" \
        "$(cat /tmp/pull-card.digests)" "$(files_of_listing <<<"$listing" | grep -v "^/$kMarker")"
}

make_archive
run_case "a reader pulled mid-restore, plugged back and restored again" pulled_mid_restore
run_case "a reader pulled the moment Restore Complete. appears" pulled_at_restore_complete
finish
