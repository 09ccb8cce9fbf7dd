#pragma once
// The main dialog's window (template 147). It holds no decisions: each button, key and menu
// command becomes one call of the UtilityDialog it is attached to.

#include <QDialog>
#include <QProgressBar>
#include <map>
#include <vector>

#include "app/UtilityDialog.h"
#include "qt/StatusPanes.h"

namespace vocell::qt {

class MainWindow final : public QDialog {
public:
    MainWindow();

    // From now on the window's events go to dialog.
    void Attach(UtilityDialog& dialog);

    [[nodiscard]] QWidget* control(int id) const;
    [[nodiscard]] StatusPanes* statusBar() const { return statusBar_; }
    [[nodiscard]] QProgressBar* progressBar() const { return progressBar_; }

    // The status bar along the bottom of the client area, as high as area.
    bool CreateStatusBar(const QRect& area);
    void CreateProgressBar(const QRect& area);
    void RemoveProgressBar();
    // Writes the dialog's members into their controls.
    void ShowFields(const DialogFields& fields);
    // Ends the window's modal run; false when it was not running yet.
    void Finish(bool ok);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Refused while a card operation runs: it is never cut off half-way.
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void reject() override;

private:
    void Command(int id);
    [[nodiscard]] bool operationRunning() const { return dialog_ != nullptr && dialog_->operationRunning(); }
    void AboutCommand();

    std::map<int, QWidget*> controls_;
    UtilityDialog* dialog_ = nullptr;
    StatusPanes* statusBar_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
};

}  // namespace vocell::qt
