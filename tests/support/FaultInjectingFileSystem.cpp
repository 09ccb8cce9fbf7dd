#include "tests/support/FaultInjectingFileSystem.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace vocell::test {
namespace {

FsStatus Fault(FsError error) { return FsStatus::Failure(error, 0); }
FsStatus Gone() { return FsStatus::Failure(FsError::NotReady, 0); }

// The fault of path in faults, if any.
std::optional<FsStatus> FaultOf(const std::map<std::string, FsError>& faults, const std::string& path) {
    if (auto it = faults.find(path); it != faults.end()) return Fault(it->second);
    return std::nullopt;
}

class FaultyReader final : public FileReader {
public:
    FaultyReader(std::unique_ptr<FileReader> inner, const FaultInjectingFileSystem& owner, std::string path,
                 std::uint64_t successfulBytes, FsError error, bool garbled = false)
        : inner_(std::move(inner)),
          owner_(owner),
          path_(std::move(path)),
          left_(successfulBytes),
          error_(error),
          garbled_(garbled) {}

    FsResult<std::size_t> Read(std::span<std::byte> buffer) override {
        if (owner_.DriveGone(path_)) return Gone();
        if (left_ == 0) return Fault(error_);
        // What is left is below the buffer's size here, so it fits a size_t on 32-bit systems too.
        auto read = inner_->Read(
            buffer.first(static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), left_))));
        if (!read.ok()) return read;
        left_ -= read.value();
        if (garbled_ && read.value() > 0) {
            buffer[0] = ~buffer[0];
            garbled_ = false;
        }
        return read;
    }
    FsResult<std::uint64_t> Size() override { return Forward(&FileReader::Size); }
    FsResult<FileTimes> Times() override { return Forward(&FileReader::Times); }
    FsStatus Rewind() override { return Forward(&FileReader::Rewind); }
    FsResult<FileStamp> Stamp() override { return Forward(&FileReader::Stamp); }
    FsResult<std::uint32_t> Attributes() override {
        if (auto reported = owner_.ReportedAttributes(path_); reported && !owner_.DriveGone(path_))
            return *reported;
        return Forward(&FileReader::Attributes);
    }
    void Prefetch() override { inner_->Prefetch(); }
    bool RereadFromMedium(std::uint64_t offset, std::uint64_t length) override {
        return !owner_.DriveGone(path_) && inner_->RereadFromMedium(offset, length);
    }

private:
    template <typename Result>
    Result Forward(Result (FileReader::*call)()) {
        if (owner_.DriveGone(path_)) return Gone();
        return (*inner_.*call)();
    }

    std::unique_ptr<FileReader> inner_;
    const FaultInjectingFileSystem& owner_;
    std::string path_;
    std::uint64_t left_;
    FsError error_;
    bool garbled_;  // the first byte read comes back changed, as from a medium that lost it
};

class FaultyWriter final : public FileWriter {
public:
    FaultyWriter(std::unique_ptr<FileWriter> inner, FaultInjectingFileSystem& owner, std::string path)
        : inner_(std::move(inner)), owner_(owner), path_(std::move(path)) {}

    FsStatus Write(std::span<const std::byte> data) override {
        if (auto fault = owner_.NextWriteFault(path_)) return *fault;
        return inner_->Write(data);
    }
    FsStatus Truncate(std::uint64_t size) override {
        return Forward({}, [&] { return inner_->Truncate(size); });
    }
    FsStatus SetTimes(const FileTimes& times) override {
        return Forward(owner_.SetTimesFault(path_), [&] { return inner_->SetTimes(times); });
    }
    FsStatus SetAttributes(std::uint32_t attributes) override {
        return Forward(owner_.SetAttributesFault(path_), [&] { return inner_->SetAttributes(attributes); });
    }
    FsStatus Flush() override {
        return Forward({}, [&] { return inner_->Flush(); });
    }
    bool WaitUntilOnMedium(std::uint64_t offset, std::uint64_t length) override {
        return !owner_.DriveGone(path_) && inner_->WaitUntilOnMedium(offset, length);
    }
    FsStatus Close() override {
        FsStatus closed = inner_->Close();
        if (owner_.DriveGone(path_)) return Gone();
        return closed;
    }

private:
    template <typename Call>
    FsStatus Forward(std::optional<FsStatus> fault, Call call) {
        if (owner_.DriveGone(path_)) return Gone();
        if (fault) return *fault;
        return call();
    }

