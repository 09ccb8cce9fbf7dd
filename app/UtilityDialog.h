#pragma once
// The main dialog: the selected card's members, the status bar, and a handler for every message
// and button. A window system draws it (WindowDesktop), or a terminal shows it (Desktop), and
// hands it what the user did.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "app/Desktop.h"
#include "devices/DeviceDiscovery.h"
#include "devices/SelectionProbe.h"
#include "operations/OperationContext.h"
#include "operations/Outcome.h"

namespace vocell {

class UtilityDialog final : private devices::SelectionHost, private operations::DialogView {
public:
    UtilityDialog(WindowDesktop& desktop, Volumes& volumes, FileSystem& fileSystem);
    // Without a window: no about box, and the status panes and progress have no geometry.
    UtilityDialog(Desktop& desktop, Volumes& volumes, FileSystem& fileSystem);
    UtilityDialog(const UtilityDialog&) = delete;
    UtilityDialog& operator=(const UtilityDialog&) = delete;

    // Once, after the controls exist and before the dialog is first shown.
    void OnInitDialog();
    // The message map: a button or menu command, a system command, a device notification.
    void OnCommand(int controlId);
    void OnSysCommand(std::uint32_t command);
    bool OnDeviceChange(devices::DeviceEvent event);
    // The shell's AutoPlay query (the registered "QueryCancelAutoPlay" message), answered before
    // the message map sees it: the drives are rescanned and AutoPlay is cancelled.
    long OnQueryCancelAutoPlay();
    // The window has moved to a screen of other dots per inch and taken its new size: the status
    // bar's panes and height follow.
    void OnDpiChanged();

    // The four card operations; OnCommand runs them for their buttons and keeps their outcome.
    operations::Outcome OnBackup();
    operations::Outcome OnRestore();
    operations::Outcome OnUpdatePrompts();
    operations::Outcome OnInitializeCard();

    void SelectCard();
    // Whether a restore, update or initialize reads what it wrote back from the card (it does
    // unless told otherwise).
    void SetVerifyWrites(bool verify) { state_.verifyWrites = verify; }
    // What paces a long operation's drawing (the steady clock unless set).
    void SetScreenClock(operations::ScreenPacer::Clock clock) { state_.screenClock = std::move(clock); }
    // Whether one of the four card operations is running: the window must then not be closed,
    // and drives that change wait for its end.
    [[nodiscard]] bool operationRunning() const { return operationRunning_; }
    void ProbeSelectedDevice();
    void RefreshCardStatus() override;
    void OnOK();
    void OnCancel();

    [[nodiscard]] const operations::CardFields& cardFields() const { return state_.fields; }
    // Whether Select has chosen a card that operations may act on.
    [[nodiscard]] bool cardSelected() const { return !state_.selectedCardRoot.empty(); }
    [[nodiscard]] const devices::DeviceSlots& deviceSlots() const { return state_.slots; }
    [[nodiscard]] const std::array<std::uint32_t, devices::kSlotCount>& slotSizesMB() const {
        return state_.slotSizesMB;
    }
    [[nodiscard]] const std::string& currentVolumeLabel() const { return state_.volumeLabel; }
    // How the operation of the last button pressed ended; nothing before the first.
    [[nodiscard]] const std::optional<operations::Outcome>& lastOutcome() const { return lastOutcome_; }
    [[nodiscard]] DialogFields shownFields() const;

private:
    // SelectionHost and DialogView.
    void Pull() override;
    void Push() override;
    void ClearCardTypeAndVersion() override;
    void ShowMessage(std::string_view text) override;
    void RescanDevices() override;
    void SetStatusPane(int pane, std::string_view text) override;
    [[nodiscard]] Rect ProgressBarArea() const override;

    operations::Outcome Run(operations::Outcome (*operation)(operations::OperationContext&));
    void ClearCardFields();
    void CheckPromptPackage();
    // The status bar's panes and height for the window's width and dots per inch.
    void LayOutStatusBar();
    void IdentifySelectedCard();

    Desktop& desktop_;
    WindowDesktop* window_;
    Volumes& volumes_;
    FileSystem& fileSystem_;
    bool statusBarCreated_ = false;
    operations::DialogState state_;
    std::optional<operations::Outcome> lastOutcome_;
    bool operationRunning_ = false;
};

}  // namespace vocell
