// Nothing done through a drive reaches outside its mount directory: not through symbolic
// links, not through a stale cached folder, not through a folder-prefix mount.

#include <sys/stat.h>

#include "tests/platform/PosixFileSystemFixture.h"

namespace vocell::posix::test {
namespace {

class PosixSymlinkConfinement : public PosixFileSystemTest {
protected:
    PosixSymlinkConfinement() {
        WriteHostFile(outside_ / "SECRET.TXT", "secret");
        fs::create_directory_symlink(outside_, root_ / "LINK");
        fs::create_symlink("../outside/SECRET.TXT", root_ / "FLINK");
        fs::create_symlink(outside_ / "CREATED.TXT", root_ / "DANGLE");
    }

    void ExpectOutsideUntouched() {
        EXPECT_EQ(ReadHostFile(outside_ / "SECRET.TXT"), "secret");
        EXPECT_EQ(fs::status(outside_ / "SECRET.TXT").permissions() & fs::perms::owner_write,
                  fs::perms::owner_write);
        EXPECT_EQ(std::distance(fs::directory_iterator(outside_), {}), 1) << "something was created outside";
    }
};

TEST_F(PosixSymlinkConfinement, FolderLinkIsNeitherListedThroughNorEntered) {
    EXPECT_EQ(fs_.ListFolder("E:\\LINK").status().error, FsError::AccessDenied);
    for (const FolderEntry& entry : ValueOf(fs_.ListFolder("E:\\")))
        EXPECT_EQ(entry.attributes, 0u) << entry.name;
    EXPECT_EQ(fs_.OpenRead("E:\\LINK\\SECRET.TXT").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_.OpenWrite("E:\\LINK\\NEW.TXT").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_.CreateFolder("E:\\LINK\\NEW").error, FsError::AccessDenied);
    EXPECT_EQ(fs_.SetAttributes("E:\\LINK\\SECRET.TXT", FileAttribute::ReadOnly).error,
              FsError::AccessDenied);
    EXPECT_EQ(fs_.DeleteTree("E:\\LINK").error, FsError::AccessDenied);
    WriteHostFile(root_ / "A.TXT", "a");
    EXPECT_EQ(fs_.Rename("E:\\A.TXT", "E:\\LINK\\A.TXT").error, FsError::AccessDenied);
    ExpectOutsideUntouched();
}

TEST_F(PosixSymlinkConfinement, FileLinkIsNeverFollowed) {
    EXPECT_EQ(fs_.OpenRead("E:\\FLINK").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_.OpenWrite("E:\\FLINK").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_.FileSize("E:\\FLINK").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_.SetAttributes("E:\\FLINK", FileAttribute::ReadOnly).error, FsError::AccessDenied);
    EXPECT_EQ(ValueOf(fs_.Attributes("E:\\FLINK")), 0u);

    struct stat before {};
    ASSERT_EQ(::stat((outside_ / "SECRET.TXT").c_str(), &before), 0);
    (void)fs_.SetTimes("E:\\FLINK", {0, 127000000000000000ULL, 127000000000000000ULL});
    struct stat after {};
    ASSERT_EQ(::stat((outside_ / "SECRET.TXT").c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    EXPECT_TRUE(fs_.RemoveFile("E:\\FLINK").ok());
    EXPECT_FALSE(fs::is_symlink(root_ / "FLINK"));
    ExpectOutsideUntouched();
}

TEST_F(PosixSymlinkConfinement, DanglingLinkCreatesNothingAtItsTarget) {
    EXPECT_EQ(fs_.OpenWrite("E:\\DANGLE").status().error, FsError::AccessDenied);
    EXPECT_FALSE(fs_.CreateFolder("E:\\DANGLE").ok());
    EXPECT_FALSE(fs::exists(outside_ / "CREATED.TXT"));
    ExpectOutsideUntouched();
}

TEST_F(PosixSymlinkConfinement, DeleteTreeUnlinksLinksWithoutDescending) {
    fs::create_directories(root_ / "TREE" / "SUB");
    fs::create_directory_symlink(outside_, root_ / "TREE" / "SUB" / "LINK");
    fs::create_symlink(outside_ / "SECRET.TXT", root_ / "TREE" / "FLINK");
    ASSERT_TRUE(fs_.DeleteTree("E:\\TREE").ok());
    EXPECT_FALSE(fs::exists(root_ / "TREE"));
    ExpectOutsideUntouched();
}

TEST_F(PosixFileSystemTest, FoldersOfTheSameNameOnOtherDrivesAreKeptApart) {
    fs::create_directories(card_.temp.path() / "other" / "VM");
    fs::create_directories(root_ / "VM");
    PosixFileSystem both = OnDrives({{"E:", root_}, {"F:", card_.temp.path() / "other"}});
    for (const std::string drive : {"E:", "F:"}) {
        auto writer = both.OpenWrite(drive + "\\VM\\" + drive.substr(0, 1) + ".TXT");
        ASSERT_TRUE(writer.ok());
        ASSERT_TRUE(writer.value()->Close().ok());
    }
    EXPECT_TRUE(fs::exists(root_ / "VM" / "E.TXT"));
    EXPECT_TRUE(fs::exists(card_.temp.path() / "other" / "VM" / "F.TXT"));
    EXPECT_FALSE(fs::exists(root_ / "VM" / "F.TXT"));
}

TEST(PosixPrefixMount, FolderPrefixResolvesBelowItsOwnDirectory) {
    TempDirectory temp;
    fs::create_directories(temp.path() / "c");
    fs::create_directories(temp.path() / "vocell");
    PosixFileSystem fs = OnDrives({{"C:", temp.path() / "c"}, {"C:\\Harlo\\Vocell", temp.path() / "vocell"}});

    auto writer = fs.OpenWrite("c:\\HARLO\\vocell\\DATA.BIN");
    ASSERT_TRUE(writer.ok());
    ASSERT_TRUE(writer.value()->Write(BytesOf("data")).ok());
    ASSERT_TRUE(writer.value()->Close().ok());
    EXPECT_EQ(ReadHostFile(temp.path() / "vocell" / "DATA.BIN"), "data");
    EXPECT_FALSE(fs::exists(temp.path() / "c" / "Harlo"));

    const auto listing = ValueOf(fs.ListFolder("C:\\Harlo\\Vocell"));
    ASSERT_EQ(listing.size(), 1u);
    EXPECT_EQ(listing[0].name, "DATA.BIN");
    EXPECT_EQ(fs.ListFolder("C:\\Harlo").status().error, FsError::NotFound);
}

}  // namespace
}  // namespace vocell::posix::test
