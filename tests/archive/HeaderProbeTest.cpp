#include "archive/ArchiveHeaderProbe.h"

#include <gtest/gtest.h>

#include "tests/support/ArchiveBuilder.h"
#include "tests/support/FakeMachine.h"

namespace vocell::archive {
namespace {

// The text of the first bytes up to a zero byte, at most six, whatever the file; a missing file
// gives an empty version.
TEST(HeaderProbe, GivesTheTextOfTheFirstSixBytesUpToAZeroByte) {
    const std::pair<std::string, std::string> cases[] = {
        {test::ArchiveBuilder("1.31").Folder("E:\\\\VM\\").bytes(), "1.31"},
        {test::ArchiveBuilder("13.10\r").bytes(), "13.10\r"},
        {test::ArchiveBuilder("").bytes(), ""},
        {"ABCDEFGH" + std::string(1016, '\0'), "ABCDEF"},
        {"", ""},
        {"PK", "PK"},
        {std::string("RIFF\0\0\0\0WAVE", 12), "RIFF"},
    };
    test::FakeMachine machine{"EF"};
    for (const auto& [bytes, version] : cases) {
        test::PutHostFile(machine.DriveFolder('Z') / "probe.vcb", bytes);
        EXPECT_EQ(ReadArchiveVersion(machine.fileSystem(), "Z:\\probe.vcb"), version) << bytes.substr(0, 8);
    }
    EXPECT_EQ(ReadArchiveVersion(machine.fileSystem(), "Z:\\missing.vcb"), "");
}

}  // namespace
}  // namespace vocell::archive
