#pragma once
// Attribute words and file times of single entries, read and set through a folder's fd and
// the entry's name without following a symbolic link.

#include <sys/stat.h>
#include <time.h>

#include <array>
#include <cstdint>
#include <optional>

#include "platform/FileSystem.h"

namespace vocell::posix {

// Whether fd lies on a FAT file system, which keeps the Windows attribute bits itself.
bool IsFatFileSystem(int fd);

// The attribute word a file system without attribute bits gets: folder or archive, plus
// read-only when the owner may not write. Other kinds of entry (links, devices) get 0.
std::uint32_t AttributesFromMode(mode_t mode);

FsResult<std::uint32_t> EntryAttributes(int dirFd, const char* name, bool fat);
// Without FAT only the read-only bit takes effect; the others are accepted and ignored.
FsStatus SetEntryAttributes(int dirFd, const char* name, bool fat, std::uint32_t attributes);

// The same for an open file or folder; mode is its st_mode, used where the file system keeps
// no attribute bits. knownMode, when given, is the file's mode: a word that is not read-only then
// needs no stat.
FsResult<std::uint32_t> OpenEntryAttributes(int fd, mode_t mode, bool fat);
FsStatus SetOpenEntryAttributes(int fd, bool fat, std::uint32_t attributes,
                                std::optional<mode_t> knownMode = std::nullopt);

FsResult<FileTimes> EntryTimes(int dirFd, const char* name);
// The size, times and mode of an open file from one statx call.
struct OpenFileInfo {
    std::uint64_t size = 0;
    FileTimes times;
    mode_t mode = 0;
};
FsResult<OpenFileInfo> ReadOpenFileInfo(int fd);

// Last access and last write as utimensat/futimens take them. A time of 0 leaves that time
// as it is; the creation time cannot be set on Linux and is ignored.
std::array<timespec, 2> AccessAndWriteTimes(const FileTimes& times);

}  // namespace vocell::posix
