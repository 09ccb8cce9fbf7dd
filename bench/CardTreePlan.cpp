#include "bench/CardTreePlan.h"

#include <algorithm>
#include <cstdio>

#include "bench/PseudoRandomBytes.h"

namespace vocell::bench {
namespace {

constexpr std::uint64_t kKiB = 1024;
constexpr int kLanguageSlots = 4;
// A 128 MB card: 60 prompts per language slot and 64 mailboxes; smaller and larger cards get
// proportionally fewer or more, so that entries and bytes grow together.
constexpr std::uint64_t kReferenceBytes = 128 * 1024 * kKiB;
constexpr std::uint64_t kPromptsPerSlot = 60;
constexpr std::uint64_t kMailboxes = 64;
constexpr std::uint64_t kFirstMailbox = 100;
constexpr std::uint64_t kSmallFilesPerFolder = 200;

std::string Numbered(char letter, std::uint64_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "%c%04llu.WAV", letter, static_cast<unsigned long long>(number));
    return name;
}

void AddVersionFiles(std::vector<PlannedFile>& files) {
    for (int slot = 0; slot < kLanguageSlots; ++slot) {
        files.push_back({"VM/PROMPTS/0/" + std::to_string(slot) + "/0/VERSION.TXT", 4, true});
    }
}

std::uint64_t Total(const std::vector<PlannedFile>& files) {
    std::uint64_t total = 0;
    for (const PlannedFile& file : files) total += file.size;
    return total;
}

}  // namespace

std::vector<PlannedFile> PlanRealisticCard(std::uint64_t totalBytes, std::uint64_t seed) {
    PseudoRandomBytes random(seed);
    const auto scaled = [totalBytes](std::uint64_t count) {
        return std::max<std::uint64_t>(1, count * totalBytes / kReferenceBytes);
    };
    const std::uint64_t promptsPerSlot = scaled(kPromptsPerSlot);
    const std::uint64_t mailboxes = scaled(kMailboxes);
    std::vector<PlannedFile> files;
    AddVersionFiles(files);
    for (int slot = 0; slot < kLanguageSlots; ++slot) {
        for (std::uint64_t prompt = 0; prompt < promptsPerSlot; ++prompt) {
            files.push_back({"VM/PROMPTS/0/" + std::to_string(slot) + "/1/" + Numbered('P', prompt),
                             random.Between(10 * kKiB, 40 * kKiB)});
        }
    }
    for (std::uint64_t box = 0; box < mailboxes; ++box) {
        files.push_back({"VM/GREET/" + std::to_string(kFirstMailbox + box) + "/G1.WAV",
                         random.Between(20 * kKiB, 100 * kKiB)});
        files.push_back({"VM/NAMES/" + std::to_string(kFirstMailbox + box) + ".WAV",
                         random.Between(5 * kKiB, 20 * kKiB)});
    }
    std::vector<std::uint64_t> messagesInBox(mailboxes, 0);
    for (std::uint64_t total = Total(files); total < totalBytes;) {
        const std::uint64_t size =
            std::min(random.Between(50 * kKiB, 1024 * kKiB), std::max(totalBytes - total, 50 * kKiB));
        const auto box = static_cast<std::size_t>(random.Between(0, mailboxes - 1));
        files.push_back(
            {"VM/MSGS/" + std::to_string(kFirstMailbox + box) + "/" + Numbered('M', messagesInBox[box]++),
             size});
        total += size;
    }
    return files;
}

std::vector<PlannedFile> PlanManySmallFiles(std::uint64_t fileCount, std::uint64_t seed) {
    PseudoRandomBytes random(seed);
    std::vector<PlannedFile> files;
    AddVersionFiles(files);
    for (std::uint64_t i = 0; i < fileCount; ++i) {
        const std::uint64_t box = kFirstMailbox + i / kSmallFilesPerFolder;
        files.push_back({"VM/MSGS/" + std::to_string(box) + "/" + Numbered('M', i % kSmallFilesPerFolder),
                         random.Between(1 * kKiB, 4 * kKiB)});
    }
    return files;
}

}  // namespace vocell::bench
