#include "archive/ArchiveWriter.h"

#include <gtest/gtest.h>

#include "archive/BackupStream.h"
#include "archive/EntryHeader.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/FakeMachine.h"
#include "tests/support/FaultInjectingFileSystem.h"

namespace vocell::archive {
namespace {

class PathRecorder final : public ArchiveWriterListener {
public:
    void ShowStoredPath(std::string_view path) override { shown.emplace_back(path); }
    std::vector<std::string> shown;
};

class ArchiveWriterTest : public ::testing::Test {
protected:
    // The blocks the walk of E:\ appends, without a header block.
    std::string Walk(FileSystem& fileSystem) {
        auto file = machine.fileSystem().OpenWrite("Z:\\walk.bin");
        EXPECT_TRUE(file.ok());
        ArchiveSink sink(*file.value());
        ArchiveWriter writer(fileSystem, sink, paths);
        writer.ArchiveTree("E:\\");
        EXPECT_TRUE(sink.Finish().ok());
        EXPECT_TRUE(file.value()->Close().ok());
        leftOut = writer.leftOut();
        return test::ReadHostFile(machine.DriveFolder('Z') / "walk.bin");
    }
    std::string Walk() { return Walk(machine.fileSystem()); }

    static Block BlockAt(const std::string& bytes, std::size_t index) {
        Block block{};
        std::copy_n(bytes.begin() + static_cast<long>(index * kBlockSize), kBlockSize, block.begin());
        return block;
    }
    static std::string PathAt(const std::string& bytes, std::size_t index) {
        return DecodeEntryHeader(BlockAt(bytes, index)).storedPath;
    }

    void Put(const std::filesystem::path& relative, const std::string& content) {
        test::PutHostFile(machine.DriveFolder('E') / relative, content);
    }

