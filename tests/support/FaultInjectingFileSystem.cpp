#include "tests/support/FaultInjectingFileSystem.h"

#include <algorithm>

namespace vocell::test {
namespace {

FsStatus Fault(FsError error) { return FsStatus::Failure(error, 0); }

class FaultyReader final : public FileReader {
public:
    FaultyReader(std::unique_ptr<FileReader> inner, std::uint64_t successfulBytes, FsError error)
        : inner_(std::move(inner)), left_(successfulBytes), error_(error) {}

    FsResult<std::size_t> read(std::span<std::byte> buffer) override {
        if (left_ == 0) return Fault(error_);
        auto read = inner_->read(buffer.first(std::min<std::uint64_t>(buffer.size(), left_)));
        if (read.ok()) left_ -= read.value();
        return read;
    }
    FsResult<std::uint64_t> size() override { return inner_->size(); }
    FsResult<FileTimes> times() override { return inner_->times(); }
    FsStatus rewind() override { return inner_->rewind(); }

private:
    std::unique_ptr<FileReader> inner_;
    std::uint64_t left_;
    FsError error_;
};

class FaultyWriter final : public FileWriter {
public:
    FaultyWriter(std::unique_ptr<FileWriter> inner, FaultInjectingFileSystem& owner)
        : inner_(std::move(inner)), owner_(owner) {}

    FsStatus write(std::span<const std::byte> data) override {
        if (auto fault = owner_.nextWriteFault()) return *fault;
        return inner_->write(data);
    }
    FsStatus truncate(std::uint64_t size) override { return inner_->truncate(size); }
    FsStatus setTimes(const FileTimes& times) override { return inner_->setTimes(times); }
    FsStatus flush() override { return inner_->flush(); }
    FsStatus close() override { return inner_->close(); }

private:
    std::unique_ptr<FileWriter> inner_;
    FaultInjectingFileSystem& owner_;
};

}  // namespace

void FaultInjectingFileSystem::failWrite(int nth, FsError error, int nativeCode) {
    failingWrite_ = nth;
    writeFault_ = FsStatus::Failure(error, nativeCode);
}
void FaultInjectingFileSystem::failOpenRead(const std::string& path, FsError error) {
    openReadFaults_[path] = error;
}
void FaultInjectingFileSystem::failReadAfter(const std::string& path, std::uint64_t successfulBytes,
                                             FsError error) {
    readFaults_[path] = {successfulBytes, error};
}
void FaultInjectingFileSystem::failCreate(const std::string& path, FsError error) {
    createFaults_[path] = error;
}
void FaultInjectingFileSystem::failFlushVolume(FsError error) { flushVolumeFault_ = error; }
void FaultInjectingFileSystem::failRename(FsError error) { renameFault_ = error; }

std::optional<FsStatus> FaultInjectingFileSystem::nextWriteFault() {
    ++writesSeen_;
    if (failingWrite_ != 0 && writesSeen_ >= failingWrite_) return writeFault_;
    return std::nullopt;
}

FsResult<std::vector<FolderEntry>> FaultInjectingFileSystem::listFolder(const std::string& folder) {
    return inner_.listFolder(folder);
}
FsResult<std::uint32_t> FaultInjectingFileSystem::attributes(const std::string& path) {
    return inner_.attributes(path);
}
FsStatus FaultInjectingFileSystem::setAttributes(const std::string& path, std::uint32_t attributes) {
    return inner_.setAttributes(path, attributes);
}
FsResult<std::unique_ptr<FileReader>> FaultInjectingFileSystem::openRead(const std::string& path) {
    if (auto it = openReadFaults_.find(path); it != openReadFaults_.end()) return Fault(it->second);
    auto opened = inner_.openRead(path);
    auto fault = readFaults_.find(path);
    if (!opened.ok() || fault == readFaults_.end()) return opened;
    return std::unique_ptr<FileReader>(std::make_unique<FaultyReader>(
        std::move(opened.value()), fault->second.successfulBytes, fault->second.error));
}
FsResult<std::unique_ptr<FileWriter>> FaultInjectingFileSystem::createFile(const std::string& path) {
    if (auto it = createFaults_.find(path); it != createFaults_.end()) return Fault(it->second);
    auto created = inner_.createFile(path);
    if (!created.ok()) return created;
    return std::unique_ptr<FileWriter>(std::make_unique<FaultyWriter>(std::move(created.value()), *this));
}
FsStatus FaultInjectingFileSystem::createFolder(const std::string& path) {
    if (auto it = createFaults_.find(path); it != createFaults_.end()) return Fault(it->second);
    return inner_.createFolder(path);
}
FsResult<FileTimes> FaultInjectingFileSystem::times(const std::string& path) { return inner_.times(path); }
FsStatus FaultInjectingFileSystem::setTimes(const std::string& path, const FileTimes& times) {
    return inner_.setTimes(path, times);
}
FsStatus FaultInjectingFileSystem::deleteTree(const std::string& path) {
    deletedTrees_.insert(path);
    return inner_.deleteTree(path);
}
FsResult<std::uint64_t> FaultInjectingFileSystem::fileSize(const std::string& path) {
    return inner_.fileSize(path);
}
FsStatus FaultInjectingFileSystem::rename(const std::string& from, const std::string& to) {
    if (renameFault_) return Fault(*renameFault_);
    return inner_.rename(from, to);
}
FsStatus FaultInjectingFileSystem::removeFile(const std::string& path) { return inner_.removeFile(path); }
FsStatus FaultInjectingFileSystem::flushVolume(const std::string& path) {
    ++flushVolumeCalls_;
    if (flushVolumeFault_) return Fault(*flushVolumeFault_);
    return inner_.flushVolume(path);
}
std::string FaultInjectingFileSystem::describeError(const FsStatus& status) const {
    return inner_.describeError(status);
}

}  // namespace vocell::test
