// Hostile archives and hostile card folders, through the real vocell: every attack with the exit
// status it must give, nothing outside the card changed, and the card untouched by an archive
// that is refused.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <fstream>
#include <map>

#include "archive/ArchiveLayout.h"
#include "archive/BackupStream.h"
#include "archive/CardPaths.h"
#include "common/Messages.h"
#include "tests/cli/HostileArchives.h"
#include "tests/cli/VocellRun.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/TempDirectory.h"

namespace vocell::test {
namespace {

namespace fs = std::filesystem;

using CliRun = VocellRun;

// What is below root, a file as its size and a hash of its content, links not followed.
using Tree = TreeSnapshot;
Tree Snapshot(const fs::path& root, const fs::path& leftOut = {}) {
    return SnapshotTree(root, leftOut, SizeAndHash);
}

class HostileTest : public ::testing::Test {
protected:
    HostileTest() : card(temp.path() / "card"), outside(temp.path() / "outside") {
        PutHostFile(card / "VM/PROMPTS/0/0/0/VERSION.TXT", "0131");
        PutHostFile(card / "VM/PROMPTS/0/0/1/P.WAV", "card prompt");
        PutHostFile(card / "VM/MSGS/100/M0000.WAV", "card message");
        PutHostFile(outside / "target.wav", "outside the card");
    }

    CliRun Vocell(const std::string& arguments) const { return RunVocell(temp.path(), arguments); }
    void PutArchive(const std::string& bytes, const std::string& name = "a.vcb") const {
        WriteHostFile(temp.path() / name, bytes);
    }
    [[nodiscard]] Tree everythingButTheCard() const { return Snapshot(temp.path(), card); }

