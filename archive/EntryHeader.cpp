#include "archive/EntryHeader.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace vocell::archive {
namespace {

constexpr std::size_t kTimeOffsets[kTimeFieldCount] = {kCreationLowOffset,   kCreationHighOffset,
                                                       kLastAccessLowOffset, kLastAccessHighOffset,
                                                       kLastWriteLowOffset,  kLastWriteHighOffset};
constexpr std::uint64_t kLowHalf = 0xFFFFFFFFu;
constexpr int kHalfBits = 32;

void WriteDecimalField(Block& block, std::size_t offset, long long value) {
    char* first = block.data() + offset;
    std::to_chars(first, first + kNumberFieldSize, value);
}

std::string_view FieldText(const Block& block, std::size_t offset, std::size_t size) {
    const char* first = block.data() + offset;
    const char* end = std::find(first, first + size, '\0');
    return {first, static_cast<std::size_t>(end - first)};
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Leading blanks and a sign allowed, no digits giving 0, the value reduced modulo 2^32.
std::uint32_t ReadDecimalField(const Block& block, std::size_t offset) {
    std::string_view text = FieldText(block, offset, kNumberFieldSize);
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::uint32_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    return negative ? 0u - value : value;
}

// Digits (with an optional leading "-") then zero bytes to the end of the field.
bool IsCleanNumberField(const Block& block, std::size_t offset, bool allowSign, long long lowest,
                        long long highest) {
    std::string_view text = FieldText(block, offset, kNumberFieldSize);
    long long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!allowSign && first != last && *first == '-') return false;
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return false;
    if (value < lowest || value > highest) return false;
    const char* fieldEnd = block.data() + offset + kNumberFieldSize;
    return std::all_of(last, fieldEnd, [](char c) { return c == '\0'; });
}

bool HasFullPathMarker(const Block& block) {
    return std::equal(kFullPathMarker.begin(), kFullPathMarker.end(), block.begin() + kFullPathMarkerOffset);
}

std::string_view PathFieldText(const Block& block) { return FieldText(block, kPathOffset, kPathSize); }

std::string_view FullPathText(const Block& block) {
    return FieldText(block, kFullPathOffset, kFullPathCapacity + 1);
}

// The full path is trusted only when it is terminated and agrees with the 64-byte field.
bool HasConsistentFullPath(const Block& block) {
    if (!HasFullPathMarker(block)) return false;
    std::string_view shortPath = PathFieldText(block);
    std::string_view fullPath = FullPathText(block);
    return shortPath.size() == kPathSize && fullPath.size() <= kFullPathCapacity &&
           fullPath.size() > kPathSize && fullPath.substr(0, kPathSize) == shortPath;
}

}  // namespace

Block EncodeArchiveHeader(std::string_view versionText) {
    Block block{};
    std::copy_n(versionText.begin(), std::min(versionText.size(), kVersionSize),
                block.begin() + kVersionOffset);
    return block;
}

std::string DecodeArchiveVersion(const Block& block) {
    return std::string(FieldText(block, kVersionOffset, kVersionSize));
}

Block EncodeEntryHeader(const EntryHeader& header) {
    Block block{};
    const std::string& path = header.storedPath;
    std::copy_n(path.begin(), std::min(path.size(), kPathSize), block.begin() + kPathOffset);
    WriteDecimalField(block, kAttributesOffset, static_cast<std::int32_t>(header.attributes));
    const std::uint64_t times[3] = {header.times.creation, header.times.lastAccess, header.times.lastWrite};
    for (std::size_t i = 0; i < 3; ++i) {
        WriteDecimalField(block, kTimeOffsets[2 * i], static_cast<long long>(times[i] & kLowHalf));
        WriteDecimalField(block, kTimeOffsets[2 * i + 1], static_cast<long long>(times[i] >> kHalfBits));
    }
    if (path.size() > kPathSize) {
        std::copy(kFullPathMarker.begin(), kFullPathMarker.end(), block.begin() + kFullPathMarkerOffset);
        std::copy_n(path.begin(), std::min(path.size(), kFullPathCapacity), block.begin() + kFullPathOffset);
    }
    return block;
}

bool IsEntryHeader(const Block& block) {
    return block[kDriveColonOffset] == ':' && block[kDriveSeparatorOffset] == '\\';
}

EntryHeader DecodeEntryHeader(const Block& block) {
    EntryHeader header;
    header.storedPath =
        std::string(HasConsistentFullPath(block) ? FullPathText(block) : PathFieldText(block));
    header.attributes = ReadDecimalField(block, kAttributesOffset);
    std::uint64_t halves[kTimeFieldCount];
    for (std::size_t i = 0; i < kTimeFieldCount; ++i) {
        halves[i] = ReadDecimalField(block, kTimeOffsets[i]);
    }
    header.times.creation = halves[0] | (halves[1] << kHalfBits);
    header.times.lastAccess = halves[2] | (halves[3] << kHalfBits);
    header.times.lastWrite = halves[4] | (halves[5] << kHalfBits);
    return header;
}

std::optional<std::string> FindHeaderDamage(const Block& block) {
    const char drive = block[0];
    if (!((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z'))) {
        return "its path does not begin with a drive letter";
    }
    if (!IsCleanNumberField(block, kAttributesOffset, true, INT32_MIN, INT32_MAX)) {
        return "its attribute field is not a number";
    }
    for (std::size_t offset : kTimeOffsets) {
        if (!IsCleanNumberField(block, offset, false, 0, static_cast<long long>(kLowHalf))) {
            return "one of its time fields is not a number";
        }
    }
    if (HasFullPathMarker(block) && !HasConsistentFullPath(block)) {
        return "its long path does not match its path field";
    }
    return std::nullopt;
}

}  // namespace vocell::archive
