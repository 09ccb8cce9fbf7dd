#include "tests/support/ScriptedDesktop.h"

#include <gtest/gtest.h>

namespace vocell::test {
namespace {

const char* AnswerWord(MessageAnswer answer) {
    switch (answer) {
        case MessageAnswer::Ok: return "ok";
        case MessageAnswer::Yes: return "yes";
        case MessageAnswer::No: return "no";
        case MessageAnswer::Cancel: return "cancel";
    }
    return "?";
}

std::string RectText(const Rect& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) +
           "," + std::to_string(rect.bottom);
}

template <class T>
std::optional<T> TakeFront(std::deque<T>& queue) {
    if (queue.empty()) return std::nullopt;
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

}  // namespace

void ScriptedDesktop::AnswerMessage(MessageAnswer answer) { messageAnswers_.push_back(answer); }

void ScriptedDesktop::AnswerSaveDialog(std::optional<std::string> path) {
    saveAnswers_.push_back(std::move(path));
}

void ScriptedDesktop::AnswerOpenDialog(std::optional<std::string> path) {
    openAnswers_.push_back(std::move(path));
}

void ScriptedDesktop::AnswerChooser(std::optional<int> selection) { chooserAnswers_.push_back(selection); }

void ScriptedDesktop::DuringNextModal(std::function<void()> action) {
    modalActions_.push_back(std::move(action));
}

std::vector<std::string> ScriptedDesktop::FilterTranscript(const std::string& prefix) const {
    std::vector<std::string> lines;
    for (const std::string& line : transcript_) {
        if (line.starts_with(prefix)) lines.push_back(line);
    }
    return lines;
}

std::size_t ScriptedDesktop::pendingAnswers() const {
    return messageAnswers_.size() + saveAnswers_.size() + openAnswers_.size() + chooserAnswers_.size() +
           modalActions_.size();
}

std::size_t ScriptedDesktop::OpenModal(std::string line) {
    transcript_.push_back(std::move(line));
    const std::size_t index = transcript_.size() - 1;
    // Taken off the queue first: a modal opened by the action itself gets the next one.
    if (auto action = TakeFront(modalActions_)) {
        if (*action) (*action)();
    }
    return index;
}

void ScriptedDesktop::CloseModal(std::size_t line, const std::string& outcome) {
    transcript_[line] += " -> " + outcome;
}

MessageAnswer ScriptedDesktop::ShowMessageBox(const std::string& text, MessageButtons buttons,
                                              MessageKind /*kind*/) {
    messages_.push_back(text);
    if (buttons == MessageButtons::Ok) {
        OpenModal("message: " + text);
        return MessageAnswer::Ok;
    }
    const bool withCancel = buttons == MessageButtons::YesNoCancel;
    std::optional<MessageAnswer> queued = TakeFront(messageAnswers_);
    const std::size_t line =
        OpenModal((withCancel ? "question(yes/no/cancel): " : "question(yes/no): ") + text);

    const MessageAnswer fallback = withCancel ? MessageAnswer::Cancel : MessageAnswer::No;
    MessageAnswer answer = fallback;
    if (!queued) {
        ADD_FAILURE() << "no answer queued for the question: " << text;
    } else if (*queued == MessageAnswer::Ok || (*queued == MessageAnswer::Cancel && !withCancel)) {
        ADD_FAILURE() << "the answer " << AnswerWord(*queued) << " is not a button of the question: " << text;
    } else {
        answer = *queued;
    }
    CloseModal(line, AnswerWord(answer));
    return answer;
}

std::optional<std::string> ScriptedDesktop::FileDialog(const char* kind,
                                                       std::deque<std::optional<std::string>>& answers) {
    std::optional<std::optional<std::string>> queued = TakeFront(answers);
    const std::size_t line = OpenModal(std::string(kind) + " dialog");
    fileDialogWork_ = {};  // the next dialog's work is handed over anew
    if (!queued) {
        ADD_FAILURE() << "no answer queued for the " << kind << " dialog";
        queued.emplace();
    }
    CloseModal(line, queued->value_or("cancel"));
    return *queued;
}

int ScriptedDesktop::RunFileDialogWork(int steps) {
    int run = 0;
    while (fileDialogWork_ && run != steps) {
        ++run;
        if (!fileDialogWork_()) fileDialogWork_ = {};
    }
    return run;
}

std::optional<std::string> ScriptedDesktop::SaveFileDialog(const FileDialogSettings& settings) {
    saveSettings_ = settings;
    return FileDialog("save", saveAnswers_);
}

std::optional<std::string> ScriptedDesktop::OpenFileDialog(const FileDialogSettings& settings) {
    openSettings_ = settings;
    return FileDialog("open", openAnswers_);
}

std::optional<int> ScriptedDesktop::RunDriveChooser(const std::vector<std::string>& entries,
                                                    int selectedIndex) {
    chooserEntries_ = entries;
    chooserSelected_ = selectedIndex;
    std::string line = "chooser [";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) line += "|";
        line += entries[i];
    }
    line += "] selected " + std::to_string(selectedIndex);

    std::optional<std::optional<int>> queued = TakeFront(chooserAnswers_);
    const std::size_t index = OpenModal(std::move(line));
    if (!queued) {
        ADD_FAILURE() << "no answer queued for the drive chooser";
        queued.emplace();
    }
    CloseModal(index, queued->has_value() ? std::to_string(**queued) : "cancel");
    return *queued;
}

