// backup, restore, update and init: the commands that read or write a card.

#include <string>

#include "app/PromptVersion.h"
#include "archive/ArchiveHeaderProbe.h"
#include "archive/ArchiveMessages.h"
#include "archive/CardBackup.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "common/Messages.h"

namespace vocell::cli {
namespace {

using archive::PromptHandling;

std::string TwoVersionQuestion(const std::string& cardVersion, const std::string& archiveVersion,
                               std::string_view containsVersion) {
    return std::string(text::kCardPromptsAreVersion) + cardVersion + std::string(containsVersion) +
           archiveVersion + std::string(text::kOverwritePrompts);
}

int ExtractionStatus(Console& console, const archive::ExtractionResult& result,
                     const archive::ArchiveState& state, std::string_view completion) {
    if (result.archiveProblem) return kInvalidArchive;
    if (!result.completed || state.extractionFailed) return kFailed;
    console.say(completion);
    return kDone;
}

}  // namespace

int RunBackup(Console& console, const std::filesystem::path& cardFolder,
              std::filesystem::path archiveFile) {
    if (!CheckCardFolder(console, cardFolder)) return kUsage;
    if (!archiveFile.has_extension()) archiveFile += ".vcb";
    if (IsInside(archiveFile, cardFolder)) {
        console.complain("The backup file must not be written onto the card itself.");
        return kUsage;
    }
    auto archivePath = WindowsPathOf(console, archiveFile);
    if (!archivePath) return kUsage;

    HostDrives drives(cardFolder);
    const std::string version = ReadCardPromptVersion(drives.fileSystem(), kCardRoot);
    console.say("Backing up " + cardFolder.string() + " (prompt version " + Shown(version) +
                ") into " + archiveFile.string());
    ConsoleProgress progress(console);
    auto outcome = archive::WriteCardBackup(drives.fileSystem(), kCardRoot, *archivePath, version,
                                            progress);
    if (!outcome.written()) {
        console.complain(archive::BackupFailedMessage(*outcome.failure));
        return kFailed;
    }
    console.say("Stored " + std::to_string(progress.pathsShown()) + " folders and files.");
    if (!outcome.complete()) {
        console.complain(archive::BackupIncompleteMessage(outcome.leftOut));
        return kFailed;
    }
    console.say(text::kBackupComplete);
    return kDone;
}

int RunRestore(Console& console, const std::filesystem::path& archiveFile,
               const std::filesystem::path& cardFolder, std::optional<PromptChoice> choice) {
    if (!CheckCardFolder(console, cardFolder) || !CheckArchiveFile(console, archiveFile)) return kUsage;
    auto archivePath = WindowsPathOf(console, archiveFile);
    if (!archivePath) return kUsage;

    HostDrives drives(cardFolder);
    FileSystem& fileSystem = drives.fileSystem();
    archive::ArchiveState state;
    archive::ReadArchiveVersion(fileSystem, state, *archivePath);
    const std::string cardVersion = ReadCardPromptVersion(fileSystem, kCardRoot);

    PromptHandling prompts = PromptHandling::KeepCardPrompts;
    if (cardVersion == state.archiveVersion) {
        prompts = PromptHandling::KeepCardPrompts;
    } else if (cardVersion.empty()) {
        prompts = PromptHandling::ReplaceCardPrompts;
    } else {
        std::optional<Answer> answer;
        if (choice) answer = *choice == PromptChoice::Replace ? Answer::Yes : Answer::No;
        if (!answer) {
            answer = console.ask(TwoVersionQuestion(cardVersion, state.archiveVersion,
                                                    text::kRestoreContainsVersion),
                                 true);
        }
        if (!answer) {
            console.complain("The card's prompts are version " + Shown(cardVersion) +
                             " and the archive's are version " + Shown(state.archiveVersion) +
                             ". Say which to keep with --keep-prompts or --replace-prompts." +
                             std::string(text::kCardNotChanged));
            return kUsage;
        }
        if (*answer == Answer::Cancel) {
            console.say("Restore cancelled." + std::string(text::kCardNotChanged));
            return kFailed;
        }
        prompts = *answer == Answer::Yes ? PromptHandling::ReplaceCardPrompts
                                         : PromptHandling::KeepCardPrompts;
    }
    console.say("Restoring " + archiveFile.string() + " onto " + cardFolder.string() +
                (prompts == PromptHandling::KeepCardPrompts
                     ? ", keeping the card's prompts (version " + Shown(cardVersion) + ")"
                     : ", with the archive's prompts (version " + Shown(state.archiveVersion) + ")"));
    state.promptsCleared = false;
    ConsoleProgress progress(console);
    auto result = archive::ExtractArchiveFile(fileSystem, state, *archivePath, kCardRoot, prompts,
                                              progress);
    return ExtractionStatus(console, result, state, text::kRestoreComplete);
}

int RunUpdate(Console& console, const std::filesystem::path& packageFile,
              const std::filesystem::path& cardFolder, bool confirmed) {
    if (!CheckCardFolder(console, cardFolder) || !CheckArchiveFile(console, packageFile)) return kUsage;
    auto packagePath = WindowsPathOf(console, packageFile);
    if (!packagePath) return kUsage;

    HostDrives drives(cardFolder);
    FileSystem& fileSystem = drives.fileSystem();
    archive::ArchiveState state;
    archive::ReadArchiveVersion(fileSystem, state, *packagePath);
    const std::string cardVersion = ReadCardPromptVersion(fileSystem, kCardRoot);
    const std::string question =
        cardVersion.empty()
            ? std::string(text::kNoPromptsInstallVersion) + state.archiveVersion +
                  std::string(text::kQuestionEnd)
            : TwoVersionQuestion(cardVersion, state.archiveVersion, text::kInstallContainsVersion);
    std::optional<Answer> answer = confirmed ? std::optional(Answer::Yes) : console.ask(question, false);
    if (!answer) {
        console.complain(question + "\nConfirm with --yes to replace the card's prompts." +
                         std::string(text::kCardNotChanged));
        return kUsage;
    }
    if (*answer != Answer::Yes) {
        console.say("Prompt update declined." + std::string(text::kCardNotChanged));
        return kFailed;
    }
    console.say("Replacing the prompts of " + cardFolder.string() + " (version " +
                Shown(cardVersion) + ") with " + packageFile.string() + " (version " +
                Shown(state.archiveVersion) + ")");
    state.promptsCleared = false;
    ConsoleProgress progress(console);
    auto result = archive::ExtractArchiveFile(fileSystem, state, *packagePath, kCardRoot,
                                              PromptHandling::ReplaceCardPrompts, progress);
    return ExtractionStatus(console, result, state, text::kPromptUpdateComplete);
}

int RunInit(Console& console, const std::filesystem::path& cardFolder) {
    if (!CheckCardFolder(console, cardFolder)) return kUsage;
    HostDrives drives(cardFolder);
    FileSystem& fileSystem = drives.fileSystem();
    const std::string cardVersion = ReadCardPromptVersion(fileSystem, kCardRoot);
    if (!cardVersion.empty()) {
        console.complain("The card already holds prompts (version " + cardVersion +
                         "), so the initial card structure was not installed." +
                         std::string(text::kCardNotChanged));
        return kFailed;
    }
    if (!fileSystem.fileSize(kInitialStructureArchive).ok()) {
        console.complain(text::kInitialStructureMissing);
        return kFailed;
    }
    console.say("Installing the initial card structure onto " + cardFolder.string());
    archive::ArchiveState state;
    ConsoleProgress progress(console);
    auto result = archive::ExtractArchiveFile(fileSystem, state, kInitialStructureArchive, kCardRoot,
                                              PromptHandling::ReplaceCardPrompts, progress);
    return ExtractionStatus(console, result, state, "Initial card structure installed.");
}

}  // namespace vocell::cli
