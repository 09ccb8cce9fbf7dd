// The Linux file system's promises that keep data safe: an exclusive create never takes a name
// that is in use, writing never reaches a hard-linked file's other names, deleting a tree never
// enters another mounted file system, and containment is judged by identity, not by path text.

#include <sys/mount.h>

#include "tests/platform/PosixFileSystemFixture.h"

namespace vocell::posix::test {
namespace {

namespace fs = std::filesystem;

TEST_F(PosixFileSystemTest, ExclusiveCreateNeverTakesANameInUse) {
    ASSERT_TRUE(WriteFile("E:\\TAKEN.TXT", "someone's").ok());
    auto taken = fs_->CreateNew("E:\\TAKEN.TXT");
    ASSERT_FALSE(taken.ok());
    EXPECT_EQ(taken.status().error, FsError::AlreadyExists);
    EXPECT_EQ(ReadHostFile(card_ / "TAKEN.TXT"), "someone's");
    auto fresh = fs_->CreateNew("E:\\FRESH.TXT");
    ASSERT_TRUE(fresh.ok());
    EXPECT_TRUE(fresh.value()->Close().ok());
}

TEST_F(PosixFileSystemTest, WritingAHardLinkedFileLeavesItsOtherNamesAsTheyWere) {
    WriteHostFile(outside_ / "kept.txt", "outside the card");
    fs::create_hard_link(outside_ / "kept.txt", card_ / "LINKED.TXT");
    ASSERT_TRUE(WriteFile("E:\\LINKED.TXT", "new").ok());
    EXPECT_EQ(ReadHostFile(card_ / "LINKED.TXT"), "new");
    EXPECT_EQ(ReadHostFile(outside_ / "kept.txt"), "outside the card");
}

TEST_F(PosixFileSystemTest, ContainmentIsJudgedByIdentityNotByPathText) {
    DriveMap drives;
    drives.AddMount("E:", card_);
    drives.AddMount("Z:", temp_.path(), MountReach::AnyFileSystem);
    PosixFileSystem host(std::move(drives));
    fs::create_directories(card_ / "VM");
    WriteHostFile(outside_ / "b.vcb", "x");
    EXPECT_TRUE(host.LiesWithin("Z:\\card\\VM", "E:\\").value());
    EXPECT_FALSE(host.LiesWithin("Z:\\outside\\b.vcb", "E:\\").value());

    TestMount alias(card_.c_str(), temp_.path() / "alias", nullptr, MS_BIND);
    if (!alias.mounted()) GTEST_SKIP() << "cannot bind-mount here";
    WriteHostFile(card_ / "b.vcb", "x");
    EXPECT_TRUE(host.LiesWithin("Z:\\alias\\b.vcb", "E:\\").value());
    EXPECT_TRUE(host.LiesWithin("Z:\\alias", "E:\\").value());
}

}  // namespace
}  // namespace vocell::posix::test
