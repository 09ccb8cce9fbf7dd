#pragma once
// A card folder on the host for the extraction fuzzer, laid out anew for every input: an old
// card with prompts and messages, a symbolic link to a folder outside the card, a symbolic link
// to a file outside it and a file hard-linked to one outside it. Beside the card lie the folder
// "outside", which nothing may change, and the folder "host" with the archive being read.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace vocell::fuzz {

class ScratchCard {
public:
    ScratchCard();
    ~ScratchCard();
    ScratchCard(const ScratchCard&) = delete;
    ScratchCard& operator=(const ScratchCard&) = delete;

    // Empties the card, lays it out again and writes the archive to read.
    void Prepare(const std::uint8_t* archive, std::size_t size);
    // Aborts, saying what was wrong, when anything outside the card changed: the outside folder,
    // the archive or the folder that holds them all.
    void CheckNothingOutsideChanged(const std::uint8_t* archive, std::size_t size) const;

    [[nodiscard]] const std::filesystem::path& cardFolder() const { return card_; }
    [[nodiscard]] const std::filesystem::path& hostFolder() const { return host_; }
    static constexpr const char* kArchiveName = "a.vcb";

private:
    std::filesystem::path root_;
    std::filesystem::path card_;
    std::filesystem::path host_;
    std::filesystem::path outside_;
};

}  // namespace vocell::fuzz
