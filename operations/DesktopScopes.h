#pragma once
// Scoped guards for the desktop's paired calls: whatever way a step ends, the busy cursor it showed
// is taken away again and the progress bar it created is removed.

#include "operations/OperationDesktop.h"

namespace vocell {

class BusyCursor {
public:
    explicit BusyCursor(OperationDesktop& desktop) : desktop_(desktop) { desktop_.BeginBusyCursor(); }
    ~BusyCursor() { desktop_.EndBusyCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    OperationDesktop& desktop_;
};

class ProgressBar {
public:
    ProgressBar(OperationDesktop& desktop, const Rect& area) : desktop_(desktop) {
        desktop_.CreateProgressBar(area);
    }
    ~ProgressBar() { desktop_.RemoveProgressBar(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Show(const ProgressReport& report) { desktop_.ShowProgress(report); }

private:
    OperationDesktop& desktop_;
};

}  // namespace vocell
