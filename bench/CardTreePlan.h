#pragma once
// What a generated card tree holds: the relative path and size of every file, decided up front
// from a fixed seed so that the same options always give the same tree.

#include <cstdint>
#include <string>
#include <vector>

namespace vocell::bench {

struct PlannedFile {
    std::string path;        // relative to the card root, with "/" separators
    std::uint64_t size = 0;  // bytes
    bool isVersionText = false;
};

// A card in use: prompt version files, prompts in the four language slots, greetings and names
// of the mailboxes, and messages of 50 KB to 1 MB filling the rest up to about totalBytes.
std::vector<PlannedFile> PlanRealisticCard(std::uint64_t totalBytes, std::uint64_t seed);

// fileCount message files of 1 to 4 KB in folders of about 200 files, plus the version files.
std::vector<PlannedFile> PlanManySmallFiles(std::uint64_t fileCount, std::uint64_t seed);

}  // namespace vocell::bench
