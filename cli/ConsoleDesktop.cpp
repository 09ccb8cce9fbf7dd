#include "cli/ConsoleDesktop.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "common/Messages.h"

namespace vocell::cli {
namespace {

MessageAnswer FromConsole(Answer answer) {
    switch (answer) {
        case Answer::Yes: return MessageAnswer::Yes;
        case Answer::No: return MessageAnswer::No;
        case Answer::Cancel: break;
    }
    return MessageAnswer::Cancel;
}

}  // namespace

MessageAnswer ConsoleDesktop::ShowMessageBox(const std::string& text, MessageButtons buttons,
                                             MessageKind kind) {
    if (buttons == MessageButtons::Ok) {
        // There is no format dialog on a terminal for the notice to announce.
        if (kind == MessageKind::BeforeFormatDialog) return MessageAnswer::Ok;
        if (kind == MessageKind::Completion) {
            console_.Say(text);
        } else {
            console_.Complain(text);
        }
        return MessageAnswer::Ok;
    }
    if (answerer_) {
        if (auto answer = answerer_(kind, buttons)) return *answer;
    }
    const bool withCancel = buttons == MessageButtons::YesNoCancel;
    if (auto answer = console_.Ask(text, withCancel)) return FromConsole(*answer);
    unanswered_ = true;
    console_.Complain(text + "\n" + unansweredHint_ + std::string(text::kCardNotChanged));
    return withCancel ? MessageAnswer::Cancel : MessageAnswer::No;
}

std::optional<std::string> ConsoleDesktop::SaveFileDialog(const FileDialogSettings& settings) {
    if (archivePath_.empty()) return std::nullopt;
    std::string path = archivePath_;
    const auto name = std::filesystem::path(path.substr(path.find_last_of('\\') + 1));
    if (!settings.defaultExtension.empty() && !name.has_extension()) path += "." + settings.defaultExtension;
    return path;
}

std::optional<std::string> ConsoleDesktop::OpenFileDialog(const FileDialogSettings&) {
    if (archivePath_.empty()) return std::nullopt;
    return archivePath_;
}

std::optional<int> ConsoleDesktop::RunDriveChooser(const std::vector<std::string>& entries, int) {
    // The card folder is the only drive: the first entry.
    return entries.empty() ? -1 : 0;
}

void ConsoleDesktop::SetStatusPane(int pane, const std::string& text) {
    if (pane == 0) {
        activity_ = text;
        return;
    }
    // The operation paces what it shows: the newest path, about 30 times a second.
    if (!text.empty()) console_.ShowProgress(activity_ + ": " + text);
}

void ConsoleDesktop::CreateProgressBar(const Rect&) { console_.ShowProgress(activity_ + ": 0%"); }

void ConsoleDesktop::ShowProgress(const ProgressReport& report) {
    // The operation paces what it shows: the newest reading, about 30 times a second. The share
    // is the reading's, not the bar's (which steps at most once per entry).
    const std::uint64_t percent =
        report.bytesTotal == 0 ? 0 : std::min(report.bytesDone, report.bytesTotal) * 100 / report.bytesTotal;
    console_.ShowProgress(activity_ + ": " + std::to_string(percent) + "%, " + report.reading);
}

void ConsoleDesktop::RemoveProgressBar() { console_.EndProgress(); }

}  // namespace vocell::cli
