// The Windows side: the card's paths are rewritten onto the drives' folders and handed to the
// Win32 file system, which works there as it works on a card.

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Paths.h"
#include "tests/support/FolderDrives.h"

namespace vocell::test {
namespace {

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

class FolderDrivesFileSystem final : public FileSystem {
public:
    explicit FolderDrivesFileSystem(
        const std::vector<std::pair<std::string, std::filesystem::path>>& mounts) {
        for (const auto& [prefix, folder] : mounts) {
            mounts_.push_back({Upper(win32::ToNativePath(prefix + "\\").value().text), folder.string()});
        }
    }

    FsResult<std::vector<FolderEntry>> ListFolder(const std::string& folder) override {
        return With(folder, [&](const std::string& at) { return inner_.ListFolder(at); });
    }
    FsResult<std::uint32_t> Attributes(const std::string& path) override {
        return With(path, [&](const std::string& at) { return inner_.Attributes(at); });
    }
    FsStatus SetAttributes(const std::string& path, std::uint32_t attributes) override {
        return With(path, [&](const std::string& at) { return inner_.SetAttributes(at, attributes); });
    }
    FsResult<std::unique_ptr<FileReader>> OpenRead(const std::string& path) override {
        return With(path, [&](const std::string& at) { return inner_.OpenRead(at); });
    }
    FsResult<std::unique_ptr<FileReader>> OpenReadFromMedium(const std::string& path) override {
        return With(path, [&](const std::string& at) { return inner_.OpenReadFromMedium(at); });
    }
    FsResult<std::unique_ptr<FileWriter>> OpenWrite(const std::string& path) override {
        return With(path, [&](const std::string& at) { return inner_.OpenWrite(at); });
    }
    FsResult<std::unique_ptr<FileWriter>> CreateNew(const std::string& path) override {
        return With(path, [&](const std::string& at) { return inner_.CreateNew(at); });
    }
    FsStatus CreateFolder(const std::string& path) override {
        return With(path, [&](const std::string& at) { return inner_.CreateFolder(at); });
    }
    FsResult<FileTimes> Times(const std::string& path) override {
        return With(path, [&](const std::string& at) { return inner_.Times(at); });
    }
    FsStatus SetTimes(const std::string& path, const FileTimes& times) override {
        return With(path, [&](const std::string& at) { return inner_.SetTimes(at, times); });
    }
    FsStatus DeleteTree(const std::string& path) override {
        return WithBelowRoot(path, [&](const std::string& at) { return inner_.DeleteTree(at); });
    }
    FsResult<std::uint64_t> FileSize(const std::string& path) override {
        return With(path, [&](const std::string& at) { return inner_.FileSize(at); });
    }
    FsStatus Rename(const std::string& from, const std::string& to) override {
        return WithBelowRoot(from, [&](const std::string& source) {
            return WithBelowRoot(to,
                                 [&](const std::string& target) { return inner_.Rename(source, target); });
        });
    }
    FsStatus RemoveFile(const std::string& path) override {
        return WithBelowRoot(path, [&](const std::string& at) { return inner_.RemoveFile(at); });
    }
    FsStatus FlushVolume(const std::string& path) override {
        return With(path, [&](const std::string& at) { return inner_.FlushVolume(at); });
    }
    FsStatus FlushFolder(const std::string& folder) override {
        return With(folder, [&](const std::string& at) { return inner_.FlushFolder(at); });
    }
    FsResult<std::uint64_t> FreeSpace(const std::string& path) override {
        return With(path, [&](const std::string& at) { return inner_.FreeSpace(at); });
    }
    FsResult<std::uint64_t> AllocationUnit(const std::string& path) override {
        return With(path, [&](const std::string& at) { return inner_.AllocationUnit(at); });
    }
    bool MergesNameVariants(const std::string& path) override {
        auto merges =
            With(path, [&](const std::string& at) { return FsResult<bool>(inner_.MergesNameVariants(at)); });
        return merges.ok() && merges.value();
    }
    FsResult<bool> LiesWithin(const std::string& path, const std::string& folder) override {
        return With(folder, [&](const std::string& outer) {
            return With(path, [&](const std::string& inner) { return inner_.LiesWithin(inner, outer); });
        });
    }
    std::string DescribeError(const FsStatus& status) const override { return inner_.DescribeError(status); }

private:
    struct Mount {
        std::string prefix;  // "E:\" or "C:\HARLO\VOCELL", upper case
        std::string folder;
    };
    struct Mapped {
        std::string path;
        bool mountRoot = false;
    };

    // The folder path of a card path: the longest prefix it lies below, compared without regard
    // to case, with the path's own components after it.
    FsResult<Mapped> Map(const std::string& path) const {
        auto native = win32::ToNativePath(path);
        if (!native.ok()) return native.status();
        const std::string text = native.value().text;
        const std::string upper = Upper(text);
        const Mount* best = nullptr;
        for (const Mount& mount : mounts_) {
            const bool below = upper == mount.prefix ||
                               (upper.starts_with(mount.prefix) &&
                                (mount.prefix.back() == '\\' || upper[mount.prefix.size()] == '\\'));
            if (below && (best == nullptr || mount.prefix.size() > best->prefix.size())) best = &mount;
        }
        if (best == nullptr) return FsStatus::Failure(FsError::PathNotFound, ERROR_PATH_NOT_FOUND);
        if (::GetFileAttributesA(best->folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
            return FsStatus::Failure(FsError::NotReady, ERROR_NOT_READY);
        }
        std::string rest = text.substr(std::min(best->prefix.size(), text.size()));
        if (!rest.empty() && rest.front() == '\\') rest.erase(0, 1);
        return Mapped{rest.empty() ? best->folder : best->folder + "\\" + rest, rest.empty()};
    }

    template <class Call>
    auto With(const std::string& path, Call call) const -> decltype(call(std::string())) {
        auto mapped = Map(path);
        if (!mapped.ok()) return mapped.status();
        return call(mapped.value().path);
    }
    // A drive as a whole is never deleted or moved.
    template <class Call>
    FsStatus WithBelowRoot(const std::string& path, Call call) const {
        auto mapped = Map(path);
        if (!mapped.ok()) return mapped.status();
        if (mapped.value().mountRoot) return FsStatus::Failure(FsError::AccessDenied, ERROR_ACCESS_DENIED);
        return call(mapped.value().path);
    }

    std::vector<Mount> mounts_;
    mutable win32::Win32FileSystem inner_;
};

}  // namespace

std::unique_ptr<FileSystem> FolderDrives::OpenFileSystem() const {
    return std::make_unique<FolderDrivesFileSystem>(mounts_);
}

}  // namespace vocell::test
