#include "archive/CardBackup.h"

#include <gtest/gtest.h>

#include "archive/ArchiveExtraction.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/FaultInjectingFileSystem.h"
#include "tests/support/TestDrives.h"

namespace vocell::archive {
namespace {

namespace fs = std::filesystem;

class CardBackupTest : public ::testing::Test {
protected:
    BackupOutcome Backup(FileSystem& fileSystem, const std::string& version = "1.31") {
        return WriteCardBackup(fileSystem, "E:\\", "Z:\\card.vcb", version, listener);
    }
    BackupOutcome Backup() { return Backup(drives.fileSystem()); }
    std::string archive() const { return test::TestDrives::Get(drives.host() / "card.vcb"); }

    test::TestDrives drives;
    ArchiveWriterListener listener;
};

TEST_F(CardBackupTest, EmptyCardWithoutPromptsGivesOneZeroBlock) {
    auto outcome = Backup(drives.fileSystem(), "");
    EXPECT_TRUE(outcome.complete());
    EXPECT_EQ(archive(), std::string(kBlockSize, '\0'));
}

TEST_F(CardBackupTest, HeaderCarriesTheFirstSixBytesOfTheVersion) {
    Backup(drives.fileSystem(), "1.31\rABC");
    EXPECT_EQ(archive().substr(0, 8), std::string("1.31\rA\0\0", 8));
}

TEST_F(CardBackupTest, ReplacesALongerExistingBackupWhole) {
    test::TestDrives::Put(drives.host() / "card.vcb", std::string(50'000, 'o'));
    test::TestDrives::Put(drives.cardE() / "A", "a");
    EXPECT_TRUE(Backup().complete());
    EXPECT_EQ(archive().size(), 3 * kBlockSize);
    EXPECT_FALSE(fs::exists(drives.host() / "card.vcb.partial"));
}

TEST_F(CardBackupTest, FailedBackupNeverReplacesAGoodOne) {
    test::TestDrives::Put(drives.host() / "card.vcb", "the good old backup");
    test::TestDrives::Put(drives.cardE() / "BIG.WAV", std::string(400'000, 'b'));
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.FailWrite(3, FsError::DiskFull, 28);
    auto outcome = Backup(faulty);
    EXPECT_FALSE(outcome.written());
    ASSERT_TRUE(outcome.failure);
    EXPECT_NE(outcome.failure->find("not enough space"), std::string::npos);
    EXPECT_EQ(archive(), "the good old backup");
    EXPECT_FALSE(fs::exists(drives.host() / "card.vcb.partial"));
}

TEST_F(CardBackupTest, FailedRenameKeepsTheOldBackupAndRemovesThePartialOne) {
    test::TestDrives::Put(drives.host() / "card.vcb", "old");
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.FailRename(FsError::AccessDenied);
    EXPECT_FALSE(Backup(faulty).written());
    EXPECT_EQ(archive(), "old");
    EXPECT_FALSE(fs::exists(drives.host() / "card.vcb.partial"));
}

TEST_F(CardBackupTest, TargetFolderMissingIsReported) {
    auto outcome = WriteCardBackup(drives.fileSystem(), "E:\\", "Z:\\no\\such\\card.vcb", "", listener);
    EXPECT_FALSE(outcome.written());
}

TEST_F(CardBackupTest, UnreadableFilesMakeTheBackupIncompleteButWritten) {
    test::TestDrives::Put(drives.cardE() / "A", "a");
    test::TestDrives::Put(drives.cardE() / "B", "b");
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.FailOpenRead("E:\\B", FsError::AccessDenied);
    auto outcome = Backup(faulty);
    EXPECT_TRUE(outcome.written());
    EXPECT_FALSE(outcome.complete());
    ASSERT_EQ(outcome.leftOut.size(), 1u);
    EXPECT_EQ(outcome.leftOut[0].path, "E:\\B");
}

TEST_F(CardBackupTest, IncompleteBackupNeverTakesThePlaceOfAnEarlierOne) {
    test::TestDrives::Put(drives.host() / "card.vcb", "the good old backup");
    test::TestDrives::Put(drives.cardE() / "A", "a");
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.FailOpenRead("E:\\A", FsError::AccessDenied);
    auto outcome = Backup(faulty);
    EXPECT_FALSE(outcome.complete());
    EXPECT_EQ(outcome.savedAs, "Z:\\card (incomplete).vcb");
    EXPECT_EQ(archive(), "the good old backup");
    EXPECT_EQ(test::TestDrives::Get(drives.host() / "card (incomplete).vcb").size(), kBlockSize);
}

TEST_F(CardBackupTest, IncompleteBackupWithoutAnEarlierOneTakesTheChosenName) {
    test::TestDrives::Put(drives.cardE() / "A", "a");
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.FailOpenRead("E:\\A", FsError::AccessDenied);
    auto outcome = Backup(faulty);
    EXPECT_EQ(outcome.savedAs, "Z:\\card.vcb");
    EXPECT_EQ(archive().size(), kBlockSize);
}

}  // namespace
}  // namespace vocell::archive
