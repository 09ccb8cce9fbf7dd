#pragma once
// What the main dialog asks of a window system: message boxes, file dialogs, the drive chooser,
// the about box, the status bar, the busy cursor, the progress bar and showing its members.
// Every decision stays in the dialog; a desktop only draws and reports what the user did.

#include <optional>
#include <string>
#include <vector>

#include "platform/Volumes.h"

namespace vocell {

enum class MessageButtons { Ok, YesNo, YesNoCancel };

// How the format dialog ended.
enum class FormatOutcome {
    Closed,     // closed without formatting: the card is as it was
    Formatted,  // the card was formatted
    Refused,    // the format was refused or failed; the dialog has said why
};
enum class MessageAnswer { Ok, Yes, No, Cancel };

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

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    [[nodiscard]] int width() const { return right - left; }
    [[nodiscard]] int height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// The four text fields of the main dialog and the hidden device list, as a push shows them.
struct DialogFields {
    std::string statusText;
    std::string deviceText;
    std::string cardTypeText;
    std::string promptVersionText;
    std::vector<std::string> deviceItems;
    int deviceSelection = -1;
    bool operator==(const DialogFields&) const = default;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    // A modal message box with the application's title.
    virtual MessageAnswer ShowMessageBox(const std::string& text, MessageButtons buttons) = 0;
    // The full path chosen, or nothing when the user cancelled.
    virtual std::optional<std::string> SaveFileDialog(const FileDialogSettings& settings) = 0;
    virtual std::optional<std::string> OpenFileDialog(const FileDialogSettings& settings) = 0;
    // The drive chooser with its entries and the entry selected at first. OK gives the entry then
    // selected (-1 for none); Cancel or the close box give nothing.
    virtual std::optional<int> RunDriveChooser(const std::vector<std::string>& entries,
                                               int selectedIndex) = 0;
    virtual void ShowAbout() = 0;
    // The system's own format dialog for a drive, by its index counted from A = 0, for the medium
    // the user selected: a format never reaches another medium that has taken the drive's place.
    // Returns when the user has closed it.
    virtual FormatOutcome ShowFormatDialog(int driveIndex, const MediumIdentity& medium) = 0;

    // Status bar: false when it could not be created.
    virtual bool CreateStatusBar(const Rect& area) = 0;
    // Pane right edges in pixels and the bar's minimum height.
    virtual void LayoutStatusBar(const std::vector<int>& paneRightEdges, int minimumHeight) = 0;
    virtual void SetStatusPane(int pane, const std::string& text) = 0;

    // The busy cursor nests: it shows until as many ends as begins have been made.
    virtual void BeginBusyCursor() = 0;
    virtual void EndBusyCursor() = 0;

    virtual void CreateProgressBar(const Rect& area) = 0;
    virtual void StepProgressBar() = 0;
    virtual void RemoveProgressBar() = 0;

    // Shows the members in their controls and repaints at once.
    virtual void Push(const DialogFields& fields) = 0;
    virtual void Repaint() = 0;

    [[nodiscard]] virtual Rect WindowRect() const = 0;
    [[nodiscard]] virtual Rect ClientRect() const = 0;
    // Ends the main dialog (the program ends with it).
    virtual void EndDialog(bool ok) = 0;
};

}  // namespace vocell
