// The dialog templates the Qt program reads from the resource script at build time: every control
// of the script, in its order, with its id, kind, place, size and visibility. The Windows program
// is built from the same script, so this is the one check of the templates' contents.

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "app/DialogLayout.h"
#include "common/Messages.h"
#include "qt/DialogTemplates.h"

namespace vocell::qt {
namespace {

using K = ControlKind;

struct Expected {
    int id;
    ControlKind kind;
    std::string_view textStart;
    int x, y, width, height;
    bool hidden = false;
};

void ExpectControls(const DialogTemplate& dialog, const std::vector<Expected>& expected) {
    ASSERT_EQ(dialog.controls.size(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index) {
        const TemplateControl& control = dialog.controls[index];
        const Expected& want = expected[index];
        SCOPED_TRACE(testing::Message() << "control " << index << " \"" << control.text << "\"");
        EXPECT_EQ(control.id, want.id);
        EXPECT_EQ(control.kind, want.kind);
        EXPECT_TRUE(control.text.starts_with(want.textStart)) << "expected to start with " << want.textStart;
        if (want.kind != K::WrappingLabel) {
            EXPECT_EQ(control.text, want.textStart);
        }
        EXPECT_EQ(control.x, want.x);
        EXPECT_EQ(control.y, want.y);
        EXPECT_EQ(control.width, want.width);
        EXPECT_EQ(control.height, want.height);
        EXPECT_EQ(control.hidden, want.hidden);
    }
}

TEST(DialogTemplates, MainDialogHasTheFieldsTheFourGroupsAndTheHiddenListAndExit) {
    const DialogTemplate& main = MainDialogTemplate();
    EXPECT_EQ(main.id, 147);
    EXPECT_EQ(main.caption, text::kApplicationTitle);
    EXPECT_EQ(main.width, 315);
    EXPECT_EQ(main.height, 212);
    ExpectControls(main, {
                             {kStaticId, K::GroupBox, "Vocell Card", 8, 3, 300, 50},
                             {ControlId::Select, K::PushButton, "Select", 18, 22, 45, 14},
                             {kStaticId, K::Label, "Status", 74, 18, 21, 8},
                             {ControlId::Status, K::ReadOnlyEdit, "", 102, 16, 80, 12},
                             {kStaticId, K::Label, "Device", 74, 34, 24, 8},
                             {ControlId::Device, K::ReadOnlyEdit, "", 102, 32, 80, 12},
                             {kStaticId, K::Label, "Type", 194, 18, 17, 8},
                             {ControlId::CardType, K::ReadOnlyEdit, "", 215, 16, 80, 12},
                             {kStaticId, K::Label, "Prompt Version", 194, 34, 48, 8},
                             {ControlId::PromptVersion, K::CentredReadOnlyEdit, "", 245, 32, 50, 12},
                             {kStaticId, K::GroupBox, "Messages", 8, 56, 300, 59},
                             {ControlId::Backup, K::PushButton, "Backup", 18, 68, 45, 14},
                             {kStaticId, K::WrappingLabel, "Save all messages", 74, 67, 230, 20},
                             {ControlId::Restore, K::PushButton, "Restore", 18, 92, 45, 14},
                             {kStaticId, K::WrappingLabel, "Restore all messages", 74, 91, 230, 20},
                             {kStaticId, K::GroupBox, "Prompts", 8, 118, 300, 35},
                             {ControlId::Update, K::PushButton, "Update", 18, 130, 45, 14},
                             {kStaticId, K::WrappingLabel, "Replace the system prompts", 74, 129, 230, 20},
                             {kStaticId, K::GroupBox, "File System", 8, 156, 300, 35},
                             {ControlId::Initialize, K::PushButton, "Initialize", 18, 168, 45, 14},
                             {kStaticId, K::WrappingLabel, "Re-format the card", 74, 167, 230, 20},
                             {ControlId::DeviceList, K::DropDownList, "", 245, 195, 60, 80, true},
                             {ControlId::Ok, K::PushButton, "Exit", 190, 195, 45, 14, true},
                         });
}

TEST(DialogTemplates, ChooserHasTheDeviceListOkAndCancel) {
    const DialogTemplate& chooser = DriveChooserTemplate();
    EXPECT_EQ(chooser.id, 148);
    EXPECT_EQ(chooser.caption, "Select Vocell Card");
    EXPECT_EQ(chooser.width, 222);
    EXPECT_EQ(chooser.height, 60);
    ExpectControls(chooser, {
                                {kStaticId, K::Label, "Device", 32, 19, 24, 8},
                                {ControlId::DeviceList, K::DropDownList, "", 60, 16, 128, 113},
                                {ControlId::Ok, K::DefaultPushButton, "OK", 58, 39, 50, 14},
                                {ControlId::Cancel, K::PushButton, "Cancel", 112, 39, 50, 14},
                            });
}

TEST(DialogTemplates, AboutBoxHasTheIconTheVersionAndOk) {
    const DialogTemplate& about = AboutBoxTemplate();
    EXPECT_EQ(about.id, 100);
    EXPECT_EQ(about.caption, "About Harlo Solvane Vocell Utility");
    EXPECT_EQ(about.width, 217);
    EXPECT_EQ(about.height, 55);
    ExpectControls(about, {
                              {kStaticId, K::Icon, "", 11, 17, 20, 20},
                              {kStaticId, K::Label, text::kAboutVersion, 40, 10, 119, 8},
                              {ControlId::Ok, K::DefaultPushButton, "OK", 178, 7, 32, 14},
                          });
}

}  // namespace
}  // namespace vocell::qt