    std::unique_ptr<FileWriter> inner_;
    FaultInjectingFileSystem& owner_;
    std::string path_;
};

}  // namespace

void FaultInjectingFileSystem::FailWrite(int nth, FsError error, int nativeCode) {
    failingWrite_ = nth;
    writeFault_ = FsStatus::Failure(error, nativeCode);
}
void FaultInjectingFileSystem::RemoveDriveAtWrite(char drive, int nth) {
    removedDrive_ = static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
    removalWrite_ = nth;
}
bool FaultInjectingFileSystem::DriveGone(const std::string& path) const {
    return removedDrive_ != 0 && writesSeen_ >= removalWrite_ && path.size() >= 2 && path[1] == ':' &&
           std::toupper(static_cast<unsigned char>(path[0])) == removedDrive_;
}
void FaultInjectingFileSystem::FailOpenRead(const std::string& path, FsError error) {
    openReadFaults_[path] = error;
}
void FaultInjectingFileSystem::FailReadAfter(const std::string& path, std::uint64_t successfulBytes,
                                             FsError error) {
    readFaults_[path] = {successfulBytes, error};
}
void FaultInjectingFileSystem::FailSetAttributes(const std::string& path, FsError error) {
    setAttributesFaults_[path] = error;
}
void FaultInjectingFileSystem::FailSetTimes(const std::string& path, FsError error) {
    setTimesFaults_[path] = error;
}
void FaultInjectingFileSystem::FailFlushVolume(FsError error) { flushVolumeFault_ = error; }
void FaultInjectingFileSystem::FailFlushFolder(FsError error) { flushFolderFault_ = error; }
void FaultInjectingFileSystem::FailRename(FsError error) { renameFault_ = error; }
void FaultInjectingFileSystem::ReportAttributes(const std::string& path, std::uint32_t attributes) {
    reportedAttributes_[path] = attributes;
}

std::optional<FsStatus> FaultInjectingFileSystem::SetTimesFault(const std::string& path) const {
    return FaultOf(setTimesFaults_, path);
}
std::optional<FsStatus> FaultInjectingFileSystem::SetAttributesFault(const std::string& path) const {
    return FaultOf(setAttributesFaults_, path);
}

std::optional<FsStatus> FaultInjectingFileSystem::NextWriteFault(const std::string& path) {
    ++writesSeen_;
    writeLog_.push_back(path);
    if (DriveGone(path)) return Gone();
    if (failingWrite_ != 0 && writesSeen_ >= failingWrite_) return writeFault_;
    return std::nullopt;
}

template <typename Call>
auto FaultInjectingFileSystem::Forward(const std::string& path, std::optional<FsStatus> fault, Call call)
    -> decltype(call()) {
    if (DriveGone(path)) return Gone();
    if (fault) return *fault;
    return call();
}
std::optional<FsStatus> FaultInjectingFileSystem::FaultIf(const std::optional<FsError>& error) {
    return error ? std::optional(Fault(*error)) : std::nullopt;
}

FsResult<std::string> FaultInjectingFileSystem::Route(const std::string& path) {
    if (DriveGone(path)) return Gone();
    return path;
}

std::optional<std::uint32_t> FaultInjectingFileSystem::ReportedAttributes(const std::string& path) const {
    auto it = reportedAttributes_.find(path);
    return it != reportedAttributes_.end() ? std::optional(it->second) : std::nullopt;
}

