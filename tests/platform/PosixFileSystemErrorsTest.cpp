// How failures are reported: the portable error of each kind of failure, and the failures
// that only permissions or a full disk bring about.

#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <vector>

#include "PosixFileSystemFixture.h"

namespace vocell::posix::test {
namespace {

namespace fs = std::filesystem;
using PosixErrorMapping = PosixFileSystemTest;

TEST_F(PosixErrorMapping, MissingFolderOnTheWayIsPathNotFoundMissingEntryIsNotFound) {
    fs::create_directories(card_ / "VM");
    EXPECT_EQ(fs_->OpenRead("E:\\NOPE\\A.TXT").status().error, FsError::PathNotFound);
    EXPECT_EQ(fs_->OpenRead("E:\\VM\\A.TXT").status().error, FsError::NotFound);
    EXPECT_EQ(fs_->OpenWrite("E:\\NOPE\\A.TXT").status().error, FsError::PathNotFound);
    EXPECT_EQ(fs_->CreateFolder("E:\\NOPE\\SUB").error, FsError::PathNotFound);
    EXPECT_EQ(fs_->ListFolder("E:\\VM\\NOPE\\DEEPER").status().error, FsError::PathNotFound);
    EXPECT_EQ(fs_->ListFolder("E:\\VM\\NOPE").status().error, FsError::NotFound);
    EXPECT_EQ(fs_->Times("E:\\VM\\NOPE").status().error, FsError::NotFound);
    EXPECT_EQ(fs_->Attributes("E:\\NOPE\\X").status().error, FsError::PathNotFound);
    EXPECT_EQ(fs_->FileSize("E:\\VM\\NOPE").status().error, FsError::NotFound);
    EXPECT_EQ(fs_->DeleteTree("E:\\VM\\NOPE").error, FsError::NotFound);
    EXPECT_EQ(fs_->DeleteTree("E:\\NOPE\\SUB").error, FsError::PathNotFound);
    EXPECT_EQ(fs_->Rename("E:\\VM\\NOPE", "E:\\VM\\OTHER").error, FsError::NotFound);

    const FsStatus missing = fs_->OpenRead("E:\\VM\\A.TXT").status();
    EXPECT_EQ(missing.nativeCode, ENOENT);
}

TEST_F(PosixErrorMapping, FileUsedAsAFolderIsPathNotFoundFolderUsedAsAFileIsAccessDenied) {
    WriteHostFile(card_ / "A.TXT", "a");
    EXPECT_EQ(fs_->OpenRead("E:\\A.TXT\\B").status().error, FsError::PathNotFound);
    EXPECT_EQ(fs_->ListFolder("E:\\A.TXT").status().error, FsError::PathNotFound);
    fs::create_directories(card_ / "DIR");
    EXPECT_EQ(fs_->OpenRead("E:\\DIR").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->OpenWrite("E:\\DIR").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->RemoveFile("E:\\DIR").error, FsError::AccessDenied);
    EXPECT_TRUE(fs::is_directory(card_ / "DIR"));
    EXPECT_EQ(ValueOf(fs_->FileSize("E:\\DIR")), 0u);
}

TEST_F(PosixErrorMapping, CreateFolderAcceptsAFolderButNotAFileInTheWay) {
    fs::create_directories(card_ / "DIR");
    WriteHostFile(card_ / "A.TXT", "a");
    EXPECT_TRUE(fs_->CreateFolder("E:\\DIR").ok());
    EXPECT_TRUE(fs_->CreateFolder("E:\\").ok());
    const FsStatus overFile = fs_->CreateFolder("E:\\A.TXT");
    EXPECT_EQ(overFile.error, FsError::AccessDenied);
    EXPECT_EQ(overFile.nativeCode, EEXIST);
}

TEST_F(PosixErrorMapping, DriveRootItselfCannotBeDeletedRenamedOrRemoved) {
    WriteHostFile(card_ / "A.TXT", "a");
    EXPECT_EQ(fs_->DeleteTree("E:\\").error, FsError::AccessDenied);
    EXPECT_EQ(fs_->RemoveFile("E:\\").error, FsError::AccessDenied);
    EXPECT_EQ(fs_->Rename("E:\\", "E:\\X").error, FsError::AccessDenied);
    EXPECT_EQ(fs_->Rename("E:\\A.TXT", "E:\\").error, FsError::AccessDenied);
    EXPECT_EQ(fs_->OpenRead("E:\\").status().error, FsError::AccessDenied);
    EXPECT_EQ(ReadHostFile(card_ / "A.TXT"), "a");
}

TEST(PosixMissingMedium, MountDirectoryThatIsGoneMeansNotReady) {
    TempDirectory temp;
    DriveMap drives;
    drives.AddMount("E:", temp.path() / "absent");
    PosixFileSystem fs(std::move(drives));
    EXPECT_EQ(fs.ListFolder("E:\\").status().error, FsError::NotReady);
    EXPECT_EQ(fs.OpenRead("E:\\VM\\A.TXT").status().error, FsError::NotReady);
    EXPECT_EQ(fs.FlushVolume("E:\\").error, FsError::NotReady);
}

TEST(PosixDiskFull, WritingPastTheEndOfTheMediumIsDiskFull) {
    TempDirectory temp;
    TestMount small("tmpfs", temp.path() / "small", "tmpfs", 0);
    if (!small.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
    DriveMap drives;
    drives.AddMount("E:", temp.path() / "small");
    PosixFileSystem fs(std::move(drives));

    auto writer = fs.OpenWrite("E:\\BIG.BIN");
    ASSERT_TRUE(writer.ok());
    const std::vector<std::byte> block(64 * 1024, std::byte{0x5a});
    FsStatus failure;
    for (int i = 0; i < 32 && failure.ok(); ++i) failure = writer.value()->Write(block);
    if (failure.ok()) failure = writer.value()->Close();
    EXPECT_EQ(failure.error, FsError::DiskFull);
    EXPECT_EQ(failure.nativeCode, ENOSPC);
}

// Root passes every permission check; the checks below need a process without that power.
bool DropPermissionOverride() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) data[0].effective &= ~(1u << capability);
    return ::syscall(SYS_capset, &header, data) == 0;
}

#define CHECK_IN_CHILD(condition)                            \
    do {                                                     \
        if (!(condition)) {                                  \
            std::cerr << "failed: " #condition << std::endl; \
            std::_Exit(1);                                   \
        }                                                    \
    } while (false)

using PosixPermissions = PosixFileSystemTest;

// In one child process: a read-only file refuses create until the bit is cleared, an unreadable
// folder is access denied, and DeleteTree still removes read-only files and folders.
TEST_F(PosixPermissions, ReadOnlyFilesAndClosedFoldersWithoutThePermissionOverride) {
    WriteHostFile(card_ / "LOCKED.TXT", "old");
    ASSERT_TRUE(fs_->SetAttributes("E:\\LOCKED.TXT", FileAttribute::ReadOnly).ok());
    fs::create_directories(card_ / "CLOSED" / "IN");
    fs::permissions(card_ / "CLOSED", fs::perms::none);
    fs::create_directories(card_ / "TREE" / "SUB" / "DEEP");
    WriteHostFile(card_ / "TREE" / "RO.TXT", "r");
    WriteHostFile(card_ / "TREE" / "SUB" / "DEEP" / "RO.TXT", "r");
    ASSERT_TRUE(fs_->SetAttributes("E:\\TREE\\RO.TXT", FileAttribute::ReadOnly).ok());
    ASSERT_TRUE(fs_->SetAttributes("E:\\TREE\\SUB\\DEEP\\RO.TXT", FileAttribute::ReadOnly).ok());
    fs::permissions(card_ / "TREE" / "SUB" / "DEEP", fs::perms::owner_write, fs::perm_options::remove);
    fs::permissions(card_ / "TREE" / "SUB", fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EXIT(
        {
            CHECK_IN_CHILD(DropPermissionOverride());
            const FsStatus refused = fs_->OpenWrite("E:\\LOCKED.TXT").status();
            CHECK_IN_CHILD(refused.error == FsError::AccessDenied);
            CHECK_IN_CHILD(refused.nativeCode == EACCES);
            CHECK_IN_CHILD(ReadHostFile(card_ / "LOCKED.TXT") == "old");
            CHECK_IN_CHILD(fs_->SetAttributes("E:\\LOCKED.TXT", FileAttribute::Archive).ok());
            CHECK_IN_CHILD(WriteFile("E:\\LOCKED.TXT", "new").ok());
            CHECK_IN_CHILD(ReadHostFile(card_ / "LOCKED.TXT") == "new");
            CHECK_IN_CHILD(fs_->ListFolder("E:\\CLOSED").status().error == FsError::AccessDenied);
            CHECK_IN_CHILD(fs_->OpenRead("E:\\CLOSED\\IN\\X").status().error == FsError::AccessDenied);
            CHECK_IN_CHILD(fs_->DeleteTree("E:\\TREE").ok());
            CHECK_IN_CHILD(!fs::exists(card_ / "TREE"));
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    // DeleteTree the same as the process it is, root or not.
    fs::create_directories(card_ / "AGAIN");
    WriteHostFile(card_ / "AGAIN" / "RO.TXT", "r");
    ASSERT_TRUE(fs_->SetAttributes("E:\\AGAIN\\RO.TXT", FileAttribute::ReadOnly).ok());
    EXPECT_TRUE(fs_->DeleteTree("E:\\AGAIN").ok());
    EXPECT_FALSE(fs::exists(card_ / "AGAIN"));
}

}  // namespace
}  // namespace vocell::posix::test
