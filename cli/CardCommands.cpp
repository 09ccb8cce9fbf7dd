// backup, restore, update and init: the main dialog's operations, run on the command line.

#include <string>

#include "app/DialogLayout.h"
#include "cli/CardSession.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "common/Messages.h"

namespace vocell::cli {

int RunBackup(Console& console, const std::filesystem::path& cardFolder, std::filesystem::path archiveFile) {
    if (!CheckCardFolder(console, cardFolder)) return kUsage;
    if (!archiveFile.has_extension()) archiveFile += ".vcb";
    if (!CheckNotOnCard(console, archiveFile, cardFolder)) return kUsage;
    auto archivePath = WindowsPathOf(console, archiveFile);
    if (!archivePath) return kUsage;

    CardSession session(console, cardFolder);
    if (!session.Open()) return kFailed;
    console.Say(std::string(text::cli::kBackingUp) + cardFolder.string() + " (prompt version " +
                Shown(session.cardVersion()) + ") into " + archiveFile.string());
    session.desktop().SetArchivePath(*archivePath);
    session.dialog().OnCommand(ControlId::Backup);
    console.Say("Stored " + std::to_string(session.desktop().pathsStored()) + " folders and files.");
    return session.StatusAfter(text::kBackupComplete);
}

int RunRestore(Console& console, const std::filesystem::path& archiveFile,
               const std::filesystem::path& cardFolder, std::optional<PromptChoice> choice) {
    if (!CheckCardFolder(console, cardFolder) || !CheckArchiveFile(console, archiveFile) ||
        !CheckNotOnCard(console, archiveFile, cardFolder)) {
        return kUsage;
    }
    auto archivePath = WindowsPathOf(console, archiveFile);
    if (!archivePath) return kUsage;

    CardSession session(console, cardFolder);
    if (!session.Open()) return kFailed;
    console.Say(std::string(text::cli::kRestoring) + archiveFile.string() + " onto " + cardFolder.string() +
                " (prompt version " + Shown(session.cardVersion()) + ")");
    session.desktop().SetArchivePath(*archivePath);
    session.desktop().SetUnansweredHint(std::string(text::cli::kSayWhichPrompts));
    session.desktop().SetAnswerer(
        [choice](const std::string&, MessageButtons) -> std::optional<MessageAnswer> {
            if (!choice) return std::nullopt;
            return *choice == PromptChoice::Replace ? MessageAnswer::Yes : MessageAnswer::No;
        });
    session.dialog().OnCommand(ControlId::Restore);
    return session.StatusAfter(text::kRestoreComplete);
}

int RunUpdate(Console& console, const std::filesystem::path& packageFile,
              const std::filesystem::path& cardFolder, bool confirmed) {
    if (!CheckCardFolder(console, cardFolder) || !CheckArchiveFile(console, packageFile) ||
        !CheckNotOnCard(console, packageFile, cardFolder)) {
        return kUsage;
    }
    auto packagePath = WindowsPathOf(console, packageFile);
    if (!packagePath) return kUsage;

    CardSession session(console, cardFolder);
    if (!session.Open()) return kFailed;
    session.desktop().SetArchivePath(*packagePath);
    session.desktop().SetUnansweredHint(std::string(text::cli::kConfirmWithYes));
    session.desktop().SetAnswerer(
        [confirmed](const std::string&, MessageButtons) -> std::optional<MessageAnswer> {
            if (!confirmed) return std::nullopt;
            return MessageAnswer::Yes;
        });
    session.dialog().OnCommand(ControlId::Update);
    return session.StatusAfter(text::kPromptUpdateComplete);
}

int RunInit(Console& console, const std::filesystem::path& cardFolder) {
    if (!CheckCardFolder(console, cardFolder)) return kUsage;
    CardSession session(console, cardFolder);
    if (!session.Open()) return kFailed;
    if (session.cardVersion() != text::kNoPrompts) {
        console.Complain(std::string(text::cli::kAlreadyHoldsPrompts) + session.cardVersion() +
                         std::string(text::cli::kNotInstalled) + std::string(text::kCardNotChanged));
        return kFailed;
    }
    // Initializing is what was asked for; there is no format dialog on the command line.
    session.desktop().SetAnswerer(
        [](const std::string& question, MessageButtons) -> std::optional<MessageAnswer> {
            if (question == text::kReformatQuestion) return MessageAnswer::Yes;
            return std::nullopt;
        });
    session.desktop().SetQuietMessages({std::string(text::kFormatNotice)});
    console.Say(std::string(text::cli::kInstallingInitialStructure) + cardFolder.string());
    session.dialog().OnCommand(ControlId::Initialize);
    if (!session.desktop().messages().empty()) return kFailed;
    console.Say(text::cli::kInitialStructureInstalled);
    return kDone;
}

}  // namespace vocell::cli
