#include "windows/DriveChooserDialog.h"

#include "windows/DialogRunner.h"
#include "windows/FieldLabels.h"
#include "windows/ResourceIds.h"

namespace vocell::win32 {
namespace {

void FillList(HWND list, const DriveChooserData& data) {
    for (std::size_t i = 0; i < data.entries.size(); ++i) {
        ::SendMessageA(list, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(data.entries[i].c_str()));
    }
    ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(data.selectedIndex), 0);
}

INT_PTR CALLBACK DriveChooserProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = DialogData<DriveChooserData>(window, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            FillList(::GetDlgItem(window, IDC_DEVICE_LIST), *data);
            FitFieldLabels(window);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                const LRESULT selected = ::SendDlgItemMessageA(window, IDC_DEVICE_LIST, CB_GETCURSEL, 0, 0);
                data->selectedIndex = selected == CB_ERR ? -1 : static_cast<int>(selected);
                ::EndDialog(window, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(window, IDCANCEL);
                return TRUE;
            }
            break;
        default: break;
    }
    return FALSE;
}

}  // namespace

std::optional<int> RunDriveChooserDialog(HWND owner, const std::vector<std::string>& entries,
                                         int selectedIndex) {
    DriveChooserData data{entries, selectedIndex};
    if (RunDialog(owner, IDD_DRIVE_SELECTION, DriveChooserProcedure, &data) != IDOK) return std::nullopt;
    return data.selectedIndex;
}

}  // namespace vocell::win32
