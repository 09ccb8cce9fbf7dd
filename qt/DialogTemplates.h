#pragma once
// The dialog templates of the utility's windows: the main dialog (147), the drive chooser (148)
// and the about box (100), with every control at its place in dialog units.

#include <span>
#include <string_view>

namespace vocell::qt {

enum class ControlKind {
    GroupBox,
    PushButton,
    DefaultPushButton,
    Label,
    WrappingLabel,
    ReadOnlyEdit,
    CentredReadOnlyEdit,
    DropDownList,
    Icon,
};

// A control without an id of its own (a label, a group box).
inline constexpr int kStaticId = -1;

struct TemplateControl {
    int id;
    ControlKind kind;
    std::string_view text;
    int x, y, width, height;
    bool hidden = false;
};

struct DialogTemplate {
    int id;
    std::string_view caption;
    int width, height;
    std::span<const TemplateControl> controls;
};

const DialogTemplate& MainDialogTemplate();
const DialogTemplate& DriveChooserTemplate();
const DialogTemplate& AboutBoxTemplate();

}  // namespace vocell::qt
