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
    ExtractionResult extract(const test::ArchiveBuilder& archive,
                             PromptHandling prompts = PromptHandling::ReplaceCardPrompts) {
        return extractWith(drives.fileSystem(), archive, prompts);
    }
    ExtractionResult extractWith(FileSystem& fileSystem, const test::ArchiveBuilder& archive,
                                 PromptHandling prompts = PromptHandling::ReplaceCardPrompts) {
        archive.writeTo(drives.host() / "a.vcb");
        return ExtractArchiveFile(fileSystem, state, "Z:\\a.vcb", "F:\\", prompts, listener);
    }
    std::filesystem::path onCard(const std::string& relative) const { return drives.cardF() / relative; }
    std::string cardFile(const std::string& relative) const { return test::TestDrives::get(onCard(relative)); }
    void putOnCard(const std::string& relative, const std::string& content) const {
        test::TestDrives::put(onCard(relative), content);
    }

    test::TestDrives drives;
    ArchiveState state;
    test::RecordingListener listener;
};

}  // namespace vocell::archive