void ScriptedDesktop::ShowAbout() { OpenModal("about"); }

FormatOutcome ScriptedDesktop::ShowFormatDialog(int driveIndex, const MediumIdentity& medium) {
    OpenModal("format " + std::to_string(driveIndex));
    return formatter_ ? formatter_(driveIndex, medium) : FormatOutcome::Closed;
}

bool ScriptedDesktop::CreateStatusBar(const Rect& area) {
    if (failStatusBar_) {
        transcript_.push_back("status bar failed");
        return false;
    }
    statusBarCreated_ = true;
    transcript_.push_back("status bar created " + std::to_string(area.left) + "," + std::to_string(area.top) +
                          "," + std::to_string(area.right) + "," + std::to_string(area.bottom));
    return true;
}

// A status bar that was never created swallows whatever is sent to it, as a null window does.
void ScriptedDesktop::LayoutStatusBar(const std::vector<int>& paneRightEdges, int minimumHeight) {
    if (!statusBarCreated_) return;
    std::string line = "panes ";
    for (std::size_t i = 0; i < paneRightEdges.size(); ++i) {
        if (i > 0) line += ",";
        line += std::to_string(paneRightEdges[i]);
    }
    transcript_.push_back(line + " height " + std::to_string(minimumHeight));
}

void ScriptedDesktop::SetStatusPane(int index, const std::string& text) {
    if (!statusBarCreated_) return;
    if (index < 0 || index > 1) {
        ADD_FAILURE() << "the status bar has panes 0 and 1, not " << index;
        return;
    }
    panes_[static_cast<std::size_t>(index)] = text;
    transcript_.push_back("pane " + std::to_string(index) + ": " + text);
}

void ScriptedDesktop::KeepResponding() {
    ++keepRespondingCalls_;
    if (whileResponding) whileResponding();
}

void ScriptedDesktop::BeginBusyCursor() {
    ++busyDepth_;
    transcript_.push_back("busy on");
}

void ScriptedDesktop::EndBusyCursor() {
    transcript_.push_back("busy off");
    if (busyDepth_ == 0) {
        ADD_FAILURE() << "the busy cursor was ended more often than begun";
        return;
    }
    --busyDepth_;
}

void ScriptedDesktop::CreateProgressBar(const Rect& area) {
    progressBarShown_ = true;
    transcript_.push_back("progress bar " + RectText(area));
}

void ScriptedDesktop::ShowProgress(const ProgressReport& report) {
    if (!progressBarShown_) ADD_FAILURE() << "progress shown without a progress bar";
    progressReports_.push_back(report);
    transcript_.push_back("progress at " + std::to_string(report.position) + ": " + report.reading);
}

void ScriptedDesktop::RemoveProgressBar() {
    progressBarShown_ = false;
    transcript_.push_back("progress removed");
}

void ScriptedDesktop::Push(const DialogFields& fields) {
    lastFields_ = fields;
    ++pushCount_;
    transcript_.push_back("push");
}

void ScriptedDesktop::Repaint() { transcript_.push_back("repaint"); }

void ScriptedDesktop::EndDialog(bool ok) {
    endedWith_ = ok;
    transcript_.push_back(ok ? "end dialog ok" : "end dialog cancel");
}

}  // namespace vocell::test
