#include "platform/DriveMap.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <stdexcept>
#include <utility>

namespace vocell {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsDrive(const std::string& component) {
    return component.size() == 2 && component[1] == ':' && LowerAscii(component[0]) >= 'a' &&
           LowerAscii(component[0]) <= 'z';
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

// Splits an absolute drive path into its components: repeated separators count as one and
// "." components are dropped.
FsResult<std::vector<std::string>> SplitDrivePath(const std::string& path) {
    if (path.find('\0') != std::string::npos) {
        return FsStatus::Failure(FsError::PathNotFound, EINVAL);
    }
    if (path.empty() || IsSeparator(path.front())) {
        return FsStatus::Failure(FsError::PathNotFound, ENOENT);
    }
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        std::string component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == ".") {
            continue;
        }
        if (component == "..") {
            return FsStatus::Failure(FsError::AccessDenied, EACCES);
        }
        components.push_back(std::move(component));
    }
    if (components.empty() || !IsDrive(components.front())) {
        return FsStatus::Failure(FsError::PathNotFound, ENOENT);
    }
    return components;
}

}  // namespace

void DriveMap::AddMount(const std::string& prefix, std::filesystem::path directory, MountReach reach) {
    auto split = SplitDrivePath(prefix);
    if (!split.ok()) {
        throw std::invalid_argument("not a drive path: " + prefix);
    }
    std::vector<std::string> lowered = std::move(split.value());
    for (auto& component : lowered) {
        std::transform(component.begin(), component.end(), component.begin(), LowerAscii);
    }
    auto same =
        std::find_if(mounts_.begin(), mounts_.end(), [&](const Mount& m) { return m.prefix == lowered; });
    if (same != mounts_.end()) {
        same->directory = std::move(directory);
        same->reach = reach;
    } else {
        mounts_.push_back({std::move(lowered), std::move(directory), reach});
    }
}

FsResult<ResolvedPath> DriveMap::Resolve(const std::string& windowsPath) const {
    auto split = SplitDrivePath(windowsPath);
    if (!split.ok()) {
        return split.status();
    }
    const std::vector<std::string>& components = split.value();

    const Mount* best = nullptr;
    for (const Mount& m : mounts_) {
        if (m.prefix.size() > components.size() ||
            (best != nullptr && m.prefix.size() <= best->prefix.size())) {
            continue;
        }
        if (std::equal(m.prefix.begin(), m.prefix.end(), components.begin(), EqualIgnoringCase)) {
            best = &m;
        }
    }
    if (best == nullptr) {
        return FsStatus::Failure(FsError::PathNotFound, ENOENT);
    }
    const auto below = static_cast<std::ptrdiff_t>(best->prefix.size());
    return ResolvedPath{best->directory,
                        std::vector<std::string>(components.begin() + below, components.end()), best->reach};
}

}  // namespace vocell
