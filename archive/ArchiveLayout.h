#pragma once
// The on-disk layout of a card archive: a sequence of 1,024-byte blocks. Block 0 is the archive
// header (the card's prompt version text); then, for every folder and file, one entry header
// block followed by the entry's data blocks (its backup stream cut into blocks).

#include <array>
#include <cstddef>

namespace vocell::archive {

inline constexpr std::size_t kBlockSize = 1024;
using Block = std::array<char, kBlockSize>;
static_assert(sizeof(Block) == 1024, "an archive block is 1,024 bytes");

// Archive header block.
inline constexpr std::size_t kVersionOffset = 0;
inline constexpr std::size_t kVersionSize = 6;

// Entry header block: every number is decimal text followed by zero bytes.
inline constexpr std::size_t kPathOffset = 0;
inline constexpr std::size_t kPathSize = 64;
inline constexpr std::size_t kNumberFieldSize = 32;
inline constexpr std::size_t kAttributesOffset = 64;
inline constexpr std::size_t kCreationLowOffset = 96;
inline constexpr std::size_t kCreationHighOffset = 128;
inline constexpr std::size_t kLastAccessLowOffset = 160;
inline constexpr std::size_t kLastAccessHighOffset = 192;
inline constexpr std::size_t kLastWriteLowOffset = 224;
inline constexpr std::size_t kLastWriteHighOffset = 256;
inline constexpr std::size_t kTimeFieldCount = 6;

// A path of 64 or more characters keeps its first 64 bytes in the path field, as every reader
// expects, and is carried whole in the otherwise unused rest of the block behind a marker.
inline constexpr std::size_t kFullPathMarkerOffset = 288;
inline constexpr std::array<char, 8> kFullPathMarker = {'F', 'U', 'L', 'L', 'P', 'A', 'T', 'H'};
inline constexpr std::size_t kFullPathOffset = kFullPathMarkerOffset + kFullPathMarker.size();
inline constexpr std::size_t kFullPathCapacity = kBlockSize - kFullPathOffset - 1;  // keeps a zero
static_assert(kFullPathOffset + kFullPathCapacity < kBlockSize);
static_assert(kLastWriteHighOffset + kNumberFieldSize == kFullPathMarkerOffset);

// Entry headers are recognised by the drive root every stored path begins with.
inline constexpr std::size_t kDriveColonOffset = 1;
inline constexpr std::size_t kDriveSeparatorOffset = 2;

}  // namespace vocell::archive
