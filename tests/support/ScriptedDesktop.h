#pragma once
// A Desktop for tests: modal dialogs answer from queues the test fills beforehand, and every
// call is written to a transcript, one line each, for the test to compare. A dialog that finds
// its queue empty fails the test and answers Cancel (No for a yes/no box).

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Desktop.h"

namespace vocell::test {

class ScriptedDesktop final : public WindowDesktop {
public:
    // Answers for YesNo and YesNoCancel boxes, in the order the boxes open. An Ok box answers
    // by itself and takes nothing from here.
    void AnswerMessage(MessageAnswer answer);
    // A path, or nothing for Cancel.
    void AnswerSaveDialog(std::optional<std::string> path);
    void AnswerOpenDialog(std::optional<std::string> path);
    // From an action inside a file dialog: runs up to steps (all for a negative count) of the
    // work the operation handed to the dialog, as a dialog waiting for the user would; the steps
    // run, which stop early once the work is done. A dialog runs none by itself.
    int RunFileDialogWork(int steps);
    // The entry chosen (-1 for OK with none selected), or nothing for Cancel.
    void AnswerChooser(std::optional<int> selection);
    // Runs inside the next modal call (message box, file dialog, chooser, about box) before it
    // answers, the way a real modal loop dispatches device notifications. Actions queue up:
    // each modal call takes one.
    void DuringNextModal(std::function<void()> action);
    // What the format dialog does to the drive it is opened for (the fake machine's format).
    using Formatter = std::function<FormatOutcome(int driveIndex, const MediumIdentity& medium)>;
    void SetFormatter(Formatter format) { formatter_ = std::move(format); }

    // createStatusBar fails from now on.
    void FailStatusBar() { failStatusBar_ = true; }
    // The window's size and dots per inch from now on (600 by 400 pixels at 96 unless set).
    void PlaceWindow(const Rect& window, int dpi) {
        windowRect_ = window;
        dpi_ = dpi;
    }

    [[nodiscard]] const std::vector<std::string>& transcript() const { return transcript_; }
    // The transcript lines that start with prefix.
    [[nodiscard]] std::vector<std::string> FilterTranscript(const std::string& prefix) const;
    // The texts of every message box and question, in order.
    [[nodiscard]] const std::vector<std::string>& messages() const { return messages_; }
    // Answers and actions queued but not used yet.
    [[nodiscard]] std::size_t pendingAnswers() const;

    // Pane 0 or 1 (another index throws, which fails the test).
    [[nodiscard]] std::string Pane(int index) const { return panes_.at(static_cast<std::size_t>(index)); }
    [[nodiscard]] int busyDepth() const { return busyDepth_; }
    [[nodiscard]] bool progressBarShown() const { return progressBarShown_; }
    // Every report shown on a progress bar, in order.
    [[nodiscard]] const std::vector<ProgressReport>& progressReports() const { return progressReports_; }
    [[nodiscard]] const DialogFields& lastFields() const { return lastFields_; }
    [[nodiscard]] int pushCount() const { return pushCount_; }
    [[nodiscard]] const std::optional<FileDialogSettings>& saveSettings() const { return saveSettings_; }
    [[nodiscard]] const std::optional<FileDialogSettings>& openSettings() const { return openSettings_; }
    [[nodiscard]] const std::vector<std::string>& chooserEntries() const { return chooserEntries_; }
    [[nodiscard]] int chooserSelected() const { return chooserSelected_; }
    [[nodiscard]] std::optional<bool> endedWith() const { return endedWith_; }

    MessageAnswer ShowMessageBox(const std::string& text, MessageButtons buttons, MessageKind kind) override;
    std::optional<std::string> SaveFileDialog(const FileDialogSettings& settings) override;
    std::optional<std::string> OpenFileDialog(const FileDialogSettings& settings) override;
    void WorkWhileNextFileDialogWaits(const std::function<bool()>& step) override { fileDialogWork_ = step; }
    std::optional<int> RunDriveChooser(const std::vector<std::string>& entries, int selectedIndex) override;
    void ShowAbout() override;
    FormatOutcome ShowFormatDialog(int driveIndex, const MediumIdentity& medium) override;
    bool CreateStatusBar(const Rect& area) override;
    void LayoutStatusBar(const std::vector<int>& paneRightEdges, int minimumHeight) override;
    void SetStatusPane(int pane, const std::string& text) override;
    void BeginBusyCursor() override;
    void EndBusyCursor() override;
    void CreateProgressBar(const Rect& area) override;
    void ShowProgress(const ProgressReport& report) override;
    void RemoveProgressBar() override;
    void Push(const DialogFields& fields) override;
    void Repaint() override;
    // Counted; whileResponding, where set, runs as if the system had sent it then.
    void KeepResponding() override;
    std::function<void()> whileResponding;
    [[nodiscard]] int keepRespondingCalls() const { return keepRespondingCalls_; }
    [[nodiscard]] Rect WindowRect() const override { return windowRect_; }
    [[nodiscard]] Rect ClientRect() const override { return clientRect_; }
    [[nodiscard]] int WindowDpi() const override { return dpi_; }
    void EndDialog(bool ok) override;

private:
    // Writes the modal's line (without its outcome), runs the queued action, and returns the
    // line's index so that the outcome lands on the line of the box that opened first.
    std::size_t OpenModal(std::string line);
    void CloseModal(std::size_t line, const std::string& outcome);
    std::optional<std::string> FileDialog(const char* kind, std::deque<std::optional<std::string>>& answers);

    std::deque<MessageAnswer> messageAnswers_;
    std::deque<std::optional<std::string>> saveAnswers_;
    std::deque<std::optional<std::string>> openAnswers_;
    std::deque<std::optional<int>> chooserAnswers_;
    std::deque<std::function<void()>> modalActions_;
    std::function<bool()> fileDialogWork_;

    std::vector<std::string> transcript_;
    std::vector<std::string> messages_;

    Formatter formatter_;
    Rect windowRect_{0, 0, 600, 400};
    Rect clientRect_{0, 0, 410, 310};
    int dpi_ = 96;
    bool failStatusBar_ = false;
    bool statusBarCreated_ = false;
    int keepRespondingCalls_ = 0;
    std::array<std::string, 2> panes_;
    int busyDepth_ = 0;
    bool progressBarShown_ = false;
    std::vector<ProgressReport> progressReports_;
    DialogFields lastFields_;
    int pushCount_ = 0;
    std::optional<FileDialogSettings> saveSettings_;
    std::optional<FileDialogSettings> openSettings_;
    std::vector<std::string> chooserEntries_;
    int chooserSelected_ = -1;
    std::optional<bool> endedWith_;
};

}  // namespace vocell::test
