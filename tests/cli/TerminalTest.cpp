// vocell at a terminal, answered by a person: the card it was started on is the only card it
// writes, even when another is put in its place while a question waits.

#include <gtest/gtest.h>

#include "common/Messages.h"
#include "tests/cli/TerminalRun.h"
#include "tests/cli/VocellRun.h"
#include "tests/support/TempDirectory.h"

namespace vocell::test {
namespace {

namespace fs = std::filesystem;

class TerminalTest : public ::testing::Test {
protected:
    TerminalTest() : card(temp.path() / "card") {
        PutHostFile(card / "VM/PROMPTS/0/0/0/VERSION.TXT", "0110");
        PutHostFile(card / "VM/MSGS/100/M0000.WAV", "customer A");
        PutHostFile(temp.path() / "b/VM/PROMPTS/0/0/0/VERSION.TXT", "0131");
        PutHostFile(temp.path() / "b/VM/MSGS/100/M0000.WAV", "customer B's backup");
        EXPECT_EQ(RunVocell(temp.path(), "backup b b.vcb").status, 0);
    }
    // Customer B's card takes the place of customer A's under the same name.
    void SwapCards() {
        fs::rename(card, temp.path() / "customer-a");
        PutHostFile(card / "VM/PROMPTS/0/0/0/VERSION.TXT", "0110");
        PutHostFile(card / "VM/MSGS/100/M0000.WAV", "customer B");
    }

    TempDirectory temp;
    fs::path card;
};

// The progress line shows the archive being checked, the card written and then read back, unless
// told not to, each with the bytes done of the archive's.
TEST_F(TerminalTest, TheQuestionIsAnsweredAtTheKeyboardAndTheCardIsReadBack) {
    const TerminalRun run =
        RunVocellOnTerminal(temp.path(), {"restore", "b.vcb", "card"}, {{"[c]ancel?", {}, "y"}});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find(text::kRestoreComplete), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(std::string(text::kVerifyingData) + ": "), std::string::npos) << run.output;
    // The archive's header block, then two blocks for each of its 7 folders and 2 small files.
    ASSERT_EQ(fs::file_size(temp.path() / "b.vcb"), 19u * 1024);
    const std::string ofArchive = std::string(text::kProgressOf) + "19.0 KB";
    for (std::string_view done : {text::kProgressChecked, text::kProgressWritten, text::kProgressCompared}) {
        EXPECT_NE(run.output.find(ofArchive + std::string(done)), std::string::npos) << done << run.output;
    }
    EXPECT_EQ(ReadHostFile(card / "VM/PROMPTS/0/0/0/VERSION.TXT"), "0131");

    const TerminalRun unverified =
        RunVocellOnTerminal(temp.path(), {"restore", "b.vcb", "card", "--no-verify"}, {});
    EXPECT_EQ(unverified.status, 0) << unverified.output;
    EXPECT_EQ(unverified.output.find(text::kVerifyingData), std::string::npos) << unverified.output;
}

TEST_F(TerminalTest, ACardSwappedWhileTheQuestionWaitsIsNeverWritten) {
    const TerminalRun run = RunVocellOnTerminal(temp.path(), {"restore", "b.vcb", "card"},
                                                {{"[c]ancel?", [&] { SwapCards(); }, "y"}});
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find(text::kPleaseSelectDevice), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find(text::kRestoreComplete), std::string::npos) << run.output;
    EXPECT_EQ(ReadHostFile(card / "VM/MSGS/100/M0000.WAV"), "customer B");
    EXPECT_EQ(ReadHostFile(card / "VM/PROMPTS/0/0/0/VERSION.TXT"), "0110");
    EXPECT_FALSE(fs::exists(card / "VOCELL-RESTORE-INTERRUPTED.TXT"));
    EXPECT_EQ(ReadHostFile(temp.path() / "customer-a/VM/MSGS/100/M0000.WAV"), "customer A");
}

}  // namespace
}  // namespace vocell::test
