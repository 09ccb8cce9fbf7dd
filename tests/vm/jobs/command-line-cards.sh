#!/bin/bash
# The vocell command line on real FAT cards in a USB card reader, each result read back by the
# host from the image's own bytes (fsck.fat, mtools, fat_listing.py) as well as by vocell:
# backup, list, verify and restore with every attribute and time, names in every case, times off
# FAT's 2-second steps, a non-root user's card, init, and cards that fill up.
set -euo pipefail
# shellcheck source=../guest/card-steps.sh
. "$(dirname "$0")/../guest/card-steps.sh"
prepare_vocell_home
work=$VOCELL_VM_SHARE

# Backs up a card made through the driver and restores it onto a fresh card of the same layout.
round_trip() {  # layout ("" or --partitioned), name
    local layout=$1 name=$2
    new_card "$work/$name-source.img" 32 SOURCE $layout || return
    plug_card source "$work/$name-source.img" SOURCE || return
    mount_card SOURCE /media/source
    build_card_tree /media/source
    unmount_card /media/source
    local source_listing
    source_listing=$(host_listing "$work/$name-source.img") || return
    echo "$source_listing" >"$work/$name-source.listing"
    # The card holds what was asked of the driver: the test's own footing.
    expect "the source card holds a read-only, hidden, system file" \
        grep -qP '^/VM/GREET/101/G1.WAV\tRHS--\t2021-' <<<"$source_listing"
    expect "the source card holds a hidden folder" grep -qP '^/VM/GREET/101\t-H-D-\t' <<<"$source_listing"

    mount_card SOURCE /media/source ro
    local output
    output=$(vocell backup /media/source "/tmp/$name.vcb")
    expect "backup of the real card succeeds" contains "$output" "Backup Complete."
    expect "the archive is sound" vocell verify "/tmp/$name.vcb"
    expect "the archive matches the card it was made from" vocell verify "/tmp/$name.vcb" /media/source
    expect_equal "the archive lists every entry of the card with its size" \
        "$(entries_of_listing <<<"$source_listing")" "$(archive_entries "/tmp/$name.vcb" | sort)"
    unmount_card /media/source
    unplug_card source SOURCE

    new_card "$work/$name-target.img" 32 TARGET $layout || return
    plug_card target "$work/$name-target.img" TARGET || return
    # noatime: the restore reads the card's prompt version at its end, and under relatime that
    # read alone would give VERSION.TXT today's access date (the driver's rule, not the restore's).
    mount_card TARGET /media/target noatime
    output=$(vocell restore "/tmp/$name.vcb" /media/target)
    expect "restore onto a fresh card succeeds" contains "$output" "Restore Complete."
    unmount_card /media/target
    local target_listing
    target_listing=$(host_listing "$work/$name-target.img") || { problem "the restored card is damaged"; return; }
    expect_equal "the restored card holds every entry with its attributes, last-write time, access date and content" \
        "$(settable_fields <<<"$source_listing")" "$(settable_fields <<<"$target_listing")"
    echo "$target_listing" >"$work/$name-restored.listing"

    mount_card TARGET /media/target
    remount_cold TARGET /media/target
    expect "verify against the card read back from the medium" vocell verify "/tmp/$name.vcb" /media/target
    expect_equal "the restored card's prompt version" "1.31" "$(vocell version /media/target)"
    unmount_card /media/target
    unplug_card target TARGET
}

names_in_every_case() {
    local listing
    listing=$(cat "$work/whole-restored.listing")
    local name
    for name in /VM/GREET/100/Greeting.wav /VM/NAMES/lower.wav "/VM/MSGS/102/A long message name.wav" \
        /VM/MSGS/100/M0000.WAV; do
        expect "$name is on the restored card in its own case" grep -qxF "$name" <(cut -f1 <<<"$listing")
    done
}

