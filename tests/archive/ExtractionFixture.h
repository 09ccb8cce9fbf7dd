#pragma once

#include <gtest/gtest.h>

#include "archive/ArchiveExtraction.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/FaultInjectingFileSystem.h"
#include "tests/support/TestDrives.h"

namespace vocell::archive {

// An archive kept on the host drive Z: and extracted onto card F:.
class ExtractionTest : public ::testing::Test {
protected:
    ExtractionResult Extract(const test::ArchiveBuilder& archive,
                             PromptHandling prompts = PromptHandling::ReplaceCardPrompts) {
        return ExtractWith(drives.fileSystem(), archive, prompts);
    }
    ExtractionResult ExtractWith(FileSystem& fileSystem, const test::ArchiveBuilder& archive,
                                 PromptHandling prompts = PromptHandling::ReplaceCardPrompts) {
        archive.WriteTo(drives.host() / "a.vcb");
        return ExtractArchiveFile(fileSystem, state, "Z:\\a.vcb", "F:\\", prompts, listener);
    }
    std::filesystem::path OnCard(const std::string& relative) const { return drives.cardF() / relative; }
    std::string CardFile(const std::string& relative) const {
        return test::TestDrives::Get(OnCard(relative));
    }
    void PutOnCard(const std::string& relative, const std::string& content) const {
        test::TestDrives::Put(OnCard(relative), content);
    }

    test::TestDrives drives;
    ArchiveState state;
    test::RecordingListener listener;
};

}  // namespace vocell::archive
