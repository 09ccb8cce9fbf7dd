#pragma once
// The drive chooser (template 148, "Select Vocell Card"): the entries the dialog built, each with
// the mount point of its drive beside it so that two cards can be told apart.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;

namespace vocell::qt {

class DriveChooserDialog final : public QDialog {
public:
    // mountPointOf gives the host folder of a drive letter, empty when it has none.
    DriveChooserDialog(QWidget* parent, const std::vector<std::string>& entries, int selectedIndex,
                       const std::function<std::string(char letter)>& mountPointOf);

    // The entry selected, -1 for none.
    [[nodiscard]] int selectedIndex() const;
    [[nodiscard]] QComboBox* list() const { return list_; }

    // Runs the chooser: the entry chosen with OK, nothing for Cancel or the close box.
    std::optional<int> Run();

private:
    QComboBox* list_ = nullptr;
};

// The letter an entry such as "VMCARD (E:)" names, if any.
std::optional<char> EntryLetter(const std::string& entry);

}  // namespace vocell::qt
