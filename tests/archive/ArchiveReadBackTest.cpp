// An archive read back from its drive while it is still being written, where the platform tells
// which part is on the medium: what comes back is checked whole, and a medium that gives back
// something else is found out whichever way it was read.

#include "archive/ArchiveReadBack.h"

#include <gtest/gtest.h>

#include "tests/support/FakeMachine.h"
#include "tests/support/FaultInjectingFileSystem.h"

namespace vocell::archive {
namespace {

constexpr std::uint64_t kArchiveBytes = 30 * 1024 * 1024;  // long enough to be read back early

class ArchiveReadBackTest : public ::testing::Test {
protected:
    // Writes the archive through fileSystem in 64 KiB pieces, as the sink does, and reads it back.
    std::optional<ReadBackDigest> WriteAndReadBack(FileSystem& fileSystem, std::uint64_t* early = nullptr) {
        auto writer = fileSystem.CreateNew(kPath);
        EXPECT_TRUE(writer.ok());
        ArchiveReadBack readBack(*writer.value(), [&] { return fileSystem.OpenReadFromMedium(kPath); });
        std::string piece(64 * 1024, '\0');
        for (std::uint64_t done = 0; done < kArchiveBytes; done += piece.size()) {
            for (std::size_t i = 0; i < piece.size(); ++i) piece[i] = static_cast<char>((done + i) * 31 / 7);
            EXPECT_TRUE(writer.value()->Write(std::as_bytes(std::span(piece.data(), piece.size()))).ok());
            written.Update(piece);
            readBack.Written(done + piece.size());
        }
        EXPECT_TRUE(writer.value()->Flush().ok());
        EXPECT_TRUE(writer.value()->Close().ok());
        if (early != nullptr) *early = readBack.piecesReadEarly();
        return readBack.Finish(kArchiveBytes);
    }

    static constexpr const char* kPath = "Z:\\card.vcb.vocell-00000000.partial";
    test::FakeMachine machine{"E"};
    StreamChecksum written;
};

TEST_F(ArchiveReadBackTest, TheArchiveIsReadBackWholeAndMostlyWhileItIsWritten) {
    std::uint64_t early = 0;
    const auto back = WriteAndReadBack(machine.fileSystem(), &early);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, (ReadBackDigest{written.digest(), kArchiveBytes}));
#ifndef _WIN32
    // A Win32 file cannot tell which of its pieces have reached the medium: it is read back
    // whole once it is closed.
    EXPECT_GE(early, 1u);
#endif
}

TEST_F(ArchiveReadBackTest, AMediumThatGivesBackSomethingElseIsFoundOut) {
    test::FaultInjectingFileSystem garbling(machine.fileSystem());
    garbling.GarbleOnMedium(".partial");
    const auto back = WriteAndReadBack(garbling);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->length, kArchiveBytes);
    EXPECT_NE(back->checksum, written.digest());
}

}  // namespace
}  // namespace vocell::archive
