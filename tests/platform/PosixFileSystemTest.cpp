// The Linux file system: the contract every file system keeps, and what only Linux brings about:
// reads that wait for the medium, umasks and ACLs, permissions without root's override, a full
// tmpfs, a card gone or swapped, bind mounts, drives remounted or nested.

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

#include "platform/linux/files/FileTimeConversion.h"
#include "tests/platform/PosixFileSystemFixture.h"

namespace vocell::posix::test {
namespace {

INSTANTIATE_TYPED_TEST_SUITE_P(Posix, FileSystemContract, PosixCard);

std::string ReadAll(FsResult<std::unique_ptr<FileReader>> reader, std::size_t size) {
    EXPECT_TRUE(reader.ok());
    if (!reader.ok()) return {};
    std::string back(size + 1, '\0');
    auto read = ReadFully(*reader.value(), std::as_writable_bytes(std::span<char>(back)));
    return back.substr(0, ValueOf(read));
}

TEST_F(PosixFileSystemTest, FilesNotInMemoryAreReadFromTheMediumAllTheSame) {
    // Reads first ask only for what is in memory; files pushed out of it must still read whole,
    // before and after enough of them turn reading ahead on.
    for (std::size_t i = 0; i < 6; ++i) {
        const std::string name = "COLD" + std::to_string(i) + ".WAV";
        const std::string content(200000 + i, static_cast<char>('a' + i));
        WriteHostFile(root_ / name, content);
        const int fd = ::open((root_ / name).c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        ::fsync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
        auto reader = fs_.OpenRead("E:\\" + name);
        ASSERT_TRUE(reader.ok());
        reader.value()->Prefetch();
        EXPECT_EQ(ReadAll(std::move(reader), content.size()), content) << name;
    }
}

// Reading a file back from the medium gives its content and leaves the access time a restore
// has just set, where a plain read on this mount would move it on.
TEST_F(PosixFileSystemTest, ReadingBackFromTheMediumKeepsTheAccessTime) {
    const std::string content(100'000, 'r');
    for (const char* name : {"PLAIN.WAV", "BACK.WAV"}) {
        WriteHostFile(root_ / name, content);
        ASSERT_TRUE(fs_.SetTimes("E:\\" + std::string(name), {0, kTimeA, kTimeA}).ok());
        ASSERT_TRUE(fs_.FlushVolume("E:\\").ok());
    }
    static_cast<void>(ReadAll(fs_.OpenRead("E:\\PLAIN.WAV"), content.size()));
    EXPECT_EQ(ReadAll(fs_.OpenReadFromMedium("E:\\BACK.WAV"), content.size()), content);
    EXPECT_EQ(ValueOf(fs_.Times("E:\\BACK.WAV")).lastAccess, kTimeA);
    if (ValueOf(fs_.Times("E:\\PLAIN.WAV")).lastAccess == kTimeA) {
        GTEST_SKIP() << "this mount keeps no access times, so the read back could not have moved it";
    }
}

TEST(MediumPace, ReadingAheadStartsWhenReadsWaitForTheMediumCloseTogether) {
    posix::MediumPace pace;
    for (int i = 0; i < 15; ++i) pace.Waited();
    EXPECT_FALSE(pace.readsAhead()) << "a busy page now and then is no slow medium";
    EXPECT_TRUE(pace.asksFirst());
    for (int i = 0; i < 1024; ++i) pace.DidNotWait();
    pace.Waited();
    EXPECT_FALSE(pace.readsAhead()) << "waits far apart do not add up";
    for (int i = 0; i < 15; ++i) pace.Waited();
    EXPECT_TRUE(pace.readsAhead());
    EXPECT_FALSE(pace.asksFirst());

    posix::MediumPace cannotTell;
    cannotTell.CannotTell();
    EXPECT_TRUE(cannotTell.readsAhead());
    EXPECT_FALSE(cannotTell.asksFirst());
}

// The mode bits of a host file.
fs::perms PermissionsOf(const fs::path& path) { return fs::status(path).permissions() & fs::perms::all; }

TEST_F(PosixFileSystemTest, ReadOnlyIsTheWriteBitsOfFilesAndNoneOfFolders) {
    WriteHostFile(root_ / "A.TXT", "a");
    ASSERT_TRUE(fs_.SetAttributes("E:\\A.TXT", FileAttribute::ReadOnly).ok());
    EXPECT_EQ(PermissionsOf(root_ / "A.TXT") &
                  (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write),
              fs::perms::none);
    ASSERT_TRUE(fs_.SetAttributes("E:\\A.TXT", FileAttribute::Archive).ok());
    EXPECT_NE(PermissionsOf(root_ / "A.TXT") & fs::perms::owner_write, fs::perms::none);
    // Bits without a meaning here are accepted and ignored; a folder still takes files.
    ASSERT_TRUE(fs_.SetAttributes("E:\\A.TXT", FileAttribute::Hidden | FileAttribute::System).ok());
    EXPECT_EQ(ValueOf(fs_.Attributes("E:\\A.TXT")), FileAttribute::Archive);
    fs::create_directories(root_ / "DIR");
    ASSERT_TRUE(fs_.SetAttributes("E:\\DIR", FileAttribute::Directory | FileAttribute::ReadOnly).ok());
    EXPECT_EQ(ValueOf(fs_.Attributes("E:\\DIR")), FileAttribute::Directory);
    EXPECT_NE(PermissionsOf(root_ / "DIR") & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(ValueOf(fs_.Attributes("E:\\")), FileAttribute::Directory);
    // A dot file is no hidden file here.
    card_.Put("DOT\\.hidden", "h");
    const auto listing = ValueOf(fs_.ListFolder("E:\\DOT"));
    ASSERT_EQ(listing.size(), 1u);
    EXPECT_EQ(listing[0].attributes, FileAttribute::Archive);
}

TEST_F(PosixFileSystemTest, NewFilesGetTheirReadOnlyBitUnderAnyUmaskOrDefaultAcl) {
    const mode_t usual = ::umask(0277);  // new files come out 0400: not writable by the owner
    auto plain = fs_.OpenWrite("E:\\PLAIN.TXT");
    auto locked = fs_.CreateNew("E:\\LOCKED.TXT");
    ::umask(usual);
    ASSERT_TRUE(plain.ok() && locked.ok());
    ASSERT_TRUE(plain.value()->SetAttributes(FileAttribute::Archive).ok());
    ASSERT_TRUE(locked.value()->SetAttributes(FileAttribute::Archive | FileAttribute::ReadOnly).ok());
    EXPECT_EQ(PermissionsOf(root_ / "PLAIN.TXT"), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(PermissionsOf(root_ / "LOCKED.TXT"), fs::perms::owner_read);

    // A default ACL that gives the owner of new files no write permission, whatever the umask.
    fs::create_directories(root_ / "ACL");
    const std::uint16_t readOnlyAcl[] = {2, 0,      0x01,   4,    0xffff, 0xffff, 0x04,
                                         4, 0xffff, 0xffff, 0x20, 4,      0xffff, 0xffff};
    if (::setxattr((root_ / "ACL").c_str(), "system.posix_acl_default", readOnlyAcl, sizeof readOnlyAcl, 0) !=
        0) {
        GTEST_SKIP() << "no ACLs here: " << std::strerror(errno);
    }
    auto underAcl = fs_.OpenWrite("E:\\ACL\\PLAIN.TXT");
    ASSERT_TRUE(underAcl.ok());
    ASSERT_EQ(PermissionsOf(root_ / "ACL" / "PLAIN.TXT") & fs::perms::owner_write, fs::perms::none);
    ASSERT_TRUE(underAcl.value()->SetAttributes(FileAttribute::Archive).ok());
    EXPECT_NE(PermissionsOf(root_ / "ACL" / "PLAIN.TXT") & fs::perms::owner_write, fs::perms::none);
}

TEST_F(PosixFileSystemTest, CreationTimeIsReportedWhereTheFileSystemKeepsIt) {
    WriteHostFile(root_ / "A.TXT", "a");
    struct statx info {};
    ASSERT_EQ(::statx(AT_FDCWD, (root_ / "A.TXT").c_str(), 0, STATX_BTIME, &info), 0);
    EXPECT_EQ(ValueOf(fs_.Times("E:\\A.TXT")).creation,
              (info.stx_mask & STATX_BTIME) == 0
                  ? 0u
                  : FileTimeFromUnix(info.stx_btime.tv_sec, info.stx_btime.tv_nsec));
}

TEST_F(PosixFileSystemTest, DriveRootItselfCannotBeDeletedRenamedOrRemoved) {
    WriteHostFile(root_ / "A.TXT", "a");
    EXPECT_EQ(fs_.DeleteTree("E:\\").error, FsError::AccessDenied);
    EXPECT_EQ(fs_.RemoveFile("E:\\").error, FsError::AccessDenied);
    EXPECT_EQ(fs_.Rename("E:\\", "E:\\X").error, FsError::AccessDenied);
    EXPECT_EQ(fs_.Rename("E:\\A.TXT", "E:\\").error, FsError::AccessDenied);
    EXPECT_EQ(fs_.OpenRead("E:\\").status().error, FsError::AccessDenied);
    EXPECT_TRUE(fs_.CreateFolder("E:\\").ok());
    EXPECT_EQ(fs_.CreateFolder("E:\\A.TXT").nativeCode, EEXIST);
    EXPECT_TRUE(fs_.FlushVolume("E:\\").ok());
    EXPECT_EQ(fs_.FlushVolume("F:\\").error, FsError::PathNotFound);
    EXPECT_EQ(ReadHostFile(root_ / "A.TXT"), "a");
}

TEST_F(PosixFileSystemTest, CardGoneOrSwappedUnderTheMountPointIsSeenAfresh) {
    card_.Put("VM\\A.TXT", "first card");
    ASSERT_EQ(Read("VM\\A.TXT"), "first card");
    fs::rename(root_, root_.string() + ".out");
    EXPECT_EQ(fs_.OpenRead("E:\\VM\\A.TXT").status().error, FsError::NotReady);
    EXPECT_EQ(fs_.ListFolder("E:\\").status().error, FsError::NotReady);
    EXPECT_EQ(fs_.FlushVolume("E:\\").error, FsError::NotReady);
    card_.Put("VM\\A.TXT", "second card");
    EXPECT_EQ(Read("VM\\A.TXT"), "second card");
}

TEST(PosixDiskFull, WritingPastTheEndOfTheMediumIsDiskFull) {
    TempDirectory temp;
    TestMount small("tmpfs", temp.path() / "small", "tmpfs", 0);
    if (!small.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
    PosixFileSystem fs = OnDrives({{"E:", temp.path() / "small"}});
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

// In one child process: a read-only file refuses create until the bit is cleared, an unreadable
// folder is access denied, and DeleteTree still removes read-only files in closed folders.
TEST_F(PosixFileSystemTest, ReadOnlyFilesAndClosedFoldersWithoutThePermissionOverride) {
    WriteHostFile(root_ / "LOCKED.TXT", "old");
    ASSERT_TRUE(fs_.SetAttributes("E:\\LOCKED.TXT", FileAttribute::ReadOnly).ok());
    fs::create_directories(root_ / "CLOSED" / "IN");
    fs::permissions(root_ / "CLOSED", fs::perms::none);
    card_.Put("TREE\\RO.TXT", "r");
    card_.Put("TREE\\SUB\\DEEP\\RO.TXT", "r");
    ASSERT_TRUE(fs_.SetAttributes("E:\\TREE\\RO.TXT", FileAttribute::ReadOnly).ok());
    ASSERT_TRUE(fs_.SetAttributes("E:\\TREE\\SUB\\DEEP\\RO.TXT", FileAttribute::ReadOnly).ok());
    fs::permissions(root_ / "TREE" / "SUB" / "DEEP", fs::perms::owner_write, fs::perm_options::remove);
    fs::permissions(root_ / "TREE" / "SUB", fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EXIT(
        {
            CHECK_IN_CHILD(DropPermissionOverride());
            const FsStatus refused = fs_.OpenWrite("E:\\LOCKED.TXT").status();
            CHECK_IN_CHILD(refused.error == FsError::AccessDenied);
            CHECK_IN_CHILD(refused.nativeCode == EACCES);
            CHECK_IN_CHILD(ReadHostFile(root_ / "LOCKED.TXT") == "old");
            CHECK_IN_CHILD(fs_.SetAttributes("E:\\LOCKED.TXT", FileAttribute::Archive).ok());
            CHECK_IN_CHILD(Write("LOCKED.TXT", "new").ok());
            CHECK_IN_CHILD(ReadHostFile(root_ / "LOCKED.TXT") == "new");
            CHECK_IN_CHILD(fs_.ListFolder("E:\\CLOSED").status().error == FsError::AccessDenied);
            CHECK_IN_CHILD(fs_.OpenRead("E:\\CLOSED\\IN\\X").status().error == FsError::AccessDenied);
            CHECK_IN_CHILD(fs_.DeleteTree("E:\\TREE").ok());
            CHECK_IN_CHILD(!fs::exists(root_ / "TREE"));
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(PosixFileSystemTest, ContainmentSeesThroughOtherNamesForTheSameFolder) {
    DriveMap drives;
    drives.AddMount("E:", root_);
    drives.AddMount("Z:", card_.temp.path(), MountReach::AnyFileSystem);
    PosixFileSystem host(std::move(drives));
    card_.Put("VM\\A.TXT", "a");
    WriteHostFile(outside_ / "b.vcb", "x");
    EXPECT_TRUE(ValueOf(host.LiesWithin("Z:\\card\\VM", "E:\\")));
    EXPECT_FALSE(ValueOf(host.LiesWithin("Z:\\outside\\b.vcb", "E:\\")));

    TestMount alias(root_.c_str(), card_.temp.path() / "alias", nullptr, MS_BIND);
    if (!alias.mounted()) GTEST_SKIP() << "cannot bind-mount here";
    EXPECT_TRUE(ValueOf(host.LiesWithin("Z:\\alias\\VM\\A.TXT", "E:\\")));
    EXPECT_TRUE(ValueOf(host.LiesWithin("Z:\\alias", "E:\\")));
}

// Mounts that change while the file system is in use: a drive map replaced when removable
// drives come and go, and mounts nested in one another (the install folder and its Backup).
TEST(PosixFileSystemMounts, NestedMountIsNotTakenForAFolderOfTheOuterOne) {
    TempDirectory temp;
    fs::create_directories(temp.path() / "install" / "Data");
    fs::create_directories(temp.path() / "backups");
    PosixFileSystem fs = OnDrives({{"C:\\Harlo\\Vocell", temp.path() / "install"},
                                   {"C:\\Harlo\\Vocell\\Backup", temp.path() / "backups"}});
    ASSERT_TRUE(fs.Attributes("C:\\Harlo\\Vocell\\Data").ok());
    // The install folder has no Backup of its own: the nested mount is the one reached.
    EXPECT_EQ(ValueOf(fs.Attributes("C:\\Harlo\\Vocell\\Backup")), FileAttribute::Directory);
    EXPECT_TRUE(fs.Attributes("C:\\Harlo\\Vocell\\Data").ok());
}

TEST(PosixFileSystemMounts, RemountedDriveIsReachedOnItsNewDirectory) {
    TempDirectory temp;
    PutHostFile(temp.path() / "first" / "VM" / "A.TXT", "first card");
    PutHostFile(temp.path() / "second" / "VM" / "A.TXT", "second card");
    DriveMap drives;
    drives.AddMount("E:", temp.path() / "first");
    PosixFileSystem fs(drives, std::chrono::hours(1));  // the cached folder is never rechecked by time
    ASSERT_TRUE(fs.FileSize("E:\\VM\\A.TXT").ok());
    DriveMap moved;
    moved.AddMount("E:", temp.path() / "second");
    fs.Remount(std::move(moved));
    EXPECT_TRUE(fs.OpenWrite("E:\\VM\\B.TXT").ok());
    EXPECT_TRUE(fs::exists(temp.path() / "second" / "VM" / "B.TXT"));
    EXPECT_FALSE(fs::exists(temp.path() / "first" / "VM" / "B.TXT"));
}

}  // namespace
}  // namespace vocell::posix::test
