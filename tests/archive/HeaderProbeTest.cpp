#include "archive/ArchiveHeaderProbe.h"

#include <gtest/gtest.h>

#include "tests/support/ArchiveBuilder.h"
#include "tests/support/FakeMachine.h"

namespace vocell::archive {
namespace {

class HeaderProbeTest : public ::testing::Test {
protected:
    std::string Probe(const std::string& bytes) {
        test::PutHostFile(machine.DriveFolder('Z') / "probe.vcb", bytes);
        return ReadArchiveVersion(machine.fileSystem(), "Z:\\probe.vcb");
    }
    test::FakeMachine machine{"EF"};
};

TEST_F(HeaderProbeTest, GivesTheVersionTextUpToItsFirstZeroByte) {
    EXPECT_EQ(Probe(test::ArchiveBuilder("1.31").Folder("E:\\\\VM\\").bytes()), "1.31");
    EXPECT_EQ(Probe(test::ArchiveBuilder("13.10\r").bytes()), "13.10\r");
    EXPECT_EQ(Probe(test::ArchiveBuilder("").bytes()), "");
}

TEST_F(HeaderProbeTest, TakesSixNonZeroBytesWithoutATerminator) {
    EXPECT_EQ(Probe("ABCDEFGH" + std::string(1016, '\0')), "ABCDEF");
}

TEST_F(HeaderProbeTest, AnyFileGivesTheTextOfItsFirstBytes) {
    EXPECT_EQ(Probe(""), "");
    EXPECT_EQ(Probe("PK"), "PK");
    EXPECT_EQ(Probe(std::string("RIFF\0\0\0\0WAVE", 12)), "RIFF");
}

TEST_F(HeaderProbeTest, MissingFileGivesAnEmptyVersion) {
    EXPECT_EQ(ReadArchiveVersion(machine.fileSystem(), "Z:\\missing.vcb"), "");
}

}  // namespace
}  // namespace vocell::archive
