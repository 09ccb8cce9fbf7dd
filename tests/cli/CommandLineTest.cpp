// The vocell command line as a technician's script uses it: exit statuses, messages, and what
// ends up on the card. Standard input is never a terminal here.

#include <gtest/gtest.h>

#include "common/Messages.h"
#include "tests/cli/VocellRun.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/FakeMachine.h"

namespace vocell {
namespace {

namespace fs = std::filesystem;

using Outcome = test::VocellRun;

class CommandLineTest : public ::testing::Test {
protected:
    CommandLineTest() : card(temp.path() / "card"), other(temp.path() / "other") {
        fs::create_directories(card);
        fs::create_directories(other);
    }

    Outcome Vocell(const std::string& arguments) { return test::RunVocell(temp.path(), arguments); }
    // Runs vocell and checks its exit status and, when given, a text its output holds.
    void ExpectRun(const std::string& arguments, int status, std::string_view says = {}) {
        const Outcome run = Vocell(arguments);
        EXPECT_EQ(run.status, status) << arguments << ": " << run.output;
        EXPECT_NE(run.output.find(says), std::string::npos) << arguments << ": " << run.output;
    }

    void PutCard(const fs::path& root, const std::string& relative, const std::string& content) {
        test::PutHostFile(root / relative, content);
    }
    void GiveCardPrompts(const fs::path& root, const std::string& code) {
        PutCard(root, "VM/PROMPTS/0/0/0/VERSION.TXT", code);
        PutCard(root, "VM/PROMPTS/0/0/1/P.WAV", "prompt " + code);
    }

