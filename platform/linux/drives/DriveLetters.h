#pragma once
// Drive letters for the removable volumes, the way Wine's dosdevices hand them out: a volume
// seen for the first time gets the first free letter from D on, and keeps it for as long as it
// stays. C: (the installation) and Z: (the host's file system) are never handed out.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vocell::linux_drives {

inline constexpr char kFirstRemovableLetter = 'D';
inline constexpr char kLastRemovableLetter = 'Y';

class DriveLetters {
public:
    // The volumes present now, by their keys: the ones gone lose their letters, new ones get the
    // first free letters in the order given. Volumes past the last free letter get none.
    void Update(const std::vector<std::string>& keys);
    [[nodiscard]] std::optional<char> LetterOf(const std::string& key) const;
    // The key that holds letter, if any.
    [[nodiscard]] std::optional<std::string> KeyOf(char letter) const;

private:
    std::map<char, std::string> keys_;  // by letter
};

}  // namespace vocell::linux_drives
