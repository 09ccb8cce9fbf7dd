#include "archive/CardBackup.h"

#include <gtest/gtest.h>

#include <set>

#include "archive/ArchiveCheck.h"
#include "archive/BackupStream.h"
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
    // The names in the archive's folder.
    std::set<std::string> HostFiles() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(machine.DriveFolder('Z'))) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    test::FakeMachine machine{"EF"};
    ArchiveWriterListener listener;
};

TEST_F(CardBackupTest, ReplacesALongerExistingBackupWhole) {
    test::PutHostFile(machine.DriveFolder('Z') / "card.vcb", std::string(50'000, 'o'));
    test::PutHostFile(machine.DriveFolder('E') / "A", "a");
    EXPECT_TRUE(Backup().complete());
    EXPECT_EQ(Archive().size(), 3 * kBlockSize);
    EXPECT_EQ(HostFiles(), std::set<std::string>{"card.vcb"});
}

TEST_F(CardBackupTest, RenameThatTheDriveDoesNotConfirmIsReportedWithTheArchiveInPlace) {
    test::PutHostFile(machine.DriveFolder('E') / "A", "a");
    test::FaultInjectingFileSystem faulty(machine.fileSystem());
    faulty.FailFlushFolder(FsError::Other);
    EXPECT_TRUE(Backup(faulty).complete());  // the whole drive is flushed instead
    EXPECT_EQ(faulty.flushVolumeCalls(), 1);

    faulty.FailFlushVolume(FsError::Other);
    auto outcome = Backup(faulty);
    EXPECT_EQ(outcome.failure, BackupFailure::NotFlushed);
    EXPECT_EQ(Archive().size(), 3 * kBlockSize);
    EXPECT_EQ(HostFiles(), std::set<std::string>{"card.vcb"});
}

TEST_F(CardBackupTest, IncompleteBackupTakesTheChosenNameOnlyWhereNoEarlierBackupIs) {
    test::PutHostFile(machine.DriveFolder('E') / "A", "a");
    test::FaultInjectingFileSystem faulty(machine.fileSystem());
    faulty.FailOpenRead("E:\\A", FsError::AccessDenied);
    EXPECT_EQ(Backup(faulty).savedAs, "Z:\\card.vcb");
    EXPECT_EQ(Archive().size(), kBlockSize);

    test::PutHostFile(machine.DriveFolder('Z') / "card.vcb", "the good old backup");
    auto outcome = Backup(faulty);
    EXPECT_TRUE(outcome.written());
    ASSERT_EQ(outcome.leftOut.size(), 1u);
    EXPECT_EQ(outcome.leftOut[0].path, "E:\\A");
    EXPECT_EQ(outcome.savedAs, "Z:\\card (incomplete).vcb");
    EXPECT_EQ(Archive(), "the good old backup");
    EXPECT_EQ(test::ReadHostFile(machine.DriveFolder('Z') / "card (incomplete).vcb").size(), kBlockSize);
}

TEST_F(CardBackupTest, FilesOfOtherNamesBesideTheArchiveAreNeverTouched) {
    test::PutHostFile(machine.DriveFolder('Z') / "card.vcb.partial", "the user's own file");
    test::PutHostFile(machine.DriveFolder('Z') / "card.vcb.vocell-0badf00d.partial", "a killed run's file");
    test::PutHostFile(machine.DriveFolder('E') / "A", "a");
    auto outcome = Backup();
    EXPECT_TRUE(outcome.complete());
    EXPECT_EQ(outcome.unfinishedBeside, std::vector<std::string>{"Z:\\card.vcb.vocell-0badf00d.partial"});
    test::FaultInjectingFileSystem faulty(machine.fileSystem());
    faulty.FailRename(FsError::AccessDenied);
    EXPECT_FALSE(Backup(faulty).written());
    EXPECT_EQ(test::ReadHostFile(machine.DriveFolder('Z') / "card.vcb.partial"), "the user's own file");
    EXPECT_EQ(test::ReadHostFile(machine.DriveFolder('Z') / "card.vcb.vocell-0badf00d.partial"),
              "a killed run's file");
    EXPECT_EQ(HostFiles().size(), 3u);
}

// A second backup to the same name, run while the first is storing its files.
class SecondBackupMidway final : public ArchiveWriterListener {
public:
    explicit SecondBackupMidway(FileSystem& fileSystem) : fileSystem_(fileSystem) {}
    void ShowStoredPath(std::string_view) override {
        if (ran_) return;
        ran_ = true;
        ArchiveWriterListener quiet;
        second = WriteCardBackup(fileSystem_, "F:\\", "Z:\\card.vcb", "2.00", quiet);
    }
    BackupOutcome second;

private:
    FileSystem& fileSystem_;
    bool ran_ = false;
};

TEST_F(CardBackupTest, TwoBackupsToOneNameEachWriteAWholeArchive) {
    test::PutHostFile(machine.DriveFolder('E') / "E.WAV", std::string(200'000, 'e'));
    test::PutHostFile(machine.DriveFolder('F') / "F.WAV", std::string(100'000, 'f'));
    SecondBackupMidway second(machine.fileSystem());
    auto first = WriteCardBackup(machine.fileSystem(), "E:\\", "Z:\\card.vcb", "1.31", second);
    EXPECT_TRUE(second.second.complete());
    EXPECT_TRUE(first.complete());
    // The first finished last: the archive is its card, whole.
    CheckedArchive archive = OpenCheckedArchive(machine.fileSystem(), "Z:\\card.vcb", "F:\\");
    EXPECT_TRUE(archive.check.sound()) << archive.check.problem;
    EXPECT_EQ(archive.version, "1.31");
    EXPECT_EQ(archive.length, (1 + 1 + DataBlockCount(kStreamHeaderSize + 200'000)) * kBlockSize);
    EXPECT_EQ(HostFiles(), std::set<std::string>{"card.vcb"});
}

}  // namespace
}  // namespace vocell::archive
