#include "tests/support/TestDrives.h"

namespace vocell::test {

TestDrives::TestDrives() {
    posix::DriveMap drives;
    for (const char* letter : {"E", "F", "Z"}) {
        std::filesystem::create_directories(temp_.path() / letter);
        drives.AddMount(std::string(letter) + ":", temp_.path() / letter);
    }
    fileSystem_ = std::make_unique<posix::PosixFileSystem>(std::move(drives));
}

void TestDrives::Put(const std::filesystem::path& file, const std::string& content) {
    std::filesystem::create_directories(file.parent_path());
    WriteHostFile(file, content);
}

std::string TestDrives::Get(const std::filesystem::path& file) { return ReadHostFile(file); }

}  // namespace vocell::test
