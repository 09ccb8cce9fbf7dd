// What a restore needs on the card, worked out before the card changes: whole allocation units
// for each file, a unit for each new folder where folders take one, one for the mark, less what
// the files it replaces and the prompt folder it deletes give back.

#include "archive/RestoreSpace.h"

#include "tests/archive/ExtractionFixture.h"

namespace vocell::archive {
namespace {

constexpr std::uint64_t kUnit = 4096;

class RestoreSpaceTest : public ExtractionTest {
protected:
    RestoreSpaceTest() {
        card.ReportAllocationUnit(kUnit);
        card.ReportMergedNameVariants(false);
    }

    std::optional<SpaceShortfall> ShortfallWith(std::uint64_t freeBytes, const test::ArchiveBuilder& archive,
                                                PromptHandling prompts = PromptHandling::KeepCardPrompts) {
        card.ReportFreeSpace(freeBytes);
        archive.WriteTo(machine.DriveFolder('Z') / "a.vcb");
        CheckedArchive checked = OpenCheckedArchive(card, "Z:\\a.vcb", "F:\\");
        EXPECT_TRUE(checked.check.sound()) << checked.check.problem;
        return FindSpaceShortfall(card, checked, "F:\\", prompts);
    }

    test::FaultInjectingFileSystem card{machine.fileSystem()};
};

TEST_F(RestoreSpaceTest, FilesTakeWholeUnitsAndTheFilesTheyReplaceGiveTheirsBack) {
    PutOnCard("VM/OLD.WAV", std::string(5000, 'o'));  // two units, given back
    test::ArchiveBuilder archive;
    archive.Folder("E:\\\\VM\\")
        .Folder("E:\\\\VM\\\\NEW\\")
        .File("E:\\\\VM\\\\NEW\\A.WAV", "a")                     // one unit
        .File("E:\\\\VM\\\\NEW\\B.WAV", std::string(4097, 'b'))  // two
        .File("E:\\\\VM\\OLD.WAV", std::string(4096, 'n'))       // one
        .File("E:\\..\\OUT.WAV", std::string(50'000, 'x'))       // never written
        .File("E:\\VOCELL-RESTORE-INTERRUPTED.TXT", std::string(50'000, 'x'));
    // Four units of files and one for the mark, two given back; a new folder costs nothing on a
    // card that does not merge names (as tmpfs, which gives folders no space).
    const std::uint64_t net = (4 + 1 - 2) * kUnit;
    const auto shortBy = ShortfallWith(net - 1, archive);
    ASSERT_TRUE(shortBy);
    EXPECT_EQ(shortBy->neededBytes, net);
    EXPECT_EQ(shortBy->freeBytes, net - 1);
    EXPECT_FALSE(ShortfallWith(net, archive));

    // On FAT and Windows the new folder takes a unit too; the folder the card has does not.
    card.ReportMergedNameVariants();
    EXPECT_EQ(ShortfallWith(net, archive)->neededBytes, net + kUnit);
    EXPECT_FALSE(ShortfallWith(net + kUnit, archive));
}

TEST_F(RestoreSpaceTest, ReplacedPromptsGiveBackTheCardsAndKeptOnesCostNothing) {
    PutOnCard("VM/PROMPTS/0/0/1/OLD.WAV", std::string(3 * kUnit, 'p'));
    test::ArchiveBuilder archive;
    archive.Tree("VM/PROMPTS/0/0/1/NEW.WAV", std::string(5 * kUnit, 'n')).Tree("VM/MSGS/M.WAV", "m");
    // Kept: the message and the mark.
    EXPECT_EQ(ShortfallWith(kUnit, archive)->neededBytes, 2 * kUnit);
    EXPECT_FALSE(ShortfallWith(2 * kUnit, archive));
    // Replaced: five units of prompts, less the card's three.
    EXPECT_EQ(ShortfallWith(kUnit, archive, PromptHandling::ReplaceCardPrompts)->neededBytes, 4 * kUnit);
    EXPECT_FALSE(ShortfallWith(4 * kUnit, archive, PromptHandling::ReplaceCardPrompts));
}

TEST_F(RestoreSpaceTest, WhatCannotBeToldGoesOn) {
    test::ArchiveBuilder archive;
    archive.Tree("VM/MSGS/M.WAV", std::string(10 * kUnit, 'm'));
    ASSERT_TRUE(ShortfallWith(kUnit, archive));
    card.ReportAllocationUnit(0);  // a drive that cannot say how it gives out space
    EXPECT_FALSE(ShortfallWith(kUnit, archive));
    card.ReportAllocationUnit(kUnit);
    PutOnCard("VOCELL-RESTORE-INTERRUPTED.TXT", "interrupted");  // its unfinished copies are not counted
    EXPECT_FALSE(ShortfallWith(kUnit, archive));
}

}  // namespace
}  // namespace vocell::archive
