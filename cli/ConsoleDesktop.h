#pragma once
// The main dialog's window system on a terminal: messages are printed, the file dialogs and the
// drive chooser answer with what the command line was given, questions are answered from its
// flags or asked on the terminal, and progress is shown on standard error.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/Console.h"
#include "platform/Desktop.h"

namespace vocell::cli {

class ConsoleDesktop final : public Desktop {
public:
    // An answer from the command line's flags, or nothing to ask on the terminal.
    using Answerer = std::function<std::optional<MessageAnswer>(const std::string& question, MessageButtons)>;

    explicit ConsoleDesktop(Console& console) : console_(console) {}

    void setArchivePath(std::string windowsPath) { archivePath_ = std::move(windowsPath); }
    void setAnswerer(Answerer answerer) { answerer_ = std::move(answerer); }
    // What to tell a user who could not be asked.
    void setUnansweredHint(std::string hint) { unansweredHint_ = std::move(hint); }
    // Messages that mean nothing on a terminal (the format notice) are neither shown nor kept.
    void setQuietMessages(std::vector<std::string> texts) { quiet_ = std::move(texts); }

    [[nodiscard]] const std::vector<std::string>& messages() const { return messages_; }
    [[nodiscard]] bool questionUnanswered() const { return unanswered_; }
    [[nodiscard]] bool dialogEnded() const { return ended_; }
    [[nodiscard]] std::uint64_t pathsStored() const { return pathsStored_; }
    [[nodiscard]] bool shown(std::string_view message) const;

    MessageAnswer messageBox(const std::string& text, MessageButtons buttons) override;
    std::optional<std::string> saveFileDialog(const FileDialogSettings& settings) override;
    std::optional<std::string> openFileDialog(const FileDialogSettings& settings) override;
    std::optional<int> runDriveChooser(const std::vector<std::string>& entries, int selectedIndex) override;
    void showAbout() override {}
    bool createStatusBar(const Rect&) override { return true; }
    void layoutStatusBar(const std::vector<int>&, int) override {}
    void setStatusPane(int pane, const std::string& text) override;
    void beginBusyCursor() override {}
    void endBusyCursor() override {}
    void createProgressBar(const Rect&) override;
    void stepProgressBar() override;
    void removeProgressBar() override;
    void push(const DialogFields&) override {}
    void repaint() override {}
    [[nodiscard]] Rect windowRect() const override { return {0, 0, 600, 400}; }
    [[nodiscard]] Rect clientRect() const override { return {0, 0, 600, 375}; }
    void endDialog(bool) override { ended_ = true; }

private:
    Console& console_;
    std::string archivePath_;
    Answerer answerer_;
    std::string unansweredHint_;
    std::vector<std::string> messages_;
    std::vector<std::string> quiet_;
    bool unanswered_ = false;
    bool ended_ = false;
    std::string activity_;
    std::uint64_t pathsStored_ = 0;
    int percent_ = 0;
};

}  // namespace vocell::cli
