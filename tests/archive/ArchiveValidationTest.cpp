// The check an archive passes before it may touch a card.

#include "archive/EntryHeader.h"
#include "tests/archive/ExtractionFixture.h"

namespace vocell::archive {
namespace {

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

TEST_F(ExtractionTest, EveryArchiveTheWriterMakesPassesWithItsVersion) {
    test::ArchiveBuilder archive("1.31");
    archive.Folder("E:\\\\VM\\")
        .File("E:\\\\VM\\A", "")
        .File("E:\\\\VM\\B", std::string(1004, 'b'))
        .File("E:\\\\VM\\C", std::string(5000, 'c'))
        .Folder("E:\\\\VM\\\\D\\");
    archive.WriteTo(machine.DriveFolder('Z') / "ok.vcb");
    CheckedArchive checked = OpenCheckedArchive(machine.fileSystem(), "Z:\\ok.vcb", "F:\\");
    EXPECT_TRUE(checked.check.sound()) << checked.check.problem;
    EXPECT_EQ(checked.version, "1.31");
}

}  // namespace
}  // namespace vocell::archive
