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
    void beginProgress() override {
        dialog_.desktop_.createProgressBar(ProgressBarArea(dialog_.desktop_.clientRect()));
    }
    void stepProgress() override { dialog_.desktop_.stepProgressBar(); }
    void endProgress() override { dialog_.desktop_.removeProgressBar(); }
    void showMessage(const std::string& text) override {
        dialog_.desktop_.messageBox(text, MessageButtons::Ok);
    }
    void showStoredPath(std::string_view storedPath) override {
        dialog_.setStatusPane(operations::kDetailPane, storedPath);
    }

private:
    UtilityDialog& dialog_;
};

UtilityDialog::UtilityDialog(Desktop& desktop, Volumes& volumes, FileSystem& fileSystem)
    : desktop_(desktop), volumes_(volumes), fileSystem_(fileSystem),
      progress_(std::make_unique<Progress>(*this)) {}

UtilityDialog::~UtilityDialog() = default;

void UtilityDialog::OnInitDialog() {
    push();
    const Rect window = desktop_.windowRect();
    statusBarCreated_ = desktop_.createStatusBar(StatusBarArea(window));
    if (!statusBarCreated_) {
        desktop_.messageBox(std::string(text::kStatusBarNotCreated), MessageButtons::Ok);
    } else {
        desktop_.layoutStatusBar(StatusPaneEdges(desktop_.windowRect().width()), kStatusBarHeight);
        setStatusPane(operations::kDetailPane, "");
    }
    RefreshCardStatus();
    setStatusPane(operations::kActivityPane, slots_.selectedLetterCode() == devices::kNoDrive
                                                 ? text::kInsertCard
                                                 : text::kReady);
    checkPromptPackage();
    fields_.statusText = text::kCardNotSelected;
    fields_.deviceText.clear();
    fields_.promptVersionText.clear();
    fields_.cardTypeText.clear();
    push();
    desktop_.repaint();
}

void UtilityDialog::checkPromptPackage() {
    auto package = fileSystem_.openRead(std::string(operations::kPromptPackage));
    if (!package.ok() && (package.status().error == FsError::NotFound ||
                          package.status().error == FsError::PathNotFound)) {
        desktop_.messageBox(std::string(text::kReinstallApplication), MessageButtons::Ok);
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
    if (IsAboutCommand(command)) desktop_.showAbout();
}

bool UtilityDialog::OnDeviceChange(std::uint32_t eventCode) {
    if (!devices::RefreshDeviceList(slots_, volumes_, eventCode)) return false;
    push();
    return true;
}

std::optional<long> UtilityDialog::HookMessage(std::uint32_t message, std::uint32_t autoPlayMessageId) {
    if (!devices::IsQueryCancelAutoPlay(message, autoPlayMessageId)) return std::nullopt;
    OnDeviceChange(devices::kDirectRefresh);
    return devices::kCancelAutoPlay;
}

void UtilityDialog::OnOK() {
    pull();
    desktop_.endDialog(true);
}

void UtilityDialog::OnCancel() { desktop_.endDialog(false); }

DialogFields UtilityDialog::shownFields() const {
    return {fields_.statusText, fields_.deviceText,   fields_.cardTypeText,
            fields_.promptVersionText, slots_.deviceList.items(), slots_.deviceList.selection()};
}

void UtilityDialog::push() {
    slots_.deviceList.select(slots_.deviceIndex);
    desktop_.push(shownFields());
}

void UtilityDialog::pull() { slots_.deviceIndex = slots_.deviceList.selection(); }

void UtilityDialog::repaint() { desktop_.repaint(); }

void UtilityDialog::rescanDevices() { OnDeviceChange(devices::kDirectRefresh); }

void UtilityDialog::setStatusPane(int pane, std::string_view text) {
    if (statusBarCreated_) desktop_.setStatusPane(pane, std::string(text));
}

void UtilityDialog::clearCardTypeAndVersion() {
    fields_.promptVersionText.clear();
    fields_.cardTypeText.clear();
}

void UtilityDialog::showMessage(std::string_view text) {
    desktop_.messageBox(std::string(text), MessageButtons::Ok);
}

archive::ExtractionListener& UtilityDialog::extractionProgress() { return *progress_; }
archive::ArchiveWriterListener& UtilityDialog::backupProgress() { return *progress_; }

}  // namespace vocell
