#pragma once

#include <gtest/gtest.h>

#include "archive/ArchiveExtraction.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/FakeMachine.h"
#include "tests/support/FaultInjectingFileSystem.h"

namespace vocell::archive {

// An archive kept on the host drive Z:, checked and extracted onto card F:.
class ExtractionTest : public ::testing::Test {
protected:
    ArchiveCheck Check(const test::ArchiveBuilder& archive) {
        archive.WriteTo(machine.DriveFolder('Z') / "a.vcb");
        return OpenCheckedArchive(machine.fileSystem(), "Z:\\a.vcb", "F:\\").check;
    }
    ExtractionResult Extract(const test::ArchiveBuilder& archive,
                             PromptHandling prompts = PromptHandling::ReplaceCardPrompts) {
        return ExtractWith(machine.fileSystem(), archive, prompts);
    }
    // Extracts through fileSystem; the archive must pass its check.
    ExtractionResult ExtractWith(FileSystem& fileSystem, const test::ArchiveBuilder& archive,
                                 PromptHandling prompts = PromptHandling::ReplaceCardPrompts) {
        archive.WriteTo(machine.DriveFolder('Z') / "a.vcb");
        CheckedArchive checked = OpenCheckedArchive(fileSystem, "Z:\\a.vcb", "F:\\");
        EXPECT_TRUE(checked.check.sound()) << checked.check.problem;
        if (!checked.check.sound()) {
            ExtractionResult refused;
            refused.stop = ExtractionStop::ArchiveDamaged;
            refused.archiveProblem = checked.check.problem;
            return refused;
        }
        return ExtractCheckedArchive(fileSystem, checked, "F:\\", prompts, progress);
    }
    std::filesystem::path OnCard(const std::string& relative) const {
        return machine.DriveFolder('F') / relative;
    }
    std::string CardFile(const std::string& relative) const { return machine.ReadOnDrive('F', relative); }
    void PutOnCard(const std::string& relative, const std::string& content) {
        machine.PutOnDrive('F', relative, content);
    }

    test::FakeMachine machine{"EF"};
    test::CountingProgress progress;
};

}  // namespace vocell::archive
