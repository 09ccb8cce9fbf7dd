#include "common/Messages.h"
#include "tests/archive/ExtractionFixture.h"

namespace vocell::archive {
namespace {

namespace fs = std::filesystem;

// Every rejected archive leaves the card, its prompt folder included, exactly as it was.
class RejectedArchiveTest : public ExtractionTest {
protected:
    void SetUp() override {
        putOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0131");
        putOnCard("VM/MSGS/M1.WAV", "message");
    }
    void expectRejected(const test::ArchiveBuilder& archive, const std::string& problemWords) {
        auto result = extract(archive);
        ASSERT_TRUE(result.archiveProblem) << "the archive was accepted";
        EXPECT_NE(result.archiveProblem->find(problemWords), std::string::npos) << *result.archiveProblem;
        EXPECT_FALSE(result.completed);
        EXPECT_TRUE(state.extractionFailed);
        EXPECT_EQ(cardFile("VM/PROMPTS/0/0/0/VERSION.TXT"), "0131");
        EXPECT_EQ(cardFile("VM/MSGS/M1.WAV"), "message");
        EXPECT_EQ(std::distance(fs::recursive_directory_iterator(drives.cardF()), {}), 8);
        ASSERT_EQ(listener.messages.size(), 1u);
        EXPECT_EQ(listener.messages[0].find(text::kNotValidArchive), 0u);
        EXPECT_NE(listener.messages[0].find(text::kCardNotChanged), std::string::npos);
    }
};

TEST_F(RejectedArchiveTest, LengthNotAWholeNumberOfBlocks) {
    expectRejected(test::ArchiveBuilder("1.31").file("E:\\\\VM\\A.WAV", "a").raw("xyz"),
                   "not a whole number");
}

TEST_F(RejectedArchiveTest, EmptyFile) { expectRejected(test::ArchiveBuilder().raw("").rawTruncated(0), "empty"); }

TEST_F(RejectedArchiveTest, TruncatedInsideAFile) {
    test::ArchiveBuilder archive("1.31");
    archive.folder("E:\\\\VM\\").file("E:\\\\VM\\BIG.WAV", std::string(10'000, 'b'));
    expectRejected(archive.rawTruncated(archive.bytes().size() - 3 * kBlockSize), "ends inside the data");
}

TEST_F(RejectedArchiveTest, EntryHeaderAtTheVeryEnd) {
    expectRejected(test::ArchiveBuilder("1.31").folder("E:\\\\VM\\").header({"E:\\\\VM\\A.WAV", 32, {}}),
                   "ends inside");
}

TEST_F(RejectedArchiveTest, DamagedEntryHeader) {
    Block damaged = EncodeEntryHeader({"E:\\\\VM\\A.WAV", 32, {}});
    damaged[kCreationLowOffset] = 'Z';
    expectRejected(test::ArchiveBuilder("1.31").folder("E:\\\\VM\\").block(damaged).block(Block{}),
                   "is damaged");
}

TEST_F(RejectedArchiveTest, NoEntryAfterTheHeaderBlock) {
    expectRejected(test::ArchiveBuilder("1.31").raw(std::string(kBlockSize, 'r')), "first entry");
}

TEST_F(ExtractionTest, ValidationAcceptsEveryArchiveTheWriterMakes) {
    test::ArchiveBuilder archive("1.31");
    archive.folder("E:\\\\VM\\").file("E:\\\\VM\\A", "").file("E:\\\\VM\\B", std::string(1004, 'b'))
        .file("E:\\\\VM\\C", std::string(5000, 'c')).folder("E:\\\\VM\\\\D\\");
    archive.writeTo(drives.host() / "ok.vcb");
    auto file = drives.fileSystem().openRead("Z:\\ok.vcb");
    ASSERT_TRUE(file.ok());
    EXPECT_EQ(ValidateArchive(*file.value(), archive.bytes().size()), std::nullopt);
}

TEST_F(RejectedArchiveTest, StreamOfAnotherOriginThatEndsInsideARecord) {
    // A file whose data is an attribute record and then a data record that the data never completes.
    std::string stream(20, '\0');
    stream[0] = 4;  // an alternate-data record without content
    std::string data = test::StreamOf(std::string(3000, 'd')).substr(0, 520);
    expectRejected(test::ArchiveBuilder("1.31")
                       .header({"E:\\PART.TXT", 32, {}})
                       .block(test::BlockOf(stream + data))
                       .folder("E:\\\\VM\\"),
                   "ends inside a stream record");
}

}  // namespace
}  // namespace vocell::archive
