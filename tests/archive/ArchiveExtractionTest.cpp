#include "archive/BlockIO.h"
#include "archive/EntryHeader.h"
#include "tests/archive/ExtractionFixture.h"

namespace vocell::archive {
namespace {

namespace fs = std::filesystem;

TEST_F(ExtractionTest, PutsEntriesOnTheSelectedCardWhateverDriveTheyWereSavedFrom) {
    auto result = Extract(test::ArchiveBuilder("1.31")
                              .Folder("E:\\\\VM\\")
                              .File("E:\\\\VM\\A.TXT", "from E")
                              .File("F:\\\\VM\\B.TXT", "from F")
                              .File("E:\\HIDDEN.SYS", "h", FileAttribute::Hidden | FileAttribute::System)
                              .Tree("VM/PROMPTS/0/P.WAV", "p")  // doubled separators name the same folders
                              .Folder("E:\\VM\\SINGLE"));
    EXPECT_TRUE(result.completed());
    EXPECT_EQ(CardFile("VM/PROMPTS/0/P.WAV"), "p");
    EXPECT_TRUE(fs::is_directory(OnCard("VM/SINGLE")));
    EXPECT_EQ(CardFile("VM/A.TXT"), "from E");
    EXPECT_EQ(CardFile("VM/B.TXT"), "from F");
    EXPECT_EQ(CardFile("HIDDEN.SYS"), "h");  // without the archive or normal bit: from its record
    EXPECT_TRUE(fs::is_empty(machine.DriveFolder('E')));
    EXPECT_TRUE(result.notRestored.empty());
}

TEST_F(ExtractionTest, HeaderOnlyArchiveKeepsThePromptFolderAnyLargerOneDeletesItFirst) {
    PutOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0110");
    EXPECT_TRUE(Extract(test::ArchiveBuilder("1.31")).completed());
    EXPECT_TRUE(fs::exists(OnCard("VM/PROMPTS/0/0/0/VERSION.TXT")));
    PutOnCard("VM/KEEP.WAV", "keep");
    static_cast<void>(Extract(test::ArchiveBuilder("1.31").Folder("E:\\\\VM\\")));
    EXPECT_FALSE(fs::exists(OnCard("VM/PROMPTS")));
    EXPECT_TRUE(fs::exists(OnCard("VM/KEEP.WAV")));
}

TEST_F(ExtractionTest, FileComesBackExactlyDespiteFillerAndOverAnOldLongerCopy) {
    std::string content(3000 - 20, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    PutOnCard("VM/M.WAV", std::string(10'000, 'o'));
    static_cast<void>(Extract(test::ArchiveBuilder()
                                  .Tree("VM/M.WAV", content)
                                  .Tree("VM/EMPTY.WAV", "")
                                  .Tree("VM/W2048", std::string(2028, 'w'))));
    EXPECT_EQ(CardFile("VM/M.WAV"), content);
    EXPECT_EQ(CardFile("VM/EMPTY.WAV"), "");
    EXPECT_EQ(CardFile("VM/W2048"), std::string(2028, 'w'));
}

TEST_F(ExtractionTest, RestoredFilesAndFoldersCarryTheirEntryTimesAndTheCardIsFlushed) {
    const FileTimes fileTimes{0, 132'000'000'000'000'000ull, 131'000'000'000'000'000ull};
    const FileTimes folderTimes{0, 130'000'000'000'000'000ull, 130'500'000'000'000'000ull};
    test::FaultInjectingFileSystem counting(machine.fileSystem());
    static_cast<void>(
        ExtractWith(counting, test::ArchiveBuilder()
                                  .Folder("E:\\\\VM\\", 16, folderTimes)
                                  .File("E:\\\\VM\\T.WAV", std::string(5000, 't'), 32, fileTimes)));
    auto times = machine.fileSystem().Times("F:\\VM\\T.WAV");
    ASSERT_TRUE(times.ok());
    EXPECT_EQ(times.value().lastWrite, fileTimes.lastWrite);
    EXPECT_EQ(times.value().lastAccess, fileTimes.lastAccess);
    auto folder = machine.fileSystem().Times("F:\\VM");
    ASSERT_TRUE(folder.ok());
    EXPECT_EQ(folder.value().lastWrite, folderTimes.lastWrite);
    EXPECT_EQ(counting.flushVolumeCalls(), 1);
}

TEST_F(ExtractionTest, ReadOnlyFileOnTheCardIsReplacedAndStaysReadOnly) {
    PutOnCard("RO.TXT", "old content");
    fs::permissions(OnCard("RO.TXT"), fs::perms::owner_read | fs::perms::group_read);
    auto result = Extract(test::ArchiveBuilder().File("E:\\RO.TXT", "new", 0x21));
    EXPECT_TRUE(result.notRestored.empty());
    EXPECT_EQ(CardFile("RO.TXT"), "new");
    EXPECT_EQ(fs::status(OnCard("RO.TXT")).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(ExtractionTest, OtherWriteErrorsAndAFailedFlushStopAsWriteErrors) {
    test::FaultInjectingFileSystem failingWrite(machine.fileSystem());
    failingWrite.FailWrite(1, FsError::Other, 5);
    auto result =
        ExtractWith(failingWrite, test::ArchiveBuilder().File("E:\\A.WAV", "a").File("E:\\B.WAV", "b"));
    EXPECT_EQ(result.stop, ExtractionStop::WriteError);
    EXPECT_FALSE(fs::exists(OnCard("B.WAV")));

    test::FaultInjectingFileSystem failingFlush(machine.fileSystem());
    failingFlush.FailFlushVolume(FsError::Other);
    EXPECT_EQ(ExtractWith(failingFlush, test::ArchiveBuilder().File("E:\\A.WAV", "a")).stop,
              ExtractionStop::WriteError);
}

TEST_F(ExtractionTest, AttributesAndTimesThatCannotBeSetAreNamed) {
    test::FaultInjectingFileSystem faulty(machine.fileSystem());
    // Set while the file is open; a file new to the card is written under its own name.
    faulty.FailSetAttributes("F:\\A.WAV", FsError::AccessDenied);
    faulty.FailSetTimes("F:\\\\VM\\", FsError::AccessDenied);
    auto result =
        ExtractWith(faulty, test::ArchiveBuilder().Folder("E:\\\\VM\\").File("E:\\A.WAV", "a", 0x21));
    EXPECT_TRUE(result.completed());
    EXPECT_EQ(CardFile("A.WAV"), "a");
    ASSERT_EQ(result.notAsStored.size(), 2u);
    EXPECT_EQ(result.notAsStored[0].path, "F:\\A.WAV");
    EXPECT_EQ(result.notAsStored[1].path, "F:\\\\VM\\");
}

TEST_F(ExtractionTest, EntryOfAnotherOriginWithoutARecordLeavesTheCardCopyAlone) {
    PutOnCard("LOCKED.WAV", "the card's copy");
    auto result = Extract(test::ArchiveBuilder()
                              .Header({"E:\\LOCKED.WAV", 32, {}})
                              .AddBlock(Block{})
                              .File("E:\\NEXT.WAV", "next"));
    EXPECT_EQ(CardFile("LOCKED.WAV"), "the card's copy");
    EXPECT_EQ(CardFile("NEXT.WAV"), "next");
    ASSERT_EQ(result.notRestored.size(), 1u);
    EXPECT_EQ(result.notRestored[0].path, "F:\\LOCKED.WAV");
}

TEST_F(ExtractionTest, ProgressMovesAtMostOneStepPerEntry) {
    test::ArchiveBuilder archive;
    for (int i = 0; i < 300; ++i) archive.File("E:\\F" + std::to_string(i), "x");
    EXPECT_TRUE(Extract(archive).completed());
    EXPECT_GE(progress.steps, 95);
    EXPECT_LE(progress.steps, 101);  // the first threshold serves the first two steps

    progress.steps = 0;
    EXPECT_TRUE(Extract(test::ArchiveBuilder().File("E:\\BIG", std::string(500'000, 'b'))).completed());
    EXPECT_EQ(progress.steps, 1);
}

TEST_F(ExtractionTest, FolderBlockedByAFileOfItsNameFailsForThatEntryOnly) {
    PutOnCard("VM/X", "a file where the folder should be");
    auto result =
        Extract(test::ArchiveBuilder().Folder("E:\\\\VM\\").Folder("E:\\\\VM\\\\X\\").Tree("VM/Y.TXT", "y"));
    EXPECT_TRUE(result.completed());
    EXPECT_EQ(CardFile("VM/Y.TXT"), "y");
    ASSERT_EQ(result.notRestored.size(), 1u);
    EXPECT_EQ(result.notRestored[0].path, "F:\\\\VM\\\\X\\");
}

// On a card that keeps one file for names differing only in case or trailing dots and spaces,
// the first entry of such a name is restored and the others are named; a name the utility
// writes its own unfinished files under is never taken, whatever the card.
TEST_F(ExtractionTest, EntriesTheCardCannotHoldSideBySideAreNamedAndTheFirstIsKept) {
    test::FaultInjectingFileSystem merging(machine.fileSystem());
    merging.ReportMergedNameVariants();
    auto result = ExtractWith(merging, test::ArchiveBuilder()
                                           .Folder("E:\\\\VM\\")
                                           .File("E:\\\\VM\\M0000.WAV", "first")
                                           .File("E:\\\\VM\\m0000.wav", "second")
                                           .File("E:\\\\vm\\M0000.WAV. ", "third")
                                           .Folder("E:\\\\VM\\\\m0000.WAV\\")
                                           .Folder("E:\\\\vm\\")
                                           .File("E:\\\\VM\\M0001.WAV.vocell-new", "unfinished")
                                           .File("E:\\\\VM\\M0001.WAV", "own"));
    EXPECT_TRUE(result.completed());
    EXPECT_EQ(CardFile("VM/M0000.WAV"), "first");
    EXPECT_EQ(CardFile("VM/M0001.WAV"), "own");
    std::vector<std::string> named;
    for (const NamedEntry& entry : result.notRestored) named.push_back(entry.path);
    EXPECT_EQ(named, (std::vector<std::string>{"F:\\\\VM\\m0000.wav", "F:\\\\vm\\M0000.WAV. ",
                                               "F:\\\\VM\\\\m0000.WAV\\", "F:\\\\VM\\M0001.WAV.vocell-new"}));
    EXPECT_FALSE(result.entryFailedOnCard);  // no restore of this archive could do better

    // The same archive on a card that tells the names apart (not a Windows drive).
    if (machine.fileSystem().MergesNameVariants("F:\\")) return;
    fs::remove_all(OnCard("VM"));
    result = Extract(test::ArchiveBuilder()
                         .Folder("E:\\\\VM\\")
                         .File("E:\\\\VM\\M0000.WAV", "first")
                         .File("E:\\\\VM\\m0000.wav", "second")
                         .File("E:\\\\VM\\M0001.WAV.vocell-new", "unfinished"));
    EXPECT_EQ(CardFile("VM/m0000.wav"), "second");
    ASSERT_EQ(result.notRestored.size(), 1u);
    EXPECT_EQ(result.notRestored[0].path, "F:\\\\VM\\M0001.WAV.vocell-new");
}

TEST_F(ExtractionTest, ArchiveOnTheCardItselfIsRefused) {
    test::ArchiveBuilder("1.31").File("E:\\\\VM\\A.TXT", "a").WriteTo(OnCard("VM/PROMPTS/B.VCB"));
    auto checked = OpenCheckedArchive(machine.fileSystem(), "f:\\VM\\PROMPTS\\B.VCB", "F:\\");
    EXPECT_EQ(checked.check.fault, ArchiveFault::OnTheCard);
}

TEST_F(ExtractionTest, EntriesLeftOutAndFilesLeftShortAreNamedWhenTheCardFillsUp) {
    test::FaultInjectingFileSystem faulty(machine.fileSystem());
    faulty.FailWrite(2, FsError::DiskFull, 28);
    auto result = ExtractWith(faulty, test::ArchiveBuilder()
                                          .File("E:\\..\\OUT.TXT", "x")
                                          .File("E:\\A.WAV", std::string(3 * kIoBufferSize, 'a')));
    EXPECT_EQ(result.stop, ExtractionStop::CardFull);
    ASSERT_EQ(result.notRestored.size(), 2u);
    EXPECT_EQ(result.notRestored[0].path, "E:\\..\\OUT.TXT");
    EXPECT_EQ(result.notRestored[1].path, "F:\\A.WAV");
    const std::size_t held = CardFile("A.WAV").size();
    EXPECT_GE(held, kIoBufferSize);
    EXPECT_EQ(result.notRestored[1].reason, "it was left incomplete on the card (" + std::to_string(held) +
                                                " of " + std::to_string(3 * kIoBufferSize) + " bytes)");
    EXPECT_TRUE(result.entryFailedOnCard);
}

// Kept prompts: the card's prompt tree stays, the archive's is skipped, recognised only by the
// exact stored prefix.
TEST_F(ExtractionTest, KeepingPromptsLeavesTheCardPromptTreeAndSkipsTheArchiveOne) {
    PutOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0110");
    PutOnCard("VM/PROMPTS/0/0/1/OLD.WAV", "old prompt");
    auto result = Extract(test::ArchiveBuilder("1.31")
                              .Tree("VM/PROMPTS/0/NEW.WAV", "new prompt")
                              .Tree("VM/MSGS/M1.WAV", "message")
                              .Tree("VM/PROMPTS2/A.WAV", "prompts2")
                              .Tree("VM/prompts/B.WAV", "lower case")
                              .Folder("E:\\VM\\PROMPTS\\")
                              .File("E:\\VM\\PROMPTS\\C.WAV", "single separators"),
                          PromptHandling::KeepCardPrompts);
    EXPECT_TRUE(result.completed());
    EXPECT_EQ(CardFile("VM/PROMPTS/0/0/0/VERSION.TXT"), "0110");
    EXPECT_EQ(CardFile("VM/PROMPTS/0/0/1/OLD.WAV"), "old prompt");
    EXPECT_FALSE(fs::exists(OnCard("VM/PROMPTS/0/NEW.WAV")));
    EXPECT_EQ(CardFile("VM/MSGS/M1.WAV"), "message");
    EXPECT_EQ(CardFile("VM/PROMPTS2/A.WAV"), "prompts2");
    EXPECT_EQ(CardFile("VM/prompts/B.WAV"), "lower case");
    EXPECT_EQ(CardFile("VM/PROMPTS/C.WAV"), "single separators");
}

TEST_F(ExtractionTest, DataOfASkippedPromptFileIsNeverReadAsEntries) {
    // The skipped file's second data block begins like an entry header.
    std::string content(2000, 'p');
    content[1024 - 20 + 1] = ':';
    content[1024 - 20 + 2] = '\\';
    content.replace(1024 - 20, 1, "F");
    auto result =
        Extract(test::ArchiveBuilder().Tree("VM/PROMPTS/X.WAV", content).Tree("VM/AFTER.WAV", "after"),
                PromptHandling::KeepCardPrompts);
    EXPECT_EQ(CardFile("VM/AFTER.WAV"), "after");
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(machine.DriveFolder('F')), {}), 2);
    EXPECT_TRUE(result.completed());
}

}  // namespace
}  // namespace vocell::archive
