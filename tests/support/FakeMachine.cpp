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

FakeMachine::FakeMachine(std::string_view cards) : volumes_(temp_.path()) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        drives_.Add(std::string(1, letter) + ":", volumes_.DriveFolder(letter));
    }
    drives_.Add("C:\\Harlo\\Vocell", installFolder());
    fileSystem_ = drives_.OpenFileSystem();
    Install();
    volumes_.AddDrive('C', DriveType::Fixed, true, "", kSystemDisk);
    for (char letter : cards) volumes_.AddDrive(letter, DriveType::Removable);
    if (!cards.empty()) volumes_.AddDrive('Z', DriveType::Fixed, true, "", kSystemDisk);
}

FakeMachine::~FakeMachine() = default;

FileSystem& FakeMachine::fileSystem() { return *fileSystem_; }

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
