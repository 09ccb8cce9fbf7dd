#pragma once
// The card's prompt version: the first line of the slot-0 VERSION.TXT, shown as major.minor.

#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace vocell {

// The version file of language slot 0 (English, US), relative to the card root.
inline constexpr std::string_view kSlot0VersionFile = "VM\\PROMPTS\\0\\0\\0\\VERSION.TXT";
// Only this many characters of the first line are read.
inline constexpr std::size_t kVersionLineLimit = 49;

// "0110" gives "1.10", "0131" "1.31", "1310" "13.10", "123" "12.3"; characters are taken as they
// are, a carriage return included.
std::string FormatVersion(std::string_view firstLine);

// The first line of an open VERSION.TXT: at most 49 characters, up to the first line feed
// (dropped); a carriage return before it stays.
std::string ReadVersionLine(FileReader& file);

// The card's prompt version as shown; nothing when the card has no slot-0 VERSION.TXT or it
// cannot be opened.
std::optional<std::string> ReadCardPromptVersion(FileSystem& fileSystem, const std::string& cardRoot);

}  // namespace vocell
