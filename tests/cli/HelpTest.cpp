// What vocell tells about itself: its version, its help with the exit statuses and examples,
// and each command's help with what it changes on the card.

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "common/Version.h"
#include "tests/cli/VocellRun.h"
#include "tests/support/TempDirectory.h"

namespace vocell {
namespace {

namespace fs = std::filesystem;

class HelpTest : public ::testing::Test {
protected:
    test::VocellRun Vocell(const std::string& arguments) { return test::RunVocell(temp.path(), arguments); }

    // The lines of the help that follow the heading, up to the first empty line.
    static std::vector<std::string> Section(const std::string& help, const std::string& heading) {
        std::istringstream lines(help);
        std::vector<std::string> section;
        bool inSection = false;
        for (std::string line; std::getline(lines, line);) {
            if (inSection && line.empty()) break;
            if (inSection) section.push_back(line);
            if (line == heading) inSection = true;
        }
        return section;
    }

    test::TempDirectory temp;
};

TEST_F(HelpTest, VersionPrintsTheProgramsNameAndVersion) {
    const test::VocellRun run = Vocell("--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, std::string("vocell ") + VOCELL_VERSION + "\n");
    EXPECT_EQ(std::string(VOCELL_VERSION).find_first_not_of("0123456789."), std::string::npos);
}

TEST_F(HelpTest, WithoutACommandOrTheVersionFlagItIsAUsageError) {
    const test::VocellRun run = Vocell("");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("A subcommand is required"), std::string::npos) << run.output;
}

TEST_F(HelpTest, HelpNamesTheProgramAsItIsCalled) {
    const test::VocellRun run = Vocell("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("Usage: vocell [OPTIONS] SUBCOMMAND"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find(VOCELL_CLI_PATH), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("--version"), std::string::npos) << run.output;
    for (const char* command : {"backup", "restore", "update", "init", "list", "verify", "version"}) {
        EXPECT_NE(run.output.find(std::string("\n  ") + command + " "), std::string::npos) << command;
    }
}

TEST_F(HelpTest, HelpListsEveryExitStatusWithItsMeaning) {
    const std::vector<std::string> statuses = Section(Vocell("--help").output, "Exit status:");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"  0  ", "done"}, {"  1  ", "failed"}, {"  2  ", "usage"}, {"  3  ", "not a valid card archive"}};
    for (const auto& [start, meaning] : expected) {
        bool found = false;
        for (const std::string& line : statuses) {
            found = found || (line.starts_with(start) && line.find(meaning) != std::string::npos);
        }
        EXPECT_TRUE(found) << "no line \"" << start << "\" saying " << meaning;
    }
}

// The examples, run as printed on a card of our own in place of the one in the reader, and in
// our folder in place of the home folder: a backup, then a restore of it.
TEST_F(HelpTest, HelpExamplesRunAsPrinted) {
    const fs::path card = temp.path() / "card";
    test::PutHostFile(card / "VM/PROMPTS/0/0/0/VERSION.TXT", "0131");
    test::PutHostFile(card / "VM/MSGS/100/M1.WAV", "message");
    std::vector<std::string> examples;
    for (const std::string& line : Section(Vocell("--help").output, "Examples:")) {
        if (line.starts_with("  vocell ")) examples.push_back(line.substr(std::string("  vocell ").size()));
    }
    ASSERT_EQ(examples.size(), 2U);
    for (std::string example : examples) {
        const std::string reader = "/media/$USER/VMCARD";
        const std::size_t at = example.find(reader);
        ASSERT_NE(at, std::string::npos) << example;
        example.replace(at, reader.size(), card.string());
        for (std::size_t home = example.find('~'); home != std::string::npos; home = example.find('~'))
            example.replace(home, 1, temp.path().string());
        const test::VocellRun run = Vocell(example);
        EXPECT_EQ(run.status, 0) << example << ": " << run.output;
    }
    EXPECT_EQ(test::ReadHostFile(card / "VM/MSGS/100/M1.WAV"), "message");
}

TEST_F(HelpTest, EveryCommandsHelpSaysWhatItChangesOnTheCard) {
    const std::vector<std::pair<std::string, std::string>> commands = {
        {"backup", "Changes nothing on the card"},
        {"restore", "Changes the card:"},
        {"update", "Changes the card's prompts only"},
        {"init", "Changes a card that holds no prompts"},
        {"list", "Changes nothing"},
        {"verify", "Changes nothing"},
        {"version", "Changes nothing"}};
    for (const auto& [command, changes] : commands) {
        const test::VocellRun run = Vocell(command + " --help");
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_NE(run.output.find("Usage: vocell " + command + " "), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(changes), std::string::npos) << run.output;
    }
}

TEST_F(HelpTest, ACommandsHelpNamesItsOptions) {
    const std::string restore = Vocell("restore --help").output;
    for (const char* option : {"--keep-prompts", "--replace-prompts", "--no-verify"}) {
        EXPECT_NE(restore.find(option), std::string::npos) << option << ": " << restore;
    }
    EXPECT_NE(Vocell("update --help").output.find("--yes"), std::string::npos);
    EXPECT_NE(Vocell("list --help").output.find("--json"), std::string::npos);
}

}  // namespace
}  // namespace vocell
