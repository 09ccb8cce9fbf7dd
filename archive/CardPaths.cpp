#include "archive/CardPaths.h"

#include <algorithm>
#include <cctype>

namespace vocell::archive {

std::string MapToCard(const std::string& storedPath, const std::string& cardRoot) {
    const std::string_view root = std::string_view(cardRoot).substr(0, kDriveRootLength);
    if (storedPath.size() < kDriveRootLength || storedPath.compare(0, kDriveRootLength, root) == 0) {
        return storedPath;
    }
    return std::string(root) + storedPath.substr(kDriveRootLength);
}

bool LeavesCard(std::string_view path) {
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = path.size();
        if (path.substr(start, end - start) == "..") return true;
        start = end + 1;
    }
    return false;
}

bool IsInterruptedRestoreMarker(std::string_view mappedPath, const std::string& cardRoot) {
    if (!mappedPath.starts_with(cardRoot)) return false;
    const std::string_view name = mappedPath.substr(cardRoot.size());
    return std::equal(name.begin(), name.end(), kInterruptedRestoreMarker.begin(),
                      kInterruptedRestoreMarker.end(),
                      [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}

bool IsInPromptTree(std::string_view mappedPath, const std::string& cardRoot) {
    const std::string prefix = cardRoot + std::string(kStoredPromptTree);
    return mappedPath.substr(0, prefix.size()) == prefix && mappedPath.size() >= prefix.size();
}

}  // namespace vocell::archive
