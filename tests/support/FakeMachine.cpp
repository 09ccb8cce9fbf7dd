#include "tests/support/FakeMachine.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/posix/PosixFileSystem.h"

#ifndef VOCELL_TEST_HOME
#error "VOCELL_TEST_HOME must name the build's installed data folder"
#endif

namespace vocell::test {
namespace {

// 100 GiB in 4 KiB clusters.
constexpr ClusterGeometry kSystemDisk{8, 512, 26'214'400};

// base/relative for a relative path in "/" or "\" form that stays below base.
std::filesystem::path Below(const std::filesystem::path& base, std::string relative) {
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const std::filesystem::path below = std::filesystem::path(relative).relative_path();
    for (const auto& part : below) {
        if (part == "..") throw std::invalid_argument("path climbs out: " + relative);
    }
    if (below.empty()) throw std::invalid_argument("empty relative path");
    return base / below;
}

}  // namespace

// Passes every call to a PosixFileSystem that is replaced when media change: it keeps the last
// folder it walked to open, and a medium moved away behind its back would stay readable.
class FakeMachine::CurrentFileSystem final : public FileSystem {
public:
    explicit CurrentFileSystem(posix::DriveMap drives)
        : drives_(std::move(drives)), inner_(std::make_unique<posix::PosixFileSystem>(drives_)) {}

    void reopen() { inner_ = std::make_unique<posix::PosixFileSystem>(drives_); }

    FsResult<std::vector<FolderEntry>> listFolder(const std::string& folder) override {
        return inner_->listFolder(folder);
    }
    FsResult<std::uint32_t> attributes(const std::string& path) override {
        return inner_->attributes(path);
    }
    FsStatus setAttributes(const std::string& path, std::uint32_t attributes) override {
        return inner_->setAttributes(path, attributes);
    }
    FsResult<std::unique_ptr<FileReader>> openRead(const std::string& path) override {
        return inner_->openRead(path);
    }
    FsResult<std::unique_ptr<FileWriter>> createFile(const std::string& path) override {
        return inner_->createFile(path);
    }
    FsStatus createFolder(const std::string& path) override { return inner_->createFolder(path); }
    FsResult<FileTimes> times(const std::string& path) override { return inner_->times(path); }
    FsStatus setTimes(const std::string& path, const FileTimes& times) override {
        return inner_->setTimes(path, times);
    }
    FsStatus deleteTree(const std::string& path) override { return inner_->deleteTree(path); }
    FsResult<std::uint64_t> fileSize(const std::string& path) override {
        return inner_->fileSize(path);
    }
    FsStatus rename(const std::string& from, const std::string& to) override {
        return inner_->rename(from, to);
    }
    FsStatus removeFile(const std::string& path) override { return inner_->removeFile(path); }
    FsStatus flushVolume(const std::string& path) override { return inner_->flushVolume(path); }
    std::string describeError(const FsStatus& status) const override {
        return inner_->describeError(status);
    }

private:
    posix::DriveMap drives_;
    std::unique_ptr<posix::PosixFileSystem> inner_;
};

FakeMachine::FakeMachine() : volumes_(temp_.path(), [this] { reopenFileSystem(); }) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        drives_.mount(std::string(1, letter) + ":", volumes_.driveFolder(letter));
    }
    drives_.mount("C:\\Harlo\\Vocell", installFolder());
    fileSystem_ = std::make_unique<CurrentFileSystem>(drives_);
    install();
    volumes_.addDrive('C', DriveType::Fixed, true, "", kSystemDisk);
}

FakeMachine::~FakeMachine() = default;

FileSystem& FakeMachine::fileSystem() { return *fileSystem_; }

void FakeMachine::reopenFileSystem() {
    if (fileSystem_) fileSystem_->reopen();
}

void FakeMachine::install() {
    const std::filesystem::path home(VOCELL_TEST_HOME);
    const std::filesystem::path target = installFolder();
    std::filesystem::create_directories(target / "Backup");
    for (const char* file :
         {"Prompts/PromptUpdateVer1_3_1.vcp", "Data/InitializedFileStruct.vcb"}) {
        if (!std::filesystem::is_regular_file(home / file)) {
            throw std::runtime_error((home / file).string() +
                                     " is missing: build the vocell_data target");
        }
        std::filesystem::create_directories((target / file).parent_path());
        std::filesystem::copy_file(home / file, target / file);
    }
}

void FakeMachine::removeInstalled(const std::string& relative) {
    std::filesystem::remove_all(Below(installFolder(), relative));
    reopenFileSystem();
}

std::filesystem::path FakeMachine::driveFolder(char letter) const {
    return volumes_.driveFolder(letter);
}

void FakeMachine::putOnDrive(char letter, const std::string& relative,
                             const std::string& content) {
    if (!volumes_.hasMedium(letter)) {
        throw std::logic_error(std::string("drive ") + letter + ": holds no medium");
    }
    const std::filesystem::path file = Below(driveFolder(letter), relative);
    std::filesystem::create_directories(file.parent_path());
    writeHostFile(file, content);
}

std::string FakeMachine::readOnDrive(char letter, const std::string& relative) const {
    const std::filesystem::path file = Below(driveFolder(letter), relative);
    if (!std::filesystem::is_regular_file(file)) {
        throw std::runtime_error("no file " + relative + " on drive " + letter + ":");
    }
    return readHostFile(file);
}

bool FakeMachine::existsOnDrive(char letter, const std::string& relative) const {
    return std::filesystem::exists(Below(driveFolder(letter), relative));
}

}  // namespace vocell::test
