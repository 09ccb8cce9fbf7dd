#!/usr/bin/env bash
# Checks a card image from the host, without the guest's FAT driver, and prints its listing:
#   fsck.fat -n finds nothing to repair (unless --damage-allowed: a reader pulled part-way leaves
#   the dirty bit set and may leave lost clusters, the medium's state and not the utility's
#   doing; fsck's report is then kept in IMAGE.fsck);
#   mdir reads every folder, and mattrib agrees with fat_listing.py on every attribute.
#   check-card.sh IMAGE [--damage-allowed]
# The listing (fat_listing.py's) is what the jobs compare.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
image=$1 damage=${2:-}
volume=$image
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ "$(dd if="$image" bs=1 skip=54 count=3 status=none | tr -d '\0')" != FAT ]; then
    volume=$work/partition.img  # make-card.sh's partition starts at 1 MiB
    dd if="$image" of="$volume" bs=1M skip=1 status=none
fi
if ! fsck.fat -n "$volume" >"$work/fsck" 2>&1; then
    if [ "$damage" != --damage-allowed ]; then
        echo "fsck.fat -n finds the card damaged:" >&2
        cat "$work/fsck" >&2
        exit 1
    fi
    cp "$work/fsck" "$image.fsck"  # what the pull left, for the job to show
fi
mdir -/ -a -i "$volume" :: >/dev/null
listing=$(/usr/bin/python3 "$here/fat_listing.py" "$volume")
# mattrib's columns: A at 3, S at 6, H at 7, R at 8; folders show no letter for D.
mattrib -/ -i "$volume" :: | awk '{
        flags = substr($0, 1, 13); path = substr($0, 14); sub(/^::/, "", path)
        if (path == "/") next
        printf "%s\t%s%s%s\n", path, (index(flags, "R") ? "R" : "-"), (index(flags, "H") ? "H" : "-"),
               (index(flags, "S") ? "S" : "-") (index(flags, "A") ? "A" : "-")
    }' | sort >"$work/mattrib"
awk -F'\t' '{ print $1 "\t" substr($2, 1, 3) substr($2, 5, 1) }' <<<"$listing" | sort >"$work/listing"
if ! diff "$work/mattrib" "$work/listing" >"$work/diff"; then
    echo "mattrib and the image's own entries disagree:" >&2
    cat "$work/diff" >&2
    exit 1
fi
echo "$listing"
