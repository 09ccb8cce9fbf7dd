#include "archive/NameClashes.h"

#include <algorithm>
#include <cctype>

#include "archive/CardPaths.h"

namespace vocell::archive {
namespace {

constexpr std::uint64_t kFnvOffset = 14'695'981'039'346'656'037u;
constexpr std::uint64_t kFnvPrime = 1'099'511'628'211u;
constexpr std::uint64_t kSeparatorMark = 0x5c;

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
    auto [at, added] = claimed_.emplace(hash, folder);
    return added || (folder && at->second);
}

bool IsUnfinishedFileName(std::string_view cardPath) {
    if (cardPath.size() < kNewFileSuffix.size()) return false;
    const std::string_view ending = cardPath.substr(cardPath.size() - kNewFileSuffix.size());
    return std::equal(ending.begin(), ending.end(), kNewFileSuffix.begin(), kNewFileSuffix.end(),
                      [](char a, char b) { return Folded(a) == Folded(b); });
}

}  // namespace vocell::archive