    test::FakeMachine machine{"EF"};
    PathRecorder paths;
    std::vector<NamedEntry> leftOut;
};

TEST_F(ArchiveWriterTest, TheExampleCardGivesFourBlocksAfterTheHeader) {
    Put("VM/A.TXT", "hello");
    const std::string bytes = Walk();
    ASSERT_EQ(bytes.size(), 4 * kBlockSize);
    EXPECT_EQ(PathAt(bytes, 0), "E:\\\\VM\\");
    EXPECT_EQ(DecodeEntryHeader(BlockAt(bytes, 0)).attributes, FileAttribute::Directory);
    EXPECT_EQ(BlockAt(bytes, 1), Block{});
    EXPECT_EQ(PathAt(bytes, 2), "E:\\\\VM\\A.TXT");
    EXPECT_EQ(DecodeEntryHeader(BlockAt(bytes, 2)).attributes, FileAttribute::Archive);
    EXPECT_EQ(BlockAt(bytes, 3), test::BlockOf(test::StreamOf("hello")));
    EXPECT_EQ(paths.shown, (std::vector<std::string>{"E:\\\\VM\\", "E:\\\\VM\\A.TXT"}));
}

TEST_F(ArchiveWriterTest, LastBlockFillerRepeatsTheBlockBefore) {
    std::string content3000(3000 - kStreamHeaderSize, '\0');
    for (std::size_t i = 0; i < content3000.size(); ++i) content3000[i] = static_cast<char>('a' + i % 26);
    Put("S3000", content3000);
    std::string bytes = Walk();
    ASSERT_EQ(bytes.size(), 4 * kBlockSize);  // header + three data blocks
    const std::string stream = test::StreamOf(content3000);
    EXPECT_EQ(bytes.substr(kBlockSize, 3000), stream);
    // The third data block: 952 stream bytes, then the last 72 bytes of the second data block.
    EXPECT_EQ(bytes.substr(3 * kBlockSize + 952, 72), bytes.substr(2 * kBlockSize + 952, 72));
    EXPECT_NE(bytes.substr(3 * kBlockSize + 952, 72), std::string(72, '\0'));
}

TEST_F(ArchiveWriterTest, EveryFolderLevelDoublesTheSeparatorAndIsDescendedDepthFirst) {
    Put("VM/PROMPTS/0/1/0/VERSION.TXT", "0131");
    const std::string bytes = Walk();
    std::vector<std::string> stored;
    for (std::size_t i = 0; i * kBlockSize < bytes.size(); ++i) {
        if (IsEntryHeader(BlockAt(bytes, i))) stored.push_back(PathAt(bytes, i));
    }
    EXPECT_EQ(stored, (std::vector<std::string>{
                          "E:\\\\VM\\", "E:\\\\VM\\\\PROMPTS\\", "E:\\\\VM\\\\PROMPTS\\\\0\\",
                          "E:\\\\VM\\\\PROMPTS\\\\0\\\\1\\", "E:\\\\VM\\\\PROMPTS\\\\0\\\\1\\\\0\\",
                          "E:\\\\VM\\\\PROMPTS\\\\0\\\\1\\\\0\\VERSION.TXT"}));
}

TEST_F(ArchiveWriterTest, SubFoldersAfterPlainFilesAreStillDescendedInto) {
    // Whatever order the listing returns, no folder's content is dropped.
    for (int i = 0; i < 20; ++i) {
        Put("VM/F" + std::to_string(i), "f");
        Put("VM/D" + std::to_string(i) + "/INNER.WAV", "d");
    }
    const std::string bytes = Walk();
    int inner = 0, folders = 0;
    for (std::size_t i = 0; i * kBlockSize < bytes.size(); ++i) {
        Block block = BlockAt(bytes, i);
        if (!IsEntryHeader(block)) continue;
        EntryHeader header = DecodeEntryHeader(block);
        if (header.storedPath.ends_with("\\INNER.WAV")) ++inner;
        if (header.attributes & FileAttribute::Directory) {
            ++folders;
            EXPECT_TRUE(header.storedPath.ends_with("\\")) << header.storedPath;
        }
    }
    EXPECT_EQ(inner, 20);
    EXPECT_EQ(folders, 21);
}

TEST_F(ArchiveWriterTest, FoldersBeginningWithADotArePassedOverButDotFilesAreKept) {
    Put(".cache/X", "x");
    Put(".hidden", "h");
    const std::string bytes = Walk();
    ASSERT_EQ(bytes.size(), 2 * kBlockSize);
    EXPECT_EQ(PathAt(bytes, 0), "E:\\.hidden");
}

TEST_F(ArchiveWriterTest, HiddenAndSystemFilesAreArchivedWithTheirAttributeWord) {
    Put("VM/SYSTEM.DAT", "system data");
    test::FaultInjectingFileSystem fat(machine.fileSystem());
    const std::uint32_t hiddenSystem = FileAttribute::Hidden | FileAttribute::System;
    fat.ReportAttributes("E:\\\\VM\\SYSTEM.DAT", hiddenSystem);
    const std::string bytes = Walk(fat);
    ASSERT_EQ(bytes.size(), 4 * kBlockSize);
    EXPECT_EQ(PathAt(bytes, 2), "E:\\\\VM\\SYSTEM.DAT");
    EXPECT_EQ(DecodeEntryHeader(BlockAt(bytes, 2)).attributes, hiddenSystem);
    EXPECT_EQ(std::string(BlockAt(bytes, 3).data() + kStreamHeaderSize, 11), "system data");
}

TEST_F(ArchiveWriterTest, FilesOpenedAheadOfTheirTurnKeepTheListingOrderAndTheirFailures) {
    for (int i = 0; i < 40; ++i) {
        Put("F" + std::to_string(i), std::string(5000, 'a'));
    }
    test::FaultInjectingFileSystem faulty(machine.fileSystem());
    faulty.FailOpenRead("E:\\F5", FsError::AccessDenied);
    faulty.FailOpenRead("E:\\F30", FsError::AccessDenied);
    auto listing = machine.fileSystem().ListFolder("E:\\");
    ASSERT_TRUE(listing.ok());
    std::vector<std::string> expected;
    for (const FolderEntry& entry : listing.value()) {
        if (entry.name != "F5" && entry.name != "F30") expected.push_back("E:\\" + entry.name);
    }

    const std::string bytes = Walk(faulty);
    const std::size_t entryBlocks = 1 + DataBlockCount(5000 + kStreamHeaderSize);
    ASSERT_EQ(bytes.size(), expected.size() * entryBlocks * kBlockSize);
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(PathAt(bytes, i * entryBlocks), expected[i]);
    ASSERT_EQ(leftOut.size(), 2u);
    EXPECT_NE(leftOut[0].reason.find("could not be read"), std::string::npos) << leftOut[0].reason;
}

TEST_F(ArchiveWriterTest, FileThatFailsHalfwayIsTakenBackOutOfTheArchive) {
    Put("A.WAV", std::string(300'000, 'a'));
    Put("B.WAV", std::string(300'000, 'b'));
    test::FaultInjectingFileSystem faulty(machine.fileSystem());
    faulty.FailReadAfter("E:\\A.WAV", 200'000, FsError::Other);
    const std::string bytes = Walk(faulty);
    ASSERT_EQ(bytes.size(), (1 + DataBlockCount(300'000 + kStreamHeaderSize)) * kBlockSize);
    EXPECT_EQ(PathAt(bytes, 0), "E:\\B.WAV");
    ASSERT_EQ(leftOut.size(), 1u);
    EXPECT_EQ(leftOut[0].path, "E:\\A.WAV");
}

TEST_F(ArchiveWriterTest, MeasuringATreeGivesTheBytesItsWalkAppends) {
    Put("VM/PROMPTS/0/0/0/VERSION.TXT", "0131");
    Put("VM/MSGS/100/EMPTY.WAV", "");
    Put("VM/MSGS/100/ONE_BLOCK.WAV", std::string(kBlockSize - kStreamHeaderSize - 1, 'a'));
    Put("VM/MSGS/100/TWO_BLOCKS.WAV", std::string(kBlockSize - kStreamHeaderSize, 'b'));
    Put("VM/MSGS/101/LONG.WAV", std::string(300'000, 'c'));
    Put(".cache/X", "passed over");
    Put(".hidden", "kept");
    Put("VOCELL-RESTORE-INTERRUPTED.TXT", "the utility's own");
    Put("VM/MSGS/100/M1.WAV.vocell-new", "the utility's own");
    int foldersListed = 0;
    TreeMeasure whole(machine.fileSystem(), "E:\\");
    whole.Finish([&] { ++foldersListed; });
    const std::uint64_t measured = whole.bytes();
    const std::string bytes = Walk();
    EXPECT_EQ(measured, bytes.size());
    EXPECT_EQ(foldersListed, 9);  // E:\, VM, PROMPTS, 0, 0, 0, MSGS, 100, 101; not .cache
    // A folder at a time, as a window measures while it waits for the user.
    TreeMeasure stepped(machine.fileSystem(), "E:\\");
    int steps = 1;
    while (stepped.Step()) {
        EXPECT_LT(stepped.bytes(), measured);
        ++steps;
    }
    EXPECT_EQ(steps, 9);
    EXPECT_TRUE(stepped.done() && stepped.allListed());
    EXPECT_FALSE(stepped.Step());
    EXPECT_EQ(stepped.bytes(), measured);
    TreeMeasure missing(machine.fileSystem(), "E:\\NONE\\");
    missing.Finish({});
    EXPECT_EQ(missing.bytes(), 0u);
    EXPECT_FALSE(missing.allListed());
}

TEST_F(ArchiveWriterTest, PathTooLongForAnArchiveIsLeftOutAndReported) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows' file functions reach no path of more than 260 characters, far fewer than an "
                    "archive holds";
#endif
    std::filesystem::path deep = machine.DriveFolder('E');
    for (int i = 0; i < 6; ++i) deep /= std::string(120, static_cast<char>('a' + i));
    test::PutHostFile(deep / "X.WAV", "x");
    Walk();
    ASSERT_FALSE(leftOut.empty());
    EXPECT_GT(leftOut[0].path.size(), kMaxStoredPath);
}

}  // namespace
}  // namespace vocell::archive
