// The main dialog on the Windows file system and drives, with the removable Wine drives
// scripts/test-windows.sh lays out: the card is found and named by its label, a backup and a
// restore keep every file's content, attributes and times, and a card that fills up says so once.

#include <cstdlib>

#include "CardDialogFixture.h"

namespace vocell::win32::test {
namespace {

TEST_F(CardOnWineDrives, RemovableCardIsFoundInSlotZeroByItsLabel) {
    VOCELL_REQUIRE_REMOVABLE_DRIVE(kCardDrive);
    EmptyDrive(kCardDrive);
    PutFile(RootOf(kCardDrive) + "VM\\PROMPTS\\0\\0\\0\\VERSION.TXT", "0131");
    EXPECT_EQ(volumes_.VolumeLabel("E:\\"), "VMCARD");
    EXPECT_NE(volumes_.OpenRootForReading("E:\\").error, FsError::NotReady);

    Start();
    EXPECT_EQ(dialog_->deviceSlots().slotRoots[0], "E:\\");
    EXPECT_EQ(desktop_.Pane(0), text::kReady);
    EXPECT_EQ(dialog_->cardFields().statusText, text::kCardNotSelected);
    Select(kCardDrive);
    EXPECT_EQ(desktop_.chooserEntries().at(0), "VMCARD (E:)");
    EXPECT_EQ(dialog_->cardFields().deviceText, "VMCARD (E:)");
    EXPECT_EQ(dialog_->cardFields().promptVersionText, "1.31");
    // A card the size of a real one, where the script could give it one.
    if (const char* bytes = std::getenv("VOCELL_WINE_CARD_BYTES")) {
        EXPECT_EQ(dialog_->slotSizesMB()[0], std::strtoull(bytes, nullptr, 10) / 1'000'000);
        EXPECT_EQ(dialog_->cardFields().cardTypeText, text::kVocell8Hour);
    }
}

TEST_F(CardOnWineDrives, BackupAndRestoreKeepContentAttributesAndTimes) {
    VOCELL_REQUIRE_REMOVABLE_DRIVE(kCardDrive);
    EmptyDrive(kCardDrive);
    PutCardFile(kCardDrive, "VM\\PROMPTS\\0\\0\\0\\VERSION.TXT", "0131", FILE_ATTRIBUTE_ARCHIVE);
    PutCardFile(kCardDrive, "VM\\MSGS\\100\\M0000.WAV", Pattern(3000), FILE_ATTRIBUTE_ARCHIVE);
    PutCardFile(kCardDrive, "VM\\MSGS\\100\\M0001.WAV", Pattern(2048),
                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
    PutCardFile(kCardDrive, "VM\\NAMES\\100.WAV", "", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);
    PutCardFile(kCardDrive, "VM\\GREET\\100\\G1.WAV", Pattern(70000),
                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM);
    for (const char* folder :
         {"VM\\PROMPTS\\0\\0\\0", "VM\\PROMPTS\\0\\0", "VM\\PROMPTS\\0", "VM\\PROMPTS", "VM\\MSGS\\100",
          "VM\\MSGS", "VM\\NAMES", "VM\\GREET\\100", "VM\\GREET", "VM"}) {
        SetTimesOf(RootOf(kCardDrive) + folder, {kWritten, kRead, kWritten});
    }
    Tree before;
    Snapshot(RootOf(kCardDrive), before);
    ASSERT_EQ(before.size(), 15u);

    Start();
    Select(kCardDrive);
    const std::string archive = std::string(kBackupFolder) + "wine-card.vcb";
    Backup(archive);
    EmptyDrive(kCardDrive);
    desktop_.AnswerOpenDialog(archive);
    dialog_->OnCommand(ControlId::Restore);
    EXPECT_EQ(desktop_.messages().back(), text::kRestoreComplete);
    EXPECT_EQ(desktop_.Pane(0), text::kReady);

    Tree after;
    Snapshot(RootOf(kCardDrive), after);
    EXPECT_EQ(after.size(), before.size());
    for (const auto& [path, entry] : before) {
        ASSERT_TRUE(after.contains(path)) << path;
        EXPECT_EQ(after[path].content, entry.content) << path;
        EXPECT_EQ(after[path].attributes, entry.attributes) << path;
        EXPECT_EQ(after[path].times, entry.times) << path;
    }
    RemoveAll(archive);
}

TEST_F(CardOnWineDrives, CardThatFillsUpSaysSoOnceAndNothingElse) {
    VOCELL_REQUIRE_REMOVABLE_DRIVE(kCardDrive);
    VOCELL_REQUIRE_REMOVABLE_DRIVE(kFullCardDrive);
    if (std::getenv("VOCELL_WINE_FULL_CARD") == nullptr) GTEST_SKIP() << "F: is no size-limited card here";
    EmptyDrive(kCardDrive);
    EmptyDrive(kFullCardDrive);
    PutCardFile(kCardDrive, "VM\\MSGS\\100\\M0000.WAV", Pattern(3'000'000), FILE_ATTRIBUTE_ARCHIVE);
    PutCardFile(kCardDrive, "VM\\MSGS\\100\\M0001.WAV", Pattern(10'000), FILE_ATTRIBUTE_ARCHIVE);

    Start();
    Select(kCardDrive);
    const std::string archive = std::string(kBackupFolder) + "too-big.vcb";
    Backup(archive);
    Select(kFullCardDrive);
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
