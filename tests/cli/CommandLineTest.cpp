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
    Outcome backup = Vocell("backup card saved");  // ".vcb" is added
    ASSERT_EQ(backup.status, 0) << backup.output;
    EXPECT_NE(backup.output.find(text::kBackupComplete), std::string::npos);
    ASSERT_TRUE(fs::exists(temp.path() / "saved.vcb"));

    Outcome list = Vocell("list saved.vcb");
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.output.find("Version: 1.31"), std::string::npos);
    EXPECT_NE(list.output.find("5000  E:\\\\VM\\\\MSGS\\\\100\\M1.WAV"), std::string::npos) << list.output;

    Outcome json = Vocell("list --json saved.vcb");
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.output.find("\"path\": \"E:\\\\\\\\VM\\\\\\\\MSGS\\\\\\\\100\\\\M1.WAV\""),
              std::string::npos)
        << json.output;

    Outcome restore = Vocell("restore saved.vcb other");
    ASSERT_EQ(restore.status, 0) << restore.output;
    EXPECT_NE(restore.output.find(text::kRestoreComplete), std::string::npos);
    EXPECT_EQ(test::ReadHostFile(other / "VM/MSGS/100/M1.WAV"), std::string(5000, 'm'));
    EXPECT_EQ(Vocell("verify saved.vcb other").status, 0);
    EXPECT_EQ(Vocell("verify saved.vcb").status, 0);
    EXPECT_EQ(Vocell("version other").output, "1.31\n");
    EXPECT_EQ(Vocell("version saved.vcb").output, "1.31\n");

    PutCard(other, "VM/MSGS/100/M1.WAV", "changed");
    Outcome verify = Vocell("verify saved.vcb other");
    EXPECT_EQ(verify.status, 1);
    EXPECT_NE(verify.output.find("content differs"), std::string::npos);
}

TEST_F(CommandLineTest, DifferingPromptVersionsWithoutATerminalOrAFlagChangeNothing) {
    GiveCardPrompts(card, "0110");
    ASSERT_EQ(Vocell("backup card old.vcb").status, 0);
    GiveCardPrompts(other, "0131");
    PutCard(card, "VM/MSGS/M.WAV", "not in the archive");

    Outcome asked = Vocell("restore old.vcb other");
    EXPECT_EQ(asked.status, 2);
    EXPECT_NE(asked.output.find("--keep-prompts"), std::string::npos);
    EXPECT_FALSE(fs::exists(other / "VM/MSGS"));

    ASSERT_EQ(Vocell("restore old.vcb other --keep-prompts").status, 0);
    EXPECT_EQ(test::ReadHostFile(other / "VM/PROMPTS/0/0/0/VERSION.TXT"), "0131");

    ASSERT_EQ(Vocell("restore old.vcb other --replace-prompts").status, 0);
    EXPECT_EQ(test::ReadHostFile(other / "VM/PROMPTS/0/0/0/VERSION.TXT"), "0110");
    EXPECT_EQ(Vocell("restore old.vcb other --keep-prompts --replace-prompts").status, 2);
}

TEST_F(CommandLineTest, EqualVersionsKeepTheCardPromptsAndAPromptlessCardTakesTheArchives) {
    GiveCardPrompts(card, "0131");
    ASSERT_EQ(Vocell("backup card b.vcb").status, 0);
    GiveCardPrompts(other, "0131");
    PutCard(other, "VM/PROMPTS/0/0/1/P.WAV", "the card's own prompt");
    ASSERT_EQ(Vocell("restore b.vcb other").status, 0);
    EXPECT_EQ(test::ReadHostFile(other / "VM/PROMPTS/0/0/1/P.WAV"), "the card's own prompt");

    fs::path blank = temp.path() / "blank";
    fs::create_directories(blank);
    ASSERT_EQ(Vocell("restore b.vcb blank").status, 0);
    EXPECT_EQ(test::ReadHostFile(blank / "VM/PROMPTS/0/0/1/P.WAV"), "prompt 0131");
}

