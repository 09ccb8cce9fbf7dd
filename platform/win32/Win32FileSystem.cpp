#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include "platform/win32/TreeRemoval.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Errors.h"
#include "platform/win32/Win32FileTime.h"
#include "platform/win32/Win32Files.h"

namespace vocell::win32 {
namespace {

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
// A drive root is the drive itself, even where it is reported as a mount point.
bool IsLink(const NativePath& path, DWORD attributes) { return IsLink(attributes) && !path.isDriveRoot(); }
bool IsFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// Pushes what the handle holds to the medium: true when done, false when the system cannot flush
// this kind of handle (so that nothing more can be pushed through it).
FsResult<bool> FlushHandle(const FileHandle& handle) {
    if (::FlushFileBuffers(handle.get())) return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_INVALID_FUNCTION || error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_HANDLE ||
        error == ERROR_NOT_SUPPORTED) {
        return false;
    }
    return StatusFromWin32(error);
}

FsStatus RefusedLink() { return FsStatus::Failure(FsError::AccessDenied, ERROR_ACCESS_DENIED); }
FsStatus RefusedOnDriveRoot() { return FsStatus::Failure(FsError::AccessDenied, ERROR_ACCESS_DENIED); }

FsResult<WIN32_FILE_ATTRIBUTE_DATA> EntryData(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return LastErrorStatus();
    return data;
}

FsResult<BY_HANDLE_FILE_INFORMATION> InformationOf(const FileHandle& file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info)) return LastErrorStatus();
    return info;
}

// Fails for a link or junction, which an open with FILE_FLAG_OPEN_REPARSE_POINT did not follow.
FsStatus RefuseOpenedLink(const FileHandle& file) {
    auto info = InformationOf(file);
    if (!info.ok()) return info.status();
    return IsLink(info.value().dwFileAttributes) ? RefusedLink() : FsStatus{};
}

// What makes a file or folder itself, whatever name it is reached by.
struct Identity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const Identity&) const = default;
};

FsResult<Identity> IdentityOf(const std::string& path) {
    FileHandle entry(::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!entry.valid()) return LastErrorStatus();
    auto info = InformationOf(entry);
    if (!info.ok()) return info.status();
    return Identity{info.value().dwVolumeSerialNumber, info.value().nFileIndexHigh,
                    info.value().nFileIndexLow};
}

bool StartsWithFolder(const std::string& path, const std::string& folder) {
    return path == folder || (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
                              path[folder.size()] == '\\');
}

}  // namespace

FsResult<NativePath> Win32FileSystem::Reach(const std::string& path) {
    auto native = ToNativePath(path);
    if (!native.ok()) return native;
    const std::vector<std::string> folders = native.value().folders();
    if (folders.empty() || StartsWithFolder(reachedFolder_, folders.back())) return native;
    for (const std::string& folder : folders) {
        if (StartsWithFolder(reachedFolder_, folder)) continue;
        const DWORD attributes = ::GetFileAttributesA(folder.c_str());
        // A folder missing on the way is the operation's own failure to report.
        if (attributes == INVALID_FILE_ATTRIBUTES) return native;
        if (IsLink(attributes)) return RefusedLink();
    }
    reachedFolder_ = folders.back();
    return native;
}

FsResult<std::vector<FolderEntry>> Win32FileSystem::ListFolder(const std::string& folder) {
    auto native = Reach(folder);
    if (!native.ok()) return native.status();
    const std::string& text = native.value().text;
    const DWORD attributes = ::GetFileAttributesA(text.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastErrorStatus();
    if (IsLink(native.value(), attributes)) return RefusedLink();
    if (!IsFolder(attributes)) return FsStatus::Failure(FsError::PathNotFound, ERROR_DIRECTORY);

    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAA found{};
    const std::string pattern = text + (native.value().isDriveRoot() ? "*" : "\\*");
    FindHandle listing(::FindFirstFileA(pattern.c_str(), &found));
    if (!listing.valid()) {
        // An empty drive root has no "." entry, so nothing matches at all.
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) return entries;
        return LastErrorStatus();
    }
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        // A link is listed without attributes, so that it is neither entered nor read as a file.
        const bool link = IsLink(found.dwFileAttributes);
        const std::uint64_t size = link || IsFolder(found.dwFileAttributes)
                                       ? 0
                                       : (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
        entries.push_back({std::move(name), link ? 0u : found.dwFileAttributes, size});
    } while (::FindNextFileA(listing.get(), &found));
    if (::GetLastError() != ERROR_NO_MORE_FILES) return LastErrorStatus();
    return entries;
}

