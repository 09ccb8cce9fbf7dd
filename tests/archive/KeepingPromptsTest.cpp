#include "tests/archive/ExtractionFixture.h"

namespace vocell::archive {
namespace {

namespace fs = std::filesystem;

TEST_F(ExtractionTest, KeepingPromptsLeavesTheCardPromptTreeAndSkipsTheArchiveOne) {
    PutOnCard("VM/PROMPTS/0/0/0/VERSION.TXT", "0110");
    PutOnCard("VM/PROMPTS/0/0/1/OLD.WAV", "old prompt");
    auto result = Extract(test::ArchiveBuilder("1.31")
                              .Folder("E:\\\\VM\\")
                              .Folder("E:\\\\VM\\\\PROMPTS\\")
                              .Folder("E:\\\\VM\\\\PROMPTS\\\\0\\")
                              .File("E:\\\\VM\\\\PROMPTS\\\\0\\NEW.WAV", "new prompt")
                              .Folder("E:\\\\VM\\\\MSGS\\")
                              .File("E:\\\\VM\\\\MSGS\\M1.WAV", "message"),
                          PromptHandling::KeepCardPrompts);
    EXPECT_TRUE(result.completed);
    EXPECT_TRUE(state.promptsCleared);
    EXPECT_EQ(CardFile("VM/PROMPTS/0/0/0/VERSION.TXT"), "0110");
    EXPECT_EQ(CardFile("VM/PROMPTS/0/0/1/OLD.WAV"), "old prompt");
    EXPECT_FALSE(fs::exists(OnCard("VM/PROMPTS/0/NEW.WAV")));
    EXPECT_EQ(CardFile("VM/MSGS/M1.WAV"), "message");
}

TEST_F(ExtractionTest, KeepingPromptsRecognisesOnlyTheExactStoredPrefix) {
    Extract(test::ArchiveBuilder()
                .Folder("E:\\\\VM\\")
                .Folder("E:\\\\VM\\\\PROMPTS2\\")
                .File("E:\\\\VM\\\\PROMPTS2\\A.WAV", "prompts2")
                .Folder("E:\\\\VM\\\\prompts\\")
                .File("E:\\\\VM\\\\prompts\\B.WAV", "lower case")
                .Folder("E:\\VM\\PROMPTS\\")
                .File("E:\\VM\\PROMPTS\\C.WAV", "single separators"),
            PromptHandling::KeepCardPrompts);
    EXPECT_EQ(CardFile("VM/PROMPTS2/A.WAV"), "prompts2");
    EXPECT_EQ(CardFile("VM/prompts/B.WAV"), "lower case");
    EXPECT_EQ(CardFile("VM/PROMPTS/C.WAV"), "single separators");
}

TEST_F(ExtractionTest, DataOfASkippedPromptFileIsNeverReadAsEntries) {
    // The skipped file's second data block begins like an entry header.
    std::string content(2000, 'p');
    content[1024 - 20 + 1] = ':';
    content[1024 - 20 + 2] = '\\';
    content.replace(1024 - 20, 1, "F");
    Extract(test::ArchiveBuilder()
                .Folder("E:\\\\VM\\")
                .Folder("E:\\\\VM\\\\PROMPTS\\")
                .File("E:\\\\VM\\\\PROMPTS\\X.WAV", content)
                .File("E:\\\\VM\\AFTER.WAV", "after"),
            PromptHandling::KeepCardPrompts);
    EXPECT_EQ(CardFile("VM/AFTER.WAV"), "after");
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(drives.cardF()), {}), 2);
    EXPECT_TRUE(listener.messages.empty());
}

}  // namespace
}  // namespace vocell::archive
