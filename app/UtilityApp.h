#pragma once
// The application: one main dialog, run modally; the program ends when it ends.

#include "app/UtilityDialog.h"

namespace vocell {

class UtilityApp {
public:
    UtilityApp(WindowDesktop& desktop, Volumes& volumes, FileSystem& fileSystem)
        : dialog_(desktop, volumes, fileSystem) {}

    // Initialises the dialog; the window system then runs it until it ends.
    UtilityDialog& start() {
        dialog_.OnInitDialog();
        return dialog_;
    }
    UtilityDialog& dialog() { return dialog_; }

private:
    UtilityDialog dialog_;
};

}  // namespace vocell
