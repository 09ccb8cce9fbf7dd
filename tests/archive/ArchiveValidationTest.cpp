// The check an archive passes before it may touch a card.

#include "archive/BackupStream.h"
#include "archive/EntryHeader.h"
#include "tests/archive/ExtractionFixture.h"

namespace vocell::archive {
namespace {

// A.WAV's record promises 3,000 bytes, but only its first data block was written before B.WAV.
test::ArchiveBuilder CutShortArchive(const Block& blockAfterTheFirst) {
    const std::string firstBlock = test::StreamOf(std::string(2980, 'a')).substr(0, kBlockSize);
    test::ArchiveBuilder archive("1.31");
    archive.Header({"E:\\A.WAV", 32, {}}).AddBlock(test::BlockOf(firstBlock)).AddBlock(blockAfterTheFirst);
    return archive;
}

struct DamagedArchive {
    const char* what;
    test::ArchiveBuilder archive;
    const char* problemWords;
};

std::vector<DamagedArchive> DamagedArchives() {
    test::ArchiveBuilder truncated("1.31");
    truncated.Folder("E:\\\\VM\\").File("E:\\\\VM\\BIG.WAV", std::string(10'000, 'b'));
    truncated.RawTruncated(truncated.bytes().size() - 3 * kBlockSize);

    Block damagedHeader = EncodeEntryHeader({"E:\\\\VM\\A.WAV", 32, {}});
    damagedHeader[kCreationLowOffset] = 'Z';

    // A file whose data is an alternate-data record and then a data record the data never completes.
    std::string otherOrigin(20, '\0');
    otherOrigin[0] = 4;
    otherOrigin += test::StreamOf(std::string(3000, 'd')).substr(0, 520);

    return {
        {"length not a whole number of blocks",
         test::ArchiveBuilder("1.31").File("E:\\\\VM\\A.WAV", "a").Raw("xyz"), "not a whole number"},
        {"empty file", test::ArchiveBuilder().RawTruncated(0), "empty"},
        {"truncated inside a file", truncated, "ends inside the data"},
        {"promised stream running past the end", CutShortArchive(test::BlockOf(std::string(kBlockSize, 'a'))),
         "ends inside the data"},
        {"entry header at the very end",
         test::ArchiveBuilder("1.31").Folder("E:\\\\VM\\").Header({"E:\\\\VM\\A.WAV", 32, {}}),
         "ends inside"},
        {"damaged entry header",
         test::ArchiveBuilder("1.31").Folder("E:\\\\VM\\").AddBlock(damagedHeader).AddBlock(Block{}),
         "is damaged"},
        {"no entry after the header block", test::ArchiveBuilder("1.31").Raw(std::string(kBlockSize, 'r')),
         "first entry"},
        {"stream of another origin ending inside a record",
         test::ArchiveBuilder("1.31")
             .Header({"E:\\PART.TXT", 32, {}})
             .AddBlock(test::BlockOf(otherOrigin))
             .Folder("E:\\\\VM\\"),
         "ends inside a stream record"},
    };
}

TEST_F(ExtractionTest, DamagedArchivesAreRefusedWithWhatIsWrong) {
    for (const DamagedArchive& damaged : DamagedArchives()) {
        SCOPED_TRACE(damaged.what);
        const ArchiveCheck check = Check(damaged.archive);
        EXPECT_EQ(check.fault, ArchiveFault::Damaged);
        EXPECT_NE(check.problem.find(damaged.problemWords), std::string::npos) << check.problem;
    }
}

// ---- Streams cut short by the format's writer ----

TEST_F(ExtractionTest, EntriesAfterAStreamCutShortAreRestoredAndTheCutFileIsNamed) {
    test::ArchiveBuilder archive = CutShortArchive(EncodeEntryHeader({"E:\\B.WAV", 32, {}}));
    archive.AddBlock(test::BlockOf(test::StreamOf("b"))).File("E:\\C.WAV", "c");
    ASSERT_TRUE(Check(archive).sound());
    auto result = Extract(archive);
    EXPECT_TRUE(result.completed());
    EXPECT_EQ(CardFile("A.WAV"), std::string(kBlockSize - kStreamHeaderSize, 'a'));
    EXPECT_EQ(CardFile("B.WAV"), "b");
    EXPECT_EQ(CardFile("C.WAV"), "c");
    ASSERT_EQ(result.storedIncomplete.size(), 1u);
    EXPECT_EQ(result.storedIncomplete[0].path, "F:\\A.WAV");
    EXPECT_EQ(result.storedIncomplete[0].reason, "stored incomplete in the archive (1004 of 2980 bytes)");
}

TEST_F(ExtractionTest, BlocksInsideAPromisedStreamThatAreNoWellFormedHeaderOfTheDriveStayData) {
    Block garbageFields = EncodeEntryHeader({"E:\\FAKE.WAV", 32, {}});
    garbageFields[kLastWriteLowOffset] = 'x';  // a header in all but one field
    Block otherDrive = EncodeEntryHeader({"Q:\\OTHER.WAV", 32, {}});
    Block random{};
    std::uint32_t seed = 7;
    for (char& byte : random) byte = static_cast<char>((seed = seed * 1664525u + 1013904223u) >> 24);
    random[1] = ':';
    random[2] = '\\';
    for (const Block& block : {garbageFields, otherDrive, random}) {
        const std::string content = std::string(1004, 'a') + std::string(block.data(), kBlockSize) + "tail";
        test::ArchiveBuilder archive("1.31");
        archive.File("E:\\A.WAV", content).File("E:\\B.WAV", "b");
        auto result = Extract(archive);
        EXPECT_TRUE(result.completed());
        EXPECT_TRUE(result.storedIncomplete.empty());
        EXPECT_EQ(CardFile("A.WAV"), content);
        EXPECT_EQ(CardFile("B.WAV"), "b");
    }
}

}  // namespace
}  // namespace vocell::archive
