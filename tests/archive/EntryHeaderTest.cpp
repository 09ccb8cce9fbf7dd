#include "archive/EntryHeader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/ArchiveBuilder.h"

namespace vocell::archive {
namespace {

using test::BlockOf;

std::string Field(const Block& block, std::size_t offset, std::size_t size = kNumberFieldSize) {
    return std::string(block.data() + offset, strnlen(block.data() + offset, size));
}

bool ZeroFrom(const Block& block, std::size_t offset, std::size_t end) {
    return std::all_of(block.begin() + static_cast<long>(offset), block.begin() + static_cast<long>(end),
                       [](char c) { return c == '\0'; });
}

TEST(ArchiveHeaderBlock, HoldsAtMostSixVersionBytesThenZeros) {
    Block shortVersion = EncodeArchiveHeader("1.31");
    EXPECT_EQ(Field(shortVersion, 0, 6), "1.31");
    EXPECT_TRUE(ZeroFrom(shortVersion, 4, kBlockSize));

    Block longVersion = EncodeArchiveHeader("1.31\rXYZ");
    EXPECT_EQ(std::string(longVersion.data(), 6), "1.31\rX");
    EXPECT_TRUE(ZeroFrom(longVersion, 6, kBlockSize));
    EXPECT_EQ(DecodeArchiveVersion(longVersion), "1.31\rX");

    EXPECT_TRUE(ZeroFrom(EncodeArchiveHeader(""), 0, kBlockSize));
    EXPECT_FALSE(IsEntryHeader(EncodeArchiveHeader("1.31")));
}

TEST(EntryHeaderBlock, LaysOutTheFolderExampleField_by_field) {
    FileTimes times{0x01D0'0000'1234'5678ULL, 5, 0xFFFF'FFFF'FFFF'FFFFULL};
    Block block = EncodeEntryHeader({"E:\\\\VM\\", 16, times});
    EXPECT_EQ(Field(block, kPathOffset, kPathSize), "E:\\\\VM\\");
    EXPECT_TRUE(ZeroFrom(block, 7, kPathSize));
    EXPECT_EQ(Field(block, kAttributesOffset), "16");
    EXPECT_EQ(Field(block, kCreationLowOffset), "305419896");
    EXPECT_EQ(Field(block, kCreationHighOffset), "30408704");
    EXPECT_EQ(Field(block, kLastAccessLowOffset), "5");
    EXPECT_EQ(Field(block, kLastAccessHighOffset), "0");
    EXPECT_EQ(Field(block, kLastWriteLowOffset), "4294967295");
    EXPECT_EQ(Field(block, kLastWriteHighOffset), "4294967295");
    EXPECT_TRUE(ZeroFrom(block, kFullPathMarkerOffset, kBlockSize));
    EXPECT_TRUE(IsEntryHeader(block));
}

TEST(EntryHeaderBlock, NegativeAttributeWordIsSignedDecimal) {
    Block block = EncodeEntryHeader({"E:\\X", 0xFFFF'FFFEu, {}});
    EXPECT_EQ(Field(block, kAttributesOffset), "-2");
    EXPECT_EQ(DecodeEntryHeader(block).attributes, 0xFFFF'FFFEu);
    EXPECT_FALSE(FindHeaderDamage(block));
}

TEST(EntryHeaderBlock, PathOfExactly64CharactersHasNoTerminatorAndNoLongPathArea) {
    const std::string path = "E:\\" + std::string(61, 'P');
    Block block = EncodeEntryHeader({path, 32, {}});
    EXPECT_EQ(std::string(block.data(), kPathSize), path);
    EXPECT_EQ(block[kAttributesOffset], '3');  // the attribute text follows directly
    EXPECT_TRUE(ZeroFrom(block, kFullPathMarkerOffset, kBlockSize));
    EXPECT_EQ(DecodeEntryHeader(block).storedPath, path);
}

TEST(EntryHeaderBlock, LongerPathKeepsTheOld64ByteViewAndComesBackWhole) {
    const std::string path = "E:\\\\VM\\\\MSGS\\\\" + std::string(150, 'L') + "\\M0001.WAV";
    Block block = EncodeEntryHeader({path, 32, {}});
    EXPECT_EQ(std::string(block.data(), kPathSize), path.substr(0, kPathSize));
    EXPECT_EQ(Field(block, kAttributesOffset), "32");
    EXPECT_EQ(DecodeEntryHeader(block).storedPath, path);
    EXPECT_FALSE(FindHeaderDamage(block));
}

TEST(EntryHeaderBlock, LongPathAreaThatDisagreesWithThePathFieldIsIgnoredAndReported) {
    const std::string path = "E:\\" + std::string(100, 'A');
    Block block = EncodeEntryHeader({path, 32, {}});
    block[kFullPathOffset + 5] = 'B';
    EXPECT_EQ(DecodeEntryHeader(block).storedPath, path.substr(0, kPathSize));
    EXPECT_TRUE(FindHeaderDamage(block));
}

TEST(EntryHeaderDecoding, ReadsNumbersTheLenientWay) {
    Block block = BlockOf("E:\\X");
    std::memcpy(block.data() + kAttributesOffset, "  +48", 5);
    std::memcpy(block.data() + kCreationLowOffset, "-1", 2);
    std::memcpy(block.data() + kCreationHighOffset, "4294967296", 10);  // wraps to 0
    std::memcpy(block.data() + kLastWriteLowOffset, "abc", 3);          // no digits: 0
    std::memcpy(block.data() + kLastWriteHighOffset, "7xyz", 4);
    EntryHeader header = DecodeEntryHeader(block);
    EXPECT_EQ(header.attributes, 48u);
    EXPECT_EQ(header.times.creation, 0xFFFF'FFFFull);
    EXPECT_EQ(header.times.lastWrite, 7ull << 32);
}

TEST(EntryHeaderDamage, IsFoundInEveryFieldButAcceptsWhatTheWriterWrites) {
    EXPECT_FALSE(FindHeaderDamage(EncodeEntryHeader({"E:\\A", 32, {1, 2, 3}})));
    EXPECT_TRUE(FindHeaderDamage(EncodeEntryHeader({"1:\\A", 32, {}})));  // no drive letter
    const std::pair<std::size_t, std::string> damages[] = {
        {kAttributesOffset + 5, "x"},                              // a letter after the digits
        {kAttributesOffset, std::string(kNumberFieldSize, '\0')},  // no digits at all
        {kLastAccessHighOffset, "4294967296"},                     // more than 32 bits
        {kCreationLowOffset, "-1"},                                // a negative time
    };
    for (const auto& [offset, text] : damages) {
        Block block = EncodeEntryHeader({"E:\\A", 32, {}});
        std::memcpy(block.data() + offset, text.data(), text.size());
        EXPECT_TRUE(FindHeaderDamage(block)) << offset << ": " << text;
    }
}

}  // namespace
}  // namespace vocell::archive
