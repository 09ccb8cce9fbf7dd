// Every write position of a restore, an update and an initialize fails in turn (the card full,
// another write error, the card taken out), and every read and archive write of a backup: each
// time the user is told once, nothing is reported complete, nothing outside the card changes,
// and what was written before the fault stays intact.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/DialogLayout.h"
#include "app/UtilityDialog.h"
#include "archive/ArchiveScanner.h"
#include "archive/CardPaths.h"
#include "common/Messages.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/FakeMachine.h"
#include "tests/support/FaultInjectingFileSystem.h"
#include "tests/support/ScriptedDesktop.h"

namespace vocell::test {
namespace {

namespace fs = std::filesystem;
using operations::OutcomeKind;
using operations::StopReason;

using Tree = TreeSnapshot;
Tree Snapshot(const fs::path& root, const fs::path& leftOut = {}) { return SnapshotTree(root, leftOut); }

// "E:\\VM\\\\MSGS\\M1.WAV" as a path relative to the card folder: "VM/MSGS/M1.WAV".
std::string CardRelative(const std::string& windowsPath) {
    std::string relative;
    for (char c : windowsPath.substr(3)) {
        if (c != '\\') {
            relative += c;
        } else if (!relative.empty() && relative.back() != '/') {
            relative += '/';
        }
    }
    return relative;
}

enum class CardFault { Full, WriteError, Removed };
constexpr CardFault kCardFaults[] = {CardFault::Full, CardFault::WriteError, CardFault::Removed};

const char* Name(CardFault fault) {
    constexpr const char* kNames[] = {"card full", "write error", "card removed"};
    return kNames[static_cast<int>(fault)];
}

// The dialog on a fresh machine with one card E: whose file system can be made to fail.
struct Bench {
    Bench() : faulty(machine.fileSystem()) {
        machine.volumes().AddDrive('E', DriveType::Removable, true, "VMCARD");
        machine.PutOnDrive('E', "VM/PROMPTS/0/0/0/VERSION.TXT", "0110");
        machine.PutOnDrive('E', "VM/PROMPTS/0/0/1/WELCOME.WAV", "old prompt");
        machine.PutOnDrive('E', "VM/MSGS/100/M0000.WAV", "old message");
        machine.PutOnDrive('E', "VM/GREET/100/G1.WAV", std::string(1500, 'g'));
    }
    void Start() {
        desktop.SetFormatter([this](int driveIndex, const MediumIdentity& medium) {
            return machine.volumes().Format(driveIndex, medium);
        });
        dialog = std::make_unique<UtilityDialog>(desktop, machine.volumes(), faulty);
        dialog->OnInitDialog();
        desktop.AnswerChooser(0);
        dialog->SelectCard();
        ASSERT_EQ(dialog->cardFields().statusText, text::kReady);
    }
    void Inject(CardFault fault, int nth) {
        switch (fault) {
            case CardFault::Full: faulty.FailWrite(nth, FsError::DiskFull, 28); break;
            case CardFault::WriteError: faulty.FailWrite(nth, FsError::Other, 5); break;
            case CardFault::Removed: faulty.RemoveDriveAtWrite('E', nth); break;
        }
    }
    [[nodiscard]] fs::path card() const { return machine.DriveFolder('E'); }
    [[nodiscard]] Tree outsideTheCard() const { return Snapshot(machine.root(), card()); }
    [[nodiscard]] std::ptrdiff_t Count(std::string_view text) const {
        return std::count(desktop.messages().begin(), desktop.messages().end(), std::string(text));
    }
    [[nodiscard]] std::ptrdiff_t CountStartingWith(std::string_view text) const {
        return std::count_if(desktop.messages().begin(), desktop.messages().end(),
                             [&](const std::string& message) { return message.starts_with(text); });
    }

