#pragma once
// What the main dialog asks of a window system or a terminal, beyond what its operations ask:
// the drive chooser, the status panes, showing its members and ending. A window adds its layout
// (WindowDesktop); a terminal has none.

#include <optional>
#include <string>
#include <vector>

#include "operations/OperationContext.h"
#include "operations/OperationDesktop.h"

namespace vocell {

// The four text fields of the main dialog and the hidden device list, as a push shows them.
struct DialogFields : operations::CardFields {
    std::vector<std::string> deviceItems;
    int deviceSelection = -1;
    bool operator==(const DialogFields&) const = default;
};

class Desktop : public OperationDesktop {
public:
    // The drive chooser with its entries and the entry selected at first. OK gives the entry then
    // selected (-1 for none); Cancel or the close box give nothing.
    virtual std::optional<int> RunDriveChooser(const std::vector<std::string>& entries,
                                               int selectedIndex) = 0;
    virtual void SetStatusPane(int pane, const std::string& text) = 0;
    // Shows the members in their controls and repaints at once.
    virtual void Push(const DialogFields& fields) = 0;
    // Ends the main dialog (the program ends with it).
    virtual void EndDialog(bool ok) = 0;
};

// A desktop with a window: the about box and the geometry of the status bar and progress bar.
class WindowDesktop : public Desktop {
public:
    virtual void ShowAbout() = 0;
    // Status bar: false when it could not be created.
    virtual bool CreateStatusBar(const Rect& area) = 0;
    // Pane right edges in pixels and the bar's minimum height.
    virtual void LayoutStatusBar(const std::vector<int>& paneRightEdges, int minimumHeight) = 0;
    [[nodiscard]] virtual Rect WindowRect() const = 0;
    [[nodiscard]] virtual Rect ClientRect() const = 0;
    // The dots per inch of the screen the window is on, in the pixels WindowRect counts (96 at
    // 100 %).
    [[nodiscard]] virtual int WindowDpi() const = 0;
};

}  // namespace vocell