# An archive made from a folder (tmpfs keeps any time) restored onto FAT, which keeps 2 s steps.
times_off_two_second_steps() {
    local folder=/tmp/odd-times
    rm -rf "$folder"
    cp -r "$VOCELL_SAMPLE_CARD" "$folder"
    echo one >"$folder/VM/MSGS/100/ODD.WAV"
    echo two >"$folder/VM/MSGS/100/FRACTION.WAV"
    echo three >"$folder/VM/MSGS/100/YEAREND.WAV"
    touch -m -d "2023-05-06 07:08:09" "$folder/VM/MSGS/100/ODD.WAV"
    touch -m -d "2023-05-06 07:08:10.750" "$folder/VM/MSGS/100/FRACTION.WAV"
    touch -m -d "2023-12-31 23:59:59.999" "$folder/VM/MSGS/100/YEAREND.WAV"
    vocell backup "$folder" /tmp/odd.vcb >/dev/null || { problem "the folder backup failed"; return; }
    new_card "$work/odd.img" 32 ODDTIMES || return
    plug_card odd "$work/odd.img" ODDTIMES || return
    mount_card ODDTIMES /media/odd
    expect "restore of off-step times succeeds" contains "$(vocell restore /tmp/odd.vcb /media/odd)" "Restore Complete."
    remount_cold ODDTIMES /media/odd
    expect "verify accepts FAT's 2-second steps" vocell verify /tmp/odd.vcb /media/odd
    unmount_card /media/odd
    local listing
    listing=$(host_listing "$work/odd.img") || return
    written() { grep -P "^/VM/MSGS/100/$1\t" <<<"$listing" | cut -f3; }
    # Within FAT's step of the stored time: the step below it, or the one above.
    expect "09 s is kept as 08 s or 10 s" grep -qE '^2023-05-06 07:08:(08|10)$' <<<"$(written ODD.WAV)"
    expect "10.75 s is kept as 10 s or 12 s" grep -qE '^2023-05-06 07:08:(10|12)$' <<<"$(written FRACTION.WAV)"
    expect "the year's last second stays in its year" grep -qE '^2023-12-31 23:59:58$' <<<"$(written YEAREND.WAV)"
    unplug_card odd ODDTIMES
}

# A card mounted for a user as UDisks2 mounts it, holding read-only, hidden and system files that
# the archive replaces; the user restores it.
user_card() {
    id tech >/dev/null 2>&1 || useradd -m tech
    local uid gid
    uid=$(id -u tech) gid=$(id -g tech)
    new_card "$work/user.img" 32 USERCARD || return
    plug_card user "$work/user.img" USERCARD || return
    mount_card USERCARD /media/user
    cp -r "$VOCELL_SAMPLE_CARD/VM" /media/user/
    local file
    for file in VM/MSGS/101/M0001.WAV VM/NAMES/100.WAV VM/NAMES/101.WAV VM/GREET/101/G1.WAV; do
        echo "an older recording" >"/media/user/$file"
    done
    set_fat_attributes /media/user/VM/MSGS/101/M0001.WAV RA
    set_fat_attributes /media/user/VM/NAMES/100.WAV H
    set_fat_attributes /media/user/VM/NAMES/101.WAV S
    set_fat_attributes /media/user/VM/GREET/101/G1.WAV RHS
    unmount_card /media/user
    mount_card USERCARD /media/user "uid=$uid,gid=$gid,shortname=mixed,utf8=1,showexec,flush"
    rm -rf /tmp/tech-home && cp -r "$VOCELL_BUILD_HOME" /tmp/tech-home && cp /tmp/whole.vcb /tmp/tech-home/Backup/
    chown -R tech: /tmp/tech-home
    local output
    output=$(setpriv --reuid="$uid" --regid="$gid" --init-groups env HOME=/home/tech VOCELL_HOME=/tmp/tech-home \
        "$VOCELL" restore /tmp/tech-home/Backup/whole.vcb /media/user --replace-prompts </dev/null 2>&1)
    echo "$output"
    expect "the user's restore over read-only, hidden and system files succeeds" contains "$output" "Restore Complete."
    unmount_card /media/user
    local listing source
    listing=$(host_listing "$work/user.img") || return
    source=$(cat "$work/whole-source.listing")
    expect_equal "the user's card holds the archive's files with their attributes and times" \
        "$(settable_fields <<<"$source" | grep -v '^/VM/PROMPTS')" "$(settable_fields <<<"$listing" | grep -v '^/VM/PROMPTS')"
    expect_equal "the user's card holds the archive's prompts" \
        "$(cut -f1,2,6,7 <<<"$source" | grep '^/VM/PROMPTS/.*\.')" "$(cut -f1,2,6,7 <<<"$listing" | grep '^/VM/PROMPTS/.*\.')"
    unplug_card user USERCARD
}

