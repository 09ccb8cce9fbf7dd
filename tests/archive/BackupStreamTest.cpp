#include "archive/BackupStream.h"

#include <gtest/gtest.h>

#include "tests/support/ArchiveBuilder.h"

namespace vocell::archive {
namespace {

std::string Decode(const std::string& stream, std::size_t pieceSize, bool* sawData = nullptr) {
    BackupStreamDecoder decoder;
    std::string content;
    for (std::size_t at = 0; at < stream.size(); at += pieceSize) {
        decoder.Feed(std::span<const char>(stream).subspan(at, std::min(pieceSize, stream.size() - at)),
                     [&](std::span<const char> piece) {
                         content.append(piece.begin(), piece.end());
                         return true;
                     });
    }
    if (sawData) *sawData = decoder.sawDataRecord();
    return content;
}

std::string RecordOf(std::uint32_t id, const std::string& name, const std::string& content) {
    StreamHeader header = EncodeDataRecordHeader(content.size());
    header[0] = static_cast<char>(id);
    header[16] = static_cast<char>(name.size());
    return std::string(header.begin(), header.end()) + name + content;
}

TEST(BackupDataRecord, HeaderIsIdentifierOneSizeLittleEndianNoName) {
    StreamHeader header = EncodeDataRecordHeader(0x0102'0304'0506ULL);
    const unsigned char expected[kStreamHeaderSize] = {1, 0, 0, 0, 0, 0, 0, 0, 6, 5,
                                                       4, 3, 2, 1, 0, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < kStreamHeaderSize; ++i) {
        EXPECT_EQ(static_cast<unsigned char>(header[i]), expected[i]) << "byte " << i;
    }
    StreamRecordHeader parsed = ParseStreamRecordHeader(header);
    EXPECT_EQ(parsed.id, kBackupDataId);
    EXPECT_EQ(parsed.size, 0x0102'0304'0506ULL);
    EXPECT_EQ(parsed.nameSize, 0u);
}

TEST(BackupDataRecord, IsReadableOnlyAsAnUnnamedDataRecord) {
    EXPECT_EQ(ReadableDataRecordSize(test::BlockOf(test::StreamOf("hello"))), 5u);
    EXPECT_FALSE(ReadableDataRecordSize(Block{}));  // the zero block of an unreadable file
    EXPECT_FALSE(ReadableDataRecordSize(test::BlockOf(RecordOf(4, ":s", "x"))));
    EXPECT_FALSE(ReadableDataRecordSize(test::BlockOf(RecordOf(2, "", "x"))));
}

TEST(BackupStreamDecoder, HandsOnDataRecordsAndPassesOverOthersAcrossPieces) {
    const std::string stream = RecordOf(2, "", "extended attributes") + RecordOf(1, "", "the content") +
                               RecordOf(4, ":alt", "alternate") + RecordOf(1, "", " more");
    for (std::size_t piece : {1u, 7u, 20u, 1024u}) {
        EXPECT_EQ(Decode(stream, piece), "the content more") << "pieces of " << piece;
    }
}

TEST(BackupStreamDecoder, StopsAtTheFirstHeaderThatIsNotAStreamHeader) {
    bool sawData = true;
    EXPECT_EQ(Decode(std::string(1024, '\0'), 1024, &sawData), "");
    EXPECT_FALSE(sawData);
    EXPECT_EQ(Decode(RecordOf(1, "", "abc") + std::string(40, '\x7f'), 1024, &sawData), "abc");
    EXPECT_TRUE(sawData);
}

}  // namespace
}  // namespace vocell::archive
