// The main dialog on the Windows file system and drives, with the removable Wine drives
// scripts/test-windows.sh lays out: the card's size is its drive's, a card too small is refused
// before anything is written, and a card that fills up says so once. (The card found by its label and typed
// by its size is the program's start-up test; that a restore keeps attributes and times is the Windows file
// system's own test, and one card's archive against the Linux build's is the interop test.)

#include <cstdlib>

#include "CardDialogFixture.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Volumes.h"

namespace vocell::win32::test {
namespace {

TEST_F(CardOnWineDrives, CardSizeIsItsDrivesCapacity) {
    VOCELL_REQUIRE_REMOVABLE_DRIVE(kCardDrive);
    const char* bytes = std::getenv("VOCELL_WINE_CARD_BYTES");
    if (bytes == nullptr) GTEST_SKIP() << "E: is no size-limited card here";
    EmptyDrive(kCardDrive);
    PutFile(RootOf(kCardDrive) + "VM\\PROMPTS\\0\\0\\0\\VERSION.TXT", "0131");
    Start();
    Select(kCardDrive);
    EXPECT_EQ(dialog_->slotSizesMB()[0], std::strtoull(bytes, nullptr, 10) / 1'000'000);
}

// What tells the selected card from another: the serial and label of its volume, its capacity
// and the volume's name, the same at every asking.
TEST_F(CardOnWineDrives, TheCardsIdentityIsItsVolumeSerialLabelCapacityAndName) {
    VOCELL_REQUIRE_REMOVABLE_DRIVE(kCardDrive);
    Win32Volumes volumes;
    const auto identity = volumes.MediumIdentityOf(RootOf(kCardDrive));
    ASSERT_TRUE(identity);
    DWORD serial = 0;
    ASSERT_TRUE(::GetVolumeInformationA(RootOf(kCardDrive).c_str(), nullptr, 0, &serial, nullptr, nullptr,
                                        nullptr, 0));
    EXPECT_EQ(identity->volumeSerial, std::to_string(serial));
    EXPECT_EQ(identity->label, "VMCARD");
    EXPECT_GT(identity->capacityBytes, 0u);
    EXPECT_TRUE(identity->device.starts_with("\\\\?\\Volume{")) << identity->device;
    EXPECT_EQ(volumes.MediumIdentityOf(RootOf(kCardDrive)), identity);
    EXPECT_FALSE(volumes.MediumIdentityOf("Q:\\"));
    EXPECT_TRUE(Win32FileSystem().FlushVolume(RootOf(kCardDrive)).ok());
}

TEST_F(CardOnWineDrives, CardThatFillsUpSaysSoOnceAndNothingElse) {
    VOCELL_REQUIRE_REMOVABLE_DRIVE(kCardDrive);
    VOCELL_REQUIRE_REMOVABLE_DRIVE(kFullCardDrive);
    if (std::getenv("VOCELL_WINE_FULL_CARD") == nullptr) GTEST_SKIP() << "F: is no size-limited card here";
    EmptyDrive(kCardDrive);
    EmptyDrive(kFullCardDrive);
    PutFile(RootOf(kCardDrive) + "VM\\MSGS\\100\\M0000.WAV", std::string(3'000'000, 'm'));
    PutFile(RootOf(kCardDrive) + "VM\\MSGS\\100\\M0001.WAV", std::string(10'000, 'm'));

    Start();
    Select(kCardDrive);
    const std::string archive = std::string(kBackupFolder) + "too-big.vcb";
    Backup(archive);
    Select(kFullCardDrive);
    // Worked out before anything is written: the card surely cannot hold it.
    desktop_.AnswerOpenDialog(archive);
    dialog_->OnCommand(ControlId::Restore);
    ASSERT_FALSE(desktop_.messages().empty());
    EXPECT_EQ(desktop_.messages().back().rfind(text::kTooLittleSpace, 0), 0u) << desktop_.messages().back();
    EXPECT_FALSE(Exists(RootOf(kFullCardDrive) + "VM"));
    // After an interrupted restore the need is not worked out: the card fills up part-way.
    PutFile(RootOf(kFullCardDrive) + "VOCELL-RESTORE-INTERRUPTED.TXT", "interrupted");
    desktop_.AnswerOpenDialog(archive);
    dialog_->OnCommand(ControlId::Restore);
    EXPECT_EQ(std::count(desktop_.messages().begin(), desktop_.messages().end(), text::kCardFull), 1);
    EXPECT_FALSE(Shown(text::kRestoreComplete));
    EXPECT_FALSE(Shown(text::kCardWriteError));
    EXPECT_FALSE(desktop_.progressBarShown());
    EXPECT_EQ(desktop_.Pane(0), text::kReady);
    EmptyDrive(kFullCardDrive);
    RemoveAll(archive);
}

}  // namespace
}  // namespace vocell::win32::test