init_cards() {
    new_card "$work/blank.img" 32 BLANK || return
    plug_card blank "$work/blank.img" BLANK || return
    mount_card BLANK /media/blank
    local output
    output=$(vocell init /media/blank)
    expect "init on a blank card installs the initial structure" contains "$output" "Initial card structure installed."
    unmount_card /media/blank
    local listing
    listing=$(host_listing "$work/blank.img") || return
    expect_equal "the blank card holds exactly the initial structure" \
        "$(archive_entries "$vocell_home/Data/InitializedFileStruct.vcb" | sort)" "$(entries_of_listing <<<"$listing")"

    mount_card BLANK /media/blank
    output=$(vocell init /media/blank)
    local status=$?
    expect "init on a card with prompts is refused" contains "$output" "The card already holds prompts"
    expect_equal "and ends with status 1" 1 "$status"
    unmount_card /media/blank
    expect_equal "the refused card is unchanged" "$(cut -f1-3,6-7 <<<"$listing")" \
        "$(host_listing "$work/blank.img" | cut -f1-3,6-7)"
    unplug_card blank BLANK
}

# A 4 MiB card and an archive of about 6 MiB: worked out before anything is written, the restore
# is refused with the space it needs, and the card is left as it was.
card_too_small() {
    new_card "$work/small.img" 4 SMALL || return
    plug_card small "$work/small.img" SMALL || return
    mount_card SMALL /media/small
    mkdir -p /media/small/VM/MSGS && echo "a message" >/media/small/VM/MSGS/M0000.WAV
    unmount_card /media/small
    local before
    before=$(host_listing "$work/small.img") || return
    mount_card SMALL /media/small
    local output status
    output=$(vocell restore /tmp/big.vcb /media/small)
    status=$?
    echo "$output"
    expect_equal "the restore ends with status 1" 1 "$status"
    expect "the report says how much is needed" contains "$output" "too little free space for this: it needs at least"
    expect "and that nothing changed" contains "$output" "Nothing on the Vocell card has been changed."
    unmount_card /media/small
    local after
    after=$(host_listing "$work/small.img") || return
    expect_equal "the card is unchanged" "$before" "$after"
    unplug_card small SMALL
}

# The same card with room for the archive and a few clusters more: it is restored.
card_just_large_enough() {
    new_card "$work/fit.img" 4 FIT || return
    plug_card fit "$work/fit.img" FIT || return
    mount_card FIT /media/fit
    local cluster free
    cluster=$(stat -f -c %S /media/fit)
    free=$(($(stat -f -c %a /media/fit) * cluster))
    rm -rf /tmp/fit-card && mkdir -p /tmp/fit-card/VM/MSGS
    head -c $((free - 8 * cluster)) /dev/urandom >/tmp/fit-card/VM/MSGS/M0000.WAV
    vocell backup /tmp/fit-card /tmp/fit.vcb >/dev/null
    local output status
    output=$(vocell restore /tmp/fit.vcb /media/fit)
    status=$?
    echo "$output"
    expect_equal "the restore ends with status 0" 0 "$status"
    expect "and says so" contains "$output" "Restore Complete."
    expect "the file is whole" cmp -s /tmp/fit-card/VM/MSGS/M0000.WAV /media/fit/VM/MSGS/M0000.WAV
    unmount_card /media/fit
    unplug_card fit FIT
}