    TempDirectory temp;
    fs::path card;
    fs::path outside;
};

int ExitStatusOf(Verdict verdict) {
    constexpr int kStatuses[] = {3, 0, 1};  // refused, restored, entries left out
    return kStatuses[static_cast<int>(verdict)];
}

TEST_F(HostileTest, EveryHostileArchiveGivesItsStatusAndNothingLeavesTheCard) {
    for (const HostileArchive& hostile : HostileArchives()) {
        SCOPED_TRACE(hostile.name);
        fs::remove_all(card);
        PutHostFile(card / "VM/PROMPTS/0/0/0/VERSION.TXT", "0131");
        PutHostFile(card / "VM/MSGS/100/M0000.WAV", "card message");
        PutArchive(hostile.bytes);
        const Tree outsideBefore = everythingButTheCard();
        const Tree cardBefore = Snapshot(card);

        const CliRun restore = Vocell("restore a.vcb card --replace-prompts");
        EXPECT_EQ(restore.status, ExitStatusOf(hostile.verdict)) << restore.output;
        EXPECT_EQ(everythingButTheCard(), outsideBefore);
        if (hostile.verdict == Verdict::Refused) {
            EXPECT_EQ(Snapshot(card), cardBefore);
        }
        EXPECT_FALSE(fs::exists(card / archive::kInterruptedRestoreMarker));  // the restore ran to its end
        if (!hostile.expectedFile.empty()) {
            EXPECT_EQ(ReadHostFile(card / hostile.expectedFile), hostile.expectedContent)
                << hostile.expectedFile;
        }
        EXPECT_FALSE(Says(restore, "\x1b"));

        const bool refused = hostile.verdict == Verdict::Refused;
        const CliRun list = Vocell("list a.vcb");
        EXPECT_EQ(list.status, refused ? 3 : 0) << list.output;
        EXPECT_FALSE(Says(list, "\x1b"));
        const CliRun verify = Vocell("verify a.vcb");
        EXPECT_EQ(verify.status == 3, refused) << verify.output;
        if (refused) {
            EXPECT_TRUE(Says(restore, text::kNotValidArchive));
            EXPECT_EQ(Vocell("verify a.vcb card").status, 3);
            EXPECT_EQ(Vocell("version a.vcb").status, 3);
        }
        EXPECT_EQ(everythingButTheCard(), outsideBefore);
    }
}

// What the reports say of the archives that need more than a status.
TEST_F(HostileTest, ReportsNameIncompleteFilesEscapeControlCharactersAndMarkImpossibleTimes) {
    auto archive = [](const std::string& name) {
        for (const HostileArchive& hostile : HostileArchives()) {
            if (hostile.name == name) return hostile.bytes;
        }
        return std::string();
    };
    PutArchive(archive("cut-short"));
    const CliRun restore = Vocell("restore a.vcb card --replace-prompts");
    EXPECT_TRUE(Says(restore, "These files are incomplete in the archive"));
    EXPECT_FALSE(Says(restore, text::kRestoreComplete));
    EXPECT_EQ(ReadHostFile(card / "VM/A.WAV"),
              std::string(archive::kBlockSize - archive::kStreamHeaderSize, 'a'));
    EXPECT_EQ(ReadHostFile(card / "VM/B.WAV"), "bee");
    EXPECT_TRUE(Says(Vocell("list a.vcb"), "incomplete"));
    EXPECT_TRUE(Says(Vocell("list --json a.vcb"), "\"incomplete\": true"));
    const CliRun verify = Vocell("verify a.vcb");
    EXPECT_EQ(verify.status, 1);
    EXPECT_TRUE(Says(verify, "stored incomplete"));

    PutArchive(archive("control-characters"));
    for (const char* command : {"list a.vcb", "verify a.vcb card", "restore a.vcb card --replace-prompts"}) {
        const CliRun run = Vocell(command);
        EXPECT_FALSE(Says(run, "\x1b")) << command;
        EXPECT_FALSE(Says(run, "\x07")) << command;
    }
    EXPECT_TRUE(Says(Vocell("list a.vcb"), "\\x1b"));

    PutArchive(archive("impossible-times"));
    const CliRun list = Vocell("list a.vcb");
    EXPECT_TRUE(Says(list, "invalid"));
    EXPECT_FALSE(Says(list, "-5480"));
}

// Things that are not archives, and archive paths through symbolic links, which the user may use.
TEST_F(HostileTest, VersionRefusesWhatIsNotAnArchiveAndArchivePathsFollowLinks) {
    WriteHostFile(temp.path() / "passwd", "root:x:0:0:root:/root:/bin/bash\n");
    const CliRun version = Vocell("version passwd");
    EXPECT_EQ(version.status, 3) << version.output;
    EXPECT_FALSE(Says(version, "root:x"));
    EXPECT_TRUE(Says(version, text::kNotValidArchive));

    fs::create_directories(temp.path() / "real");
    fs::create_directory_symlink("real", temp.path() / "link");
    EXPECT_EQ(Vocell("backup card link/b.vcb").status, 0);
    EXPECT_EQ(Vocell("list link/b.vcb").status, 0);
    EXPECT_EQ(Vocell("version link/b.vcb").output, "1.31\n");
    EXPECT_EQ(Vocell("restore link/b.vcb card").status, 0);
}

// Links in the card folder are never followed out of it, and a file with a second name outside
// the card is replaced, not written through.
TEST_F(HostileTest, LinksInTheCardFolderNeverLeadOutOfIt) {
    fs::create_directory_symlink("../../outside", card / "VM/GREET");
    fs::create_symlink("../../outside/target.wav", card / "VM/LINKED.WAV");
    fs::create_hard_link(outside / "target.wav", card / "VM/HARD.WAV");
    PutArchive(ArchiveBuilder("1.31")
                   .Folder("E:\\\\VM\\")
                   .Folder("E:\\\\VM\\\\GREET\\")
                   .File("E:\\\\VM\\\\GREET\\target.wav", "through a folder link")
                   .File("E:\\\\VM\\\\GREET\\NEW.WAV", "new through a folder link")
                   .File("E:\\\\VM\\LINKED.WAV", "through a file link")
                   .File("E:\\\\VM\\HARD.WAV", "through a hard link")
                   .bytes());
    const Tree outsideBefore = everythingButTheCard();
    const CliRun restore = Vocell("restore a.vcb card");
    EXPECT_EQ(everythingButTheCard(), outsideBefore) << restore.output;
    EXPECT_EQ(ReadHostFile(outside / "target.wav"), "outside the card");
    EXPECT_EQ(ReadHostFile(card / "VM/HARD.WAV"), "through a hard link") << restore.output;
    EXPECT_EQ(restore.status, 1) << restore.output;  // the entries behind links are named
}

// An archive that is also on the card under another name (a hard link) is never written into
// while it is read.
TEST_F(HostileTest, AnArchiveHardLinkedIntoTheCardStaysWhole) {
    const std::string bytes =
        ArchiveBuilder("1.31").File("E:\\b.vcb", std::string(5000, 'b')).File("E:\\c.wav", "c").bytes();
    PutArchive(bytes, "b.vcb");
    fs::create_hard_link(temp.path() / "b.vcb", card / "b.vcb");
    const CliRun restore = Vocell("restore b.vcb card");
    EXPECT_EQ(ReadHostFile(temp.path() / "b.vcb"), bytes) << restore.output;
    EXPECT_NE(restore.status, 3) << restore.output;
}

// Mounting needs root and a kernel that lets this process mount; elsewhere these cases skip.
class MountedTest : public HostileTest {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "mounting needs root";
    }
    void TearDown() override {
        for (auto it = mounts_.rbegin(); it != mounts_.rend(); ++it) ::umount2(it->c_str(), MNT_DETACH);
    }
    // A missing target is made a folder.
    bool Mount(const char* source, const fs::path& target, const char* type, unsigned long flags,
               const char* options = nullptr) {
        if (!fs::exists(target)) fs::create_directories(target);
        if (::mount(source, target.c_str(), type, flags, options) != 0) return false;
        mounts_.push_back(target);
        return true;
    }

private:
    std::vector<fs::path> mounts_;
};

TEST_F(MountedTest, ReplacingThePromptsNeverEntersAFileSystemMountedInside) {
    if (!Mount("vocell-test", card / "VM/PROMPTS/0/3", "tmpfs", 0)) GTEST_SKIP() << "tmpfs cannot be mounted";
    PutHostFile(card / "VM/PROMPTS/0/3/MOUNTED.WAV", "on another file system");
    PutArchive(ArchiveBuilder("9.99").Folder("E:\\\\VM\\").File("E:\\\\VM\\NEW.WAV", "new").bytes());
    const CliRun restore = Vocell("restore a.vcb card --replace-prompts");
    EXPECT_EQ(ReadHostFile(card / "VM/PROMPTS/0/3/MOUNTED.WAV"), "on another file system") << restore.output;
    EXPECT_EQ(restore.status, 1) << restore.output;  // the old prompts could not all be deleted
    EXPECT_EQ(ReadHostFile(card / "VM/NEW.WAV"), "new");
}

// A folder or file of the outside world bind-mounted into the card lies on the card's own file
// system, yet it is not the card: no restore deletes, writes, clears up or sets anything through
// it, and no backup reads it.
TEST_F(MountedTest, NothingIsReadWrittenOrDeletedThroughABindMountInsideTheCard) {
    PutHostFile(outside / "prompt.wav", "outside prompt");
    PutHostFile(outside / "report.vocell-new", "outside report");
    PutHostFile(card / "VM/PROMPTS/0/2/OLD.WAV", "card prompt 2");
    PutHostFile(card / "VM/MSGS/100/M0001.WAV", "card message 1");
    if (!Mount(outside.c_str(), card / "VM/PROMPTS/0/3", nullptr, MS_BIND) ||
        !Mount(outside.c_str(), card / "VM/GREET", nullptr, MS_BIND) ||
        !Mount((outside / "target.wav").c_str(), card / "VM/MSGS/100/M0000.WAV", nullptr, MS_BIND)) {
        GTEST_SKIP() << "bind mounts are refused";
    }
    PutHostFile(card / archive::kInterruptedRestoreMarker, "interrupted");  // clean-up runs too
    PutArchive(ArchiveBuilder("9.99")
                   .Folder("E:\\\\VM\\")
                   .Folder("E:\\\\VM\\\\GREET\\")
                   .File("E:\\\\VM\\\\GREET\\prompt.wav", "through the mounted folder")
                   .File("E:\\\\VM\\\\MSGS\\\\100\\M0000.WAV", "through the mounted file")
                   .File("E:\\\\VM\\\\MSGS\\\\100\\M0001.WAV", "restored")
                   .bytes());
    const Tree outsideBefore = Snapshot(outside);
    const CliRun restore = Vocell("restore a.vcb card --replace-prompts");
    EXPECT_EQ(Snapshot(outside), outsideBefore) << restore.output;
    EXPECT_EQ(restore.status, 1) << restore.output;
    EXPECT_TRUE(Says(restore,
                     "GREET\\prompt.wav: the file could not be written (it lies on another "
                     "mount inside the card"));
    EXPECT_TRUE(Says(restore, "100\\M0000.WAV: the file could not be"));
    EXPECT_EQ(ReadHostFile(card / "VM/MSGS/100/M0001.WAV"), "restored");

    const CliRun backup = Vocell("backup card b.vcb");
    const CliRun list = Vocell("list b.vcb");
    EXPECT_FALSE(Says(list, "prompt.wav"));
    EXPECT_FALSE(Says(list, "report"));
    EXPECT_TRUE(Says(list, "M0001.WAV"));
    EXPECT_EQ(backup.status, 1) << backup.output;  // what could not be read is named
}

// A card that surely cannot hold an archive is left as it was, unmarked, and the report says how
// much is needed; one that just can is restored.
TEST_F(MountedTest, ACardTooSmallIsLeftAsItWasOneJustLargeEnoughIsRestored) {
    const fs::path small = temp.path() / "small";
    if (!Mount("vocell-test", small, "tmpfs", 0, "size=1m")) GTEST_SKIP() << "tmpfs cannot be mounted";
    PutHostFile(small / "VM/MSGS/100/M0000.WAV", "card message");
    const std::string big(2 * 1024 * 1024, 'm');
    PutArchive(ArchiveBuilder("1.31").Folder("E:\\\\VM\\").File("E:\\\\VM\\M0004.WAV", big).bytes());
    const Tree before = Snapshot(small);
    const CliRun refused = Vocell("restore a.vcb small --replace-prompts");
    EXPECT_EQ(refused.status, 1) << refused.output;
    EXPECT_TRUE(Says(refused, text::kTooLittleSpace));
    EXPECT_TRUE(Says(refused, "2.1 MB (2,101,248 bytes)"));
    EXPECT_TRUE(Says(refused, text::kCardNotChanged));
    EXPECT_EQ(Snapshot(small), before);
    EXPECT_EQ(Vocell("version small").status, 0);  // no restore is said to have been interrupted

    // All the space there is, less the mark's page.
    fs::remove(small / "VM/M0004.WAV");
    fs::remove(small / archive::kInterruptedRestoreMarker);
    const auto room = fs::space(small).available - 4096;
    PutArchive(
        ArchiveBuilder("1.31").Folder("E:\\\\VM\\").File("E:\\\\VM\\M0004.WAV", big.substr(0, room)).bytes());
    const CliRun fits = Vocell("restore a.vcb small --replace-prompts");
    EXPECT_EQ(fits.status, 0) << fits.output;
    EXPECT_EQ(fs::file_size(small / "VM/M0004.WAV"), room);
    EXPECT_FALSE(fs::exists(small / archive::kInterruptedRestoreMarker));
}

// A second mount of the card folder is still the card: no backup is written into it, no archive
// on it is restored.
TEST_F(MountedTest, ABindMountOfTheCardIsTheCard) {
    if (!Mount(card.c_str(), temp.path() / "alias", nullptr, MS_BIND))
        GTEST_SKIP() << "bind mounts are refused";
    const Tree cardBefore = Snapshot(card);
    const CliRun backup = Vocell("backup card alias/b.vcb");
    EXPECT_NE(backup.status, 0) << backup.output;
    EXPECT_EQ(Snapshot(card), cardBefore);

    PutHostFile(card / "VM/b.vcb", ArchiveBuilder("1.31").File("E:\\VM\\X.WAV", "x").bytes());
    const Tree cardWithArchive = Snapshot(card);
    const CliRun restore = Vocell("restore alias/VM/b.vcb card");
    EXPECT_NE(restore.status, 0) << restore.output;
    EXPECT_EQ(Snapshot(card), cardWithArchive);
}

}  // namespace
}  // namespace vocell::test
