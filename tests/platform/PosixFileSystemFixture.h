#pragma once
// A PosixFileSystem with drive E: mounted on a fresh "card" directory, a sibling "outside"
// directory that nothing done through E: may touch, and helpers to move whole files.

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <span>
#include <string>

#include "platform/FileSystem.h"
#include "platform/linux/files/DriveMap.h"
#include "platform/linux/files/PosixFileSystem.h"
#include "tests/support/TempDirectory.h"

namespace vocell {
inline void PrintTo(FsError error, std::ostream* out) { *out << FsErrorName(error); }
}  // namespace vocell

namespace vocell::posix::test {

using vocell::test::ReadHostFile;
using vocell::test::TempDirectory;
using vocell::test::WriteHostFile;

inline std::span<const std::byte> BytesOf(const std::string& text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

// The result's value; a failure is recorded, and a default value returned, when it holds none.
template <typename T>
T ValueOf(FsResult<T> result) {
    EXPECT_TRUE(result.ok()) << FsErrorName(result.status().error);
    return result.ok() ? std::move(result.value()) : T{};
}

// A mount made for the life of a test; mounting needs root, and a test without it is skipped.
class TestMount {
public:
    TestMount(const char* source, const std::filesystem::path& where, const char* type, unsigned long flags)
        : where_(where) {
        std::filesystem::create_directories(where_);
        mounted_ = ::mount(source, where_.c_str(), type, flags, "size=1m") == 0;
    }
    TestMount(const TestMount&) = delete;
    TestMount& operator=(const TestMount&) = delete;
    ~TestMount() {
        if (mounted_) ::umount2(where_.c_str(), MNT_DETACH);
    }
    [[nodiscard]] bool mounted() const { return mounted_; }

private:
    std::filesystem::path where_;
    bool mounted_ = false;
};

class PosixFileSystemTest : public ::testing::Test {
protected:
    PosixFileSystemTest() : card_(temp_.path() / "card"), outside_(temp_.path() / "outside") {
        std::filesystem::create_directories(card_);
        std::filesystem::create_directories(outside_);
        DriveMap drives;
        drives.AddMount("E:", card_);
        fs_ = std::make_unique<PosixFileSystem>(std::move(drives), std::chrono::milliseconds(0));
    }

    FsStatus WriteFile(const std::string& path, const std::string& content) {
        auto writer = fs_->OpenWrite(path);
        if (!writer.ok()) return writer.status();
        if (auto status = writer.value()->Write(BytesOf(content)); !status.ok()) return status;
        return writer.value()->Close();
    }

    FsResult<std::string> ReadFile(const std::string& path) {
        auto reader = fs_->OpenRead(path);
        if (!reader.ok()) return reader.status();
        std::string content;
        std::byte buffer[7];  // small, so that reads take several calls
        for (;;) {
            auto got = reader.value()->Read(buffer);
            if (!got.ok()) return got.status();
            if (got.value() == 0) return content;
            content.append(reinterpret_cast<const char*>(buffer), got.value());
        }
    }

    TempDirectory temp_;
    std::filesystem::path card_;
    std::filesystem::path outside_;
    std::unique_ptr<PosixFileSystem> fs_;
};

}  // namespace vocell::posix::test
