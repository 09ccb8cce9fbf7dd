#include "app/UtilityDialog.h"

#include "app/DialogLayout.h"
#include "common/Messages.h"
#include "operations/CardOperations.h"
#include "operations/InstallFolders.h"

namespace vocell {

UtilityDialog::UtilityDialog(WindowDesktop& desktop, Volumes& volumes, FileSystem& fileSystem)
    : desktop_(desktop), window_(&desktop), volumes_(volumes), fileSystem_(fileSystem) {}

UtilityDialog::UtilityDialog(Desktop& desktop, Volumes& volumes, FileSystem& fileSystem)
    : desktop_(desktop), window_(nullptr), volumes_(volumes), fileSystem_(fileSystem) {}

void UtilityDialog::OnInitDialog() {
    Push();
    statusBarCreated_ = window_ == nullptr ||
                        window_->CreateStatusBar(StatusBarArea(window_->WindowRect(), window_->WindowDpi()));
    if (!statusBarCreated_) {
        desktop_.ShowMessageBox(std::string(text::kStatusBarNotCreated), MessageButtons::Ok,
                                MessageKind::Notice);
    } else {
        LayOutStatusBar();
        SetStatusPane(operations::kDetailPane, "");
    }
    RefreshCardStatus();
    SetStatusPane(operations::kActivityPane,
                  state_.slots.selectedLetterCode() == devices::kNoDrive ? text::kInsertCard : text::kReady);
    CheckPromptPackage();
    // The user must press Select before the card's data is shown.
    state_.fields = {std::string(text::kCardNotSelected), {}, {}, {}};
    Push();
    desktop_.Repaint();
}

void UtilityDialog::LayOutStatusBar() {
    if (window_ == nullptr || !statusBarCreated_) return;
    window_->LayoutStatusBar(StatusPaneEdges(window_->WindowRect().width()),
                             StatusBarHeight(window_->WindowDpi()));
}

void UtilityDialog::OnDpiChanged() { LayOutStatusBar(); }

void UtilityDialog::CheckPromptPackage() {
    auto package = fileSystem_.OpenRead(std::string(operations::kPromptPackage));
    if (!package.ok() &&
        (package.status().error == FsError::NotFound || package.status().error == FsError::PathNotFound)) {
        desktop_.ShowMessageBox(std::string(text::kReinstallApplication), MessageButtons::Ok,
                                MessageKind::Notice);
        OnOK();
    }
}

operations::Outcome UtilityDialog::Run(operations::Outcome (*operation)(operations::OperationContext&)) {
    operations::OperationContext context{desktop_, volumes_, fileSystem_, state_, *this};
    operationRunning_ = true;
    struct Ended {
        bool& running;
        ~Ended() { running = false; }
    } ended{operationRunning_};
    return operation(context);
}

operations::Outcome UtilityDialog::OnBackup() { return Run(operations::OnBackup); }
operations::Outcome UtilityDialog::OnRestore() { return Run(operations::OnRestore); }
operations::Outcome UtilityDialog::OnUpdatePrompts() { return Run(operations::OnUpdatePrompts); }
operations::Outcome UtilityDialog::OnInitializeCard() { return Run(operations::OnInitializeCard); }

void UtilityDialog::OnCommand(int controlId) {
    // While an operation lets its window answer the system, a command that reaches the dialog
    // (a close request, a posted click) is dropped: nothing starts inside the operation and
    // nothing ends it half-way.
    if (operationRunning_) return;
    switch (controlId) {
        case ControlId::Select: SelectCard(); break;
        case ControlId::Backup: lastOutcome_ = OnBackup(); break;
        case ControlId::Restore: lastOutcome_ = OnRestore(); break;
        case ControlId::Update: lastOutcome_ = OnUpdatePrompts(); break;
        case ControlId::Initialize: lastOutcome_ = OnInitializeCard(); break;
        case ControlId::DeviceList: ProbeSelectedDevice(); break;
        case ControlId::Ok: OnOK(); break;
        case ControlId::Cancel: OnCancel(); break;
        default: break;
    }
}

void UtilityDialog::OnSysCommand(std::uint32_t command) {
    if (operationRunning_) return;
    if (window_ != nullptr && IsAboutCommand(command)) window_->ShowAbout();
}

bool UtilityDialog::OnDeviceChange(devices::DeviceEvent event) {
    if (!devices::RefreshDeviceList(state_.slots, volumes_, event)) return false;
    Push();
    return true;
}

long UtilityDialog::OnQueryCancelAutoPlay() {
    OnDeviceChange(devices::DeviceEvent::Refresh);
    return kCancelAutoPlay;
}

void UtilityDialog::OnOK() {
    Pull();
    desktop_.EndDialog(true);
}

void UtilityDialog::OnCancel() { desktop_.EndDialog(false); }

DialogFields UtilityDialog::shownFields() const {
    return {state_.fields, state_.slots.deviceList.items(), state_.slots.deviceList.selection()};
}

Rect UtilityDialog::ProgressBarArea() const {
    return window_ != nullptr ? vocell::ProgressBarArea(window_->ClientRect()) : Rect{};
}

void UtilityDialog::Push() {
    state_.slots.deviceList.Select(state_.slots.deviceIndex);
    desktop_.Push(shownFields());
}

void UtilityDialog::Pull() { state_.slots.deviceIndex = state_.slots.deviceList.selection(); }

void UtilityDialog::RescanDevices() { OnDeviceChange(devices::DeviceEvent::Refresh); }

void UtilityDialog::SetStatusPane(int pane, std::string_view text) {
    if (statusBarCreated_) desktop_.SetStatusPane(pane, std::string(text));
}

void UtilityDialog::ClearCardTypeAndVersion() {
    state_.fields.promptVersionText.clear();
    state_.fields.cardTypeText.clear();
}

void UtilityDialog::ShowMessage(std::string_view text) {
    desktop_.ShowMessageBox(std::string(text), MessageButtons::Ok, MessageKind::Notice);
}

}  // namespace vocell
