#include "platform/linux/files/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <span>
#include <utility>

#include "platform/linux/files/EntryMetadata.h"
#include "platform/linux/files/ErrnoMapping.h"
#include "platform/linux/files/FolderReader.h"
#include "platform/linux/files/FolderWalk.h"
#include "platform/linux/files/MountCrossing.h"
#include "platform/linux/files/NewFileMode.h"
#include "platform/linux/files/PosixFiles.h"
#include "platform/linux/files/TreeRemoval.h"

namespace vocell::posix {
namespace {

constexpr int kNoFollow = O_NOFOLLOW | O_CLOEXEC;

FsStatus RefusedOnMountRoot() { return FsStatus::Failure(FsError::AccessDenied, EACCES); }

std::string FolderKey(const ResolvedPath& resolved, std::size_t depth) {
    std::string key = resolved.directory.native();
    key.push_back('\0');
    for (std::size_t i = 0; i < depth; ++i) {
        key += resolved.components[i];
        key.push_back('/');
    }
    return key;
}

bool SameEntry(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the entry name in folderFd is the folder outer or lies below it: the entry and then
// each folder up to the root of the host are compared with outer by their identity.
FsResult<bool> IsWithinFolder(int folderFd, const std::string& name, const struct stat& outer) {
    struct stat entry {};
    if (::fstatat(folderFd, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) == 0 && SameEntry(entry, outer)) {
        return true;
    }
    UniqueFd current(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
    struct stat here {};
    while (current.valid() && ::fstat(current.get(), &here) == 0) {
        if (SameEntry(here, outer)) {
            return true;
        }
        UniqueFd parent(::openat(current.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
        struct stat above {};
        if (!parent.valid() || ::fstat(parent.get(), &above) != 0) {
            return LastErrorStatus();
        }
        if (SameEntry(above, here)) {
            return false;  // the root of the host
        }
        current = std::move(parent);
    }
    return LastErrorStatus();
}

FsResult<struct stat> StatEntry(int folderFd, const std::string& name) {
    struct stat info {};
    if (::fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return LastErrorStatus();
    }
    return info;
}

}  // namespace

int PosixFileSystem::Open(const Location& at, int flags, mode_t mode) {
    return OpenInFolder(at.folder->fd.get(), at.name.c_str(), flags, mode, at.folder->oneFileSystem);
}

FsStatus PosixFileSystem::RefuseOtherMount(const Location& at) {
    if (!at.folder->oneFileSystem || at.isMountRoot()) {
        return {};
    }
    return RefuseMountPoint(at.folder->fd.get(), at.name.c_str());
}

std::optional<mode_t> PosixFileSystem::Folder::NewFileMode() const {
    if (!newFileMode) {
        newFileMode = fat ? std::nullopt : posix::NewFileMode(fd.get(), ProcessUmask());
    }
    return *newFileMode;
}

PosixFileSystem::PosixFileSystem(DriveMap drives, std::chrono::milliseconds mountRecheck)
    : drives_(std::move(drives)), mountRecheck_(mountRecheck) {}

void PosixFileSystem::Remount(DriveMap drives) {
    ForgetCachedFolder();
    drives_ = std::move(drives);
    pace_ = std::make_shared<MediumPace>();  // another card, perhaps: nothing of it read yet
}

std::shared_ptr<const PosixFileSystem::Folder> PosixFileSystem::CachedFolder(const std::string& key) {
    return cachedFolder_ != nullptr && cachedKey_ == key ? cachedFolder_ : nullptr;
}

void PosixFileSystem::Remember(std::string key, std::shared_ptr<const Folder> folder) {
    cachedKey_ = std::move(key);
    cachedFolder_ = std::move(folder);
}

void PosixFileSystem::RememberText(const std::string& path, const std::filesystem::path& mount) {
    const std::size_t end = path.find_last_not_of("\\/");
    const std::size_t separator = end == std::string::npos ? end : path.find_last_of("\\/", end);
    cachedFolderText_ = separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
    cachedMount_ = mount;
    cachedMountSeen_ = std::chrono::steady_clock::now();
}

void PosixFileSystem::ForgetCachedFolder() {
    cachedKey_.clear();
    cachedFolder_.reset();
    cachedFolderText_.clear();
}

std::optional<PosixFileSystem::Location> PosixFileSystem::LocateInCachedFolder(const std::string& path) {
    const std::size_t end = path.find_last_not_of("\\/");
    if (end == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t separator = path.find_last_of("\\/", end);
    if (separator == std::string::npos) {
        return std::nullopt;
    }
    std::string name = path.substr(separator + 1, end - separator);
    if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos ||
        name.find(':') != std::string::npos) {
        return std::nullopt;
    }
    if (cachedFolder_ == nullptr || path.compare(0, separator + 1, cachedFolderText_) != 0 ||
        cachedFolderText_.size() != separator + 1) {
        return std::nullopt;
    }
    // The parent's text matches, but with mounts nested in one another ("C:\\Harlo\\Vocell" and
    // "C:\\Harlo\\Vocell\\Backup") the path may still lie on another mount than the folder cached.
    if (auto resolved = drives_.Resolve(path);
        !resolved.ok() || resolved.value().directory != cachedMount_ || resolved.value().components.empty()) {
        return std::nullopt;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - cachedMountSeen_ >= mountRecheck_) {
        struct stat mount {};
        if (::stat(cachedMount_.c_str(), &mount) != 0 || mount.st_dev != cachedFolder_->mountDevice ||
            mount.st_ino != cachedFolder_->mountInode) {
            return std::nullopt;
        }
        cachedMountSeen_ = now;
    }
    return Location{cachedFolder_, std::move(name)};
}

FsResult<PosixFileSystem::Location> PosixFileSystem::Locate(const std::string& path) {
    if (auto cached = LocateInCachedFolder(path)) {
        return std::move(*cached);
    }
    auto resolved = drives_.Resolve(path);
    if (!resolved.ok()) {
        return resolved.status();
    }
    const ResolvedPath& target = resolved.value();
    const std::size_t depth = target.components.empty() ? 0 : target.components.size() - 1;
    std::string name = target.components.empty() ? "." : target.components.back();

    std::string key = FolderKey(target, depth);
    struct stat mount {};
    if (::stat(target.directory.c_str(), &mount) != 0) {
        ForgetCachedFolder();
        return errno == ENOENT ? FsStatus::Failure(FsError::NotReady, ENOENT) : WalkStatusFromErrno(errno);
    }
    if (auto folder = CachedFolder(key);
        folder && folder->mountDevice == mount.st_dev && folder->mountInode == mount.st_ino) {
        RememberText(path, target.directory);
        return Location{std::move(folder), std::move(name)};
    }
    // A backup walks the card depth first: the next folder is most often one inside the last.
    const bool insideCached =
        depth > 0 && cachedFolder_ != nullptr && cachedFolder_->mountDevice == mount.st_dev &&
        cachedFolder_->mountInode == mount.st_ino && key == cachedKey_ + target.components[depth - 1] + '/';
    const bool oneFileSystem = target.reach == MountReach::OneFileSystem;
    auto walked =
        insideCached
            ? WalkIntoFolder(cachedFolder_->fd.get(), target.components[depth - 1], oneFileSystem)
            : WalkToFolder(target.directory, std::span(target.components).first(depth), oneFileSystem);
    if (!walked.ok()) {
        return walked.status();
    }
    const bool fat = IsFatFileSystem(walked.value().get());
    auto folder = std::make_shared<const Folder>(
        Folder{std::move(walked.value()), fat, oneFileSystem, mount.st_dev, mount.st_ino, key, std::nullopt});
    Remember(std::move(key), folder);
    RememberText(path, target.directory);
    return Location{std::move(folder), std::move(name)};
}

FsResult<std::vector<FolderEntry>> PosixFileSystem::ListFolder(const std::string& folder) {
    return List(folder, FileDetails::Attributes);
}

FsResult<std::vector<FolderEntry>> PosixFileSystem::ListFolderForReading(const std::string& folder) {
    return List(folder, FileDetails::None);
}

FsResult<std::vector<FolderEntry>> PosixFileSystem::ListFolderWithSizes(const std::string& folder) {
    return List(folder, FileDetails::Size);
}

FsResult<std::vector<FolderEntry>> PosixFileSystem::List(const std::string& folder, FileDetails details) {
    return With(Locate(folder), [&](const Location& at) -> FsResult<std::vector<FolderEntry>> {
        UniqueFd opened(Open(at, O_RDONLY | O_DIRECTORY | kNoFollow));
        if (!opened.valid()) {
            return FolderOpenFailure(at.folder->fd.get(), at.name, errno);
        }
        const bool fat = IsFatFileSystem(opened.get());
        auto reader = FolderReader::Open(std::move(opened));
        if (!reader.ok()) {
            return reader.status();
        }
        std::vector<FolderEntry> entries;
        FolderItem item;
        while (reader.value().Next(item)) {
            FolderEntry entry{std::string(item.name), 0};
            // A size costs one stat by name in the open folder (an entry the folder leaves
            // untyped is measured 0).
            if (item.type == DT_REG && details == FileDetails::Size) {
                struct stat info {};
                if (::fstatat(reader.value().fd(), entry.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
                    if (errno == ENOENT) {
                        continue;  // deleted since the folder was read
                    }
                    return StatusFromErrno(errno);
                }
                if (S_ISREG(info.st_mode)) {
                    entry.size = static_cast<std::uint64_t>(info.st_size);
                }
                entries.push_back(std::move(entry));
                continue;
            }
            // A file's word costs a stat here, and on FAT an open: a reader asks the open file.
            if (item.type != DT_LNK && (details == FileDetails::Attributes || item.type != DT_REG)) {
                auto attributes = EntryAttributes(reader.value().fd(), entry.name.c_str(), fat);
                if (!attributes.ok()) {
                    if (attributes.status().nativeCode == ENOENT) {
                        continue;  // deleted since the folder was read
                    }
                    return attributes.status();
                }
                entry.attributes = attributes.value();
            }
            entries.push_back(std::move(entry));
        }
        if (!reader.value().status().ok()) {
            return reader.value().status();
        }
        return entries;
    });
}

FsResult<std::uint32_t> PosixFileSystem::Attributes(const std::string& path) {
    return With(Locate(path), [&](const Location& at) -> FsResult<std::uint32_t> {
        return EntryAttributes(at.folder->fd.get(), at.name.c_str(), at.folder->fat);
    });
}

FsStatus PosixFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
    return With(Locate(path), [&](const Location& at) -> FsStatus {
        if (FsStatus crossing = RefuseOtherMount(at); !crossing.ok()) {
            return crossing;
        }
        return SetEntryAttributes(at.folder->fd.get(), at.name.c_str(), at.folder->fat, attributes);
    });
}

FsResult<std::unique_ptr<FileReader>> PosixFileSystem::OpenRead(const std::string& path) {
    return OpenReader(path, false);
}

FsResult<std::unique_ptr<FileReader>> PosixFileSystem::OpenReadFromMedium(const std::string& path) {
    return OpenReader(path, true);
}

FsResult<std::unique_ptr<FileReader>> PosixFileSystem::OpenReader(const std::string& path, bool fromMedium) {
    return With(Locate(path), [&](const Location& at) -> FsResult<std::unique_ptr<FileReader>> {
        // O_NONBLOCK keeps a FIFO from hanging the open; it is refused just below. A file read
        // back keeps the access time a restore has just given it, where the system lets it.
        const int flags = O_RDONLY | O_NONBLOCK | kNoFollow;
        UniqueFd fd(Open(at, fromMedium ? flags | O_NOATIME : flags));
        if (!fd.valid() && fromMedium && errno == EPERM) {
            fd.Reset(Open(at, flags));
        }
        if (!fd.valid()) {
            return LastErrorStatus();
        }
        auto info = ReadOpenFileInfo(fd.get());
        if (!info.ok()) {
            return info.status();
        }
        const mode_t mode = info.value().mode;
        if (!S_ISREG(mode)) {
            return StatusFromErrno(S_ISDIR(mode) ? EISDIR : EACCES);
        }
        std::shared_ptr<MediumPace> pace = pace_;
        if (fromMedium) {
            // The pages of a file already on the medium are clean: once let go, what is read
            // comes from the medium. The whole file is asked for at once, so that the medium
            // delivers it as fast as it can rather than in the kernel's read-ahead steps.
            static_cast<void>(::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_DONTNEED));
            static_cast<void>(::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_WILLNEED));
            pace = std::make_shared<MediumPace>();
            pace->CannotTell();
        }
        std::unique_ptr<FileReader> reader =
            std::make_unique<PosixFileReader>(std::move(fd), info.value(), at.folder->fat, std::move(pace));
        return reader;
    });
}

FsResult<std::unique_ptr<FileWriter>> PosixFileSystem::OpenWrite(const std::string& path) {
    return With(Locate(path), [&](const Location& at) -> FsResult<std::unique_ptr<FileWriter>> {
        const int folder = at.folder->fd.get();
        // Most files written are new: created exclusively, they need no look at what was there.
        UniqueFd created(Open(at, O_WRONLY | O_CREAT | O_EXCL | kNoFollow, kCreatedFileMode));
        if (created.valid()) {
            std::unique_ptr<FileWriter> writer = std::make_unique<PosixFileWriter>(
                std::move(created), at.folder->fat, at.folder->NewFileMode());
            return writer;
        }
        if (errno != EEXIST) {
            return LastErrorStatus();
        }
        int flags = O_WRONLY | O_CREAT | O_TRUNC | kNoFollow;
        // A file with other names is replaced, never written through: the other names keep it.
        struct stat existing {};
        if (::fstatat(folder, at.name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(existing.st_mode) && existing.st_nlink > 1) {
            if (::unlinkat(folder, at.name.c_str(), 0) != 0) {
                return LastErrorStatus();
            }
            flags |= O_EXCL;
        }
        UniqueFd fd(Open(at, flags, 0666));
        if (!fd.valid()) {
            return LastErrorStatus();
        }
        std::unique_ptr<FileWriter> writer = std::make_unique<PosixFileWriter>(std::move(fd), at.folder->fat);
        return writer;
    });
}

FsResult<std::unique_ptr<FileWriter>> PosixFileSystem::CreateNew(const std::string& path) {
    return With(Locate(path), [&](const Location& at) -> FsResult<std::unique_ptr<FileWriter>> {
        UniqueFd fd(Open(at, O_WRONLY | O_CREAT | O_EXCL | kNoFollow, kCreatedFileMode));
        if (!fd.valid()) {
            return LastErrorStatus();
        }
        std::unique_ptr<FileWriter> writer =
            std::make_unique<PosixFileWriter>(std::move(fd), at.folder->fat, at.folder->NewFileMode());
        return writer;
    });
}

FsStatus PosixFileSystem::CreateFolder(const std::string& path) {
    return With(Locate(path), [&](const Location& at) -> FsStatus {
        if (::mkdirat(at.folder->fd.get(), at.name.c_str(), 0777) == 0) {
            return {};
        }
        const int error = errno;
        if (error == EEXIST) {
            auto existing = StatEntry(at.folder->fd.get(), at.name);
            if (existing.ok() && S_ISDIR(existing.value().st_mode)) {
                return {};
            }
            // A file of that name is in the way: this entry fails, not the medium.
            return FsStatus::Failure(FsError::AccessDenied, EEXIST);
        }
        return StatusFromErrno(error);
    });
}

FsResult<FileTimes> PosixFileSystem::Times(const std::string& path) {
    return With(Locate(path), [&](const Location& at) -> FsResult<FileTimes> {
        return EntryTimes(at.folder->fd.get(), at.name.c_str());
    });
}

FsStatus PosixFileSystem::SetTimes(const std::string& path, const FileTimes& times) {
    return With(Locate(path), [&](const Location& at) -> FsStatus {
        if (FsStatus crossing = RefuseOtherMount(at); !crossing.ok()) {
            return crossing;
        }
        const auto settable = AccessAndWriteTimes(times);
        if (::utimensat(at.folder->fd.get(), at.name.c_str(), settable.data(), AT_SYMLINK_NOFOLLOW) != 0) {
            return LastErrorStatus();
        }
        return {};
    });
}

// An entry about to be removed or moved: never the drive itself, and never through a cached
// folder that the change could make stale.
FsResult<PosixFileSystem::Location> PosixFileSystem::LocateToChange(const std::string& path) {
    ForgetCachedFolder();
    auto location = Locate(path);
    if (location.ok() && location.value().isMountRoot()) {
        return RefusedOnMountRoot();
    }
    return location;
}

FsStatus PosixFileSystem::DeleteTree(const std::string& path) {
    return With(LocateToChange(path),
                [&](const Location& at) -> FsStatus { return RemoveTree(at.folder->fd.get(), at.name); });
}

FsResult<std::uint64_t> PosixFileSystem::FileSize(const std::string& path) {
    return With(Locate(path), [&](const Location& at) -> FsResult<std::uint64_t> {
        auto info = StatEntry(at.folder->fd.get(), at.name);
        if (!info.ok()) {
            return info.status();
        }
        const mode_t mode = info.value().st_mode;
        if (S_ISDIR(mode)) {
            return std::uint64_t{0};
        }
        if (!S_ISREG(mode)) {
            return StatusFromErrno(S_ISLNK(mode) ? ELOOP : EACCES);
        }
        return static_cast<std::uint64_t>(info.value().st_size);
    });
}

FsResult<PosixFileSystem::Location> PosixFileSystem::LocateFileToChange(const std::string& path) {
    auto location = Locate(path);
    if (location.ok() && location.value().isMountRoot()) {
        return RefusedOnMountRoot();
    }
    return location;
}

FsStatus PosixFileSystem::Rename(const std::string& from, const std::string& to) {
    auto source = LocateFileToChange(from);
    if (!source.ok()) {
        return source.status();
    }
    const Location a = source.value();  // locating the target may replace the cached folder
    auto target = LocateFileToChange(to);
    if (!target.ok()) {
        return target.status();
    }
    const Location& b = target.value();
    if (::renameat(a.folder->fd.get(), a.name.c_str(), b.folder->fd.get(), b.name.c_str()) != 0) {
        return LastErrorStatus();
    }
    // A folder moved away takes the folder cached along when that lies inside it.
    if (cachedKey_.starts_with(a.folder->key + a.name + '/')) {
        ForgetCachedFolder();
    }
    return {};
}

FsStatus PosixFileSystem::RemoveFile(const std::string& path) {
    // Removes no folder (unlinkat without AT_REMOVEDIR), so no folder cached can go with it.
    return With(LocateFileToChange(path), [&](const Location& at) -> FsStatus {
        if (::unlinkat(at.folder->fd.get(), at.name.c_str(), 0) != 0) {
            return LastErrorStatus();
        }
        return {};
    });
}

FsStatus PosixFileSystem::FlushVolume(const std::string& path) {
    // A flush ends a run of work on the card; an fd still held would keep it from unmounting.
    ForgetCachedFolder();
    auto resolved = drives_.Resolve(path);
    if (!resolved.ok()) {
        return resolved.status();
    }
    auto mount = OpenMountDirectory(resolved.value().directory, O_RDONLY);
    if (!mount.ok()) {
        return mount.status();
    }
    if (::syncfs(mount.value().get()) != 0) {
        return LastErrorStatus();
    }
    return {};
}

FsStatus PosixFileSystem::FlushFolder(const std::string& folder) {
    return With(Locate(folder), [&](const Location& at) -> FsStatus {
        UniqueFd opened(Open(at, O_RDONLY | O_DIRECTORY | kNoFollow));
        if (!opened.valid()) {
            return FolderOpenFailure(at.folder->fd.get(), at.name, errno);
        }
        // A file system that cannot flush one folder flushes all it holds.
        if (::fsync(opened.get()) != 0 && (errno != EINVAL || ::syncfs(opened.get()) != 0)) {
            return LastErrorStatus();
        }
        return {};
    });
}

FsResult<struct statvfs> PosixFileSystem::DriveStatistics(const std::string& path) {
    auto resolved = drives_.Resolve(path);
    if (!resolved.ok()) {
        return resolved.status();
    }
    auto mount = OpenMountDirectory(resolved.value().directory, O_RDONLY);
    if (!mount.ok()) {
        return mount.status();
    }
    struct statvfs info {};
    if (::fstatvfs(mount.value().get(), &info) != 0) {
        return LastErrorStatus();
    }
    return info;
}

FsResult<std::uint64_t> PosixFileSystem::FreeSpace(const std::string& path) {
    auto info = DriveStatistics(path);
    if (!info.ok()) {
        return info.status();
    }
    return static_cast<std::uint64_t>(info.value().f_bavail) * info.value().f_frsize;
}

FsResult<std::uint64_t> PosixFileSystem::AllocationUnit(const std::string& path) {
    auto info = DriveStatistics(path);
    if (!info.ok()) {
        return info.status();
    }
    return static_cast<std::uint64_t>(info.value().f_frsize);
}

bool PosixFileSystem::MergesNameVariants(const std::string& path) {
    auto located = Locate(path);
    return located.ok() && located.value().folder->fat;
}

FsResult<bool> PosixFileSystem::LiesWithin(const std::string& path, const std::string& folder) {
    auto outer = With(
        Locate(folder), [&](const Location& at) -> FsResult<struct stat> {
            return StatEntry(at.folder->fd.get(), at.name);
        });
    if (!outer.ok()) {
        return outer.status();
    }
    return With(Locate(path), [&](const Location& at) -> FsResult<bool> {
        return IsWithinFolder(at.folder->fd.get(), at.name, outer.value());
    });
}

std::string PosixFileSystem::DescribeError(const FsStatus& status) const { return DescribeErrno(status); }

}  // namespace vocell::posix
