#pragma once
// The main dialog as the card operations see it: the members they read and write, the few things
// only the dialog itself can do, and the system services.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "devices/DeviceSlots.h"
#include "operations/OperationDesktop.h"
#include "operations/ScreenPacer.h"
#include "platform/FileSystem.h"
#include "platform/Volumes.h"

namespace vocell::operations {

// The four text fields of the main dialog.
struct CardFields {
    std::string statusText;
    std::string deviceText;
    std::string cardTypeText;
    std::string promptVersionText;
    bool operator==(const CardFields&) const = default;
};

// The dialog's members that describe the selected card.
struct DialogState {
    CardFields fields;
    devices::DeviceSlots slots;
    std::array<std::uint32_t, devices::kSlotCount> slotSizesMB{};
    std::string volumeLabel;
    // The drive root the user chose with Select; empty until a card has been selected.
    std::string selectedCardRoot;
    // The medium that was in that drive at Select: an operation acts on it alone.
    std::optional<MediumIdentity> selectedMedium;
    // Whatever an operation writes onto the card is read back from the medium and compared.
    bool verifyWrites = true;
    // What the pace of a long operation's drawing is measured by: the steady clock, unless set.
    ScreenPacer::Clock screenClock;
};

// The dialog's clock for a long operation's drawing and estimates.
inline ScreenPacer::Clock ClockOf(const DialogState& state) {
    if (state.screenClock) return state.screenClock;
    return [] { return std::chrono::steady_clock::now(); };
}

// The pacer of one long operation, on the dialog's clock.
inline ScreenPacer PacerFor(const DialogState& state) { return ScreenPacer(ClockOf(state)); }

inline constexpr int kActivityPane = 0;
inline constexpr int kDetailPane = 1;

// What only the dialog can do for an operation.
class DialogView {
public:
    virtual ~DialogView() = default;
    // Rescans the drives, sets pane 0 and reads the card's prompt version.
    virtual void RefreshCardStatus() = 0;
    // Rebuilds the device slots from the drives present and pushes.
    virtual void RescanDevices() = 0;
    // Shows the members in their controls and repaints at once.
    virtual void Push() = 0;
    // Sets a status-bar pane; nothing when the dialog has no status bar.
    virtual void SetStatusPane(int pane, std::string_view text) = 0;
    // Where an extraction's progress bar goes in the dialog's window; empty without one.
    [[nodiscard]] virtual Rect ProgressBarArea() const = 0;
};

struct OperationContext {
    OperationDesktop& desktop;
    Volumes& volumes;
    FileSystem& fileSystem;
    DialogState& state;
    DialogView& dialog;
};

}  // namespace vocell::operations
