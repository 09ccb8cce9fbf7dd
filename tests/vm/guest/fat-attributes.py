"""Sets the FAT attributes of a file or folder through the vfat driver's own ioctl.

    fat-attributes.py PATH LETTERS    LETTERS from R (read-only), H (hidden), S (system),
                                      A (archive); "-" for none
"""

import fcntl
import os
import struct
import sys

FAT_IOCTL_GET_ATTRIBUTES = 0x80047210
FAT_IOCTL_SET_ATTRIBUTES = 0x40047211
BITS = {"R": 0x01, "H": 0x02, "S": 0x04, "A": 0x20}
FOLDER = 0x10


def main():
    path, letters = sys.argv[1], sys.argv[2]
    descriptor = os.open(path, os.O_RDONLY)
    try:
        current = struct.unpack("I", fcntl.ioctl(descriptor, FAT_IOCTL_GET_ATTRIBUTES, b"\0" * 4))[0]
        wanted = (current & FOLDER) | sum(BITS[letter] for letter in letters if letter != "-")
        fcntl.ioctl(descriptor, FAT_IOCTL_SET_ATTRIBUTES, struct.pack("I", wanted))
    finally:
        os.close(descriptor)


if __name__ == "__main__":
    main()
