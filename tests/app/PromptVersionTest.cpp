#include "app/PromptVersion.h"

#include <gtest/gtest.h>

#include <utility>

#include "app/CardType.h"
#include "common/Messages.h"
#include "tests/support/FakeMachine.h"

namespace vocell {
namespace {

TEST(FormatVersion, LeadingZeroGivesOneDigitMajorOtherwiseTwoDigitsPointTwoDigits) {
    const std::pair<std::string, std::string> cases[] = {
        {"0110", "1.10"},
        {"0131", "1.31"},
        {"01", "1."},
        {"0", ""},
        {"0110\r", "1.10\r"},
        {"012345", "1.2345"},
        {"1310", "13.10"},
        {"1310\r", "13.10"},
        {"123", "12.3"},
        {"12", "12."},
        {"1", "1"},
        {"", ""},
        {"AB\x01xyz", "AB.\x01x"},
        {std::string("0131\0"
                     "99",
                     7),
         "1.31"},  // the text ends at its first zero byte
    };
    for (const auto& [line, shown] : cases) EXPECT_EQ(FormatVersion(line), shown) << line;
}

class CardPromptVersionTest : public ::testing::Test {
protected:
    void PutVersion(const std::string& slot, const std::string& content) {
        test::PutHostFile(machine.DriveFolder('E') / "VM/PROMPTS/0" / slot / "0/VERSION.TXT", content);
    }
    std::optional<std::string> Version() { return ReadCardPromptVersion(machine.fileSystem(), "E:\\"); }
    test::FakeMachine machine{"EF"};
};

TEST_F(CardPromptVersionTest, ReadsTheFirstLineOfSlotZeroKeepingACarriageReturn) {
    PutVersion("0", "0110\r\nsecond line\n");
    EXPECT_EQ(Version(), "1.10\r");
}

TEST_F(CardPromptVersionTest, ReadsAtMost49Characters) {
    PutVersion("0", "0" + std::string(60, '7'));
    EXPECT_EQ(Version(), "7." + std::string(47, '7'));
}

TEST_F(CardPromptVersionTest, CardWithoutSlotZeroPromptsHasNoVersion) {
    PutVersion("1", "0131");
    EXPECT_EQ(Version(), std::nullopt);
    EXPECT_EQ(ReadCardPromptVersion(machine.fileSystem(), ""), std::nullopt);
}

}  // namespace
}  // namespace vocell
