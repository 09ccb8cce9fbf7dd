#include <sys/stat.h>

#include "archive/EntryHeader.h"
#include "common/Messages.h"
#include "tests/archive/ExtractionFixture.h"

namespace vocell::archive {
namespace {

namespace fs = std::filesystem;

TEST_F(ExtractionTest, PutsEntriesOnTheSelectedCardWhateverDriveTheyWereSavedFrom) {
    auto result = Extract(test::ArchiveBuilder("1.31")
                              .Folder("E:\\\\VM\\")
                              .File("E:\\\\VM\\A.TXT", "from E")
                              .File("F:\\\\VM\\B.TXT", "from F"));
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(CardFile("VM/A.TXT"), "from E");
    EXPECT_EQ(CardFile("VM/B.TXT"), "from F");
    EXPECT_TRUE(fs::is_empty(drives.cardE()));
    EXPECT_FALSE(state.extractionFailed);
    EXPECT_TRUE(listener.messages.empty());
    EXPECT_EQ(listener.begun, 1);
    EXPECT_EQ(listener.ended, 1);
}

TEST_F(ExtractionTest, HeaderOnlyArchiveExtractsNothingAndKeepsThePromptFolder) {
    PutOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0131");
    auto result = Extract(test::ArchiveBuilder("1.31"));
    EXPECT_TRUE(result.completed);
    EXPECT_TRUE(fs::exists(OnCard("VM/PROMPTS/0/0/0/VERSION.TXT")));
    EXPECT_FALSE(state.promptsCleared);
}

TEST_F(ExtractionTest, AnyLargerArchiveDeletesThePromptFolderFirstOncePerOperation) {
    PutOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0110");
    PutOnCard("VM/KEEP.WAV", "keep");
    Extract(test::ArchiveBuilder("1.31").Folder("E:\\\\VM\\"));
    EXPECT_FALSE(fs::exists(OnCard("VM/PROMPTS")));
    EXPECT_TRUE(fs::exists(OnCard("VM/KEEP.WAV")));
    EXPECT_TRUE(state.promptsCleared);

    PutOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0110");  // a second extraction of the same operation
    Extract(test::ArchiveBuilder("1.31").Folder("E:\\\\VM\\"));
    EXPECT_TRUE(fs::exists(OnCard("VM/PROMPTS/0/0/0/VERSION.TXT")));
}

TEST_F(ExtractionTest, FileComesBackExactlyDespiteFillerAndOverAnOldLongerCopy) {
    std::string content(3000 - 20, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    PutOnCard("VM/M.WAV", std::string(10'000, 'o'));
    Extract(test::ArchiveBuilder()
                .Folder("E:\\\\VM\\")
                .File("E:\\\\VM\\M.WAV", content)
                .File("E:\\\\VM\\EMPTY.WAV", "")
                .File("E:\\\\VM\\W2048", std::string(2028, 'w')));
    EXPECT_EQ(CardFile("VM/M.WAV"), content);
    EXPECT_EQ(CardFile("VM/EMPTY.WAV"), "");
    EXPECT_EQ(CardFile("VM/W2048"), std::string(2028, 'w'));
}

TEST_F(ExtractionTest, DataBlockThatLooksLikeAnEntryHeaderIsData) {
    std::string content = "xx" + std::string(1024 - 20 - 2, 'a') + "Q:\\EVIL.TXT" + std::string(500, 'b');
    content[1024 - 20 + 1] = ':';  // bytes 1 and 2 of the second data block
    content[1024 - 20 + 2] = '\\';
    Extract(test::ArchiveBuilder().File("E:\\DATA.BIN", content).File("E:\\NEXT.TXT", "next"));
    EXPECT_EQ(CardFile("DATA.BIN"), content);
    EXPECT_EQ(CardFile("NEXT.TXT"), "next");
    EXPECT_TRUE(listener.messages.empty());
}

TEST_F(ExtractionTest, DoubledSeparatorsNameTheSameFolders) {
    Extract(test::ArchiveBuilder()
                .Folder("E:\\\\VM\\")
                .Folder("E:\\\\VM\\\\PROMPTS\\")
                .Folder("E:\\\\VM\\\\PROMPTS\\\\0\\")
                .File("E:\\\\VM\\\\PROMPTS\\\\0\\P.WAV", "p")
                .Folder("E:\\VM\\SINGLE"));
    EXPECT_EQ(CardFile("VM/PROMPTS/0/P.WAV"), "p");
    EXPECT_TRUE(fs::is_directory(OnCard("VM/SINGLE")));
}

TEST_F(ExtractionTest, RestoredFilesAndFoldersCarryTheirEntryTimesAndTheCardIsFlushed) {
    const FileTimes fileTimes{0, 132'000'000'000'000'000ull, 131'000'000'000'000'000ull};
    const FileTimes folderTimes{0, 130'000'000'000'000'000ull, 130'500'000'000'000'000ull};
    test::FaultInjectingFileSystem counting(drives.fileSystem());
    ExtractWith(counting, test::ArchiveBuilder()
                              .Folder("E:\\\\VM\\", 16, folderTimes)
                              .File("E:\\\\VM\\T.WAV", std::string(5000, 't'), 32, fileTimes));
    auto times = drives.fileSystem().Times("F:\\VM\\T.WAV");
    ASSERT_TRUE(times.ok());
    EXPECT_EQ(times.value().lastWrite, fileTimes.lastWrite);
    EXPECT_EQ(times.value().lastAccess, fileTimes.lastAccess);
    auto folder = drives.fileSystem().Times("F:\\VM");
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

TEST_F(ExtractionTest, EntryThatCannotBeWrittenIsReportedNotPassedOffAsSuccess) {
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.FailCreate("F:\\B.TXT", FsError::AccessDenied);
    auto result = ExtractWith(
        faulty, test::ArchiveBuilder().File("E:\\A.TXT", "a").File("E:\\B.TXT", "b").File("E:\\C.TXT", "c"));
    EXPECT_EQ(CardFile("A.TXT"), "a");
    EXPECT_EQ(CardFile("C.TXT"), "c");
    ASSERT_EQ(result.notRestored.size(), 1u);
    EXPECT_EQ(result.notRestored[0].path, "F:\\B.TXT");
    EXPECT_TRUE(state.extractionFailed);
    ASSERT_EQ(listener.messages.size(), 1u);
    EXPECT_NE(listener.messages[0].find("F:\\B.TXT"), std::string::npos);
    EXPECT_EQ(listener.messages[0].find(text::kEntriesNotRestored), 0u);
}

TEST_F(ExtractionTest, NothingIsWrittenOutsideTheCard) {
    auto result = Extract(test::ArchiveBuilder()
                              .File("E:\\..\\ESCAPED.TXT", "x")
                              .Folder("E:\\VM\\..\\..\\UP\\")
                              .File("E:\\VM\\..\\INSIDE.TXT", "x")
                              .File("E:\\OK.TXT", "ok"));
    EXPECT_EQ(CardFile("OK.TXT"), "ok");
    EXPECT_FALSE(fs::exists(drives.cardF().parent_path() / "ESCAPED.TXT"));
    EXPECT_FALSE(fs::exists(drives.cardF().parent_path() / "UP"));
    EXPECT_FALSE(fs::exists(OnCard("INSIDE.TXT")));
    EXPECT_EQ(result.notRestored.size(), 3u);
}

TEST_F(ExtractionTest, LongPathIsRestoredWhole) {
    const std::string folder = "E:\\\\VM\\\\" + std::string(90, 'G') + "\\";
    Extract(test::ArchiveBuilder().Folder("E:\\\\VM\\").Folder(folder).File(folder + "GREETING.WAV", "hi"));
    EXPECT_EQ(CardFile("VM/" + std::string(90, 'G') + "/GREETING.WAV"), "hi");
}

TEST_F(ExtractionTest, FullCardStopsWithTheCardFullMessageOnce) {
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.FailWrite(3, FsError::DiskFull, 28);  // A takes two writes, B fails on its first
    auto result = ExtractWith(faulty, test::ArchiveBuilder()
                                          .File("E:\\A.WAV", std::string(100'000, 'a'))
                                          .File("E:\\B.WAV", std::string(100'000, 'b'))
                                          .File("E:\\C.WAV", "c"));
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(state.extractionFailed);
    EXPECT_EQ(listener.messages, std::vector<std::string>{std::string(text::kCardFull)});
    EXPECT_EQ(CardFile("A.WAV").size(), 100'000u);  // what was written before stays
    EXPECT_FALSE(fs::exists(OnCard("C.WAV")));
    EXPECT_EQ(listener.ended, 1);
}

TEST_F(ExtractionTest, OtherWriteErrorStopsWithTheWriteErrorMessage) {
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.FailWrite(1, FsError::Other, 5);
    auto result = ExtractWith(faulty, test::ArchiveBuilder().File("E:\\A.WAV", "a").File("E:\\B.WAV", "b"));
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(state.extractionFailed);
    EXPECT_EQ(listener.messages, std::vector<std::string>{std::string(text::kCardWriteError)});
}

TEST_F(ExtractionTest, FailedFlushIsAWriteError) {
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.FailFlushVolume(FsError::Other);
    auto result = ExtractWith(faulty, test::ArchiveBuilder().File("E:\\A.WAV", "a"));
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(listener.messages, std::vector<std::string>{std::string(text::kCardWriteError)});
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

TEST_F(ExtractionTest, FileWithoutArchiveOrNormalBitIsRestoredFromItsRecord) {
    Extract(
        test::ArchiveBuilder().File("E:\\HIDDEN.SYS", "h", FileAttribute::Hidden | FileAttribute::System));
    EXPECT_EQ(CardFile("HIDDEN.SYS"), "h");
}

TEST_F(ExtractionTest, ProgressMovesAtMostOneStepPerEntry) {
    test::ArchiveBuilder archive;
    for (int i = 0; i < 300; ++i) archive.File("E:\\F" + std::to_string(i), "x");
    Extract(archive);
    EXPECT_GE(listener.steps, 95);
    EXPECT_LE(listener.steps, 101);  // the first threshold serves the first two steps

    test::RecordingListener single;
    listener = single;
    Extract(test::ArchiveBuilder().File("E:\\BIG", std::string(500'000, 'b')));
    EXPECT_EQ(listener.steps, 1);
}

TEST_F(ExtractionTest, FullTmpfsCardGivesTheCardFullMessage) {
    if (::geteuid() != 0 ||
        std::system(
            ("mount -t tmpfs -o size=1m tmpfs " + drives.cardF().string() + " 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "mounting a small tmpfs is not permitted here";
    }
    auto result = Extract(test::ArchiveBuilder()
                              .File("E:\\A.WAV", std::string(700'000, 'a'))
                              .File("E:\\B.WAV", std::string(700'000, 'b')));
    std::system(("umount " + drives.cardF().string()).c_str());
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(state.extractionFailed);
    EXPECT_EQ(listener.messages, std::vector<std::string>{std::string(text::kCardFull)});
}

TEST_F(ExtractionTest, FolderBlockedByAFileOfItsNameFailsForThatEntryOnly) {
    PutOnCard("VM/X", "a file where the folder should be");
    auto result = Extract(
        test::ArchiveBuilder().Folder("E:\\\\VM\\").Folder("E:\\\\VM\\\\X\\").File("E:\\\\VM\\Y.TXT", "y"));
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(CardFile("VM/Y.TXT"), "y");
    ASSERT_EQ(result.notRestored.size(), 1u);
    EXPECT_EQ(result.notRestored[0].path, "F:\\\\VM\\\\X\\");
}

TEST_F(ExtractionTest, ArchiveOnTheCardItselfIsRefused) {
    PutOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0131");
    test::ArchiveBuilder("1.31").File("E:\\\\VM\\A.TXT", "a").WriteTo(OnCard("VM/PROMPTS/B.VCB"));
    auto result = ExtractArchiveFile(drives.fileSystem(), state, "f:\\VM\\PROMPTS\\B.VCB", "F:\\",
                                     PromptHandling::ReplaceCardPrompts, listener);
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(fs::exists(OnCard("VM/PROMPTS/B.VCB")));
    EXPECT_TRUE(fs::exists(OnCard("VM/PROMPTS/0/0/0/VERSION.TXT")));
    ASSERT_EQ(listener.messages.size(), 1u);
    EXPECT_EQ(listener.messages[0].find(text::kArchiveOnCard), 0u);
}

TEST_F(ExtractionTest, EntriesLeftOutAreNamedEvenWhenTheCardFillsUp) {
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.FailWrite(1, FsError::DiskFull, 28);
    ExtractWith(faulty, test::ArchiveBuilder().File("E:\\..\\OUT.TXT", "x").File("E:\\A.WAV", "a"));
    ASSERT_EQ(listener.messages.size(), 2u);
    EXPECT_EQ(listener.messages[0], text::kCardFull);
    EXPECT_NE(listener.messages[1].find("OUT.TXT"), std::string::npos);
}

}  // namespace
}  // namespace vocell::archive
