// What a restore does so that nothing is lost when it is stopped part-way: new copies beside the
// old files, never writing through another name of a file, and the archive used as it was checked.

#include <sys/stat.h>
#include <utime.h>

#include "archive/BackupStream.h"
#include "archive/CardPaths.h"
#include "tests/archive/ExtractionFixture.h"

namespace vocell::archive {
namespace {

namespace fs = std::filesystem;

class SafeRestoreTest : public ExtractionTest {
protected:
    bool NewCopiesLeft() const {
        for (const auto& item : fs::recursive_directory_iterator(machine.DriveFolder('F'))) {
            if (item.path().string().ends_with(kNewFileSuffix)) return true;
        }
        return false;
    }
};

TEST_F(SafeRestoreTest, NewCopiesTakeTheOldFilesPlacesAndNothingStaysBeside) {
    PutOnCard("VM/A.WAV", std::string(5000, 'o'));
    PutOnCard("RO.TXT", "old");
    fs::permissions(OnCard("RO.TXT"), fs::perms::owner_read);
    auto result = Extract(test::ArchiveBuilder()
                              .Folder("E:\\\\VM\\")
                              .File("E:\\\\VM\\A.WAV", "new a")
                              .File("E:\\RO.TXT", "new", FileAttribute::ReadOnly | FileAttribute::Archive));
    EXPECT_TRUE(result.completed());
    EXPECT_EQ(CardFile("VM/A.WAV"), "new a");
    EXPECT_EQ(CardFile("RO.TXT"), "new");
    EXPECT_FALSE(NewCopiesLeft());
}

TEST_F(SafeRestoreTest, OldFileStaysWholeWhenItsNewCopyCannotBeWritten) {
    PutOnCard("B.WAV", "the old b");
    test::FaultInjectingFileSystem faulty(machine.fileSystem());
    faulty.FailWrite(2, FsError::DiskFull, 28);  // A is written, B's copy fails
    auto result = ExtractWith(faulty, test::ArchiveBuilder()
                                          .File("E:\\A.WAV", std::string(100, 'a'))
                                          .File("E:\\B.WAV", std::string(100'000, 'b')));
    EXPECT_EQ(result.stop, ExtractionStop::CardFull);
    EXPECT_EQ(CardFile("B.WAV"), "the old b");
    EXPECT_FALSE(NewCopiesLeft());
}

TEST_F(SafeRestoreTest, WithoutRoomForACopyFilesAreWrittenInPlace) {
    PutOnCard("B.WAV", "the old b");
    test::FaultInjectingFileSystem faulty(machine.fileSystem());
    faulty.ReportFreeSpace(1000);
    faulty.FailWrite(2, FsError::DiskFull, 28);
    auto result = ExtractWith(faulty, test::ArchiveBuilder().File("E:\\B.WAV", std::string(200'000, 'b')));
    EXPECT_EQ(result.stop, ExtractionStop::CardFull);
    // Written in place: what was written before the card filled stays, the old content is gone.
    const std::string left = CardFile("B.WAV");
    EXPECT_GT(left.size(), 0u);
    EXPECT_LT(left.size(), 200'000u);
    EXPECT_EQ(left.find_first_not_of('b'), std::string::npos);
}

TEST_F(SafeRestoreTest, AFileWithAnotherNameOutsideTheCardIsReplacedNeverWrittenThrough) {
    test::PutHostFile(machine.DriveFolder('Z') / "outside.txt", "outside the card");
    fs::create_hard_link(machine.DriveFolder('Z') / "outside.txt", OnCard("LINKED.TXT"));
    fs::create_hard_link(machine.DriveFolder('Z') / "outside.txt", OnCard("LINKED2.TXT"));
    test::FaultInjectingFileSystem noRoom(machine.fileSystem());
    noRoom.ReportFreeSpace(0);  // written in place
    EXPECT_TRUE(Extract(test::ArchiveBuilder().File("E:\\LINKED.TXT", "restored")).completed());
    EXPECT_TRUE(ExtractWith(noRoom, test::ArchiveBuilder().File("E:\\LINKED2.TXT", "restored")).completed());
    EXPECT_EQ(CardFile("LINKED.TXT"), "restored");
    EXPECT_EQ(CardFile("LINKED2.TXT"), "restored");
    EXPECT_EQ(test::ReadHostFile(machine.DriveFolder('Z') / "outside.txt"), "outside the card");
}

TEST_F(SafeRestoreTest, ArchiveChangedAfterItsCheckIsNotUsed) {
    test::ArchiveBuilder("1.31").File("E:\\A.WAV", "a").WriteTo(machine.DriveFolder('Z') / "a.vcb");
    CheckedArchive checked = OpenCheckedArchive(machine.fileSystem(), "Z:\\a.vcb", "F:\\");
    ASSERT_TRUE(checked.check.sound());
    test::PutHostFile(machine.DriveFolder('Z') / "a.vcb", std::string(4 * kBlockSize, 'x'));  // rewritten
    auto result = ExtractCheckedArchive(machine.fileSystem(), checked, "F:\\",
                                        PromptHandling::ReplaceCardPrompts, progress);
    EXPECT_EQ(result.stop, ExtractionStop::ArchiveChanged);
    EXPECT_FALSE(result.cardChanged);
    EXPECT_FALSE(fs::exists(OnCard("A.WAV")));
}

// Touches the archive while the extraction is under way.
class TouchingProgress final : public ExtractionProgress {
public:
    explicit TouchingProgress(fs::path archive) : archive_(std::move(archive)) {}
    void Step() override {
        const struct utimbuf earlier { 1'000'000'000, 1'000'000'000 };
        ::utime(archive_.c_str(), &earlier);
    }

private:
    fs::path archive_;
};

TEST_F(SafeRestoreTest, ArchiveChangedWhileItIsReadIsReportedWithTheCardChanged) {
    test::ArchiveBuilder archive("1.31");
    for (int i = 0; i < 20; ++i) archive.File("E:\\F" + std::to_string(i), "f");
    archive.WriteTo(machine.DriveFolder('Z') / "a.vcb");
    CheckedArchive checked = OpenCheckedArchive(machine.fileSystem(), "Z:\\a.vcb", "F:\\");
    TouchingProgress touching(machine.DriveFolder('Z') / "a.vcb");
    auto result = ExtractCheckedArchive(machine.fileSystem(), checked, "F:\\",
                                        PromptHandling::ReplaceCardPrompts, touching);
    EXPECT_EQ(result.stop, ExtractionStop::ArchiveChanged);
    EXPECT_TRUE(result.cardChanged);
}

}  // namespace
}  // namespace vocell::archive
