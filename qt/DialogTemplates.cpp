#include "qt/DialogTemplates.h"

#include <array>

#include "app/DialogLayout.h"
#include "common/Messages.h"

namespace vocell::qt {
namespace {

using K = ControlKind;

constexpr std::array kMainControls{
    TemplateControl{kStaticId, K::GroupBox, "Vocell Card", 8, 3, 300, 50},
    TemplateControl{ControlId::Select, K::PushButton, "Select", 18, 22, 45, 14},
    TemplateControl{kStaticId, K::Label, "Status", 74, 18, 21, 8},
    TemplateControl{ControlId::Status, K::ReadOnlyEdit, "", 102, 16, 80, 12},
    TemplateControl{kStaticId, K::Label, "Device", 74, 34, 24, 8},
    TemplateControl{ControlId::Device, K::ReadOnlyEdit, "", 102, 32, 80, 12},
    TemplateControl{kStaticId, K::Label, "Type", 194, 18, 17, 8},
    TemplateControl{ControlId::CardType, K::ReadOnlyEdit, "", 215, 16, 80, 12},
    TemplateControl{kStaticId, K::Label, "Prompt Version", 194, 34, 48, 8},
    TemplateControl{ControlId::PromptVersion, K::CentredReadOnlyEdit, "", 245, 32, 50, 12},
    TemplateControl{kStaticId, K::GroupBox, "Messages", 8, 56, 300, 59},
    TemplateControl{ControlId::Backup, K::PushButton, "Backup", 18, 68, 45, 14},
    TemplateControl{kStaticId, K::WrappingLabel,
                    "Save all messages, greetings, recorded names, and system prompts to a backup file. The "
                    "Caller-ID information for messages will be lost.",
                    74, 67, 230, 20},
    TemplateControl{ControlId::Restore, K::PushButton, "Restore", 18, 92, 45, 14},
    TemplateControl{
        kStaticId, K::WrappingLabel,
        "Restore all messages, greetings, recorded names, and system prompts from a backup file. All "
        "data currently on the card will be lost",
        74, 91, 230, 20},
    TemplateControl{kStaticId, K::GroupBox, "Prompts", 8, 118, 300, 35},
    TemplateControl{ControlId::Update, K::PushButton, "Update", 18, 130, 45, 14},
    TemplateControl{
        kStaticId, K::WrappingLabel,
        "Replace the system prompts with a newer version. The messages, greetings, and recorded names "
        "will not be affected.",
        74, 129, 230, 20},
    TemplateControl{kStaticId, K::GroupBox, "File System", 8, 156, 300, 35},
    TemplateControl{ControlId::Initialize, K::PushButton, "Initialize", 18, 168, 45, 14},
    TemplateControl{
        kStaticId, K::WrappingLabel,
        "Re-format the card and install the system prompts. All data currently on the card will be "
        "lost.",
        74, 167, 230, 20},
    // Never shown: the device list the dialog keeps its drive roots in, and the "Exit" button
    // that Enter reaches.
    TemplateControl{ControlId::DeviceList, K::DropDownList, "", 0, 0, 0, 0, true},
    TemplateControl{ControlId::Ok, K::DefaultPushButton, "Exit", 0, 0, 0, 0, true},
};

constexpr std::array kChooserControls{
    TemplateControl{kStaticId, K::Label, "Device", 32, 19, 24, 8},
    TemplateControl{ControlId::DeviceList, K::DropDownList, "", 60, 16, 128, 113},
    TemplateControl{ControlId::Ok, K::DefaultPushButton, "OK", 58, 39, 50, 14},
    TemplateControl{ControlId::Cancel, K::PushButton, "Cancel", 112, 39, 50, 14},
};

constexpr int kAboutIconId = 128;
constexpr std::array kAboutControls{
    TemplateControl{kAboutIconId, K::Icon, "", 11, 17, 0, 0},
    TemplateControl{kStaticId, K::Label, text::kAboutVersion, 40, 10, 119, 8},
    TemplateControl{ControlId::Ok, K::DefaultPushButton, "OK", 178, 7, 32, 14},
};

constexpr DialogTemplate kMainDialog{147, text::kApplicationTitle, 315, 212, kMainControls};
constexpr DialogTemplate kDriveChooser{148, "Select Vocell Card", 222, 60, kChooserControls};
constexpr DialogTemplate kAboutBox{100, "About Harlo Solvane Vocell Utility", 217, 55, kAboutControls};

}  // namespace

const DialogTemplate& MainDialogTemplate() { return kMainDialog; }
const DialogTemplate& DriveChooserTemplate() { return kDriveChooser; }
const DialogTemplate& AboutBoxTemplate() { return kAboutBox; }

}  // namespace vocell::qt
