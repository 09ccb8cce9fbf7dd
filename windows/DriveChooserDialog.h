#pragma once
// The drive chooser (template 148): a drop-down list of the entries the dialog built; OK reports
// the entry then selected.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace vocell::win32 {

struct DriveChooserData {
    const std::vector<std::string>& entries;
    int selectedIndex = -1;  // in: the entry selected at first; out after OK, -1 for none
};

// The entry chosen with OK (-1 when none was selected); nothing for Cancel or the close box.
std::optional<int> RunDriveChooserDialog(HWND owner, const std::vector<std::string>& entries,
                                         int selectedIndex);

}  // namespace vocell::win32
