#include "tests/support/FakeMachine.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

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

// Passes every call to the platform's file system, opened afresh when media change: the Linux
// one keeps the last folder it walked to open, and a medium moved away behind its back would
// stay readable.
class FakeMachine::CurrentFileSystem final : public FileSystem {
public:
    explicit CurrentFileSystem(FolderDrives drives)
        : drives_(std::move(drives)), inner_(drives_.OpenFileSystem()) {}

    void Reopen() { inner_ = drives_.OpenFileSystem(); }

    FsResult<std::vector<FolderEntry>> ListFolder(const std::string& folder) override {
        return inner_->ListFolder(folder);
    }
    FsResult<std::uint32_t> Attributes(const std::string& path) override { return inner_->Attributes(path); }
    FsStatus SetAttributes(const std::string& path, std::uint32_t attributes) override {
        return inner_->SetAttributes(path, attributes);
    }
    FsResult<std::unique_ptr<FileReader>> OpenRead(const std::string& path) override {
        return inner_->OpenRead(path);
    }
    FsResult<std::unique_ptr<FileWriter>> OpenWrite(const std::string& path) override {
        return inner_->OpenWrite(path);
    }
    FsResult<std::unique_ptr<FileWriter>> CreateNew(const std::string& path) override {
        return inner_->CreateNew(path);
    }
    FsStatus CreateFolder(const std::string& path) override { return inner_->CreateFolder(path); }
    FsResult<FileTimes> Times(const std::string& path) override { return inner_->Times(path); }
    FsStatus SetTimes(const std::string& path, const FileTimes& times) override {
        return inner_->SetTimes(path, times);
    }
    FsStatus DeleteTree(const std::string& path) override { return inner_->DeleteTree(path); }
    FsResult<std::uint64_t> FileSize(const std::string& path) override { return inner_->FileSize(path); }
    FsStatus Rename(const std::string& from, const std::string& to) override {
        return inner_->Rename(from, to);
    }
    FsStatus RemoveFile(const std::string& path) override { return inner_->RemoveFile(path); }
    FsStatus FlushVolume(const std::string& path) override { return inner_->FlushVolume(path); }
    FsStatus FlushFolder(const std::string& folder) override { return inner_->FlushFolder(folder); }
    FsResult<std::uint64_t> FreeSpace(const std::string& path) override { return inner_->FreeSpace(path); }
    FsResult<bool> LiesWithin(const std::string& path, const std::string& folder) override {
        return inner_->LiesWithin(path, folder);
    }
    std::string DescribeError(const FsStatus& status) const override { return inner_->DescribeError(status); }

private:
    FolderDrives drives_;
    std::unique_ptr<FileSystem> inner_;
};

FakeMachine::FakeMachine(std::string_view cards) : volumes_(temp_.path(), [this] { ReopenFileSystem(); }) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        drives_.Add(std::string(1, letter) + ":", volumes_.DriveFolder(letter));
    }
    drives_.Add("C:\\Harlo\\Vocell", installFolder());
    fileSystem_ = std::make_unique<CurrentFileSystem>(drives_);
    Install();
    volumes_.AddDrive('C', DriveType::Fixed, true, "", kSystemDisk);
    for (char letter : cards) volumes_.AddDrive(letter, DriveType::Removable);
    if (!cards.empty()) volumes_.AddDrive('Z', DriveType::Fixed, true, "", kSystemDisk);
}

FakeMachine::~FakeMachine() = default;

FileSystem& FakeMachine::fileSystem() { return *fileSystem_; }

void FakeMachine::ReopenFileSystem() {
    if (fileSystem_) fileSystem_->Reopen();
}

void FakeMachine::Install() {
    const std::filesystem::path home(VOCELL_TEST_HOME);
    const std::filesystem::path target = installFolder();
    std::filesystem::create_directories(target / "Backup");
    for (const char* file : {"Prompts/PromptUpdateVer1_3_1.vcp", "Data/InitializedFileStruct.vcb"}) {
        if (!std::filesystem::is_regular_file(home / file)) {
            throw std::runtime_error((home / file).string() + " is missing: build the vocell_data target");
        }
        std::filesystem::create_directories((target / file).parent_path());
        std::filesystem::copy_file(home / file, target / file);
    }
}

void FakeMachine::RemoveInstalled(const std::string& relative) {
    std::filesystem::remove_all(Below(installFolder(), relative));
    ReopenFileSystem();
}

std::filesystem::path FakeMachine::DriveFolder(char letter) const { return volumes_.DriveFolder(letter); }

void FakeMachine::PutOnDrive(char letter, const std::string& relative, const std::string& content) {
    if (!volumes_.HasMedium(letter)) {
        throw std::logic_error(std::string("drive ") + letter + ": holds no medium");
    }
    const std::filesystem::path file = Below(DriveFolder(letter), relative);
    std::filesystem::create_directories(file.parent_path());
    WriteHostFile(file, content);
}

std::string FakeMachine::ReadOnDrive(char letter, const std::string& relative) const {
    const std::filesystem::path file = Below(DriveFolder(letter), relative);
    if (!std::filesystem::is_regular_file(file)) {
        throw std::runtime_error("no file " + relative + " on drive " + letter + ":");
    }
    return ReadHostFile(file);
}

bool FakeMachine::ExistsOnDrive(char letter, const std::string& relative) const {
    return std::filesystem::exists(Below(DriveFolder(letter), relative));
}

}  // namespace vocell::test
