// Select, the card status refresh and the selection probe of the main dialog.

#include "app/CardType.h"
#include "app/DriveSelectionDialog.h"
#include "app/PromptVersion.h"
#include "app/UtilityDialog.h"
#include "common/Messages.h"
#include "devices/DeviceDiscovery.h"
#include "operations/OperationHost.h"

namespace vocell {

void UtilityDialog::RefreshCardStatus() {
    OnDeviceChange(devices::DeviceEvent::Refresh);
    const bool noDrive = slots_.selectedLetterCode() == devices::kNoDrive;
    SetStatusPane(operations::kActivityPane, noDrive ? text::kInsertCard : text::kReady);
    const std::string cardRoot = slots_.cardRoot();
    if (noDrive || cardRoot.empty()) {
        fields_.promptVersionText.clear();
        Push();
        return;
    }
    auto versionFile = fileSystem_.OpenRead(cardRoot + std::string(kSlot0VersionFile));
    if (!versionFile.ok()) {
        fields_.promptVersionText.clear();  // shown by the caller's next push
        return;
    }
    fields_.promptVersionText = FormatVersion(ReadVersionLine(*versionFile.value()));
    Push();
}

void UtilityDialog::ProbeSelectedDevice() {
    devices::ProbeSelectedDevice(slots_, volumes_, *this, volumeLabel_);
}

void UtilityDialog::ClearCardFields() {
    fields_.deviceText.clear();
    fields_.statusText = text::kCardNotSelected;
    fields_.promptVersionText.clear();
    fields_.cardTypeText.clear();
    selectedCardRoot_.clear();
    Push();
    desktop_.Repaint();
}

void UtilityDialog::SelectCard() {
    DriveSelectionDialog chooser(desktop_, volumes_);
    chooser.slotRoots = slots_.slotRoots;
    if (!chooser.DoModal()) {
        Push();
        desktop_.Repaint();
        return;
    }
    if (chooser.selectedIndex == devices::kNoItem) return ClearCardFields();
    slots_.deviceIndex = chooser.selectedIndex;
    if (chooser.noneMarker == text::kNoneEntry) return;

    fields_.statusText = text::kReady;
    RefreshCardStatus();
    ProbeSelectedDevice();
    const std::string cardRoot = slots_.cardRoot();
    // The chosen drive may have gone meanwhile: no index outside the slots is ever used.
    if (cardRoot.empty() || volumes_.OpenRootForReading(cardRoot).error == FsError::NotReady) {
        return ClearCardFields();
    }
    IdentifySelectedCard();
}

void UtilityDialog::IdentifySelectedCard() {
    const std::string cardRoot = slots_.cardRoot();
    auto geometry = volumes_.ClusterGeometryOf(cardRoot);
    const std::uint64_t capacity = geometry ? std::uint64_t{geometry->sectorsPerCluster} *
                                                  geometry->bytesPerSector * geometry->totalClusters
                                            : 0;
    const std::uint64_t sizeMB = CapacityInMegabytes(capacity);
    slotSizesMB_[static_cast<std::size_t>(slots_.deviceIndex)] = static_cast<std::uint32_t>(sizeMB);
    fields_.cardTypeText = CardTypeText(sizeMB);
    fields_.deviceText = devices::DeviceText(cardRoot, volumeLabel_);
    if (fields_.promptVersionText.empty()) fields_.promptVersionText = text::kNoPrompts;
    selectedCardRoot_ = cardRoot;
    Push();
    desktop_.Repaint();
}

}  // namespace vocell
