#pragma once
// What a card operation asks of a window system, or of a terminal: questions and messages, the
// open and save dialogs, the format dialog, the busy cursor, the progress bar and a repaint.
// Every decision stays in the operation; a desktop only shows and reports what the user did.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/Volumes.h"

namespace vocell {

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// What a message is, beside its text: a front end that shows kinds apart (a terminal prints a
// completion on standard output and every other notice on standard error, and answers some
// questions from its options) goes by this, never by the text.
enum class MessageKind {
    Notice,              // what went wrong, or what the user should know
    Completion,          // the operation did all it was asked
    BeforeFormatDialog,  // tells what the format dialog about to open is for
    Question,            // a question with no answer given in advance
    ReformatQuestion,    // whether to initialize the card
};

// How the format dialog ended.
enum class FormatOutcome {
    Closed,     // closed without formatting: the card is as it was
    Formatted,  // the card was formatted
    Refused,    // the format was refused or failed; the dialog has said why
};

// What an open or save dialog offers.
struct FileDialogSettings {
    std::string initialFolder;      // "C:\Harlo\Vocell\Backup\"
    std::string fileName;           // pre-filled, "*.vcb"
    std::string defaultExtension;   // appended to a name typed without one; empty for none
    std::string filterDescription;  // "Vocell Greeting & Data Files (*.vcb)"
    std::string filterPattern;      // "*.vcb"
    bool overwritePrompt = false;   // ask before replacing an existing file
    bool pathMustExist = false;
    bool fileMustExist = false;
    bool hideReadOnly = false;
    bool operator==(const FileDialogSettings&) const = default;
};

// How far the work under the progress bar has come.
struct ProgressReport {
    static constexpr int kSteps = 100;  // the bar's range
    int position = 0;                   // the bar's steps taken, 0 to kSteps
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    // The same in words: "12.4 MB of 128.0 MB written, about 5 s left".
    std::string reading;
    bool operator==(const ProgressReport&) const = default;
};

// A rectangle in the dialog's pixels.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    [[nodiscard]] int width() const { return right - left; }
    [[nodiscard]] int height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

class OperationDesktop {
public:
    virtual ~OperationDesktop() = default;

    // A modal message box with the application's title.
    virtual MessageAnswer ShowMessageBox(const std::string& text, MessageButtons buttons,
                                         MessageKind kind) = 0;
    // The full path chosen, or nothing when the user cancelled.
    virtual std::optional<std::string> SaveFileDialog(const FileDialogSettings& settings) = 0;
    virtual std::optional<std::string> OpenFileDialog(const FileDialogSettings& settings) = 0;
    // Work the next open or save dialog may do while it waits for the user, in small steps on the
    // window's own thread: step does one and returns false once none is left. The operation
    // finishes whatever is left after the dialog, so a desktop may run none of it (the default).
    virtual void WorkWhileNextFileDialogWaits(const std::function<bool()>& /*step*/) {}
    // The system's own format dialog for a drive, by its index counted from A = 0, for the medium
    // the user selected: a format never reaches another medium that has taken the drive's place.
    // Returns when the user has closed it.
    virtual FormatOutcome ShowFormatDialog(int driveIndex, const MediumIdentity& medium) = 0;

    // The busy cursor nests: it shows until as many ends as begins have been made.
    virtual void BeginBusyCursor() = 0;
    virtual void EndBusyCursor() = 0;

    // The progress bar over area (empty where there is no window), at position 0.
    virtual void CreateProgressBar(const Rect& area) = 0;
    // Moves the bar to the report's position and shows its reading beside it (a window as the
    // bar's tooltip). Called at the operation's paced steps.
    virtual void ShowProgress(const ProgressReport& report) = 0;
    virtual void RemoveProgressBar() = 0;

    // Draws what has changed at once.
    virtual void Repaint() = 0;
    // While an operation runs: lets the window draw what was uncovered and answer the system (the
    // window manager's ping, accessibility requests, a device change) without taking any input
    // from the user. Called at the operation's paced steps.
    virtual void KeepResponding() = 0;
};

}  // namespace vocell