FsResult<std::vector<FolderEntry>> FaultInjectingFileSystem::ListFolder(const std::string& folder) {
    auto listing = Forward(folder, {}, [&] { return ForwardingFileSystem::ListFolder(folder); });
    if (!listing.ok()) return listing;
    for (FolderEntry& entry : listing.value()) {
        if (auto it = reportedAttributes_.find(folder + entry.name); it != reportedAttributes_.end()) {
            entry.attributes = it->second;
        }
    }
    return listing;
}
FsStatus FaultInjectingFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
    return Forward(path, SetAttributesFault(path),
                   [&] { return ForwardingFileSystem::SetAttributes(path, attributes); });
}
FsResult<std::unique_ptr<FileReader>> FaultInjectingFileSystem::OpenRead(const std::string& path) {
    auto opened =
        Forward(path, FaultOf(openReadFaults_, path), [&] { return ForwardingFileSystem::OpenRead(path); });
    if (!opened.ok()) return opened;
    ReadFault fault{UINT64_MAX, FsError::None};
    if (auto it = readFaults_.find(path); it != readFaults_.end()) fault = it->second;
    return std::unique_ptr<FileReader>(std::make_unique<FaultyReader>(std::move(opened.value()), *this, path,
                                                                      fault.successfulBytes, fault.error));
}
FsResult<std::unique_ptr<FileReader>> FaultInjectingFileSystem::OpenReadFromMedium(const std::string& path) {
    ++mediumReads_;
    auto opened = Forward(path, FaultOf(openReadFaults_, path),
                          [&] { return ForwardingFileSystem::OpenReadFromMedium(path); });
    if (!opened.ok()) return opened;
    return std::unique_ptr<FileReader>(std::make_unique<FaultyReader>(
        std::move(opened.value()), *this, path, UINT64_MAX, FsError::None,
        std::any_of(garbledOnMedium_.begin(), garbledOnMedium_.end(),
                    [&](const std::string& ending) { return path.ends_with(ending); })));
}
FsResult<std::unique_ptr<FileWriter>> FaultInjectingFileSystem::OpenWrite(const std::string& path) {
    return Wrap(path, Forward(path, {}, [&] { return ForwardingFileSystem::OpenWrite(path); }));
}
FsResult<std::unique_ptr<FileWriter>> FaultInjectingFileSystem::CreateNew(const std::string& path) {
    return Wrap(path, Forward(path, {}, [&] { return ForwardingFileSystem::CreateNew(path); }));
}
FsResult<std::unique_ptr<FileWriter>> FaultInjectingFileSystem::Wrap(
    const std::string& path, FsResult<std::unique_ptr<FileWriter>> opened) {
    if (!opened.ok()) return opened;
    return std::unique_ptr<FileWriter>(
        std::make_unique<FaultyWriter>(std::move(opened.value()), *this, path));
}
FsStatus FaultInjectingFileSystem::SetTimes(const std::string& path, const FileTimes& times) {
    return Forward(path, SetTimesFault(path), [&] { return ForwardingFileSystem::SetTimes(path, times); });
}
FsStatus FaultInjectingFileSystem::Rename(const std::string& from, const std::string& to) {
    if (DriveGone(to)) return Gone();
    return Forward(from, FaultIf(renameFault_), [&] { return ForwardingFileSystem::Rename(from, to); });
}
FsStatus FaultInjectingFileSystem::RemoveFile(const std::string& path) {
    removalsAndFlushes_.push_back("remove " + path);
    return Forward(path, {}, [&] { return ForwardingFileSystem::RemoveFile(path); });
}
FsStatus FaultInjectingFileSystem::FlushVolume(const std::string& path) {
    removalsAndFlushes_.push_back("flush " + path);
    if (!DriveGone(path)) ++flushVolumeCalls_;
    return Forward(path, FaultIf(flushVolumeFault_), [&] { return ForwardingFileSystem::FlushVolume(path); });
}
FsStatus FaultInjectingFileSystem::FlushFolder(const std::string& folder) {
    return Forward(folder, FaultIf(flushFolderFault_),
                   [&] { return ForwardingFileSystem::FlushFolder(folder); });
}
FsResult<std::uint64_t> FaultInjectingFileSystem::FreeSpace(const std::string& path) {
    return Forward(
        path, freeSpaceFails_ ? std::optional(FsStatus::Failure(FsError::Other, 0)) : std::nullopt,
        [&] { return freeSpace_ ? FsResult<std::uint64_t>(*freeSpace_) : inner_.FreeSpace(path); });
}
FsResult<std::uint64_t> FaultInjectingFileSystem::AllocationUnit(const std::string& path) {
    return Forward(path, {}, [&] {
        return allocationUnit_ ? FsResult<std::uint64_t>(*allocationUnit_) : inner_.AllocationUnit(path);
    });
}
bool FaultInjectingFileSystem::MergesNameVariants(const std::string& path) {
    return mergesNameVariants_.has_value() ? *mergesNameVariants_ : inner_.MergesNameVariants(path);
}

}  // namespace vocell::test
