#pragma once
// The main dialog's control ids, its system-menu command, the AutoPlay message and the arithmetic of
// its status bar.

#include <cstdint>
#include <string_view>
#include <vector>

#include "operations/OperationDesktop.h"

namespace vocell {

// Control and command ids of the main dialog.
namespace ControlId {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Update = 1005;
inline constexpr int Backup = 1014;
inline constexpr int Restore = 1016;
inline constexpr int Initialize = 1017;
inline constexpr int DeviceList = 1018;
inline constexpr int Select = 1025;
inline constexpr int PromptVersion = 1064;
inline constexpr int CardType = 1065;
inline constexpr int Status = 1066;
inline constexpr int Device = 1067;
inline constexpr int StatusBar = 1068;
inline constexpr int ProgressBar = 1068;
}  // namespace ControlId

// The system-menu item of the about box; system commands are recognised with their low four
// bits masked off.
inline constexpr std::uint32_t kAboutCommand = 16;
inline constexpr std::uint32_t kAboutMenuString = 101;
constexpr bool IsAboutCommand(std::uint32_t command) { return (command & 0xFFF0u) == kAboutCommand; }

// The shell's registered window message that asks whether AutoPlay should run for a medium just
// inserted; the dialog rescans and answers with kCancelAutoPlay.
inline constexpr std::string_view kQueryCancelAutoPlayMessage = "QueryCancelAutoPlay";
inline constexpr long kCancelAutoPlay = 1;

// Pixel sizes below are given for a screen of 96 dots per inch (100 %); a window on another
// screen scales them by its own dots per inch, as the dialog's font and dialog units scale.
inline constexpr int kDefaultDpi = 96;
inline constexpr int kStatusBarHeight = 25;

// pixels at 96 dots per inch, scaled to dpi and rounded to the nearest pixel.
int ScaleForDpi(int pixels, int dpi);
// The status bar's height on a window of dpi dots per inch: 25 pixels at 96.
int StatusBarHeight(int dpi);
// The status bar along the bottom StatusBarHeight(dpi) pixels of the dialog's window rectangle.
Rect StatusBarArea(const Rect& window, int dpi);
// Right edges of the two panes: a quarter of the width, and the width in thirds times three.
std::vector<int> StatusPaneEdges(int windowWidth);
// Where the progress bar of an extraction goes: over the bottom twentieth of the dialog's client
// area, from 26% of its width to its right edge.
Rect ProgressBarArea(const Rect& client);

}  // namespace vocell
