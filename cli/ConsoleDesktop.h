#pragma once
// The main dialog's window system on a terminal: messages are printed, the file dialogs and the
// drive chooser answer with what the command line was given, questions are answered from its
// flags or asked on the terminal, and progress is shown on standard error.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Desktop.h"
#include "cli/Console.h"

namespace vocell::cli {

class ConsoleDesktop final : public Desktop {
public:
    // An answer from the command line's flags, or nothing to ask on the terminal.
    using Answerer = std::function<std::optional<MessageAnswer>(MessageKind question, MessageButtons)>;

    explicit ConsoleDesktop(Console& console) : console_(console) {}

    void SetArchivePath(std::string windowsPath) { archivePath_ = std::move(windowsPath); }
    void SetAnswerer(Answerer answerer) { answerer_ = std::move(answerer); }
    // What to tell a user who could not be asked.
    void SetUnansweredHint(std::string hint) { unansweredHint_ = std::move(hint); }

    [[nodiscard]] bool questionUnanswered() const { return unanswered_; }
    [[nodiscard]] bool dialogEnded() const { return ended_; }

    MessageAnswer ShowMessageBox(const std::string& text, MessageButtons buttons, MessageKind kind) override;
    std::optional<std::string> SaveFileDialog(const FileDialogSettings& settings) override;
    std::optional<std::string> OpenFileDialog(const FileDialogSettings& settings) override;
    std::optional<int> RunDriveChooser(const std::vector<std::string>& entries, int selectedIndex) override;
    // There is no format dialog on the command line: the card is left as it is.
    FormatOutcome ShowFormatDialog(int /*driveIndex*/, const MediumIdentity& /*medium*/) override {
        return FormatOutcome::Closed;
    }
    void SetStatusPane(int pane, const std::string& text) override;
    void BeginBusyCursor() override {}
    void EndBusyCursor() override {}
    void CreateProgressBar(const Rect&) override;
    void ShowProgress(const ProgressReport& report) override;
    void KeepResponding() override {}
    void RemoveProgressBar() override;
    void Push(const DialogFields&) override {}
    void Repaint() override {}
    void EndDialog(bool) override { ended_ = true; }

private:
    Console& console_;
    std::string archivePath_;
    Answerer answerer_;
    std::string unansweredHint_;
    bool unanswered_ = false;
    bool ended_ = false;
    std::string activity_;
};

}  // namespace vocell::cli
