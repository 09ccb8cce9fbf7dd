// The Windows file system on real Win32 calls: the contract every file system keeps, and what only
// Windows has: hidden and system files, the paths it refuses, its error codes and its words for them.

#include "FileSystemContract.h"
#include "platform/win32/Win32Errors.h"
#include "platform/win32/Win32FileSystem.h"
#include "tests/windows/WineDrives.h"

namespace vocell::win32::test {
namespace {

using namespace vocell::test;

struct Win32Card {
    static constexpr int kFileNotFound = ERROR_FILE_NOT_FOUND;
    [[nodiscard]] std::string Path(const std::string& name) const { return temp / name; }
    void Put(const std::string& name, const std::string& content) const { PutFile(Path(name), content); }
    [[nodiscard]] std::string Get(const std::string& name) const { return GetFile(Path(name)); }
    [[nodiscard]] bool Exists(const std::string& name) const {
        return ::vocell::win32::test::Exists(Path(name));
    }
    void HardLink(const std::string& existing, const std::string& name) const {
        ASSERT_TRUE(::CreateHardLinkA(Path(name).c_str(), Path(existing).c_str(), nullptr));
    }

    TempFolder temp;
    Win32FileSystem fs;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemContract, Win32Card);

using Win32FileSystemTest = FileSystemContract<Win32Card>;

TEST_F(Win32FileSystemTest, HiddenAndSystemFilesAreRewrittenAndKeepTheirBits) {
    const std::string path = card_.Path("A.TXT");
    ASSERT_TRUE(Write("A.TXT", "a longer first content").ok());
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(Write("A.TXT", "new").ok());
    EXPECT_EQ(GetFile(path), "new");
    const std::uint32_t attributes =
        FileAttribute::Hidden | FileAttribute::System | FileAttribute::ReadOnly | FileAttribute::Archive;
    ASSERT_TRUE(fs_.SetAttributes(path, attributes).ok());
    EXPECT_EQ(fs_.Attributes(path).value(), attributes);
    // The stored word of a folder carries the folder bit, which is no attribute one can set.
    const std::string folder = card_.Path("SUB");
    ASSERT_TRUE(fs_.CreateFolder(folder).ok());
    ASSERT_TRUE(fs_.SetAttributes(folder, FileAttribute::Directory | FileAttribute::Hidden).ok());
    EXPECT_EQ(fs_.Attributes(folder).value(), FileAttribute::Directory | FileAttribute::Hidden);
    EXPECT_EQ(fs_.DeleteTree("C:\\").error, FsError::AccessDenied) << "a whole drive is never deleted";
}

// A name Windows would shorten ("A.TXT." and "A.TXT " are "A.TXT" to it) reaches no other entry.
TEST_F(Win32FileSystemTest, PathsThatCouldLeaveTheDriveAreRefusedAndTouchNothing) {
    const TempFolder& temp = card_.temp;
    PutFile(temp / "A.TXT", "a");
    for (const std::string& path :
         {temp / "SUB\\..\\..\\ESCAPED.TXT", temp / "NUL", temp / "com1.txt", temp / "A.TXT:stream",
          temp / "*.TXT", std::string("\\\\?\\") + temp / "X.TXT", std::string("relative\\X.TXT"),
          std::string("C:X.TXT"), temp / "A.TXT.", temp / "A.TXT "}) {
        EXPECT_EQ(fs_.OpenWrite(path).status().error, FsError::PathNotFound) << path;
        EXPECT_EQ(fs_.CreateFolder(path).error, FsError::PathNotFound) << path;
    }
    EXPECT_EQ(fs_.ListFolder(temp / "*").status().error, FsError::PathNotFound);
    EXPECT_EQ(GetFile(temp / "A.TXT"), "a");
    EXPECT_FALSE(Exists(temp.path() + "\\..\\ESCAPED.TXT"));
}

TEST_F(Win32FileSystemTest, FailuresAreDescribedInTheSystemsWords) {
    auto missingFile = fs_.OpenRead(card_.Path("NONE.TXT"));
    const std::string words = fs_.DescribeError(missingFile.status());
    EXPECT_EQ(words, SystemMessage(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(words.empty());
    EXPECT_NE(words.back(), '.');
    EXPECT_NE(words.back(), '\n');
}

TEST(Win32Errors, CodesMapOntoThePortableErrors) {
    const std::pair<DWORD, FsError> cases[] = {
        {ERROR_SUCCESS, FsError::None},
        {ERROR_FILE_NOT_FOUND, FsError::NotFound},
        {ERROR_PATH_NOT_FOUND, FsError::PathNotFound},
        {ERROR_ACCESS_DENIED, FsError::AccessDenied},
        {ERROR_NOT_READY, FsError::NotReady},
        {ERROR_DISK_FULL, FsError::DiskFull},
        {ERROR_HANDLE_DISK_FULL, FsError::DiskFull},
        {ERROR_INVALID_HANDLE, FsError::InvalidHandle},
        {ERROR_INVALID_DATA, FsError::InvalidData},
        {ERROR_SHARING_VIOLATION, FsError::AccessDenied},
        {ERROR_FILENAME_EXCED_RANGE, FsError::PathNotFound},
        {ERROR_GEN_FAILURE, FsError::Other},
        {ERROR_DEVICE_REMOVED, FsError::Other},
    };
    for (const auto& [code, error] : cases) EXPECT_EQ(FsErrorFromWin32(code), error) << code;
}

}  // namespace
}  // namespace vocell::win32::test
