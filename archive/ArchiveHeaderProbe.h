#pragma once
// Reads the prompt version an archive carries, from its header block.

#include <string>

#include "platform/FileSystem.h"

namespace vocell::archive {

// Opens the archive, reads its header and closes it. A file that cannot be opened or read gives
// an empty version, the same as an archive of a card without prompts. It does not check that the
// file is an archive; the operations check archives before they use them.
std::string ReadArchiveVersion(FileSystem& fileSystem, const std::string& archivePath);

// The version in the header block at the current position of an open archive: its first six
// bytes up to the first zero byte.
std::string ReadArchiveHeader(FileReader& archive);

}  // namespace vocell::archive
