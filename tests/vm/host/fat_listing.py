"""Lists every folder and file of a FAT image as the medium holds it, read from the image's bytes
without a FAT driver: path, attributes, the three times, size and a digest of the content.

    fat_listing.py IMAGE

A line per entry, sorted by path:
    PATH  ATTRIBUTES(RHSDA, '-' where unset)  WRITTEN  ACCESSED(date)  CREATED(to 10 ms)  SIZE  SHA256
An image whose first sector is a partition table is read from its first partition.
"""

import hashlib
import struct
import sys

SECTOR = 512
ATTRIBUTE_LETTERS = ((0x01, "R"), (0x02, "H"), (0x04, "S"), (0x10, "D"), (0x20, "A"))
LONG_NAME = 0x0F
VOLUME_LABEL = 0x08


class FatImage:
    def __init__(self, data):
        self.data = data
        self.base = 0
        if data[54:59] != b"FAT12" and data[54:59] != b"FAT16" and data[82:87] != b"FAT32":
            self.base = struct.unpack_from("<I", data, 446 + 8)[0] * SECTOR  # the first partition
        boot = data[self.base:self.base + SECTOR]
        (self.sector_size, self.cluster_sectors, reserved, fats, root_entries, total16, _, fat_size16,
         ) = struct.unpack_from("<HBHBHHBH", boot, 11)
        total = total16 or struct.unpack_from("<I", boot, 32)[0]
        fat_sectors = fat_size16 or struct.unpack_from("<I", boot, 36)[0]
        self.fat = self.base + reserved * self.sector_size
        self.root = self.fat + fats * fat_sectors * self.sector_size
        root_bytes = root_entries * 32
        self.clusters_at = self.root + root_bytes
        self.cluster_bytes = self.cluster_sectors * self.sector_size
        data_sectors = total - reserved - fats * fat_sectors - root_bytes // self.sector_size
        count = data_sectors // self.cluster_sectors
        self.bits = 12 if count < 4085 else 16 if count < 65525 else 32
        self.root_cluster = struct.unpack_from("<I", boot, 44)[0] if self.bits == 32 else None
        self.root_bytes = root_bytes

    def next_cluster(self, cluster):
        if self.bits == 16:
            return struct.unpack_from("<H", self.data, self.fat + cluster * 2)[0]
        if self.bits == 32:
            return struct.unpack_from("<I", self.data, self.fat + cluster * 4)[0] & 0x0FFFFFFF
        pair = struct.unpack_from("<H", self.data, self.fat + cluster * 3 // 2)[0]
        return pair >> 4 if cluster & 1 else pair & 0xFFF

    def chain(self, cluster):
        end = {12: 0xFF8, 16: 0xFFF8, 32: 0x0FFFFFF8}[self.bits]
        while 2 <= cluster < end:
            start = self.clusters_at + (cluster - 2) * self.cluster_bytes
            yield self.data[start:start + self.cluster_bytes]
            cluster = self.next_cluster(cluster)

    def folder_bytes(self, cluster):
        if cluster == 0 and self.root_cluster is None:
            return self.data[self.root:self.root + self.root_bytes]
        return b"".join(self.chain(cluster or self.root_cluster))

    def content(self, cluster, size):
        return b"".join(self.chain(cluster))[:size] if size else b""


def short_name(entry):
    base, extension, case = entry[0:8].rstrip(b" "), entry[8:11].rstrip(b" "), entry[12]
    base = base.decode("cp437")
    extension = extension.decode("cp437")
    if case & 0x08:
        base = base.lower()
    if case & 0x10:
        extension = extension.lower()
    return base + ("." + extension if extension else "")


def long_name_part(entry):
    raw = entry[1:11] + entry[14:26] + entry[28:32]
    return raw.decode("utf-16-le").split("\x00")[0]


def date_text(date):
    return f"{1980 + (date >> 9):04d}-{(date >> 5) & 0x0F:02d}-{date & 0x1F:02d}"


def time_text(time, hundredths=None):
    seconds = (time & 0x1F) * 2
    text = f"{time >> 11:02d}:{(time >> 5) & 0x3F:02d}:{seconds:02d}"
    if hundredths is not None:
        text = f"{time >> 11:02d}:{(time >> 5) & 0x3F:02d}:{seconds + hundredths // 100:02d}.{hundredths % 100:02d}"
    return text


def entries(image, cluster, prefix):
    folder = image.folder_bytes(cluster)
    long_name = []
    for offset in range(0, len(folder), 32):
        entry = folder[offset:offset + 32]
        if entry[0] == 0:
            break
        if entry[0] == 0xE5:
            long_name = []
            continue
        attributes = entry[11]
        if attributes == LONG_NAME:
            long_name.insert(0, long_name_part(entry))
            continue
        name = "".join(long_name) or short_name(entry)
        long_name = []
        if attributes & VOLUME_LABEL or name in (".", ".."):
            continue
        (created_tenths, created_time, created_date, accessed, high, written_time, written_date, low,
         size) = struct.unpack_from("<BHHHHHHHI", entry, 13)
        first = (high << 16 if image.bits == 32 else 0) | low
        path = prefix + "/" + name
        letters = "".join(letter if attributes & bit else "-" for bit, letter in ATTRIBUTE_LETTERS)
        is_folder = attributes & 0x10
        digest = "-" if is_folder else hashlib.sha256(image.content(first, size)).hexdigest()
        yield (path, letters, f"{date_text(written_date)} {time_text(written_time)}", date_text(accessed),
               f"{date_text(created_date)} {time_text(created_time, created_tenths)}",
               "-" if is_folder else str(size), digest)
        if is_folder:
            yield from entries(image, first, path)


def main():
    with open(sys.argv[1], "rb") as source:
        image = FatImage(source.read())
    for line in sorted(entries(image, 0, "")):
        print("\t".join(line))


if __name__ == "__main__":
    main()
