// One card backed up by the Windows build and by the Linux build gives the same archive, byte for
// byte, and each build restores the other's. scripts/test-windows.sh lays the card out on E: (in
// the order and with the times both systems read alike), backs it up with the Linux command line
// into VOCELL_INTEROP_DIR\linux.vcb, runs this test, and restores windows.vcb on Linux.

#include <cstdlib>

#include "CardDialogFixture.h"

namespace vocell::win32::test {
namespace {

using ArchiveInterop = CardOnWineDrives;

// Where two archives first differ, as a block and an offset in it.
std::string FirstDifference(const std::string& a, const std::string& b) {
    const auto at =
        static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
    return "block " + std::to_string(at / 1024) + ", byte " + std::to_string(at % 1024) + " (sizes " +
           std::to_string(a.size()) + " and " + std::to_string(b.size()) + ")";
}

TEST_F(ArchiveInterop, BothBuildsMakeTheSameArchiveOfACardAndRestoreEachOthers) {
    const char* folder = std::getenv("VOCELL_INTEROP_DIR");
    if (folder == nullptr) GTEST_SKIP() << "scripts/test-windows.sh prepares the card and the Linux archive";
    VOCELL_REQUIRE_REMOVABLE_DRIVE(kCardDrive);
    const std::string linuxArchive = std::string(folder) + "\\linux.vcb";
    const std::string windowsArchive = std::string(folder) + "\\windows.vcb";
    Tree card;
    Snapshot(RootOf(kCardDrive), card);
    ASSERT_FALSE(card.empty());

    Start();
    Select(kCardDrive);
    Backup(windowsArchive);
    const std::string made = GetFile(windowsArchive);
    const std::string expected = GetFile(linuxArchive);
    EXPECT_TRUE(made == expected) << "the archives differ first at " << FirstDifference(made, expected);

    EmptyDrive(kCardDrive);
    desktop_.AnswerOpenDialog(linuxArchive);
    dialog_->OnCommand(ControlId::Restore);
    EXPECT_EQ(desktop_.messages().back(), text::kRestoreComplete);
    Tree restored;
    Snapshot(RootOf(kCardDrive), restored);
    EXPECT_TRUE(restored == card) << "the Linux archive did not restore the card as it was";
}

}  // namespace
}  // namespace vocell::win32::test
