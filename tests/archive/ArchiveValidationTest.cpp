#include "common/Messages.h"
#include "tests/archive/ExtractionFixture.h"

namespace vocell::archive {
namespace {

namespace fs = std::filesystem;

// Every rejected archive leaves the card, its prompt folder included, exactly as it was.
class RejectedArchiveTest : public ExtractionTest {
protected:
    void SetUp() override {
        PutOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0131");
        PutOnCard("VM/MSGS/M1.WAV", "message");
    }
    void ExpectRejected(const test::ArchiveBuilder& archive, const std::string& problemWords) {
        auto result = Extract(archive);
        ASSERT_TRUE(result.archiveProblem) << "the archive was accepted";
        EXPECT_NE(result.archiveProblem->find(problemWords), std::string::npos) << *result.archiveProblem;
        EXPECT_FALSE(result.completed);
        EXPECT_TRUE(state.extractionFailed);
        EXPECT_EQ(CardFile("VM/PROMPTS/0/0/0/VERSION.TXT"), "0131");
        EXPECT_EQ(CardFile("VM/MSGS/M1.WAV"), "message");
        EXPECT_EQ(std::distance(fs::recursive_directory_iterator(drives.cardF()), {}), 8);
        ASSERT_EQ(listener.messages.size(), 1u);
        EXPECT_EQ(listener.messages[0].find(text::kNotValidArchive), 0u);
        EXPECT_NE(listener.messages[0].find(text::kCardNotChanged), std::string::npos);
    }
};

TEST_F(RejectedArchiveTest, LengthNotAWholeNumberOfBlocks) {
    ExpectRejected(test::ArchiveBuilder("1.31").File("E:\\\\VM\\A.WAV", "a").Raw("xyz"),
                   "not a whole number");
}

TEST_F(RejectedArchiveTest, EmptyFile) {
    ExpectRejected(test::ArchiveBuilder().Raw("").RawTruncated(0), "empty");
}

TEST_F(RejectedArchiveTest, TruncatedInsideAFile) {
    test::ArchiveBuilder archive("1.31");
    archive.Folder("E:\\\\VM\\").File("E:\\\\VM\\BIG.WAV", std::string(10'000, 'b'));
    ExpectRejected(archive.RawTruncated(archive.bytes().size() - 3 * kBlockSize), "ends inside the data");
}

TEST_F(RejectedArchiveTest, EntryHeaderAtTheVeryEnd) {
    ExpectRejected(test::ArchiveBuilder("1.31").Folder("E:\\\\VM\\").Header({"E:\\\\VM\\A.WAV", 32, {}}),
                   "ends inside");
}

TEST_F(RejectedArchiveTest, DamagedEntryHeader) {
    Block damaged = EncodeEntryHeader({"E:\\\\VM\\A.WAV", 32, {}});
    damaged[kCreationLowOffset] = 'Z';
    ExpectRejected(test::ArchiveBuilder("1.31").Folder("E:\\\\VM\\").AddBlock(damaged).AddBlock(Block{}),
                   "is damaged");
}

TEST_F(RejectedArchiveTest, NoEntryAfterTheHeaderBlock) {
    ExpectRejected(test::ArchiveBuilder("1.31").Raw(std::string(kBlockSize, 'r')), "first entry");
}

TEST_F(ExtractionTest, ValidationAcceptsEveryArchiveTheWriterMakes) {
    test::ArchiveBuilder archive("1.31");
    archive.Folder("E:\\\\VM\\")
        .File("E:\\\\VM\\A", "")
        .File("E:\\\\VM\\B", std::string(1004, 'b'))
        .File("E:\\\\VM\\C", std::string(5000, 'c'))
        .Folder("E:\\\\VM\\\\D\\");
    archive.WriteTo(drives.host() / "ok.vcb");
    auto file = drives.fileSystem().OpenRead("Z:\\ok.vcb");
    ASSERT_TRUE(file.ok());
    EXPECT_EQ(ValidateArchive(*file.value(), archive.bytes().size()), std::nullopt);
}

TEST_F(RejectedArchiveTest, StreamOfAnotherOriginThatEndsInsideARecord) {
    // A file whose data is an attribute record and then a data record that the data never completes.
    std::string stream(20, '\0');
    stream[0] = 4;  // an alternate-data record without content
    std::string data = test::StreamOf(std::string(3000, 'd')).substr(0, 520);
    ExpectRejected(test::ArchiveBuilder("1.31")
                       .Header({"E:\\PART.TXT", 32, {}})
                       .AddBlock(test::BlockOf(stream + data))
                       .Folder("E:\\\\VM\\"),
                   "ends inside a stream record");
}

}  // namespace
}  // namespace vocell::archive
