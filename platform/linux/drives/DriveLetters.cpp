#include "platform/linux/drives/DriveLetters.h"

#include <algorithm>

namespace vocell::linux_drives {

void DriveLetters::Update(const std::vector<std::string>& keys) {
    std::erase_if(keys_, [&](const auto& held) {
        return std::find(keys.begin(), keys.end(), held.second) == keys.end();
    });
    for (const std::string& key : keys) {
        if (LetterOf(key)) continue;
        for (char letter = kFirstRemovableLetter; letter <= kLastRemovableLetter; ++letter) {
            if (!keys_.contains(letter)) {
                keys_[letter] = key;
                break;
            }
        }
    }
}

std::optional<char> DriveLetters::LetterOf(const std::string& key) const {
    for (const auto& [letter, held] : keys_) {
        if (held == key) return letter;
    }
    return std::nullopt;
}

std::optional<std::string> DriveLetters::KeyOf(char letter) const {
    auto found = keys_.find(letter);
    if (found == keys_.end()) return std::nullopt;
    return found->second;
}

}  // namespace vocell::linux_drives
