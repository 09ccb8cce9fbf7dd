#include "app/UtilityDialog.h"

#include "app/DialogLayout.h"
#include "common/Messages.h"
#include "devices/DeviceDiscovery.h"
#include "operations/CardOperations.h"
#include "operations/InstallFolders.h"

namespace vocell {

// The progress bar of an extraction and pane 1 during a backup.
class UtilityDialog::Progress final : public archive::ExtractionListener,
                                      public archive::ArchiveWriterListener {
public:
    explicit Progress(UtilityDialog& dialog) : dialog_(dialog) {}
    void BeginProgress() override {
        dialog_.desktop_.CreateProgressBar(ProgressBarArea(dialog_.desktop_.ClientRect()));
    }
    void StepProgress() override { dialog_.desktop_.StepProgressBar(); }
    void EndProgress() override { dialog_.desktop_.RemoveProgressBar(); }
    void ShowMessage(const std::string& text) override {
        dialog_.desktop_.ShowMessageBox(text, MessageButtons::Ok);
    }
    void ShowStoredPath(std::string_view storedPath) override {
        dialog_.SetStatusPane(operations::kDetailPane, storedPath);
    }

private:
    UtilityDialog& dialog_;
};

UtilityDialog::UtilityDialog(Desktop& desktop, Volumes& volumes, FileSystem& fileSystem)
    : desktop_(desktop),
      volumes_(volumes),
      fileSystem_(fileSystem),
      progress_(std::make_unique<Progress>(*this)) {}

UtilityDialog::~UtilityDialog() = default;

void UtilityDialog::OnInitDialog() {
    Push();
    const Rect window = desktop_.WindowRect();
    statusBarCreated_ = desktop_.CreateStatusBar(StatusBarArea(window));
    if (!statusBarCreated_) {
        desktop_.ShowMessageBox(std::string(text::kStatusBarNotCreated), MessageButtons::Ok);
    } else {
        desktop_.LayoutStatusBar(StatusPaneEdges(desktop_.WindowRect().width()), kStatusBarHeight);
        SetStatusPane(operations::kDetailPane, "");
    }
    RefreshCardStatus();
    SetStatusPane(operations::kActivityPane,
                  slots_.selectedLetterCode() == devices::kNoDrive ? text::kInsertCard : text::kReady);
    CheckPromptPackage();
    fields_.statusText = text::kCardNotSelected;
    fields_.deviceText.clear();
    fields_.promptVersionText.clear();
    fields_.cardTypeText.clear();
    Push();
    desktop_.Repaint();
}

void UtilityDialog::CheckPromptPackage() {
    auto package = fileSystem_.OpenRead(std::string(operations::kPromptPackage));
    if (!package.ok() &&
        (package.status().error == FsError::NotFound || package.status().error == FsError::PathNotFound)) {
        desktop_.ShowMessageBox(std::string(text::kReinstallApplication), MessageButtons::Ok);
        OnOK();
    }
}

void UtilityDialog::OnCommand(int controlId) {
    switch (controlId) {
        case ControlId::Select: SelectCard(); break;
        case ControlId::Backup: operations::OnBackup(*this); break;
        case ControlId::Restore: operations::OnRestore(*this); break;
        case ControlId::Update: operations::OnUpdatePrompts(*this); break;
        case ControlId::Initialize: operations::OnInitializeCard(*this); break;
        case ControlId::DeviceList: ProbeSelectedDevice(); break;
        case ControlId::Ok: OnOK(); break;
        case ControlId::Cancel: OnCancel(); break;
        default: break;
    }
}

void UtilityDialog::OnSysCommand(std::uint32_t command) {
    if (IsAboutCommand(command)) desktop_.ShowAbout();
}

bool UtilityDialog::OnDeviceChange(devices::DeviceEvent event) {
    if (!devices::RefreshDeviceList(slots_, volumes_, event)) return false;
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
    return {fields_.statusText,        fields_.deviceText,        fields_.cardTypeText,
            fields_.promptVersionText, slots_.deviceList.items(), slots_.deviceList.selection()};
}

void UtilityDialog::Push() {
    slots_.deviceList.Select(slots_.deviceIndex);
    desktop_.Push(shownFields());
}

void UtilityDialog::Pull() { slots_.deviceIndex = slots_.deviceList.selection(); }

void UtilityDialog::Repaint() { desktop_.Repaint(); }

void UtilityDialog::RescanDevices() { OnDeviceChange(devices::DeviceEvent::Refresh); }

void UtilityDialog::SetStatusPane(int pane, std::string_view text) {
    if (statusBarCreated_) desktop_.SetStatusPane(pane, std::string(text));
}

void UtilityDialog::ClearCardTypeAndVersion() {
    fields_.promptVersionText.clear();
    fields_.cardTypeText.clear();
}

void UtilityDialog::ShowMessage(std::string_view text) {
    desktop_.ShowMessageBox(std::string(text), MessageButtons::Ok);
}

archive::ExtractionListener& UtilityDialog::ExtractionProgress() { return *progress_; }
archive::ArchiveWriterListener& UtilityDialog::BackupProgress() { return *progress_; }

}  // namespace vocell
