// Mounts that change while the file system is in use: a drive map replaced when removable
// drives come and go, and mounts nested in one another (the install folder and its Backup).

#include <gtest/gtest.h>

#include "platform/linux/files/PosixFileSystem.h"
#include "tests/support/TempDirectory.h"

namespace vocell::posix::test {
namespace {

using vocell::test::TempDirectory;
using vocell::test::WriteHostFile;

TEST(PosixFileSystemMounts, NestedMountIsNotTakenForAFolderOfTheOuterOne) {
    TempDirectory temp;
    std::filesystem::create_directories(temp.path() / "install" / "Data");
    std::filesystem::create_directories(temp.path() / "backups");
    DriveMap drives;
    drives.AddMount("C:\\Harlo\\Vocell", temp.path() / "install");
    drives.AddMount("C:\\Harlo\\Vocell\\Backup", temp.path() / "backups");
    PosixFileSystem fs(std::move(drives), std::chrono::milliseconds(0));

    ASSERT_TRUE(fs.Attributes("C:\\Harlo\\Vocell\\Data").ok());
    // The install folder has no Backup of its own: the nested mount is the one reached.
    auto backup = fs.Attributes("C:\\Harlo\\Vocell\\Backup");
    ASSERT_TRUE(backup.ok());
    EXPECT_NE(backup.value() & FileAttribute::Directory, 0u);
    EXPECT_TRUE(fs.Attributes("C:\\Harlo\\Vocell\\Data").ok());
}

TEST(PosixFileSystemMounts, RemountedDriveIsReachedOnItsNewDirectory) {
    TempDirectory temp;
    std::filesystem::create_directories(temp.path() / "first" / "VM");
    std::filesystem::create_directories(temp.path() / "second" / "VM");
    WriteHostFile(temp.path() / "first" / "VM" / "A.TXT", "first card");
    WriteHostFile(temp.path() / "second" / "VM" / "A.TXT", "second card");
    DriveMap drives;
    drives.AddMount("E:", temp.path() / "first");
    PosixFileSystem fs(drives, std::chrono::hours(1));  // the cached folder is never rechecked by time
    ASSERT_TRUE(fs.FileSize("E:\\VM\\A.TXT").ok());

    DriveMap moved;
    moved.AddMount("E:", temp.path() / "second");
    fs.Remount(std::move(moved));
    EXPECT_TRUE(fs.OpenWrite("E:\\VM\\B.TXT").ok());
    EXPECT_TRUE(std::filesystem::exists(temp.path() / "second" / "VM" / "B.TXT"));
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "first" / "VM" / "B.TXT"));
}

}  // namespace
}  // namespace vocell::posix::test
