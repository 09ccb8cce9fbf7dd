#pragma once
// Paths on the card, as the archive stores and the card operations use them.

#include <string>
#include <string_view>

namespace vocell::archive {

inline constexpr std::string_view kVoiceMailFolder = "VM";
inline constexpr std::string_view kPromptFolder = "VM\\PROMPTS";
// The prompt tree as stored behind the drive root, with the doubled separator every folder level
// gets in a stored path.
inline constexpr std::string_view kStoredPromptTree = "\\VM\\\\PROMPTS\\";
inline constexpr std::size_t kDriveRootLength = 3;  // "E:\"
// At the card root while a restore, update or initialize is writing the card; the telephone
// system reads only VM, and backups never store it.
inline constexpr std::string_view kInterruptedRestoreMarker = "VOCELL-RESTORE-INTERRUPTED.TXT";
// A file being restored is written under its name with this ending, then renamed over the old file.
inline constexpr std::string_view kNewFileSuffix = ".vocell-new";

// Puts a stored path on the card: the saved drive's root is replaced by the card's.
std::string MapToCard(const std::string& storedPath, const std::string& cardRoot);

// True when a path holds a ".." component, which would lead outside the card.
bool LeavesCard(std::string_view path);

// True when a mapped path names the interrupted-restore marker at the card root.
bool IsInterruptedRestoreMarker(std::string_view mappedPath, const std::string& cardRoot);

// True when a mapped path lies in the card's prompt tree.
bool IsInPromptTree(std::string_view mappedPath, const std::string& cardRoot);

}  // namespace vocell::archive
