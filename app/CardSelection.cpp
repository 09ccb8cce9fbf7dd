// Select, the card status refresh and the selection probe of the main dialog.

#include "app/CardType.h"
#include "app/DriveSelectionDialog.h"
#include "app/PromptVersion.h"
#include "app/UtilityDialog.h"
#include "archive/InterruptedRestore.h"
#include "common/Messages.h"
#include "devices/DeviceDiscovery.h"

namespace vocell {

void UtilityDialog::RefreshCardStatus() {
    OnDeviceChange(devices::DeviceEvent::Refresh);
    const bool noDrive = state_.slots.selectedLetterCode() == devices::kNoDrive;
    SetStatusPane(operations::kActivityPane, noDrive ? text::kInsertCard : text::kReady);
    const std::string cardRoot = state_.slots.cardRoot();
    if (noDrive || cardRoot.empty()) {
        state_.fields.promptVersionText.clear();
        Push();
        return;
    }
    std::optional<std::string> version = ReadCardPromptVersion(fileSystem_, cardRoot);
    state_.fields.promptVersionText = version.value_or("");
    // A card without a version file is not pushed here: the caller's next push shows it.
    if (version) Push();
}

void UtilityDialog::ProbeSelectedDevice() {
    devices::ProbeSelectedDevice(state_.slots, volumes_, *this, state_.volumeLabel);
}

void UtilityDialog::ClearCardFields() {
    state_.fields.deviceText.clear();
    state_.fields.statusText = text::kCardNotSelected;
    state_.fields.promptVersionText.clear();
    state_.fields.cardTypeText.clear();
    state_.selectedCardRoot.clear();
    state_.selectedMedium.reset();
    Push();
    desktop_.Repaint();
}

void UtilityDialog::SelectCard() {
    DriveSelectionDialog chooser(desktop_, volumes_);
    chooser.slotRoots = state_.slots.slotRoots;
    if (!chooser.DoModal()) {
        Push();
        desktop_.Repaint();
        return;
    }
    if (chooser.selectedIndex == devices::kNoItem) return ClearCardFields();
    state_.slots.deviceIndex = chooser.selectedIndex;
    if (chooser.noneMarker == text::kNoneEntry) return;

    state_.fields.statusText = text::kReady;
    RefreshCardStatus();
    ProbeSelectedDevice();
    const std::string cardRoot = state_.slots.cardRoot();
    // The chosen drive may have gone meanwhile: no index outside the slots is ever used.
    if (cardRoot.empty() || volumes_.OpenRootForReading(cardRoot).error == FsError::NotReady) {
        return ClearCardFields();
    }
    IdentifySelectedCard();
}

void UtilityDialog::IdentifySelectedCard() {
    const std::string cardRoot = state_.slots.cardRoot();
    auto geometry = volumes_.ClusterGeometryOf(cardRoot);
    const std::uint64_t capacity = geometry ? std::uint64_t{geometry->sectorsPerCluster} *
                                                  geometry->bytesPerSector * geometry->totalClusters
                                            : 0;
    const std::uint64_t sizeMB = CapacityInMegabytes(capacity);
    state_.slotSizesMB[static_cast<std::size_t>(state_.slots.deviceIndex)] =
        static_cast<std::uint32_t>(sizeMB);
    state_.fields.cardTypeText = CardTypeText(sizeMB);
    state_.fields.deviceText = devices::DeviceText(cardRoot, state_.volumeLabel);
    if (state_.fields.promptVersionText.empty()) state_.fields.promptVersionText = text::kNoPrompts;
    state_.selectedCardRoot = cardRoot;
    state_.selectedMedium = volumes_.MediumIdentityOf(cardRoot);
    Push();
    desktop_.Repaint();
    // The card holds what an interrupted restore left: neither what it was nor the backup.
    if (archive::RestoreWasInterrupted(fileSystem_, cardRoot)) {
        desktop_.ShowMessageBox(std::string(text::kRestoreInterrupted), MessageButtons::Ok,
                                MessageKind::Notice);
    }
}

}  // namespace vocell
