#pragma once
// A PosixFileSystem with drive E: mounted on a fresh "card" directory, for the contract every
// file system keeps and for the Linux one's own cases; beside it an "outside" directory that
// nothing done through E: may touch.

#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/DriveMap.h"
#include "platform/linux/files/PosixFileSystem.h"
#include "tests/platform/FileSystemContract.h"
#include "tests/support/TempDirectory.h"

namespace vocell::posix::test {

using namespace vocell::test;
namespace fs = std::filesystem;

inline PosixFileSystem OnDrives(std::initializer_list<std::pair<std::string, fs::path>> mounts) {
    DriveMap drives;
    for (const auto& [prefix, directory] : mounts) drives.AddMount(prefix, directory);
    return PosixFileSystem(std::move(drives), std::chrono::milliseconds(0));
}

struct PosixCard {
    static constexpr int kFileNotFound = ENOENT;
    PosixCard() {
        fs::create_directories(root);
        fs::create_directories(outside);
    }
    [[nodiscard]] std::string Path(const std::string& name) const { return "E:\\" + name; }
    [[nodiscard]] fs::path Host(std::string name) const {
        std::replace(name.begin(), name.end(), '\\', '/');
        return root / name;
    }
    void Put(const std::string& name, const std::string& content) const { PutHostFile(Host(name), content); }
    [[nodiscard]] std::string Get(const std::string& name) const { return ReadHostFile(Host(name)); }
    [[nodiscard]] bool Exists(const std::string& name) const { return fs::exists(Host(name)); }
    void HardLink(const std::string& existing, const std::string& name) const {
        fs::create_hard_link(Host(existing), Host(name));
    }

    TempDirectory temp;
    fs::path root = temp.path() / "card";
    fs::path outside = temp.path() / "outside";
    PosixFileSystem fs = OnDrives({{"E:", root}});
};

// A mount made for the life of a test; mounting needs root, and a test without it is skipped.
class TestMount {
public:
    TestMount(const char* source, const fs::path& where, const char* type, unsigned long flags)
        : where_(where) {
        fs::create_directories(where_);
        mounted_ = ::mount(source, where_.c_str(), type, flags, "size=1m") == 0;
    }
    TestMount(const TestMount&) = delete;
    TestMount& operator=(const TestMount&) = delete;
    ~TestMount() {
        if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
    }
    [[nodiscard]] bool mounted() const { return mounted_; }

private:
    fs::path where_;
    bool mounted_ = false;
};

class PosixFileSystemTest : public FileSystemContract<PosixCard> {
protected:
    const fs::path& root_ = card_.root;
    const fs::path& outside_ = card_.outside;
};

}  // namespace vocell::posix::test
