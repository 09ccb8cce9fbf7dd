#include "archive/CardBackup.h"

#include <gtest/gtest.h>

#include "archive/ArchiveExtraction.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/FakeMachine.h"
#include "tests/support/FaultInjectingFileSystem.h"

namespace vocell::archive {
namespace {

namespace fs = std::filesystem;

class CardBackupTest : public ::testing::Test {
protected:
    BackupOutcome Backup(FileSystem& fileSystem, const std::string& version = "1.31") {
        return WriteCardBackup(fileSystem, "E:\\", "Z:\\card.vcb", version, listener);
    }
    BackupOutcome Backup() { return Backup(machine.fileSystem()); }
    std::string Archive() const { return test::ReadHostFile(machine.DriveFolder('Z') / "card.vcb"); }

    test::FakeMachine machine{"EF"};
    ArchiveWriterListener listener;
};

TEST_F(CardBackupTest, EmptyCardWithoutPromptsGivesOneZeroBlock) {
    auto outcome = Backup(machine.fileSystem(), "");
    EXPECT_TRUE(outcome.complete());
    EXPECT_EQ(Archive(), std::string(kBlockSize, '\0'));
}

TEST_F(CardBackupTest, HeaderCarriesTheFirstSixBytesOfTheVersion) {
    static_cast<void>(Backup(machine.fileSystem(), "1.31\rABC"));
    EXPECT_EQ(Archive().substr(0, 8), std::string("1.31\rA\0\0", 8));
}

TEST_F(CardBackupTest, ReplacesALongerExistingBackupWhole) {
    test::PutHostFile(machine.DriveFolder('Z') / "card.vcb", std::string(50'000, 'o'));
    test::PutHostFile(machine.DriveFolder('E') / "A", "a");
    EXPECT_TRUE(Backup().complete());
    EXPECT_EQ(Archive().size(), 3 * kBlockSize);
    EXPECT_FALSE(fs::exists(machine.DriveFolder('Z') / "card.vcb.partial"));
}

TEST_F(CardBackupTest, FailedRenameKeepsTheOldBackupAndRemovesThePartialOne) {
    test::PutHostFile(machine.DriveFolder('Z') / "card.vcb", "old");
    test::FaultInjectingFileSystem faulty(machine.fileSystem());
    faulty.FailRename(FsError::AccessDenied);
    EXPECT_FALSE(Backup(faulty).written());
    EXPECT_EQ(Archive(), "old");
    EXPECT_FALSE(fs::exists(machine.DriveFolder('Z') / "card.vcb.partial"));
}

TEST_F(CardBackupTest, TargetFolderMissingIsReported) {
    auto outcome = WriteCardBackup(machine.fileSystem(), "E:\\", "Z:\\no\\such\\card.vcb", "", listener);
    EXPECT_FALSE(outcome.written());
}

TEST_F(CardBackupTest, IncompleteBackupNeverTakesThePlaceOfAnEarlierOne) {
    test::PutHostFile(machine.DriveFolder('Z') / "card.vcb", "the good old backup");
    test::PutHostFile(machine.DriveFolder('E') / "A", "a");
    test::FaultInjectingFileSystem faulty(machine.fileSystem());
    faulty.FailOpenRead("E:\\A", FsError::AccessDenied);
    auto outcome = Backup(faulty);
    EXPECT_TRUE(outcome.written());
    ASSERT_EQ(outcome.leftOut.size(), 1u);
    EXPECT_EQ(outcome.leftOut[0].path, "E:\\A");
    EXPECT_EQ(outcome.savedAs, "Z:\\card (incomplete).vcb");
    EXPECT_EQ(Archive(), "the good old backup");
    EXPECT_EQ(test::ReadHostFile(machine.DriveFolder('Z') / "card (incomplete).vcb").size(), kBlockSize);
}

TEST_F(CardBackupTest, IncompleteBackupWithoutAnEarlierOneTakesTheChosenName) {
    test::PutHostFile(machine.DriveFolder('E') / "A", "a");
    test::FaultInjectingFileSystem faulty(machine.fileSystem());
    faulty.FailOpenRead("E:\\A", FsError::AccessDenied);
    auto outcome = Backup(faulty);
    EXPECT_EQ(outcome.savedAs, "Z:\\card.vcb");
    EXPECT_EQ(Archive().size(), kBlockSize);
}

}  // namespace
}  // namespace vocell::archive
