#pragma once
// The card's file operations on Windows. Paths are the card's own ("E:\\VM\\PROMPTS\"), checked
// and passed to the Win32 file functions; nothing is reached outside the drive a path names:
// links and junctions (reparse points) are never followed, written through or descended into.

#include <string>

#include "platform/FileSystem.h"
#include "platform/win32/Win32Paths.h"

namespace vocell::win32 {

class Win32FileSystem final : public FileSystem {
public:
    // Every entry comes with its size, which the listing gives for nothing.
    FsResult<std::vector<FolderEntry>> ListFolder(const std::string& folder) override;
    FsResult<std::vector<FolderEntry>> ListFolderWithSizes(const std::string& folder) override {
        return ListFolder(folder);
    }
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
    // Every file written here was flushed as it was closed; this only tells whether the drive is
    // still there to hold them.
    FsStatus FlushVolume(const std::string& path) override;
    // Renames are made with MOVEFILE_WRITE_THROUGH, which returns only once the rename is on the
    // medium; this only tells whether the folder is still there.
    FsStatus FlushFolder(const std::string& folder) override;
    FsResult<std::uint64_t> FreeSpace(const std::string& path) override;
    FsResult<std::uint64_t> AllocationUnit(const std::string& path) override;
    bool MergesNameVariants(const std::string& path) override;
    // Judged by the file identity (volume serial number and file index) of the entry and of
    // each folder on its way, opened as the system opens them, following links.
    FsResult<bool> LiesWithin(const std::string& path, const std::string& folder) override;
    std::string DescribeError(const FsStatus& status) const override;

private:
    // The path, checked, when no folder on the way to it is a link; a link or junction there
    // could lead off the drive.
    FsResult<NativePath> Reach(const std::string& path);
    void ForgetReachedFolder() { reachedFolder_.clear(); }

    // The last folder found free of links, with every folder above it: a backup or restore
    // works through one folder's entries in a row.
    std::string reachedFolder_;
};

}  // namespace vocell::win32
