#pragma once
// The mode a file gets when this program creates it, told without asking the file, so that
// setting a restored file's read-only bit needs no stat of it.

#include <sys/stat.h>

#include <optional>

namespace vocell::posix {

// The mode files are created with: 0666 before the umask.
inline constexpr mode_t kCreatedFileMode = 0666;

// The umask this process creates files under, read without changing it (changing it, even for
// a moment, would race with other threads creating files); nothing where the kernel cannot tell.
std::optional<mode_t> ProcessUmask();

// The mode a file created in the folder (an O_PATH descriptor will do) with kCreatedFileMode
// gets, where it follows from the umask alone: on a file system that keeps POSIX modes as they
// are asked for, in a folder without a default ACL. Nothing where only the new file can tell.
std::optional<mode_t> NewFileMode(int folderFd, std::optional<mode_t> umask);

}  // namespace vocell::posix
