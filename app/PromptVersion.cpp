#include "app/PromptVersion.h"

namespace vocell {

std::string FormatVersion(std::string_view firstLine) {
    // The line is a C string: it ends at its first zero byte.
    const std::string_view t = firstLine.substr(0, firstLine.find('\0'));
    std::string shown;
    if (t.size() >= 2 && t[0] == '0') {
        shown.push_back(t[1]);
        shown.push_back('.');
        shown.append(t.substr(2));
    } else if (!t.empty() && t[0] != '0') {
        // Two characters, a point and two more, as far as the text reaches.
        shown.append(t.substr(0, 2));
        if (t.size() >= 2) {
            shown.push_back('.');
            shown.append(t.substr(2, 2));
        }
    }
    return shown;
}

std::string ReadVersionLine(FileReader& file) {
    std::string line;
    char c = 0;
    while (line.size() < kVersionLineLimit) {
        auto read = file.Read(std::as_writable_bytes(std::span<char>(&c, 1)));
        if (!read.ok() || read.value() == 0 || c == '\n') break;
        line += c;
    }
    return line;
}

std::optional<std::string> ReadCardPromptVersion(FileSystem& fileSystem, const std::string& cardRoot) {
    if (cardRoot.empty()) return std::nullopt;
    auto file = fileSystem.OpenRead(cardRoot + std::string(kSlot0VersionFile));
    if (!file.ok()) return std::nullopt;
    return FormatVersion(ReadVersionLine(*file.value()));
}

}  // namespace vocell
