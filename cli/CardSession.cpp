#include "cli/CardSession.h"

#include "app/DialogLayout.h"
#include "cli/Commands.h"
#include "common/Messages.h"

namespace vocell::cli {

CardSession::CardSession(Console& console, const std::filesystem::path& cardFolder)
    : console_(console),
      drives_(cardFolder),
      volumes_(cardFolder),
      desktop_(console),
      dialog_(desktop_, volumes_, drives_.fileSystem()) {}

bool CardSession::Open() {
    dialog_.OnInitDialog();
    if (desktop_.dialogEnded()) return false;  // the installation is incomplete; it said so
    dialog_.OnCommand(ControlId::Select);
    if (!dialog_.cardSelected()) {
        console_.Complain(text::cli::kCardNotSelectable);
        return false;
    }
    return true;
}

int CardSession::ExitStatusFor(const operations::Outcome& outcome) const {
    using operations::OutcomeKind;
    using operations::StopReason;
    if (outcome.kind == OutcomeKind::Done) return kDone;
    if (outcome.reason == StopReason::ArchiveDamaged) return kInvalidArchive;  // also part-way
    if (outcome.reason == StopReason::ArchiveOnCard) return kUsage;
    // A question the command line could not put to anyone is a usage problem: say which with a flag.
    if (outcome.kind == OutcomeKind::Stopped && outcome.reason == StopReason::Cancelled &&
        desktop_.questionUnanswered()) {
        return kUsage;
    }
    return kFailed;
}

}  // namespace vocell::cli