TEST_F(CommandLineTest, UpdateAsksForConfirmationAndReplacesThePromptFolder) {
    GiveCardPrompts(card, "0110");
    PutCard(card, "VM/PROMPTS/0/3/1/STALE.WAV", "stale");
    PutCard(card, "VM/MSGS/M.WAV", "message");
    const std::string package = "'" VOCELL_TEST_HOME "/Prompts/PromptUpdateVer1_3_1.vcp'";
    Outcome unconfirmed = Vocell("update " + package + " card");
    EXPECT_EQ(unconfirmed.status, 2);
    EXPECT_NE(unconfirmed.output.find("The Vocell Card prompts are version 1.10.\nThe file you are about "
                                      "to install contains version 1.31."),
              std::string::npos)
        << unconfirmed.output;
    EXPECT_TRUE(fs::exists(card / "VM/PROMPTS/0/3/1/STALE.WAV"));

    Outcome update = Vocell("update " + package + " card --yes");
    ASSERT_EQ(update.status, 0) << update.output;
    EXPECT_NE(update.output.find(text::kPromptUpdateComplete), std::string::npos);
    EXPECT_FALSE(fs::exists(card / "VM/PROMPTS/0/3/1/STALE.WAV"));
    EXPECT_EQ(test::ReadHostFile(card / "VM/MSGS/M.WAV"), "message");
    EXPECT_EQ(Vocell("version card").output, "1.31\n");
}

TEST_F(CommandLineTest, InitLaysTheInitialStructureOnlyOnACardWithoutPrompts) {
    ASSERT_EQ(Vocell("init card").status, 0);
    EXPECT_EQ(test::ReadHostFile(card / "VM/PROMPTS/0/0/0/VERSION.TXT"), "0131");
    EXPECT_TRUE(fs::is_directory(card / "VM/MSGS"));

    Outcome again = Vocell("init card");
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.output.find("already holds prompts"), std::string::npos);
}

TEST_F(CommandLineTest, UsageErrorsGiveStatusTwo) {
    EXPECT_EQ(Vocell("").status, 2);
    EXPECT_EQ(Vocell("restore").status, 2);
    EXPECT_EQ(Vocell("backup no-such-folder x.vcb").status, 2);
    EXPECT_EQ(Vocell("restore missing.vcb card").status, 2);
    EXPECT_EQ(Vocell("backup card card/inside.vcb").status, 2);
    GiveCardPrompts(card, "0131");
    ASSERT_EQ(Vocell("backup card inside.vcb").status, 0);
    fs::rename(temp.path() / "inside.vcb", card / "VM" / "inside.vcb");
    EXPECT_EQ(Vocell("restore card/VM/inside.vcb card --replace-prompts").status, 2);
    EXPECT_TRUE(fs::exists(card / "VM" / "inside.vcb"));
}

TEST_F(CommandLineTest, BackupIntoAMissingFolderFailsAndSaysWhy) {
    Outcome backup = Vocell("backup card no/such/folder/b.vcb");
    EXPECT_EQ(backup.status, 1);
    EXPECT_NE(backup.output.find(text::kBackupNotWritten), std::string::npos) << backup.output;
}

TEST_F(CommandLineTest, EveryCommandNamingACardSaysWhenARestoreOntoItWasInterrupted) {
    GiveCardPrompts(card, "0131");
    ASSERT_EQ(Vocell("backup card b.vcb").status, 0);
    PutCard(card, "VOCELL-RESTORE-INTERRUPTED.TXT", "a restore began");
    for (const std::string command : {"version card", "verify b.vcb card", "backup card c.vcb"}) {
        Outcome run = Vocell(command);
        EXPECT_NE(run.output.find("interrupted"), std::string::npos) << command << ": " << run.output;
    }
    EXPECT_EQ(Vocell("version card").status, 1);
    Outcome restore = Vocell("restore b.vcb card");
    EXPECT_EQ(restore.status, 0) << restore.output;
    EXPECT_FALSE(fs::exists(card / "VOCELL-RESTORE-INTERRUPTED.TXT"));
    EXPECT_EQ(Vocell("version card").status, 0);
}

}  // namespace
}  // namespace vocell
