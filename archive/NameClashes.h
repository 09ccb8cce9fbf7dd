#pragma once
// Entries of an archive that one folder of the card cannot hold side by side: a file system that
// tells names apart without regard to case, trailing dots or trailing spaces (FAT, Windows) keeps
// one file for "M0000.WAV", "m0000.wav" and "M0000.WAV.", and the second written would replace
// the first. The first such entry is restored; the others are named.

#include <cstdint>
#include <string_view>
#include <vector>

namespace vocell::archive {

class NameClashes {
public:
    // mergesNameVariants: the card's file system merges names that differ only in case or in
    // trailing dots and spaces.
    explicit NameClashes(bool mergesNameVariants) : mergesNameVariants_(mergesNameVariants) {}

    // Claims the card path (drive root and names, separators repeated or not) for an entry; false
    // when an earlier entry holds it on the card. A folder stored twice is the same folder.
    [[nodiscard]] bool Claim(std::string_view cardPath, bool folder);

private:
    void Grow();
    // Where a claimed path's probe starts.
    [[nodiscard]] std::size_t SlotOf(std::uint64_t key) const;

    bool mergesNameVariants_;
    // An open-addressed table of the claimed paths as the card's file system sees them: a 64-bit
    // hash each (no path itself is kept, so that a card of many files costs little memory), its
    // lowest bit telling a folder and the one above it a slot in use.
    std::vector<std::uint64_t> slots_;
    std::size_t used_ = 0;
};

// True for a name the utility writes its own unfinished files under ("NAME.vocell-new"), which
// no entry may take: the next restore would remove it, and it would take the place of NAME's
// unfinished copy.
bool IsUnfinishedFileName(std::string_view cardPath);

}  // namespace vocell::archive
