#include "platform/win32/Win32Paths.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace vocell::win32 {
namespace {

constexpr std::string_view kForbiddenCharacters = "<>:\"|?*";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Windows drops a name's trailing dots and spaces, so that "B.WAV." would reach "B.WAV": such a
// name is refused instead.
bool IsAcceptableName(std::string_view name) {
    if (name == "." || name == ".." || name.back() == '.' || name.back() == ' ') return false;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || kForbiddenCharacters.find(c) != std::string_view::npos) {
            return false;
        }
    }
    return !IsDeviceName(name);
}

FsStatus Refused(DWORD code) { return FsStatus::Failure(FsError::PathNotFound, static_cast<int>(code)); }

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

}  // namespace

bool IsDeviceName(std::string_view name) {
    std::string base = Upper(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    constexpr std::array<std::string_view, 6> kPlain = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (std::find(kPlain.begin(), kPlain.end(), base) != kPlain.end()) return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '1' &&
           base[3] <= '9';
}

std::vector<std::string> NativePath::folders() const {
    std::vector<std::string> result;
    std::string folder = driveRoot();
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        if (i > 0) folder += '\\';
        folder += names[i];
        result.push_back(folder);
    }
    return result;
}

FsResult<NativePath> ToNativePath(const std::string& path) {
    if (path.size() < 3 || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':' ||
        !IsSeparator(path[2])) {
        return Refused(ERROR_BAD_PATHNAME);
    }
    NativePath native;
    native.text = path.substr(0, 2) + "\\";
    std::size_t start = 3;
    while (start < path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        if (end > start) {
            std::string name = path.substr(start, end - start);
            if (!IsAcceptableName(name)) return Refused(ERROR_INVALID_NAME);
            if (!native.names.empty()) native.text += '\\';
            native.text += name;
            native.names.push_back(std::move(name));
        }
        start = end + 1;
    }
    return native;
}

}  // namespace vocell::win32
