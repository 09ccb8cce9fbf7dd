#pragma once
// Encoding and decoding of the archive header block and the entry header blocks.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "archive/ArchiveLayout.h"
#include "platform/FileSystem.h"

namespace vocell::archive {

struct EntryHeader {
    std::string storedPath;
    std::uint32_t attributes = 0;  // written and read as a signed 32-bit word
    FileTimes times;
};

// The longest stored path an entry can carry.
inline constexpr std::size_t kMaxStoredPath = kFullPathCapacity;

Block EncodeArchiveHeader(std::string_view versionText);
// The version text: bytes 0 to 5 up to the first zero byte.
std::string DecodeArchiveVersion(const Block& block);

// Precondition: header.storedPath.size() <= kMaxStoredPath.
Block EncodeEntryHeader(const EntryHeader& header);

// True when bytes 1 and 2 are ":" and "\", as in every stored path.
bool IsEntryHeader(const Block& block);

// Decodes the way every reader does: the path field up to its first zero byte (all 64 bytes
// without one, or the full path behind the marker), numbers with leading blanks and a sign
// allowed, no digits giving 0, time halves reduced modulo 2^32.
EntryHeader DecodeEntryHeader(const Block& block);

// Why a block that passes the header test is not a well-formed entry header, if it is not.
std::optional<std::string> FindHeaderDamage(const Block& block);

}  // namespace vocell::archive
