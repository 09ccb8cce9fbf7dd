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
    if (dialog_.cardFields().statusText != text::kReady) {
        console_.Complain(text::cli::kCardNotSelectable);
        return false;
    }
    return true;
}

int CardSession::StatusAfter(std::string_view completion) const {
    if (desktop_.questionUnanswered()) return kUsage;
    if (desktop_.WasShown(text::kNotValidArchive)) return kInvalidArchive;
    return desktop_.WasShown(completion) ? kDone : kFailed;
}

}  // namespace vocell::cli
