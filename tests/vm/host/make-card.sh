#!/usr/bin/env bash
# Makes a blank card image: a FAT16 file system of SIZE MiB with LABEL, on the whole medium or,
# with --partitioned, in the one partition of an MBR partition table (as cards come formatted).
#   make-card.sh IMAGE SIZE_MIB LABEL [--partitioned]
set -euo pipefail
image=$1 size=$2 label=$3 layout=${4:-}
readonly kPartitionStart=2048  # sectors: the first MiB, as partitioning tools leave it
# A card of a few MiB holds enough clusters for FAT16 only with clusters of one sector.
cluster=()
[ "$size" -gt 8 ] || cluster=(-s 1)
rm -f "$image"
truncate -s "${size}M" "$image"
if [ "$layout" = --partitioned ]; then
    echo "start=$kPartitionStart, type=6" | sfdisk --quiet "$image"
    mkfs.fat -F 16 "${cluster[@]}" -n "$label" --offset "$kPartitionStart" "$image" $(((size * 1024) - kPartitionStart / 2)) >/dev/null
else
    mkfs.fat -F 16 "${cluster[@]}" -n "$label" "$image" >/dev/null
fi