FsResult<std::uint32_t> Win32FileSystem::Attributes(const std::string& path) {
    auto native = Reach(path);
    if (!native.ok()) return native.status();
    const DWORD attributes = ::GetFileAttributesA(native.value().text.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastErrorStatus();
    return IsLink(native.value(), attributes) ? 0u : std::uint32_t{attributes};
}

FsStatus Win32FileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
    auto native = Reach(path);
    if (!native.ok()) return native.status();
    const std::string& text = native.value().text;
    const DWORD current = ::GetFileAttributesA(text.c_str());
    if (current == INVALID_FILE_ATTRIBUTES) return LastErrorStatus();
    if (IsLink(native.value(), current)) return RefusedLink();
    // Whether an entry is a folder is not an attribute one can change; no bit left means normal.
    if (!::SetFileAttributesA(text.c_str(), SettableAttributes(attributes))) {
        return LastErrorStatus();
    }
    return {};
}

FsResult<std::unique_ptr<FileReader>> Win32FileSystem::OpenRead(const std::string& path) {
    auto native = Reach(path);
    if (!native.ok()) return native.status();
    // Others may read it meanwhile, but not change it.
    FileHandle file(::CreateFileA(native.value().text.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
    if (!file.valid()) return LastErrorStatus();
    if (FsStatus link = RefuseOpenedLink(file); !link.ok()) return link;
    std::unique_ptr<FileReader> reader = std::make_unique<Win32FileReader>(std::move(file));
    return reader;
}

FsResult<std::unique_ptr<FileReader>> Win32FileSystem::OpenReadFromMedium(const std::string& path) {
    auto native = Reach(path);
    if (!native.ok()) return native.status();
    constexpr DWORD kFlags = FILE_FLAG_NO_BUFFERING | FILE_FLAG_OPEN_REPARSE_POINT;
    // With the right to change its times, reading through the handle can be kept from changing the
    // access time a restore has just given the file.
    FileHandle file(::CreateFileA(native.value().text.c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, kFlags, nullptr));
    if (file.valid()) {
        FILETIME unchanged{0xFFFFFFFF, 0xFFFFFFFF};
        static_cast<void>(::SetFileTime(file.get(), nullptr, &unchanged, nullptr));
    } else {
        file = FileHandle(::CreateFileA(native.value().text.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, kFlags, nullptr));
    }
    if (!file.valid()) return LastErrorStatus();
    if (FsStatus link = RefuseOpenedLink(file); !link.ok()) return link;
    std::unique_ptr<FileReader> reader = Win32FileReader::Unbuffered(std::move(file));
    if (!reader) return FsStatus::Failure(FsError::Other, ERROR_NOT_ENOUGH_MEMORY);
    return reader;
}

FsResult<std::unique_ptr<FileWriter>> Win32FileSystem::OpenWrite(const std::string& path) {
    auto native = Reach(path);
    if (!native.ok()) return native.status();
    const std::string& text = native.value().text;
    // OPEN_ALWAYS and then cutting the file: CREATE_ALWAYS refuses an existing hidden or
    // system file.
    FileHandle file(::CreateFileA(text.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) return LastErrorStatus();
    auto info = InformationOf(file);
    if (!info.ok()) return info.status();
    if (IsLink(info.value().dwFileAttributes)) return RefusedLink();
    if (info.value().nNumberOfLinks > 1) {
        // A file with other names is replaced, never written through: the other names keep it.
        file.Reset();
        if (!::DeleteFileA(text.c_str())) return LastErrorStatus();
        return CreateNew(path);
    }
    if (!::SetEndOfFile(file.get())) return LastErrorStatus();
    std::unique_ptr<FileWriter> writer = std::make_unique<Win32FileWriter>(std::move(file));
    return writer;
}

FsResult<std::unique_ptr<FileWriter>> Win32FileSystem::CreateNew(const std::string& path) {
    auto native = Reach(path);
    if (!native.ok()) return native.status();
    FileHandle file(::CreateFileA(native.value().text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) return LastErrorStatus();
    std::unique_ptr<FileWriter> writer = std::make_unique<Win32FileWriter>(std::move(file));
    return writer;
}

FsStatus Win32FileSystem::CreateFolder(const std::string& path) {
    auto native = Reach(path);
    if (!native.ok()) return native.status();
    const std::string& text = native.value().text;
    if (!native.value().isDriveRoot() && ::CreateDirectoryA(text.c_str(), nullptr)) return {};
    const DWORD error = native.value().isDriveRoot() ? ERROR_ALREADY_EXISTS : ::GetLastError();
    if (error != ERROR_ALREADY_EXISTS) return StatusFromWin32(error);
    const DWORD existing = ::GetFileAttributesA(text.c_str());
    if (existing == INVALID_FILE_ATTRIBUTES) return LastErrorStatus();
    if (IsFolder(existing) && !IsLink(native.value(), existing)) return {};
    // A file or a link of that name is in the way: this entry fails, not the medium.
    return FsStatus::Failure(FsError::AccessDenied, ERROR_ALREADY_EXISTS);
}

FsResult<FileTimes> Win32FileSystem::Times(const std::string& path) {
    auto native = Reach(path);
    if (!native.ok()) return native.status();
    auto data = EntryData(native.value().text);
    if (!data.ok()) return data.status();
    return FileTimes{TicksOf(data.value().ftCreationTime), TicksOf(data.value().ftLastAccessTime),
                     TicksOf(data.value().ftLastWriteTime)};
}

FsStatus Win32FileSystem::SetTimes(const std::string& path, const FileTimes& times) {
    auto native = Reach(path);
    if (!native.ok()) return native.status();
    // Backup semantics open folders too; a link gets its own times, never its target's.
    FileHandle entry(::CreateFileA(native.value().text.c_str(), FILE_WRITE_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                   nullptr));
    if (!entry.valid()) return LastErrorStatus();
    return SetHandleTimes(entry.get(), times);
}

FsStatus Win32FileSystem::DeleteTree(const std::string& path) {
    auto native = Reach(path);
    ForgetReachedFolder();
    if (!native.ok()) return native.status();
    if (native.value().isDriveRoot()) return RefusedOnDriveRoot();
    return RemoveTree(native.value().text);
}

FsResult<std::uint64_t> Win32FileSystem::FileSize(const std::string& path) {
    auto native = Reach(path);
    if (!native.ok()) return native.status();
    auto data = EntryData(native.value().text);
    if (!data.ok()) return data.status();
    const WIN32_FILE_ATTRIBUTE_DATA& entry = data.value();
    if (IsLink(native.value(), entry.dwFileAttributes)) return RefusedLink();
    if (IsFolder(entry.dwFileAttributes)) return std::uint64_t{0};
    return (std::uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow;
}

FsStatus Win32FileSystem::Rename(const std::string& from, const std::string& to) {
    auto source = Reach(from);
    auto target = Reach(to);
    ForgetReachedFolder();
    if (!source.ok()) return source.status();
    if (!target.ok()) return target.status();
    if (source.value().isDriveRoot() || target.value().isDriveRoot()) return RefusedOnDriveRoot();
    const std::string& replaced = target.value().text;
    // A read-only file is replaced like any other; the system refuses to move onto it.
    const DWORD existing = ::GetFileAttributesA(replaced.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && !IsFolder(existing) &&
        (existing & FILE_ATTRIBUTE_READONLY) != 0 &&
        !::SetFileAttributesA(replaced.c_str(), existing & ~DWORD{FILE_ATTRIBUTE_READONLY})) {
        return LastErrorStatus();
    }
    if (!::MoveFileExA(source.value().text.c_str(), replaced.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return LastErrorStatus();
    }
    return {};
}

FsStatus Win32FileSystem::RemoveFile(const std::string& path) {
    auto native = Reach(path);
    ForgetReachedFolder();
    if (!native.ok()) return native.status();
    if (native.value().isDriveRoot()) return RefusedOnDriveRoot();
    if (!::DeleteFileA(native.value().text.c_str())) return LastErrorStatus();
    return {};
}

FsStatus Win32FileSystem::FlushVolume(const std::string& path) {
    auto native = ToNativePath(path);
    if (!native.ok()) return native.status();
    if (::GetFileAttributesA(native.value().driveRoot().c_str()) == INVALID_FILE_ATTRIBUTES) {
        return LastErrorStatus();
    }
    // The volume itself takes an administrator; anyone may push the root folder's own entries.
    const std::string volume = "\\\\.\\" + native.value().driveRoot().substr(0, 2);
    FileHandle device(::CreateFileA(volume.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (device.valid()) {
        auto flushed = FlushHandle(device);
        if (!flushed.ok()) return flushed.status();
        if (flushed.value()) return {};
    }
    return FlushFolder(native.value().driveRoot());
}

FsStatus Win32FileSystem::FlushFolder(const std::string& folder) {
    auto native = ToNativePath(folder);
    if (!native.ok()) return native.status();
    if (::GetFileAttributesA(native.value().text.c_str()) == INVALID_FILE_ATTRIBUTES)
        return LastErrorStatus();
    FileHandle opened(::CreateFileA(native.value().text.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    // A folder that cannot be opened for writing, or a file system that cannot push one folder,
    // has nothing more to push through it: the entries are written through as they change.
    if (!opened.valid()) return {};
    auto flushed = FlushHandle(opened);
    return flushed.ok() ? FsStatus{} : flushed.status();
}

FsResult<std::uint64_t> Win32FileSystem::FreeSpace(const std::string& path) {
    auto native = ToNativePath(path);
    if (!native.ok()) return native.status();
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExA(native.value().driveRoot().c_str(), &available, nullptr, nullptr)) {
        return LastErrorStatus();
    }
    return std::uint64_t{available.QuadPart};
}

FsResult<std::uint64_t> Win32FileSystem::AllocationUnit(const std::string& path) {
    auto native = ToNativePath(path);
    if (!native.ok()) return native.status();
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!::GetDiskFreeSpaceA(native.value().driveRoot().c_str(), &sectorsPerCluster, &bytesPerSector,
                             &freeClusters, &totalClusters)) {
        return LastErrorStatus();
    }
    return std::uint64_t{sectorsPerCluster} * bytesPerSector;
}

bool Win32FileSystem::MergesNameVariants(const std::string& /*path*/) { return true; }

FsResult<bool> Win32FileSystem::LiesWithin(const std::string& path, const std::string& folder) {
    auto outerPath = ToNativePath(folder);
    if (!outerPath.ok()) return outerPath.status();
    auto outer = IdentityOf(outerPath.value().text);
    if (!outer.ok()) return outer.status();
    auto inner = ToNativePath(path);
    if (!inner.ok()) return inner.status();
    // The entry itself, which need not exist yet, then every folder on its way up to the root.
    auto entry = IdentityOf(inner.value().text);
    if (entry.ok() && entry.value() == outer.value()) return true;
    if (!entry.ok() && entry.status().error != FsError::NotFound) return entry.status();
    if (inner.value().isDriveRoot()) return false;
    std::vector<std::string> folders = inner.value().folders();
    folders.insert(folders.begin(), inner.value().driveRoot());
    for (const std::string& folderOnTheWay : folders) {
        auto identity = IdentityOf(folderOnTheWay);
        if (!identity.ok()) return identity.status();
        if (identity.value() == outer.value()) return true;
    }
    return false;
}

std::string Win32FileSystem::DescribeError(const FsStatus& status) const {
    if (status.nativeCode == 0) return FsErrorName(status.error);
    return SystemMessage(static_cast<std::uint32_t>(status.nativeCode));
}

}  // namespace vocell::win32