# After an interrupted restore the space is not worked out: the restore stops when the card is
# full, and names the file it left short.
card_fills_up() {
    new_card "$work/small.img" 4 SMALL || return
    plug_card small "$work/small.img" SMALL || return
    mount_card SMALL /media/small
    echo "interrupted" >"/media/small/$kMarker"
    local output status
    output=$(vocell restore /tmp/big.vcb /media/small)
    status=$?
    echo "$output"
    expect_equal "a restore onto a full card ends with status 1" 1 "$status"
    expect_equal "the card-full message once" 1 "$(count_of "$output" "because the Vocell card is full")"
    expect_not "no completion message" contains "$output" "Restore Complete."
    unmount_card /media/small
    local listing
    listing=$(host_listing "$work/small.img") || return
    expect "the unfinished restore's mark is on the medium" grep -q "^/$kMarker" <<<"$listing"
    # Every file that is on the card but shorter than the archive holds it is named in the report.
    local short
    short=$(join -t $'\t' <(archive_entries /tmp/big.vcb | sort) <(entries_of_listing <<<"$listing" | sort) |
        awk -F'\t' '$2 != $3 { print $1 "\t" $3 "\t" $2 }')
    local path held stored
    while IFS=$'\t' read -r path held stored; do
        [ -n "$path" ] || continue
        expect "the file left short ($path, $held of $stored bytes) is named" contains "$output" "$(basename "$path")"
    done <<<"$short"
    unplug_card small SMALL
}

# A card with no free cluster: the restore does not begin, and nothing on the card changes.
full_card_refused_at_once() {
    new_card "$work/full.img" 8 FULL || return
    plug_card full "$work/full.img" FULL || return
    mount_card FULL /media/full
    # Large writes first, then sector by sector into the last free clusters.
    dd if=/dev/zero of=/media/full/FILLER.BIN bs=64k status=none 2>/dev/null
    dd if=/dev/zero of=/media/full/FILLER2.BIN bs=512 status=none 2>/dev/null
    expect_equal "the card has no free cluster" 0 "$(stat -f -c %a /media/full)"
    unmount_card /media/full
    local before
    before=$(host_listing "$work/full.img") || return
    mount_card FULL /media/full
    local output status
    output=$(vocell restore /tmp/big.vcb /media/full)
    status=$?
    echo "$output"
    expect_equal "the restore ends with status 1" 1 "$status"
    expect_equal "the too-little-space message once" 1 "$(count_of "$output" "too little free space")"
    unmount_card /media/full
    local after
    after=$(host_listing "$work/full.img") || return
    expect_not "no interrupted-restore mark when nothing was changed" grep -q "^/$kMarker" <<<"$after"
    expect_equal "the full card is unchanged" "$(cut -f1-3,6-7 <<<"$before")" "$(cut -f1-3,6-7 <<<"$after")"
    unplug_card full FULL
}

make_big_archive() {
    rm -rf /tmp/big-card && cp -r "$VOCELL_SAMPLE_CARD" /tmp/big-card
    mkdir -p /tmp/big-card/VM/MSGS/103
    local i
    for i in $(seq 10 21); do head -c 524288 /dev/urandom >"/tmp/big-card/VM/MSGS/103/M00$i.WAV"; done
    vocell backup /tmp/big-card /tmp/big.vcb >/dev/null
}

run_case "backup, list, verify and restore a whole-medium card" round_trip "" whole
run_case "backup, list, verify and restore a partitioned card" round_trip --partitioned partitioned
run_case "names in every case FAT keeps" names_in_every_case
run_case "times off FAT's 2-second steps" times_off_two_second_steps
run_case "a user's card: restore over read-only, hidden and system files" user_card
run_case "init on a blank card; refused on a card with prompts" init_cards
make_big_archive
run_case "a card too small for the archive" card_too_small
run_case "a card just large enough" card_just_large_enough
run_case "a card that fills up" card_fills_up
run_case "a full card refused at once" full_card_refused_at_once
finish