    FakeMachine machine;
    FaultInjectingFileSystem faulty;
    ScriptedDesktop desktop;
    std::unique_ptr<UtilityDialog> dialog;
};

// A dozen entries with prompts of another version than the card's, so that the restore replaces
// the prompt folder.
void PutRestoreArchive(Bench& bench) {
    ArchiveBuilder archive("1.31");
    archive.Tree("VM/PROMPTS/0/0/0/VERSION.TXT", "0131");
    for (int i = 0; i < 4; ++i) {
        archive.Tree("VM/MSGS/100/M000" + std::to_string(i) + ".WAV",
                     std::string(static_cast<std::size_t>(700 * (i + 1)), static_cast<char>('a' + i)));
    }
    archive.Tree("VM/GREET/100/G1.WAV", std::string(70'000, 'G'))
        .WriteTo(bench.machine.installFolder() / "Backup" / "b.vcb");
}

struct CardOperation {
    const char* name;
    std::function<void(Bench&)> prepare;  // after the card is selected
    std::function<void(Bench&)> run;
    std::string_view completion;   // "" where the operation shows none
    bool roomForNewCopies = true;  // false: files are written in place, the one being written may be torn
};

void RunRestore(Bench& bench) {
    bench.desktop.AnswerOpenDialog("C:\\Harlo\\Vocell\\Backup\\b.vcb");
    bench.desktop.AnswerMessage(MessageAnswer::Yes);
    bench.dialog->OnCommand(ControlId::Restore);
}

const CardOperation kCardOperations[] = {
    {"restore", PutRestoreArchive, RunRestore, text::kRestoreComplete},
    // Without its free space the card has no room known for new copies, nor is the need worked out.
    {"restore without room for new copies",
     [](Bench& bench) {
         PutRestoreArchive(bench);
         bench.faulty.FailFreeSpace();
     },
     RunRestore, text::kRestoreComplete, false},
    {"update", [](Bench&) {},
     [](Bench& bench) {
         bench.desktop.AnswerOpenDialog("C:\\Harlo\\Vocell\\Prompts\\PromptUpdateVer1_3_1.vcp");
         bench.desktop.AnswerMessage(MessageAnswer::Yes);
         bench.dialog->OnCommand(ControlId::Update);
     },
     text::kPromptUpdateComplete},
    {"initialize", [](Bench&) {},
     [](Bench& bench) {
         bench.desktop.AnswerMessage(MessageAnswer::Yes);
         bench.dialog->OnCommand(ControlId::Initialize);
     },
     "", true},
};

// What a clean run of the operation writes: the path of each write, and the card afterwards.
struct CleanRun {
    std::vector<std::string> writes;
    Tree before;
    Tree after;
    // For each card file, the index of its last write.
    std::map<std::string, std::size_t> lastWrite;
};

CleanRun RunClean(const CardOperation& operation) {
    Bench bench;
    CleanRun clean;
    bench.Start();
    operation.prepare(bench);
    clean.before = Snapshot(bench.card());
    operation.run(bench);
    EXPECT_TRUE(bench.dialog->lastOutcome() && bench.dialog->lastOutcome()->done()) << operation.name;
    clean.writes = bench.faulty.writeLog();
    clean.after = Snapshot(bench.card());
    for (std::size_t i = 0; i < clean.writes.size(); ++i) clean.lastWrite[CardRelative(clean.writes[i])] = i;
    return clean;
}

bool Holds(const Tree& tree, const std::string& path, const std::string& content) {
    auto it = tree.find(path);
    return it != tree.end() && it->second == content;
}

// Temporary names a file is written under before it takes its place.
std::string FinalName(std::string relative) {
    constexpr std::string_view kNewSuffix = ".vocell-new";
    if (relative.ends_with(kNewSuffix)) relative.resize(relative.size() - kNewSuffix.size());
    return relative;
}

TEST(FaultMatrix, EveryFailingCardWriteIsReportedOnceAndKeepsWhatWasWrittenBefore) {
    int positionsTried = 0;
    for (const CardOperation& operation : kCardOperations) {
        const CleanRun clean = RunClean(operation);
        ASSERT_GE(clean.writes.size(), 5u) << operation.name;
        for (CardFault fault : kCardFaults) {
            for (std::size_t nth = 1; nth <= clean.writes.size(); ++nth) {
                SCOPED_TRACE(std::string(operation.name) + ", " + Name(fault) + " at write " +
                             std::to_string(nth));
                Bench bench;
                bench.Start();
                operation.prepare(bench);
                const Tree outside = bench.outsideTheCard();
                bench.Inject(fault, static_cast<int>(nth));
                operation.run(bench);
                ++positionsTried;

                // The mark is the first write: a card that fails it is left as it was, and says so.
                const bool untouched = nth == 1;
                const std::string expected =
                    untouched
                        ? std::string(fault == CardFault::Full ? text::kCardFullToStart
                                                               : text::kCardWriteError) +
                              std::string(text::kCardNotChanged)
                        : std::string(fault == CardFault::Full ? text::kCardFull : text::kCardWriteError);
                EXPECT_EQ(bench.Count(expected), 1);
                if (!operation.completion.empty()) {
                    EXPECT_EQ(bench.Count(operation.completion), 0);
                }
                ASSERT_TRUE(bench.dialog->lastOutcome());
                EXPECT_EQ(bench.dialog->lastOutcome()->kind, OutcomeKind::Failed);
                EXPECT_EQ(bench.dialog->lastOutcome()->reason,
                          fault == CardFault::Full ? StopReason::CardFull : StopReason::WriteError);
                EXPECT_EQ(bench.outsideTheCard(), outside);
                EXPECT_EQ(bench.desktop.busyDepth(), 0);
                EXPECT_FALSE(bench.desktop.progressBarShown());
                if (fault != CardFault::Removed) {
                    EXPECT_EQ(bench.desktop.Pane(0), text::kReady);
                } else {
                    // The folders after the card went are not each named as not set as stored.
                    EXPECT_EQ(bench.CountStartingWith(text::kEntriesNotAsStored), 0);
                }

                Tree card = Snapshot(bench.card());
                const bool marked = card.erase(std::string(archive::kInterruptedRestoreMarker)) == 1;
                const std::string failing = FinalName(CardRelative(clean.writes[nth - 1]));
                for (const auto& [path, lastWrite] : clean.lastWrite) {
                    const std::string finalPath = FinalName(path);
                    if (lastWrite + 1 >= nth || !clean.after.contains(finalPath)) continue;
                    EXPECT_TRUE(Holds(card, finalPath, clean.after.at(finalPath)))
                        << "not intact: " << finalPath;
                }
                bool changed = false;
                for (const auto& [path, content] : card) {
                    const bool asBefore = Holds(clean.before, path, content);
                    const bool asAfter = Holds(clean.after, path, content);
                    changed = changed || !asBefore;
                    // A new copy that could not be removed from a card taken out is cleared by
                    // the next restore; only a file written in place may be torn: one the card
                    // had no room to write beside its old copy, or one without an old copy (each
                    // operation here deletes the old prompts before it writes the new ones).
                    const bool leftBeside = fault == CardFault::Removed && FinalName(path) != path;
                    const bool hadOldCopy = clean.before.contains(path) && !path.starts_with("VM/PROMPTS/");
                    const bool inPlace = path == failing && (!operation.roomForNewCopies || !hadOldCopy);
                    EXPECT_TRUE(asBefore || asAfter || leftBeside || inPlace) << "torn: " << path;
                }
                EXPECT_TRUE(marked || !changed) << "a changed card carries no mark";
                if (untouched && fault != CardFault::Removed) {
                    EXPECT_FALSE(changed || marked) << "a card left as it was is marked or changed";
                }
                if (fault != CardFault::Removed) {
                    bench.desktop.AnswerChooser(0);
                    bench.dialog->SelectCard();
                    EXPECT_EQ(bench.Count(text::kRestoreInterrupted), marked ? 1 : 0);
                }
            }
        }
    }
    RecordProperty("positions", positionsTried);
}

// The card of the backup matrix: a dozen files, one of them larger than the writer's buffer, so
// that the archive is written in several pieces.
void PutBackupCard(Bench& bench) {
    bench.machine.PutOnDrive('E', "VM/GREET/101/G1.WAV", std::string(200'000, 'G'));
    for (int i = 0; i < 9; ++i) {
        bench.machine.PutOnDrive(
            'E', "VM/MSGS/101/M000" + std::to_string(i) + ".WAV",
            std::string(static_cast<std::size_t>(300 * (i + 1)), static_cast<char>('0' + i)));
    }
}

constexpr const char* kEarlierBackup = "the earlier backup";

struct BackupRun {
    Bench bench;
    void Run() {
        bench.desktop.AnswerSaveDialog("C:\\Harlo\\Vocell\\Backup\\b.vcb");
        bench.dialog->OnCommand(ControlId::Backup);
    }
    [[nodiscard]] fs::path folder() const { return bench.machine.installFolder() / "Backup"; }
};

std::unique_ptr<BackupRun> StartBackup() {
    auto run = std::make_unique<BackupRun>();
    PutBackupCard(run->bench);
    PutHostFile(run->folder() / "b.vcb", kEarlierBackup);
    run->bench.Start();
    return run;
}

// The stored path and content of every entry of an archive in the Backup folder; empty when it is
// not a sound archive.
using Entries = std::vector<std::pair<std::string, std::string>>;
Entries EntriesOf(BackupRun& run, const std::string& name) {
    Entries entries;
    auto opened = archive::OpenArchive(run.bench.machine.fileSystem(), "C:\\Harlo\\Vocell\\Backup\\" + name);
    if (!opened.ok()) return entries;
    archive::ArchiveScanner scanner(*opened.value().reader, opened.value().length);
    if (!scanner.ReadArchiveHeader()) return entries;
    while (scanner.NextEntry()) {
        std::string content;
        if (scanner.entry().kind == archive::EntryKind::File) {
            static_cast<void>(scanner.ReadContent([&](std::span<const char> piece) {
                content.append(piece.data(), piece.size());
                return true;
            }));
        }
        entries.emplace_back(scanner.entry().header.storedPath, content);
    }
    return scanner.problem() ? Entries{} : entries;
}

// The earlier backup is intact or wholly replaced by a complete one, and no temporary file is left.
void ExpectBackupPromiseKept(BackupRun& run, const Entries& complete) {
    const Tree folder = Snapshot(run.folder());
    const bool earlier = folder.contains("b.vcb") && folder.at("b.vcb") == kEarlierBackup;
    EXPECT_TRUE(earlier || EntriesOf(run, "b.vcb") == complete)
        << (run.bench.desktop.messages().empty() ? "" : run.bench.desktop.messages().back());
    for (const auto& [name, content] : folder) {
        EXPECT_TRUE(name == "b.vcb" || name == "b (incomplete).vcb") << name;
    }
    const auto& outcome = run.bench.dialog->lastOutcome();
    ASSERT_TRUE(outcome);
    EXPECT_EQ(run.bench.Count(text::kBackupComplete), outcome->done() ? 1 : 0);
    EXPECT_EQ(run.bench.desktop.messages().size(), 1u);
}

TEST(FaultMatrix, NoFailingReadOrArchiveWriteOfABackupHarmsTheEarlierBackup) {
    auto clean = StartBackup();
    clean->Run();
    ASSERT_TRUE(clean->bench.dialog->lastOutcome()->done());
    const Entries complete = EntriesOf(*clean, "b.vcb");
    ASSERT_GE(complete.size(), 12u);
    const std::size_t archiveWrites = clean->bench.faulty.writeLog().size();
    ASSERT_GE(archiveWrites, 3u);
    int positionsTried = 0;

    for (std::size_t nth = 1; nth <= archiveWrites; ++nth) {
        for (CardFault fault : kCardFaults) {
            SCOPED_TRACE(std::string(Name(fault)) + " at archive write " + std::to_string(nth));
            auto run = StartBackup();
            run->bench.Inject(fault, static_cast<int>(nth));  // a removed card, not the archive's drive
            run->Run();
            ++positionsTried;
            ExpectBackupPromiseKept(*run, complete);
            if (fault != CardFault::Removed) {
                EXPECT_EQ(ReadHostFile(run->folder() / "b.vcb"), kEarlierBackup);
                EXPECT_EQ(run->bench.desktop.messages().back().find(text::kBackupNotWritten), 0u);
            }
        }
    }
    for (int i = 0; i < 9; ++i) {
        const std::string path = "E:\\\\VM\\\\MSGS\\\\101\\M000" + std::to_string(i) + ".WAV";
        const std::uint64_t size = 300u * static_cast<std::uint64_t>(i + 1);
        for (std::uint64_t readable : {std::uint64_t{0}, size / 2, size - 1}) {
            SCOPED_TRACE(path + " unreadable after " + std::to_string(readable) + " bytes");
            auto run = StartBackup();
            run->bench.faulty.FailReadAfter(path, readable, FsError::Other);
            if (readable == 0 && i % 2 == 0) run->bench.faulty.FailOpenRead(path, FsError::AccessDenied);
            run->Run();
            ++positionsTried;
            ExpectBackupPromiseKept(*run, complete);
            EXPECT_EQ(ReadHostFile(run->folder() / "b.vcb"), kEarlierBackup);
            EXPECT_EQ(run->bench.desktop.messages().back().find(text::kBackupIncomplete), 0u);
            EXPECT_NE(run->bench.desktop.messages().back().find(path), std::string::npos);
        }
    }
    RecordProperty("positions", positionsTried);
}

}  // namespace
}  // namespace vocell::test
