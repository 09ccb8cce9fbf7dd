#include <sys/stat.h>

#include "archive/EntryHeader.h"
#include "common/Messages.h"
#include "tests/archive/ExtractionFixture.h"

namespace vocell::archive {
namespace {

namespace fs = std::filesystem;

TEST_F(ExtractionTest, PutsEntriesOnTheSelectedCardWhateverDriveTheyWereSavedFrom) {
    auto result = extract(test::ArchiveBuilder("1.31")
                              .folder("E:\\\\VM\\")
                              .file("E:\\\\VM\\A.TXT", "from E")
                              .file("F:\\\\VM\\B.TXT", "from F"));
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(cardFile("VM/A.TXT"), "from E");
    EXPECT_EQ(cardFile("VM/B.TXT"), "from F");
    EXPECT_TRUE(fs::is_empty(drives.cardE()));
    EXPECT_FALSE(state.extractionFailed);
    EXPECT_TRUE(listener.messages.empty());
    EXPECT_EQ(listener.begun, 1);
    EXPECT_EQ(listener.ended, 1);
}

TEST_F(ExtractionTest, HeaderOnlyArchiveExtractsNothingAndKeepsThePromptFolder) {
    putOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0131");
    auto result = extract(test::ArchiveBuilder("1.31"));
    EXPECT_TRUE(result.completed);
    EXPECT_TRUE(fs::exists(onCard("VM/PROMPTS/0/0/0/VERSION.TXT")));
    EXPECT_FALSE(state.promptsCleared);
}

TEST_F(ExtractionTest, AnyLargerArchiveDeletesThePromptFolderFirstOncePerOperation) {
    putOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0110");
    putOnCard("VM/KEEP.WAV", "keep");
    extract(test::ArchiveBuilder("1.31").folder("E:\\\\VM\\"));
    EXPECT_FALSE(fs::exists(onCard("VM/PROMPTS")));
    EXPECT_TRUE(fs::exists(onCard("VM/KEEP.WAV")));
    EXPECT_TRUE(state.promptsCleared);

    putOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0110");  // a second extraction of the same operation
    extract(test::ArchiveBuilder("1.31").folder("E:\\\\VM\\"));
    EXPECT_TRUE(fs::exists(onCard("VM/PROMPTS/0/0/0/VERSION.TXT")));
}

TEST_F(ExtractionTest, FileComesBackExactlyDespiteFillerAndOverAnOldLongerCopy) {
    std::string content(3000 - 20, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    putOnCard("VM/M.WAV", std::string(10'000, 'o'));
    extract(test::ArchiveBuilder().folder("E:\\\\VM\\").file("E:\\\\VM\\M.WAV", content)
                .file("E:\\\\VM\\EMPTY.WAV", "").file("E:\\\\VM\\W2048", std::string(2028, 'w')));
    EXPECT_EQ(cardFile("VM/M.WAV"), content);
    EXPECT_EQ(cardFile("VM/EMPTY.WAV"), "");
    EXPECT_EQ(cardFile("VM/W2048"), std::string(2028, 'w'));
}

TEST_F(ExtractionTest, DataBlockThatLooksLikeAnEntryHeaderIsData) {
    std::string content = "xx" + std::string(1024 - 20 - 2, 'a') + "Q:\\EVIL.TXT" + std::string(500, 'b');
    content[1024 - 20 + 1] = ':';  // bytes 1 and 2 of the second data block
    content[1024 - 20 + 2] = '\\';
    extract(test::ArchiveBuilder().file("E:\\DATA.BIN", content).file("E:\\NEXT.TXT", "next"));
    EXPECT_EQ(cardFile("DATA.BIN"), content);
    EXPECT_EQ(cardFile("NEXT.TXT"), "next");
    EXPECT_TRUE(listener.messages.empty());
}

TEST_F(ExtractionTest, DoubledSeparatorsNameTheSameFolders) {
    extract(test::ArchiveBuilder()
                .folder("E:\\\\VM\\")
                .folder("E:\\\\VM\\\\PROMPTS\\")
                .folder("E:\\\\VM\\\\PROMPTS\\\\0\\")
                .file("E:\\\\VM\\\\PROMPTS\\\\0\\P.WAV", "p")
                .folder("E:\\VM\\SINGLE"));
    EXPECT_EQ(cardFile("VM/PROMPTS/0/P.WAV"), "p");
    EXPECT_TRUE(fs::is_directory(onCard("VM/SINGLE")));
}

TEST_F(ExtractionTest, RestoredFilesAndFoldersCarryTheirEntryTimesAndTheCardIsFlushed) {
    const FileTimes fileTimes{0, 132'000'000'000'000'000ull, 131'000'000'000'000'000ull};
    const FileTimes folderTimes{0, 130'000'000'000'000'000ull, 130'500'000'000'000'000ull};
    test::FaultInjectingFileSystem counting(drives.fileSystem());
    extractWith(counting, test::ArchiveBuilder()
                              .folder("E:\\\\VM\\", 16, folderTimes)
                              .file("E:\\\\VM\\T.WAV", std::string(5000, 't'), 32, fileTimes));
    auto times = drives.fileSystem().times("F:\\VM\\T.WAV");
    ASSERT_TRUE(times.ok());
    EXPECT_EQ(times.value().lastWrite, fileTimes.lastWrite);
    EXPECT_EQ(times.value().lastAccess, fileTimes.lastAccess);
    auto folder = drives.fileSystem().times("F:\\VM");
    ASSERT_TRUE(folder.ok());
    EXPECT_EQ(folder.value().lastWrite, folderTimes.lastWrite);
    EXPECT_EQ(counting.flushVolumeCalls(), 1);
}

TEST_F(ExtractionTest, ReadOnlyFileOnTheCardIsReplacedAndStaysReadOnly) {
    putOnCard("RO.TXT", "old content");
    fs::permissions(onCard("RO.TXT"), fs::perms::owner_read | fs::perms::group_read);
    auto result = extract(test::ArchiveBuilder().file("E:\\RO.TXT", "new", 0x21));
    EXPECT_TRUE(result.notRestored.empty());
    EXPECT_EQ(cardFile("RO.TXT"), "new");
    EXPECT_EQ(fs::status(onCard("RO.TXT")).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(ExtractionTest, EntryThatCannotBeWrittenIsReportedNotPassedOffAsSuccess) {
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.failCreate("F:\\B.TXT", FsError::AccessDenied);
    auto result = extractWith(faulty, test::ArchiveBuilder()
                                          .file("E:\\A.TXT", "a")
                                          .file("E:\\B.TXT", "b")
                                          .file("E:\\C.TXT", "c"));
    EXPECT_EQ(cardFile("A.TXT"), "a");
    EXPECT_EQ(cardFile("C.TXT"), "c");
    ASSERT_EQ(result.notRestored.size(), 1u);
    EXPECT_EQ(result.notRestored[0].path, "F:\\B.TXT");
    EXPECT_TRUE(state.extractionFailed);
    ASSERT_EQ(listener.messages.size(), 1u);
    EXPECT_NE(listener.messages[0].find("F:\\B.TXT"), std::string::npos);
    EXPECT_EQ(listener.messages[0].find(text::kEntriesNotRestored), 0u);
}

TEST_F(ExtractionTest, NothingIsWrittenOutsideTheCard) {
    auto result = extract(test::ArchiveBuilder()
                              .file("E:\\..\\ESCAPED.TXT", "x")
                              .folder("E:\\VM\\..\\..\\UP\\")
                              .file("E:\\VM\\..\\INSIDE.TXT", "x")
                              .file("E:\\OK.TXT", "ok"));
    EXPECT_EQ(cardFile("OK.TXT"), "ok");
    EXPECT_FALSE(fs::exists(drives.cardF().parent_path() / "ESCAPED.TXT"));
    EXPECT_FALSE(fs::exists(drives.cardF().parent_path() / "UP"));
    EXPECT_FALSE(fs::exists(onCard("INSIDE.TXT")));
    EXPECT_EQ(result.notRestored.size(), 3u);
}

TEST_F(ExtractionTest, LongPathIsRestoredWhole) {
    const std::string folder = "E:\\\\VM\\\\" + std::string(90, 'G') + "\\";
    extract(test::ArchiveBuilder().folder("E:\\\\VM\\").folder(folder).file(folder + "GREETING.WAV", "hi"));
    EXPECT_EQ(cardFile("VM/" + std::string(90, 'G') + "/GREETING.WAV"), "hi");
}

TEST_F(ExtractionTest, FullCardStopsWithTheCardFullMessageOnce) {
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.failWrite(3, FsError::DiskFull, 28);  // A takes two writes, B fails on its first
    auto result = extractWith(faulty, test::ArchiveBuilder()
                                          .file("E:\\A.WAV", std::string(100'000, 'a'))
                                          .file("E:\\B.WAV", std::string(100'000, 'b'))
                                          .file("E:\\C.WAV", "c"));
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(state.extractionFailed);
    EXPECT_EQ(listener.messages, std::vector<std::string>{std::string(text::kCardFull)});
    EXPECT_EQ(cardFile("A.WAV").size(), 100'000u);  // what was written before stays
    EXPECT_FALSE(fs::exists(onCard("C.WAV")));
    EXPECT_EQ(listener.ended, 1);
}

TEST_F(ExtractionTest, OtherWriteErrorStopsWithTheWriteErrorMessage) {
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.failWrite(1, FsError::Other, 5);
    auto result = extractWith(faulty, test::ArchiveBuilder().file("E:\\A.WAV", "a").file("E:\\B.WAV", "b"));
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(state.extractionFailed);
    EXPECT_EQ(listener.messages, std::vector<std::string>{std::string(text::kCardWriteError)});
}

TEST_F(ExtractionTest, FailedFlushIsAWriteError) {
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.failFlushVolume(FsError::Other);
    auto result = extractWith(faulty, test::ArchiveBuilder().file("E:\\A.WAV", "a"));
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(listener.messages, std::vector<std::string>{std::string(text::kCardWriteError)});
}

TEST_F(ExtractionTest, EntryOfAnotherOriginWithoutARecordLeavesTheCardCopyAlone) {
    putOnCard("LOCKED.WAV", "the card's copy");
    auto result = extract(test::ArchiveBuilder()
                              .header({"E:\\LOCKED.WAV", 32, {}})
                              .block(Block{})
                              .file("E:\\NEXT.WAV", "next"));
    EXPECT_EQ(cardFile("LOCKED.WAV"), "the card's copy");
    EXPECT_EQ(cardFile("NEXT.WAV"), "next");
    ASSERT_EQ(result.notRestored.size(), 1u);
    EXPECT_EQ(result.notRestored[0].path, "F:\\LOCKED.WAV");
}

TEST_F(ExtractionTest, FileWithoutArchiveOrNormalBitIsRestoredFromItsRecord) {
    extract(test::ArchiveBuilder().file("E:\\HIDDEN.SYS", "h", FileAttribute::Hidden | FileAttribute::System));
    EXPECT_EQ(cardFile("HIDDEN.SYS"), "h");
}

TEST_F(ExtractionTest, ProgressMovesAtMostOneStepPerEntry) {
    test::ArchiveBuilder archive;
    for (int i = 0; i < 300; ++i) archive.file("E:\\F" + std::to_string(i), "x");
    extract(archive);
    EXPECT_GE(listener.steps, 95);
    EXPECT_LE(listener.steps, 101);  // the first threshold serves the first two steps

    test::RecordingListener single;
    listener = single;
    extract(test::ArchiveBuilder().file("E:\\BIG", std::string(500'000, 'b')));
    EXPECT_EQ(listener.steps, 1);
}

TEST_F(ExtractionTest, FullTmpfsCardGivesTheCardFullMessage) {
    if (::geteuid() != 0 ||
        std::system(("mount -t tmpfs -o size=1m tmpfs " + drives.cardF().string() + " 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "mounting a small tmpfs is not permitted here";
    }
    auto result = extract(test::ArchiveBuilder()
                              .file("E:\\A.WAV", std::string(700'000, 'a'))
                              .file("E:\\B.WAV", std::string(700'000, 'b')));
    std::system(("umount " + drives.cardF().string()).c_str());
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(state.extractionFailed);
    EXPECT_EQ(listener.messages, std::vector<std::string>{std::string(text::kCardFull)});
}

TEST_F(ExtractionTest, FolderBlockedByAFileOfItsNameFailsForThatEntryOnly) {
    putOnCard("VM/X", "a file where the folder should be");
    auto result = extract(test::ArchiveBuilder()
                              .folder("E:\\\\VM\\")
                              .folder("E:\\\\VM\\\\X\\")
                              .file("E:\\\\VM\\Y.TXT", "y"));
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(cardFile("VM/Y.TXT"), "y");
    ASSERT_EQ(result.notRestored.size(), 1u);
    EXPECT_EQ(result.notRestored[0].path, "F:\\\\VM\\\\X\\");
}

TEST_F(ExtractionTest, ArchiveOnTheCardItselfIsRefused) {
    putOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0131");
    test::ArchiveBuilder("1.31").file("E:\\\\VM\\A.TXT", "a").writeTo(onCard("VM/PROMPTS/B.VCB"));
    auto result = ExtractArchiveFile(drives.fileSystem(), state, "f:\\VM\\PROMPTS\\B.VCB", "F:\\",
                                     PromptHandling::ReplaceCardPrompts, listener);
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(fs::exists(onCard("VM/PROMPTS/B.VCB")));
    EXPECT_TRUE(fs::exists(onCard("VM/PROMPTS/0/0/0/VERSION.TXT")));
    ASSERT_EQ(listener.messages.size(), 1u);
    EXPECT_EQ(listener.messages[0].find(text::kArchiveOnCard), 0u);
}

TEST_F(ExtractionTest, EntriesLeftOutAreNamedEvenWhenTheCardFillsUp) {
    test::FaultInjectingFileSystem faulty(drives.fileSystem());
    faulty.failWrite(1, FsError::DiskFull, 28);
    extractWith(faulty, test::ArchiveBuilder().file("E:\\..\\OUT.TXT", "x").file("E:\\A.WAV", "a"));
    ASSERT_EQ(listener.messages.size(), 2u);
    EXPECT_EQ(listener.messages[0], text::kCardFull);
    EXPECT_NE(listener.messages[1].find("OUT.TXT"), std::string::npos);
}

}  // namespace
}  // namespace vocell::archive
