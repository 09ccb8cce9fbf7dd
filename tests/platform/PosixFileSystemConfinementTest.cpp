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
        writeHostFile(outside_ / "SECRET.TXT", "secret");
        fs::create_directory_symlink(outside_, card_ / "LINK");
        fs::create_symlink("../outside/SECRET.TXT", card_ / "FLINK");
        fs::create_symlink(outside_ / "CREATED.TXT", card_ / "DANGLE");
    }

    void expectOutsideUntouched() {
        EXPECT_EQ(readHostFile(outside_ / "SECRET.TXT"), "secret");
        EXPECT_EQ(fs::status(outside_ / "SECRET.TXT").permissions() & fs::perms::owner_write,
                  fs::perms::owner_write);
        std::size_t count = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(outside_)) {
            ++count;
        }
        EXPECT_EQ(count, 1u) << "something was created outside the card";
    }
};

TEST_F(PosixSymlinkConfinement, FolderLinkIsNeitherListedThroughNorEntered) {
    EXPECT_EQ(fs_->listFolder("E:\\LINK").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->openRead("E:\\LINK\\SECRET.TXT").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->createFile("E:\\LINK\\NEW.TXT").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->createFolder("E:\\LINK\\NEW").error, FsError::AccessDenied);
    EXPECT_EQ(fs_->setAttributes("E:\\LINK\\SECRET.TXT", FileAttribute::ReadOnly).error,
              FsError::AccessDenied);
    EXPECT_EQ(fs_->deleteTree("E:\\LINK").error, FsError::AccessDenied);
    writeHostFile(card_ / "A.TXT", "a");
    EXPECT_EQ(fs_->rename("E:\\A.TXT", "E:\\LINK\\A.TXT").error, FsError::AccessDenied);
    expectOutsideUntouched();
}

TEST_F(PosixSymlinkConfinement, FileLinkIsNeverFollowed) {
    EXPECT_EQ(fs_->openRead("E:\\FLINK").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->createFile("E:\\FLINK").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->fileSize("E:\\FLINK").status().error, FsError::AccessDenied);
    EXPECT_EQ(fs_->setAttributes("E:\\FLINK", FileAttribute::ReadOnly).error,
              FsError::AccessDenied);
    auto attributes = fs_->attributes("E:\\FLINK");
    ASSERT_TRUE(attributes.ok());
    EXPECT_EQ(attributes.value(), 0u);

    struct stat before {};
    ASSERT_EQ(::stat((outside_ / "SECRET.TXT").c_str(), &before), 0);
    (void)fs_->setTimes("E:\\FLINK", {0, 127000000000000000ULL, 127000000000000000ULL});
    struct stat after {};
    ASSERT_EQ(::stat((outside_ / "SECRET.TXT").c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    EXPECT_TRUE(fs_->removeFile("E:\\FLINK").ok());
    EXPECT_FALSE(fs::is_symlink(card_ / "FLINK"));
    expectOutsideUntouched();
}

TEST_F(PosixSymlinkConfinement, DanglingLinkCreatesNothingAtItsTarget) {
    EXPECT_EQ(fs_->createFile("E:\\DANGLE").status().error, FsError::AccessDenied);
    EXPECT_FALSE(fs_->createFolder("E:\\DANGLE").ok());
    EXPECT_FALSE(fs::exists(outside_ / "CREATED.TXT"));
    expectOutsideUntouched();
}

TEST_F(PosixSymlinkConfinement, DeleteTreeUnlinksLinksWithoutDescending) {
    fs::create_directories(card_ / "TREE" / "SUB");
    fs::create_directory_symlink(outside_, card_ / "TREE" / "SUB" / "LINK");
    fs::create_symlink(outside_ / "SECRET.TXT", card_ / "TREE" / "FLINK");
    ASSERT_TRUE(fs_->deleteTree("E:\\TREE").ok());
    EXPECT_FALSE(fs::exists(card_ / "TREE"));
    expectOutsideUntouched();
}

TEST_F(PosixSymlinkConfinement, ListingReportsLinksWithoutAttributes) {
    auto listing = fs_->listFolder("E:\\");
    ASSERT_TRUE(listing.ok());
    ASSERT_EQ(listing.value().size(), 3u);
    for (const FolderEntry& entry : listing.value()) {
        EXPECT_EQ(entry.attributes, 0u) << entry.name;
    }
}

using PosixFolderCache = PosixFileSystemTest;

TEST_F(PosixFolderCache, DeletedAndRecreatedFolderIsUsedAfresh) {
    ASSERT_TRUE(fs_->createFolder("E:\\D").ok());
    ASSERT_TRUE(writeFile("E:\\D\\A.TXT", "a").ok());
    ASSERT_TRUE(fs_->deleteTree("E:\\D").ok());
    ASSERT_TRUE(fs_->createFolder("E:\\D").ok());
    ASSERT_TRUE(writeFile("E:\\D\\B.TXT", "b").ok());
    EXPECT_EQ(readHostFile(card_ / "D" / "B.TXT"), "b");
}

TEST_F(PosixFolderCache, RenamedFolderIsNotWrittenThroughItsOldName) {
    fs::create_directories(card_ / "A");
    ASSERT_TRUE(writeFile("E:\\A\\X.TXT", "x").ok());
    ASSERT_TRUE(fs_->rename("E:\\A", "E:\\B").ok());
    ASSERT_TRUE(fs_->createFolder("E:\\A").ok());
    ASSERT_TRUE(writeFile("E:\\A\\Y.TXT", "y").ok());
    EXPECT_TRUE(fs::exists(card_ / "A" / "Y.TXT"));
    EXPECT_FALSE(fs::exists(card_ / "B" / "Y.TXT"));
    EXPECT_EQ(readHostFile(card_ / "B" / "X.TXT"), "x");
}

TEST_F(PosixFolderCache, FoldersOfTheSameNameOnOtherDrivesAreKeptApart) {
    fs::create_directories(temp_.path() / "other" / "VM");
    fs::create_directories(card_ / "VM");
    DriveMap drives;
    drives.mount("E:", card_);
    drives.mount("F:", temp_.path() / "other");
    PosixFileSystem both(std::move(drives));
    for (const std::string drive : {"E:", "F:"}) {
        auto writer = both.createFile(drive + "\\VM\\" + drive.substr(0, 1) + ".TXT");
        ASSERT_TRUE(writer.ok());
        ASSERT_TRUE(writer.value()->close().ok());
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
    drives.mount("C:", temp.path() / "c");
    drives.mount("C:\\Harlo\\Vocell", temp.path() / "vocell");
    PosixFileSystem fs(std::move(drives));

    auto writer = fs.createFile("c:\\HARLO\\vocell\\DATA.BIN");
    ASSERT_TRUE(writer.ok());
    ASSERT_TRUE(writer.value()->write(bytesOf("data")).ok());
    ASSERT_TRUE(writer.value()->close().ok());
    EXPECT_EQ(readHostFile(temp.path() / "vocell" / "DATA.BIN"), "data");
    EXPECT_FALSE(fs::exists(temp.path() / "c" / "Harlo"));

    auto listing = fs.listFolder("C:\\Harlo\\Vocell");
    ASSERT_TRUE(listing.ok());
    ASSERT_EQ(listing.value().size(), 1u);
    EXPECT_EQ(listing.value()[0].name, "DATA.BIN");
    EXPECT_EQ(fs.listFolder("C:\\Harlo").status().error, FsError::NotFound);
}

}  // namespace
}  // namespace vocell::posix::test