    test::TempDirectory temp;
    fs::path card;
    fs::path other;
};

TEST_F(CommandLineTest, BackupListVerifyAndRestoreOntoAnotherCard) {
    GiveCardPrompts(card, "0131");
    PutCard(card, "VM/MSGS/100/M1.WAV", std::string(5000, 'm'));
    ExpectRun("backup card saved", 0, text::kBackupComplete);  // ".vcb" is added
    ASSERT_TRUE(fs::exists(temp.path() / "saved.vcb"));
    ExpectRun("list saved.vcb", 0, "Version: 1.31");
    ExpectRun("list saved.vcb", 0, "5000  E:\\\\VM\\\\MSGS\\\\100\\M1.WAV");
    ExpectRun("list --json saved.vcb", 0, "\"path\": \"E:\\\\\\\\VM\\\\\\\\MSGS\\\\\\\\100\\\\M1.WAV\"");
    ExpectRun("restore saved.vcb other", 0, text::kRestoreComplete);
    EXPECT_EQ(test::ReadHostFile(other / "VM/MSGS/100/M1.WAV"), std::string(5000, 'm'));
    EXPECT_EQ(Vocell("verify saved.vcb other").status, 0);
    EXPECT_EQ(Vocell("verify saved.vcb").status, 0);
    EXPECT_EQ(Vocell("version other").output, "1.31\n");
    EXPECT_EQ(Vocell("version saved.vcb").output, "1.31\n");

    PutCard(other, "VM/MSGS/100/M1.WAV", "changed");
    ExpectRun("verify saved.vcb other", 1, "content differs");
}

TEST_F(CommandLineTest, DifferingPromptVersionsWithoutATerminalOrAFlagChangeNothing) {
    GiveCardPrompts(card, "0110");
    ASSERT_EQ(Vocell("backup card old.vcb").status, 0);
    GiveCardPrompts(other, "0131");
    PutCard(card, "VM/MSGS/M.WAV", "not in the archive");

    ExpectRun("restore old.vcb other", 2, "--keep-prompts");
    EXPECT_FALSE(fs::exists(other / "VM/MSGS"));

    ASSERT_EQ(Vocell("restore old.vcb other --keep-prompts").status, 0);
    EXPECT_EQ(test::ReadHostFile(other / "VM/PROMPTS/0/0/0/VERSION.TXT"), "0131");

    ASSERT_EQ(Vocell("restore old.vcb other --replace-prompts").status, 0);
    EXPECT_EQ(test::ReadHostFile(other / "VM/PROMPTS/0/0/0/VERSION.TXT"), "0110");
    EXPECT_EQ(Vocell("restore old.vcb other --keep-prompts --replace-prompts").status, 2);
}

TEST_F(CommandLineTest, UpdateAsksForConfirmationAndReplacesThePromptFolder) {
    GiveCardPrompts(card, "0110");
    PutCard(card, "VM/PROMPTS/0/3/1/STALE.WAV", "stale");
    PutCard(card, "VM/MSGS/M.WAV", "message");
    const std::string package = "'" VOCELL_TEST_HOME "/Prompts/PromptUpdateVer1_3_1.vcp'";
    ExpectRun("update " + package + " card", 2,
              "The Vocell Card prompts are version 1.10.\nThe file you are about to install contains version "
              "1.31.");
    EXPECT_TRUE(fs::exists(card / "VM/PROMPTS/0/3/1/STALE.WAV"));

    ExpectRun("update " + package + " card --yes", 0, text::kPromptUpdateComplete);
    EXPECT_FALSE(fs::exists(card / "VM/PROMPTS/0/3/1/STALE.WAV"));
    EXPECT_EQ(test::ReadHostFile(card / "VM/MSGS/M.WAV"), "message");
    EXPECT_EQ(Vocell("version card").output, "1.31\n");
}

TEST_F(CommandLineTest, InitLaysTheInitialStructureOnlyOnACardWithoutPrompts) {
    ASSERT_EQ(Vocell("init card").status, 0);
    EXPECT_EQ(test::ReadHostFile(card / "VM/PROMPTS/0/0/0/VERSION.TXT"), "0131");
    EXPECT_TRUE(fs::is_directory(card / "VM/MSGS"));

    ExpectRun("init card", 1, "already holds prompts");
}

TEST_F(CommandLineTest, UsageErrorsGiveStatusTwoAndABackupIntoAMissingFolderSaysWhy) {
    for (const char* usage : {"", "restore", "backup no-such-folder x.vcb", "restore missing.vcb card",
                              "backup card card/inside.vcb"}) {
        ExpectRun(usage, 2);
    }
    ExpectRun("backup card no/such/folder/b.vcb", 1, text::kBackupNotWritten);
    GiveCardPrompts(card, "0131");
    ASSERT_EQ(Vocell("backup card inside.vcb").status, 0);
    fs::rename(temp.path() / "inside.vcb", card / "VM" / "inside.vcb");
    EXPECT_EQ(Vocell("restore card/VM/inside.vcb card --replace-prompts").status, 2);
    EXPECT_TRUE(fs::exists(card / "VM" / "inside.vcb"));
}

TEST_F(CommandLineTest, EveryCommandNamingACardSaysWhenARestoreOntoItWasInterrupted) {
    GiveCardPrompts(card, "0131");
    ASSERT_EQ(Vocell("backup card b.vcb").status, 0);
    PutCard(card, "VOCELL-RESTORE-INTERRUPTED.TXT", "a restore began");
    ExpectRun("version card", 1, "interrupted");
    for (const char* command : {"verify b.vcb card", "backup card c.vcb"}) {
        EXPECT_NE(Vocell(command).output.find("interrupted"), std::string::npos) << command;
    }
    ExpectRun("restore b.vcb card", 0);
    EXPECT_FALSE(fs::exists(card / "VOCELL-RESTORE-INTERRUPTED.TXT"));
    EXPECT_EQ(Vocell("version card").status, 0);
}

// A reader pulled mid-restore leaves the version file but not all the prompts: the next restore
// takes the backup's prompts although the versions are equal, and the card ends as the backup
// holds it.
TEST_F(CommandLineTest, ARestoreAfterAnInterruptedOneMendsThePromptsAtEqualVersions) {
    GiveCardPrompts(card, "0131");
    PutCard(card, "VM/PROMPTS/0/1/1/A.WAV", "prompt a");
    PutCard(card, "VM/PROMPTS/0/1/1/B.WAV", "prompt b");
    ASSERT_EQ(Vocell("backup card b.vcb").status, 0);
    fs::remove_all(card / "VM/PROMPTS/0/1/1");
    PutCard(card, "VOCELL-RESTORE-INTERRUPTED.TXT", "a restore began");

    ExpectRun("restore b.vcb card", 0, text::kPromptsRestoredAfterInterruption);
    EXPECT_EQ(test::ReadHostFile(card / "VM/PROMPTS/0/1/1/B.WAV"), "prompt b");
    EXPECT_FALSE(fs::exists(card / "VOCELL-RESTORE-INTERRUPTED.TXT"));
    ExpectRun("verify b.vcb card", 0);
}

// An archive entry under the name the utility writes unfinished files under would take the
// place of another file's unfinished copy: it is named, and the other file restored.
TEST_F(CommandLineTest, AnEntryNamedLikeAnUnfinishedFileIsNamedAndTheFileOfItsNameRestored) {
    test::WriteHostFile(temp.path() / "a.vcb", test::ArchiveBuilder("1.31")
                                                   .Folder("E:\\\\VM\\")
                                                   .File("E:\\\\VM\\X.WAV.vocell-new", "unfinished")
                                                   .File("E:\\\\VM\\X.WAV", "x")
                                                   .bytes());
    PutCard(card, "VM/X.WAV", "old x");
    ExpectRun("restore a.vcb card", 1, "X.WAV.vocell-new: the utility keeps this name for its own use");
    EXPECT_EQ(test::ReadHostFile(card / "VM/X.WAV"), "x");
    EXPECT_FALSE(fs::exists(card / "VM/X.WAV.vocell-new"));
    EXPECT_FALSE(fs::exists(card / "VOCELL-RESTORE-INTERRUPTED.TXT"));
}

}  // namespace
}  // namespace vocell
