// The vocell command line as a technician's script uses it: exit statuses, messages, and what
// ends up on the card. Standard input is never a terminal here. What the operations themselves do
// to a card is the operations tests' concern: the same dialog runs behind these commands.

#include <gtest/gtest.h>

#include "common/Messages.h"
#include "tests/cli/VocellRun.h"
#include "tests/support/FakeMachine.h"

namespace vocell {
namespace {

namespace fs = std::filesystem;

using test::Says;

class CommandLineTest : public ::testing::Test {
protected:
    CommandLineTest() : card(temp.path() / "card"), other(temp.path() / "other") {
        fs::create_directories(card);
        fs::create_directories(other);
    }

    test::VocellRun Vocell(const std::string& arguments) { return test::RunVocell(temp.path(), arguments); }
    // Runs vocell and checks its exit status and, when given, a text its output holds.
    void ExpectRun(const std::string& arguments, int status, std::string_view says = {}) {
        const test::VocellRun run = Vocell(arguments);
        EXPECT_EQ(run.status, status) << arguments << ": " << run.output;
        EXPECT_TRUE(Says(run, says)) << arguments;
    }
    static void GiveCardPrompts(const fs::path& root, const std::string& code) {
        test::PutHostFile(root / "VM/PROMPTS/0/0/0/VERSION.TXT", code);
        test::PutHostFile(root / "VM/PROMPTS/0/0/1/P.WAV", "prompt " + code);
    }

    test::TempDirectory temp;
    fs::path card;
    fs::path other;
};

TEST_F(CommandLineTest, BackupListVerifyAndRestoreOntoAnotherCard) {
    GiveCardPrompts(card, "0131");
    test::PutHostFile(card / "VM/MSGS/100/M1.WAV", std::string(5000, 'm'));
    ExpectRun("backup card saved", 0, text::kBackupComplete);  // ".vcb" is added
    ExpectRun("list saved.vcb", 0, "Version: 1.31");
    ExpectRun("list saved.vcb", 0, "5000  E:\\\\VM\\\\MSGS\\\\100\\M1.WAV");
    ExpectRun("list --json saved.vcb", 0, "\"path\": \"E:\\\\\\\\VM\\\\\\\\MSGS\\\\\\\\100\\\\M1.WAV\"");
    ExpectRun("restore saved.vcb other", 0, text::kRestoreComplete);
    EXPECT_EQ(test::ReadHostFile(other / "VM/MSGS/100/M1.WAV"), std::string(5000, 'm'));
    ExpectRun("verify saved.vcb other", 0);
    ExpectRun("verify saved.vcb", 0);
    ExpectRun("version other", 0, "1.31\n");
    EXPECT_EQ(Vocell("version saved.vcb").output, "1.31\n");

    test::PutHostFile(other / "VM/MSGS/100/M1.WAV", "changed");
    ExpectRun("verify saved.vcb other", 1, "content differs");
}

TEST_F(CommandLineTest, DifferingPromptVersionsWithoutATerminalOrAFlagChangeNothing) {
    GiveCardPrompts(card, "0110");
    ASSERT_EQ(Vocell("backup card old.vcb").status, 0);
    GiveCardPrompts(other, "0131");
    test::PutHostFile(card / "VM/MSGS/M.WAV", "not in the archive");

    ExpectRun("restore old.vcb other", 2, "--keep-prompts");
    EXPECT_FALSE(fs::exists(other / "VM/MSGS"));
    ExpectRun("restore old.vcb other --keep-prompts", 0);
    EXPECT_EQ(test::ReadHostFile(other / "VM/PROMPTS/0/0/0/VERSION.TXT"), "0131");
    ExpectRun("restore old.vcb other --replace-prompts", 0);
    EXPECT_EQ(test::ReadHostFile(other / "VM/PROMPTS/0/0/0/VERSION.TXT"), "0110");
    ExpectRun("restore old.vcb other --keep-prompts --replace-prompts", 2);
}

TEST_F(CommandLineTest, InitOnlyOnACardWithoutPromptsAndUpdateOnlyWhenConfirmed) {
    ExpectRun("init card", 0);
    EXPECT_EQ(test::ReadHostFile(card / "VM/PROMPTS/0/0/0/VERSION.TXT"), "0131");
    ExpectRun("init card", 1, "already holds prompts");

    GiveCardPrompts(card, "0110");
    const std::string package = "'" VOCELL_TEST_HOME "/Prompts/PromptUpdateVer1_3_1.vcp'";
    ExpectRun("update " + package + " card", 2,
              "The Vocell Card prompts are version 1.10.\nThe file you are about to install contains version "
              "1.31.");
    ExpectRun("version card", 0, "1.10\n");
    ExpectRun("update " + package + " card --yes", 0, text::kPromptUpdateComplete);
    ExpectRun("version card", 0, "1.31\n");
}

TEST_F(CommandLineTest, UsageErrorsGiveStatusTwoAndABackupIntoAMissingFolderSaysWhy) {
    for (const char* usage : {"", "restore", "backup no-such-folder x.vcb", "restore missing.vcb card",
                              "backup card card/inside.vcb"}) {
        ExpectRun(usage, 2);
    }
    ExpectRun("backup card no/such/folder/b.vcb", 1, text::kBackupNotWritten);
    GiveCardPrompts(card, "0131");
    ExpectRun("backup card inside.vcb", 0);
    fs::rename(temp.path() / "inside.vcb", card / "VM" / "inside.vcb");
    ExpectRun("restore card/VM/inside.vcb card --replace-prompts", 2);
    EXPECT_TRUE(fs::exists(card / "VM" / "inside.vcb"));
}

TEST_F(CommandLineTest, EveryCommandNamingACardSaysWhenARestoreOntoItWasInterrupted) {
    GiveCardPrompts(card, "0131");
    ExpectRun("backup card b.vcb", 0);
    test::PutHostFile(card / "VOCELL-RESTORE-INTERRUPTED.TXT", "a restore began");
    ExpectRun("version card", 1, "interrupted");
    for (const char* command : {"verify b.vcb card", "backup card c.vcb"}) {
        EXPECT_TRUE(Says(Vocell(command), "interrupted")) << command;
    }
    ExpectRun("restore b.vcb card", 0, text::kPromptsRestoredAfterInterruption);
    ExpectRun("version card", 0);
}

}  // namespace
}  // namespace vocell
