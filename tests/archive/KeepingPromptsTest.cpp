#include "tests/archive/ExtractionFixture.h"

namespace vocell::archive {
namespace {

namespace fs = std::filesystem;

TEST_F(ExtractionTest, KeepingPromptsLeavesTheCardPromptTreeAndSkipsTheArchiveOne) {
    putOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0110");
    putOnCard("VM/PROMPTS/0/0/1/OLD.WAV", "old prompt");
    auto result = extract(test::ArchiveBuilder("1.31")
                              .folder("E:\\\\VM\\")
                              .folder("E:\\\\VM\\\\PROMPTS\\")
                              .folder("E:\\\\VM\\\\PROMPTS\\\\0\\")
                              .file("E:\\\\VM\\\\PROMPTS\\\\0\\NEW.WAV", "new prompt")
                              .folder("E:\\\\VM\\\\MSGS\\")
                              .file("E:\\\\VM\\\\MSGS\\M1.WAV", "message"),
                          PromptHandling::KeepCardPrompts);
    EXPECT_TRUE(result.completed);
    EXPECT_TRUE(state.promptsCleared);
    EXPECT_EQ(cardFile("VM/PROMPTS/0/0/0/VERSION.TXT"), "0110");
    EXPECT_EQ(cardFile("VM/PROMPTS/0/0/1/OLD.WAV"), "old prompt");
    EXPECT_FALSE(fs::exists(onCard("VM/PROMPTS/0/NEW.WAV")));
    EXPECT_EQ(cardFile("VM/MSGS/M1.WAV"), "message");
}

TEST_F(ExtractionTest, KeepingPromptsRecognisesOnlyTheExactStoredPrefix) {
    extract(test::ArchiveBuilder()
                .folder("E:\\\\VM\\")
                .folder("E:\\\\VM\\\\PROMPTS2\\")
                .file("E:\\\\VM\\\\PROMPTS2\\A.WAV", "prompts2")
                .folder("E:\\\\VM\\\\prompts\\")
                .file("E:\\\\VM\\\\prompts\\B.WAV", "lower case")
                .folder("E:\\VM\\PROMPTS\\")
                .file("E:\\VM\\PROMPTS\\C.WAV", "single separators"),
            PromptHandling::KeepCardPrompts);
    EXPECT_EQ(cardFile("VM/PROMPTS2/A.WAV"), "prompts2");
    EXPECT_EQ(cardFile("VM/prompts/B.WAV"), "lower case");
    EXPECT_EQ(cardFile("VM/PROMPTS/C.WAV"), "single separators");
}

TEST_F(ExtractionTest, DataOfASkippedPromptFileIsNeverReadAsEntries) {
    // The skipped file's second data block begins like an entry header.
    std::string content(2000, 'p');
    content[1024 - 20 + 1] = ':';
    content[1024 - 20 + 2] = '\\';
    content.replace(1024 - 20, 1, "F");
    extract(test::ArchiveBuilder()
                .folder("E:\\\\VM\\")
                .folder("E:\\\\VM\\\\PROMPTS\\")
                .file("E:\\\\VM\\\\PROMPTS\\X.WAV", content)
                .file("E:\\\\VM\\AFTER.WAV", "after"),
            PromptHandling::KeepCardPrompts);
    EXPECT_EQ(cardFile("VM/AFTER.WAV"), "after");
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(drives.cardF()), {}), 2);
    EXPECT_TRUE(listener.messages.empty());
}

}  // namespace
}  // namespace vocell::archive
