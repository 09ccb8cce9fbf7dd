#include "archive/NameClashes.h"

#include <algorithm>
#include <cctype>

#include "archive/CardPaths.h"

namespace vocell::archive {
namespace {

constexpr std::uint64_t kFnvOffset = 14'695'981'039'346'656'037u;
constexpr std::uint64_t kFnvPrime = 1'099'511'628'211u;
constexpr std::uint64_t kSeparatorMark = 0x5c;
constexpr std::uint64_t kFolder = 1;
constexpr std::uint64_t kInUse = 2;
constexpr std::uint64_t kMarks = kFolder | kInUse;
constexpr std::size_t kFirstSlots = 64;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Folded(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

}  // namespace

bool NameClashes::Claim(std::string_view cardPath, bool folder) {
    std::uint64_t hash = kFnvOffset;
    auto mix = [&hash](std::uint64_t value) { hash = (hash ^ value) * kFnvPrime; };
    std::size_t start = 0;
    while (start < cardPath.size()) {
        std::size_t end = start;
        while (end < cardPath.size() && !IsSeparator(cardPath[end])) ++end;
        std::string_view name = cardPath.substr(start, end - start);
        if (mergesNameVariants_) {
            while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
        }
        if (!name.empty()) {
            for (const char c : name) mix(static_cast<unsigned char>(mergesNameVariants_ ? Folded(c) : c));
            mix(kSeparatorMark);
        }
        start = end + 1;
    }
    if (2 * (used_ + 1) > slots_.size()) Grow();
    const std::uint64_t key = (hash & ~kMarks) | kInUse;
    for (std::size_t at = SlotOf(key);; at = (at + 1) % slots_.size()) {
        std::uint64_t& slot = slots_[at];
        if (slot == 0) {
            slot = key | (folder ? kFolder : 0);
            ++used_;
            return true;
        }
        if ((slot & ~kFolder) == key) return folder && (slot & kFolder) != 0;
    }
}

std::size_t NameClashes::SlotOf(std::uint64_t key) const {
    return static_cast<std::size_t>((key & ~kMarks) % slots_.size());
}

void NameClashes::Grow() {
    std::vector<std::uint64_t> old(std::max<std::size_t>(kFirstSlots, 2 * slots_.size()), 0);
    old.swap(slots_);
    for (const std::uint64_t slot : old) {
        if (slot == 0) continue;
        std::size_t at = SlotOf(slot);
        while (slots_[at] != 0) at = (at + 1) % slots_.size();
        slots_[at] = slot;
    }
}

bool IsUnfinishedFileName(std::string_view cardPath) {
    if (cardPath.size() < kNewFileSuffix.size()) return false;
    const std::string_view ending = cardPath.substr(cardPath.size() - kNewFileSuffix.size());
    return std::equal(ending.begin(), ending.end(), kNewFileSuffix.begin(), kNewFileSuffix.end(),
                      [](char a, char b) { return Folded(a) == Folded(b); });
}

}  // namespace vocell::archive
