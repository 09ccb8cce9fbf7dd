// Nothing done through a drive reaches outside its mount directory: not through symbolic
// links, not through a stale cached folder, not through a folder-prefix mount.

#include <sys/stat.h>

#include <filesystem>

#include "PosixFileSystemFixture.h"

namespace vocell::posix::test {
namespace {

namespace fs = std::filesystem;

class PosixSymlinkConfinement : public PosixFileSystemTest {
protected:
    PosixSymlinkConfinement() {
        WriteHostFile(outside_ / "SECRET.TXT", "secret");
        fs::create_directory_symlink(outside_, card_ / "LINK");
        fs::create_symlink("../outside/SECRET.TXT", card_ / "FLINK");
        fs::create_symlink(outside_ / "CREATED.TXT", card_ / "DANGLE");
    }

    void ExpectOutsideUntouched() {
        EXPECT_EQ(ReadHostFile(outside_ / "SECRET.TXT"), "secret");
        EXPECT_EQ(fs::status(outside_ / "SECRET.TXT").permissions() & fs::perms::owner_write,
                  fs::perms::owner_write);
        EXPECT_EQ(std::distance(fs::directory_iterator(outside_), {}), 1) << "something was created outside";
    }
};

TEST_F(PosixSymlinkConfinement, FolderLinkIsNeitherListedThroughNorEntered) {
    EXPECT_EQ(fs_->ListFolder("E:\\LINK").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->OpenRead("E:\\LINK\\SECRET.TXT").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->OpenWrite("E:\\LINK\\NEW.TXT").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->CreateFolder("E:\\LINK\\NEW").error, FsError::AccessDenied);
    EXPECT_EQ(fs_->SetAttributes("E:\\LINK\\SECRET.TXT", FileAttribute::ReadOnly).error,
              FsError::AccessDenied);
    EXPECT_EQ(fs_->DeleteTree("E:\\LINK").error, FsError::AccessDenied);
    WriteHostFile(card_ / "A.TXT", "a");
    EXPECT_EQ(fs_->Rename("E:\\A.TXT", "E:\\LINK\\A.TXT").error, FsError::AccessDenied);
    ExpectOutsideUntouched();
}

TEST_F(PosixSymlinkConfinement, FileLinkIsNeverFollowed) {
    EXPECT_EQ(fs_->OpenRead("E:\\FLINK").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->OpenWrite("E:\\FLINK").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->FileSize("E:\\FLINK").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->SetAttributes("E:\\FLINK", FileAttribute::ReadOnly).error, FsError::AccessDenied);
    EXPECT_EQ(ValueOf(fs_->Attributes("E:\\FLINK")), 0u);

    struct stat before {};
    ASSERT_EQ(::stat((outside_ / "SECRET.TXT").c_str(), &before), 0);
    (void)fs_->SetTimes("E:\\FLINK", {0, 127000000000000000ULL, 127000000000000000ULL});
    struct stat after {};
    ASSERT_EQ(::stat((outside_ / "SECRET.TXT").c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    EXPECT_TRUE(fs_->RemoveFile("E:\\FLINK").ok());
    EXPECT_FALSE(fs::is_symlink(card_ / "FLINK"));
    ExpectOutsideUntouched();
}

TEST_F(PosixSymlinkConfinement, DanglingLinkCreatesNothingAtItsTarget) {
    EXPECT_EQ(fs_->OpenWrite("E:\\DANGLE").status().error, FsError::AccessDenied);
    EXPECT_FALSE(fs_->CreateFolder("E:\\DANGLE").ok());
    EXPECT_FALSE(fs::exists(outside_ / "CREATED.TXT"));
    ExpectOutsideUntouched();
}

TEST_F(PosixSymlinkConfinement, DeleteTreeUnlinksLinksWithoutDescending) {
    fs::create_directories(card_ / "TREE" / "SUB");
    fs::create_directory_symlink(outside_, card_ / "TREE" / "SUB" / "LINK");
    fs::create_symlink(outside_ / "SECRET.TXT", card_ / "TREE" / "FLINK");
    ASSERT_TRUE(fs_->DeleteTree("E:\\TREE").ok());
    EXPECT_FALSE(fs::exists(card_ / "TREE"));
    ExpectOutsideUntouched();
}

using PosixFolderCache = PosixFileSystemTest;

TEST_F(PosixFolderCache, DeletedAndRecreatedFolderIsUsedAfresh) {
    ASSERT_TRUE(fs_->CreateFolder("E:\\D").ok());
    ASSERT_TRUE(WriteFile("E:\\D\\A.TXT", "a").ok());
    ASSERT_TRUE(fs_->DeleteTree("E:\\D").ok());
    ASSERT_TRUE(fs_->CreateFolder("E:\\D").ok());
    ASSERT_TRUE(WriteFile("E:\\D\\B.TXT", "b").ok());
    EXPECT_EQ(ReadHostFile(card_ / "D" / "B.TXT"), "b");
}

TEST_F(PosixFolderCache, RenamedFolderIsNotWrittenThroughItsOldName) {
    fs::create_directories(card_ / "A" / "SUB");
    ASSERT_TRUE(WriteFile("E:\\A\\X.TXT", "x").ok());
    ASSERT_TRUE(fs_->Rename("E:\\A", "E:\\B").ok());
    ASSERT_TRUE(fs_->CreateFolder("E:\\A").ok());
    ASSERT_TRUE(WriteFile("E:\\A\\Y.TXT", "y").ok());
    EXPECT_TRUE(fs::exists(card_ / "A" / "Y.TXT"));
    EXPECT_FALSE(fs::exists(card_ / "B" / "Y.TXT"));
    EXPECT_EQ(ReadHostFile(card_ / "B" / "X.TXT"), "x");

    // The same for a folder below the one renamed, and a file renamed leaves the folder in use.
    ASSERT_TRUE(WriteFile("E:\\B\\SUB\\X.TXT", "x").ok());
    ASSERT_TRUE(fs_->Rename("E:\\B\\SUB\\X.TXT", "E:\\B\\SUB\\Z.TXT").ok());
    ASSERT_TRUE(fs_->Rename("E:\\B", "E:\\C").ok());
    ASSERT_TRUE(fs_->CreateFolder("E:\\B").ok());
    ASSERT_TRUE(fs_->CreateFolder("E:\\B\\SUB").ok());
    ASSERT_TRUE(WriteFile("E:\\B\\SUB\\Y.TXT", "y").ok());
    EXPECT_TRUE(fs::exists(card_ / "B" / "SUB" / "Y.TXT"));
    EXPECT_TRUE(fs::exists(card_ / "C" / "SUB" / "Z.TXT"));
    EXPECT_FALSE(fs::exists(card_ / "C" / "SUB" / "Y.TXT"));
}

TEST_F(PosixFolderCache, FoldersOfTheSameNameOnOtherDrivesAreKeptApart) {
    fs::create_directories(temp_.path() / "other" / "VM");
    fs::create_directories(card_ / "VM");
    DriveMap drives;
    drives.AddMount("E:", card_);
    drives.AddMount("F:", temp_.path() / "other");
    PosixFileSystem both(std::move(drives));
    for (const std::string drive : {"E:", "F:"}) {
        auto writer = both.OpenWrite(drive + "\\VM\\" + drive.substr(0, 1) + ".TXT");
        ASSERT_TRUE(writer.ok());
        ASSERT_TRUE(writer.value()->Close().ok());
    }
    EXPECT_TRUE(fs::exists(card_ / "VM" / "E.TXT"));
    EXPECT_TRUE(fs::exists(temp_.path() / "other" / "VM" / "F.TXT"));
    EXPECT_FALSE(fs::exists(card_ / "VM" / "F.TXT"));
}

TEST(PosixPrefixMount, FolderPrefixResolvesBelowItsOwnDirectory) {
    TempDirectory temp;
    fs::create_directories(temp.path() / "c");
    fs::create_directories(temp.path() / "vocell");
    DriveMap drives;
    drives.AddMount("C:", temp.path() / "c");
    drives.AddMount("C:\\Harlo\\Vocell", temp.path() / "vocell");
    PosixFileSystem fs(std::move(drives));

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
