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

// Slot zero's first line, kept to 49 characters with its carriage return; nothing without it.
TEST(CardPromptVersion, ReadsTheFirstLineOfSlotZeroOnly) {
    const struct {
        const char* slot;
        std::string content;
        std::optional<std::string> version;
    } cases[] = {
        {"0", "0110\r\nsecond line\n", "1.10\r"},
        {"0", "0" + std::string(60, '7'), "7." + std::string(47, '7')},
        {"1", "0131", std::nullopt},
    };
    for (const auto& c : cases) {
        test::FakeMachine machine{"EF"};
        test::PutHostFile(machine.DriveFolder('E') / "VM/PROMPTS/0" / c.slot / "0/VERSION.TXT", c.content);
        EXPECT_EQ(ReadCardPromptVersion(machine.fileSystem(), "E:\\"), c.version) << c.content;
        EXPECT_EQ(ReadCardPromptVersion(machine.fileSystem(), ""), std::nullopt);
    }
}

}  // namespace
}  // namespace vocell
