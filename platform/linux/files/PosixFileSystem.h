#pragma once
// The card's file operations on Linux: Windows-style paths are mapped through a DriveMap onto
// host directories and never leave them, symbolic links included.

#include <sys/statvfs.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/DriveMap.h"
#include "platform/FileSystem.h"
#include "platform/linux/files/PosixFiles.h"
#include "platform/linux/files/UniqueFd.h"

namespace vocell::posix {

class PosixFileSystem final : public FileSystem {
public:
    // Within mountRecheck of the last look, a folder reached before is used without asking
    // whether its card's mount directory is still the same one: no card is swapped that fast.
    explicit PosixFileSystem(DriveMap drives,
                             std::chrono::milliseconds mountRecheck = std::chrono::milliseconds(100));

    FsResult<std::vector<FolderEntry>> ListFolder(const std::string& folder) override;
    FsResult<std::vector<FolderEntry>> ListFolderForReading(const std::string& folder) override;
    // A file's size from one stat by its name in the open folder.
    FsResult<std::vector<FolderEntry>> ListFolderWithSizes(const std::string& folder) override;
    FsResult<std::uint32_t> Attributes(const std::string& path) override;
    FsStatus SetAttributes(const std::string& path, std::uint32_t attributes) override;
    FsResult<std::unique_ptr<FileReader>> OpenRead(const std::string& path) override;
    FsResult<std::unique_ptr<FileReader>> OpenReadFromMedium(const std::string& path) override;
    FsResult<std::unique_ptr<FileWriter>> OpenWrite(const std::string& path) override;
    FsResult<std::unique_ptr<FileWriter>> CreateNew(const std::string& path) override;
    FsStatus CreateFolder(const std::string& path) override;
    FsResult<FileTimes> Times(const std::string& path) override;
    FsStatus SetTimes(const std::string& path, const FileTimes& times) override;
    FsStatus DeleteTree(const std::string& path) override;
    FsResult<std::uint64_t> FileSize(const std::string& path) override;
    FsStatus Rename(const std::string& from, const std::string& to) override;
    FsStatus RemoveFile(const std::string& path) override;
    FsStatus FlushVolume(const std::string& path) override;
    FsStatus FlushFolder(const std::string& folder) override;
    FsResult<std::uint64_t> FreeSpace(const std::string& path) override;
    FsResult<std::uint64_t> AllocationUnit(const std::string& path) override;
    bool MergesNameVariants(const std::string& path) override;
    FsResult<bool> LiesWithin(const std::string& path, const std::string& folder) override;
    std::string DescribeError(const FsStatus& status) const override;

    // Replaces the drive map (removable drives come and go) and lets go of every folder reached
    // through the old one, so that nothing keeps an unmounted card busy.
    void Remount(DriveMap drives);

private:
    struct Folder {
        UniqueFd fd;  // opened O_PATH, for the *at functions
        bool fat = false;
        // Its drive's paths stay on one file system: no entry of another mount is opened or changed.
        bool oneFileSystem = true;
        // The mount directory the folder was reached from, as it was then: a card taken out and
        // another put in its place gives the directory a new identity.
        std::uint64_t mountDevice = 0;
        std::uint64_t mountInode = 0;
        std::string key;  // the folder's place: its mount directory and the components below it
        // The mode of a file created here, where it follows from the umask alone: asked when the
        // first file is created here, since most folders reached are only read.
        mutable std::optional<std::optional<mode_t>> newFileMode;
        std::optional<mode_t> NewFileMode() const;
    };
    // An entry named by its folder and its name there; the mount directory itself is "."
    // in itself.
    struct Location {
        std::shared_ptr<const Folder> folder;
        std::string name;
        [[nodiscard]] bool isMountRoot() const { return name == "."; }
    };

    // Opens a located entry; on a drive that stays on one file system, never one of another mount.
    static int Open(const Location& at, int flags, mode_t mode = 0);
    // An entry about to change that is the root of another mount is refused.
    static FsStatus RefuseOtherMount(const Location& at);

    // What a listing asks of each file besides its name.
    enum class FileDetails { None, Attributes, Size };
    FsResult<std::vector<FolderEntry>> List(const std::string& folder, FileDetails details);
    FsResult<std::unique_ptr<FileReader>> OpenReader(const std::string& path, bool fromMedium);
    // The statistics of the file system that holds the drive of path.
    FsResult<struct statvfs> DriveStatistics(const std::string& path);
    FsResult<Location> Locate(const std::string& path);
    // Runs action on a located entry, or gives the failure to locate it.
    template <class Action>
    static auto With(FsResult<Location> location, Action&& action) -> decltype(action(location.value())) {
        if (!location.ok()) return location.status();
        return action(location.value());
    }
    FsResult<Location> LocateToChange(const std::string& path);
    // A file about to be renamed or removed: never the drive itself; the cached folder serves.
    FsResult<Location> LocateFileToChange(const std::string& path);
    // The entry's location when its path names the folder located last, text for text.
    std::optional<Location> LocateInCachedFolder(const std::string& path);
    std::shared_ptr<const Folder> CachedFolder(const std::string& key);
    void Remember(std::string key, std::shared_ptr<const Folder> folder);
    void ForgetCachedFolder();
    void RememberText(const std::string& path, const std::filesystem::path& mount);

    DriveMap drives_;
    std::chrono::milliseconds mountRecheck_;
    std::shared_ptr<MediumPace> pace_ = std::make_shared<MediumPace>();
    // The folder of the last entry located: a backup or restore works through one folder's
    // files in a row, and walking the path again for each of them would cost most of the time.
    std::string cachedKey_;
    std::shared_ptr<const Folder> cachedFolder_;
    // The cached folder as the caller wrote it ("E:\\VM\\\\MSGS\\"), its mount directory, and when
    // that mount directory was last seen to be the same.
    std::string cachedFolderText_;
    std::filesystem::path cachedMount_;
    std::chrono::steady_clock::time_point cachedMountSeen_;
};

}  // namespace vocell::posix
