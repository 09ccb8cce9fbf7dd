#pragma once
// A FileSystem that passes every call to another one, except the failures a test asks for: the
// Nth write (counted over all files written) fails with a chosen error, a drive is taken out at
// the Nth write, opens or reads of named paths fail, and so on.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/support/ForwardingFileSystem.h"

namespace vocell::test {

class FaultInjectingFileSystem final : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;

    // The nth write (1 for the first) of any file created through this file system fails.
    void FailWrite(int nth, FsError error, int nativeCode = 0);
    // The medium of drive ("E") is taken out at the nth write (1 for the first): that write and
    // every later call on the drive, through paths or through files already open, fail NotReady.
    void RemoveDriveAtWrite(char drive, int nth);
    // Opening the path for reading fails.
    void FailOpenRead(const std::string& path, FsError error);
    // Reading a path that ends so back from the medium gives its first byte changed.
    void GarbleOnMedium(const std::string& pathEnding) { garbledOnMedium_.push_back(pathEnding); }
    [[nodiscard]] int mediumReads() const { return mediumReads_; }
    // Reading the path fails after the first successfulBytes bytes.
    void FailReadAfter(const std::string& path, std::uint64_t successfulBytes, FsError error);
    // Setting the attribute word, or the times (by path or on the open file), of the path fails.
    void FailSetAttributes(const std::string& path, FsError error);
    void FailSetTimes(const std::string& path, FsError error);
    void FailFlushVolume(FsError error);
    void FailFlushFolder(FsError error);
    // The free space and the allocation unit reported for every drive.
    void ReportFreeSpace(std::uint64_t bytes) { freeSpace_ = bytes; }
    // Asking for the free space fails from now on.
    void FailFreeSpace() { freeSpaceFails_ = true; }
    void ReportAllocationUnit(std::uint64_t bytes) { allocationUnit_ = bytes; }
    // Every drive said to merge names that differ only in case or trailing dots and spaces, or
    // said not to, whatever the file system below does.
    void ReportMergedNameVariants(bool merges = true) { mergesNameVariants_ = merges; }
    // Folder listings and the open file report this attribute word for the entry at path, as FAT
    // would for a hidden or system file.
    void ReportAttributes(const std::string& path, std::uint32_t attributes);
    void FailRename(FsError error);

    // The path of each write so far, in order.
    [[nodiscard]] const std::vector<std::string>& writeLog() const { return writeLog_; }
    [[nodiscard]] int flushVolumeCalls() const { return flushVolumeCalls_; }
    // Each file removed ("remove PATH") and each drive flushed ("flush PATH"), in order.
    [[nodiscard]] const std::vector<std::string>& removalsAndFlushes() const { return removalsAndFlushes_; }

    FsResult<std::vector<FolderEntry>> ListFolder(const std::string& folder) override;
    FsStatus SetAttributes(const std::string& path, std::uint32_t attributes) override;
    FsResult<std::unique_ptr<FileReader>> OpenRead(const std::string& path) override;
    FsResult<std::unique_ptr<FileReader>> OpenReadFromMedium(const std::string& path) override;
    FsResult<std::unique_ptr<FileWriter>> OpenWrite(const std::string& path) override;
    FsResult<std::unique_ptr<FileWriter>> CreateNew(const std::string& path) override;
    FsStatus SetTimes(const std::string& path, const FileTimes& times) override;
    FsStatus Rename(const std::string& from, const std::string& to) override;
    FsStatus RemoveFile(const std::string& path) override;
    FsStatus FlushVolume(const std::string& path) override;
    FsStatus FlushFolder(const std::string& folder) override;
    FsResult<std::uint64_t> FreeSpace(const std::string& path) override;
    FsResult<std::uint64_t> AllocationUnit(const std::string& path) override;
    bool MergesNameVariants(const std::string& path) override;

    // Called by the readers and writers this file system hands out.
    std::optional<FsStatus> NextWriteFault(const std::string& path);
    std::optional<FsStatus> SetTimesFault(const std::string& path) const;
    [[nodiscard]] bool DriveGone(const std::string& path) const;
    std::optional<FsStatus> SetAttributesFault(const std::string& path) const;
    [[nodiscard]] std::optional<std::uint32_t> ReportedAttributes(const std::string& path) const;

protected:
    FsResult<std::string> Route(const std::string& path) override;

private:
    // Fails NotReady when the path's drive is gone, else with fault if there is one, else calls.
    template <typename Call>
    auto Forward(const std::string& path, std::optional<FsStatus> fault, Call call) -> decltype(call());
    static std::optional<FsStatus> FaultIf(const std::optional<FsError>& error);
    FsResult<std::unique_ptr<FileWriter>> Wrap(const std::string& path,
                                               FsResult<std::unique_ptr<FileWriter>> opened);

    struct ReadFault {
        std::uint64_t successfulBytes;
        FsError error;
    };

    int failingWrite_ = 0;
    FsStatus writeFault_;
    int writesSeen_ = 0;
    std::vector<std::string> writeLog_;
    char removedDrive_ = 0;
    int removalWrite_ = 0;
    std::map<std::string, FsError> openReadFaults_;
    std::map<std::string, ReadFault> readFaults_;
    std::map<std::string, FsError> setAttributesFaults_;
    std::map<std::string, FsError> setTimesFaults_;
    std::map<std::string, std::uint32_t> reportedAttributes_;
    std::optional<std::uint64_t> freeSpace_;
    std::optional<std::uint64_t> allocationUnit_;
    bool freeSpaceFails_ = false;
    std::vector<std::string> garbledOnMedium_;
    int mediumReads_ = 0;
    std::vector<std::string> removalsAndFlushes_;
    std::optional<bool> mergesNameVariants_;
    std::optional<FsError> flushVolumeFault_;
    std::optional<FsError> flushFolderFault_;
    std::optional<FsError> renameFault_;
    int flushVolumeCalls_ = 0;
};

}  // namespace vocell::test
