#pragma once
// One run of the main dialog on the command line: the card folder as drive E:, the console as
// its window system, the card selected as the Select button would.

#include <filesystem>

#include "app/UtilityDialog.h"
#include "cli/ConsoleDesktop.h"
#include "platform/linux/files/FolderVolumes.h"
#include "platform/linux/files/HostDrives.h"

namespace vocell::cli {

class CardSession {
public:
    CardSession(Console& console, const std::filesystem::path& cardFolder);

    // Starts the dialog and selects the card. False, after saying why, when the installation or
    // the card cannot be used.
    bool Open();

    UtilityDialog& dialog() { return dialog_; }
    ConsoleDesktop& desktop() { return desktop_; }
    [[nodiscard]] std::string cardVersion() const { return dialog_.cardFields().promptVersionText; }

    // The exit status for how an operation ended.
    [[nodiscard]] int ExitStatusFor(const operations::Outcome& outcome) const;

private:
    Console& console_;
    posix::HostDrives drives_;
    posix::FolderVolumes volumes_;
    ConsoleDesktop desktop_;
    UtilityDialog dialog_;
};

}  // namespace vocell::cli
