// backup, restore, update and init: the main dialog's operations, run on the command line.

#include <string>

#include "cli/CardSession.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "common/Messages.h"

namespace vocell::cli {
namespace {

using QueuedAnswer = std::optional<MessageAnswer>;

// What restore and update share before their operation runs: the checks of the arguments, the
// session on the card, and the archive's path as the open dialog's answer.
std::optional<int> PrepareArchiveSession(Console& console, CardSession& session,
                                         const std::filesystem::path& archiveFile,
                                         const std::filesystem::path& cardFolder) {
    if (!CheckCardFolder(console, cardFolder) || !CheckArchiveFile(console, archiveFile)) {
        return kUsage;
    }
    auto archivePath = WindowsPathOf(console, archiveFile);
    if (!archivePath) return kUsage;
    if (!session.Open()) return kFailed;
    session.desktop().SetArchivePath(*archivePath);
    return std::nullopt;
}

}  // namespace

int RunBackup(Console& console, const std::filesystem::path& cardFolder, std::filesystem::path archiveFile) {
    if (!CheckCardFolder(console, cardFolder)) return kUsage;
    if (!archiveFile.has_extension()) archiveFile += ".vcb";
    auto archivePath = WindowsPathOf(console, archiveFile);
    if (!archivePath) return kUsage;

    CardSession session(console, cardFolder);
    if (!session.Open()) return kFailed;
    console.Say(std::string(text::cli::kBackingUp) + cardFolder.string() + " (prompt version " +
                Shown(session.cardVersion()) + ") into " + archiveFile.string());
    session.desktop().SetArchivePath(*archivePath);
    const operations::Outcome outcome = session.dialog().OnBackup();
    console.Say("Stored " + std::to_string(outcome.pathsStored) + " folders and files.");
    return session.ExitStatusFor(outcome);
}

int RunRestore(Console& console, const std::filesystem::path& archiveFile,
               const std::filesystem::path& cardFolder, std::optional<PromptChoice> choice, bool readBack) {
    CardSession session(console, cardFolder);
    if (auto refused = PrepareArchiveSession(console, session, archiveFile, cardFolder)) return *refused;
    session.dialog().SetVerifyWrites(readBack);
    console.Say(std::string(text::cli::kRestoring) + archiveFile.string() + " onto " + cardFolder.string() +
                " (prompt version " + Shown(session.cardVersion()) + ")");
    session.desktop().SetUnansweredHint(std::string(text::cli::kSayWhichPrompts));
    session.desktop().SetAnswerer([choice](MessageKind, MessageButtons) -> QueuedAnswer {
        if (!choice) return std::nullopt;
        return *choice == PromptChoice::Replace ? MessageAnswer::Yes : MessageAnswer::No;
    });
    return session.ExitStatusFor(session.dialog().OnRestore());
}

int RunUpdate(Console& console, const std::filesystem::path& packageFile,
              const std::filesystem::path& cardFolder, bool confirmed, bool readBack) {
    CardSession session(console, cardFolder);
    if (auto refused = PrepareArchiveSession(console, session, packageFile, cardFolder)) return *refused;
    session.dialog().SetVerifyWrites(readBack);
    session.desktop().SetUnansweredHint(std::string(text::cli::kConfirmWithYes));
    session.desktop().SetAnswerer([confirmed](MessageKind, MessageButtons) -> QueuedAnswer {
        if (!confirmed) return std::nullopt;
        return MessageAnswer::Yes;
    });
    return session.ExitStatusFor(session.dialog().OnUpdatePrompts());
}

int RunInit(Console& console, const std::filesystem::path& cardFolder, bool readBack) {
    if (!CheckCardFolder(console, cardFolder)) return kUsage;
    CardSession session(console, cardFolder);
    if (!session.Open()) return kFailed;
    session.dialog().SetVerifyWrites(readBack);
    // Initializing is what was asked for; there is no format dialog on the command line.
    session.desktop().SetAnswerer([](MessageKind question, MessageButtons) -> QueuedAnswer {
        if (question == MessageKind::ReformatQuestion) return MessageAnswer::Yes;
        return std::nullopt;
    });
    console.Say(std::string(text::cli::kInstallingInitialStructure) + cardFolder.string());
    const operations::Outcome outcome = session.dialog().OnInitializeCard();
    if (outcome.reason == operations::StopReason::PromptsPresent) {
        console.Complain(std::string(text::cli::kAlreadyHoldsPrompts) + session.cardVersion() +
                         std::string(text::cli::kNotInstalled) + std::string(text::kCardNotChanged));
    } else if (outcome.done()) {
        console.Say(text::cli::kInitialStructureInstalled);
    }
    return session.ExitStatusFor(outcome);
}

}  // namespace vocell::cli
