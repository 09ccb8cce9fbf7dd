#pragma once
// The main dialog: the selected card's members, the status bar, and a handler for every message
// and button. A window system draws it (Desktop) and hands it what the user did.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "archive/ArchiveState.h"
#include "devices/DeviceDiscovery.h"
#include "devices/DeviceSlots.h"
#include "devices/SelectionProbe.h"
#include "operations/OperationHost.h"

namespace vocell {

class UtilityDialog final : private devices::SelectionHost, private operations::OperationHost {
public:
    UtilityDialog(Desktop& desktop, Volumes& volumes, FileSystem& fileSystem);
    ~UtilityDialog() override;
    UtilityDialog(const UtilityDialog&) = delete;
    UtilityDialog& operator=(const UtilityDialog&) = delete;

    // Once, after the controls exist and before the dialog is first shown.
    void OnInitDialog();
    // The message map.
    void OnCommand(int controlId);
    void OnSysCommand(std::uint32_t command);
    bool OnDeviceChange(devices::DeviceEvent event);
    // The shell's AutoPlay query (the registered "QueryCancelAutoPlay" message), answered before
    // the message map sees it: the drives are rescanned and AutoPlay is cancelled.
    long OnQueryCancelAutoPlay();

    void SelectCard();
    void ProbeSelectedDevice();
    void RefreshCardStatus() override;
    void OnOK();
    void OnCancel();

    [[nodiscard]] const operations::CardFields& cardFields() const { return fields_; }
    [[nodiscard]] const devices::DeviceSlots& deviceSlots() const { return slots_; }
    [[nodiscard]] const std::array<std::uint32_t, devices::kSlotCount>& slotSizesMB() const {
        return slotSizesMB_;
    }
    [[nodiscard]] const std::string& currentVolumeLabel() const { return volumeLabel_; }
    [[nodiscard]] const archive::ArchiveState& archive() const { return archiveState_; }
    [[nodiscard]] DialogFields shownFields() const;

private:
    class Progress;

    // SelectionHost and OperationHost.
    void Pull() override;
    void Push() override;
    void ClearCardTypeAndVersion() override;
    void ShowMessage(std::string_view text) override;
    Desktop& desktop() override { return desktop_; }
    Volumes& volumes() override { return volumes_; }
    FileSystem& fileSystem() override { return fileSystem_; }
    archive::ArchiveState& archiveState() override { return archiveState_; }
    devices::DeviceSlots& Slots() override { return slots_; }
    operations::CardFields& Fields() override { return fields_; }
    std::string& VolumeLabel() override { return volumeLabel_; }
    const std::string& SelectedCardRoot() const override { return selectedCardRoot_; }
    bool& BackupHeaderWritten() override { return backupHeaderWritten_; }
    void RescanDevices() override;
    void Repaint() override;
    void SetStatusPane(int pane, std::string_view text) override;
    archive::ExtractionListener& ExtractionProgress() override;
    archive::ArchiveWriterListener& BackupProgress() override;

    void ClearCardFields();
    void CheckPromptPackage();
    void IdentifySelectedCard();

    Desktop& desktop_;
    Volumes& volumes_;
    FileSystem& fileSystem_;
    bool statusBarCreated_ = false;
    devices::DeviceSlots slots_;
    std::array<std::uint32_t, devices::kSlotCount> slotSizesMB_{};
    operations::CardFields fields_;
    std::string volumeLabel_;
    std::string selectedCardRoot_;
    bool backupHeaderWritten_ = false;
    archive::ArchiveState archiveState_;
    std::unique_ptr<Progress> progress_;
};

}  // namespace vocell
