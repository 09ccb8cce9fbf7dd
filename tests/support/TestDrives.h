#pragma once
// Drives for tests, in a fresh temporary directory: card E:, a second card F:, and the host
// folder Z: where archives are kept, all behind one PosixFileSystem.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/posix/PosixFileSystem.h"
#include "tests/support/TempDirectory.h"

namespace vocell::test {

class TestDrives {
public:
    TestDrives();

    [[nodiscard]] FileSystem& fileSystem() { return *fileSystem_; }
    [[nodiscard]] std::filesystem::path cardE() const { return temp_.path() / "E"; }
    [[nodiscard]] std::filesystem::path cardF() const { return temp_.path() / "F"; }
    [[nodiscard]] std::filesystem::path host() const { return temp_.path() / "Z"; }

    // Writes a file below a host folder, creating the folders on the way.
    static void Put(const std::filesystem::path& file, const std::string& content);
    static std::string Get(const std::filesystem::path& file);

private:
    TempDirectory temp_;
    std::unique_ptr<posix::PosixFileSystem> fileSystem_;
};

}  // namespace vocell::test
