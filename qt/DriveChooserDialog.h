#pragma once
// The drive chooser (template 148, "Select Vocell Card"): the entries the dialog built, each with
// the mount point of its drive under it in the open list (and as its tooltip), so that two cards
// can be told apart.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;

namespace vocell::qt {

// Where an entry of the chooser's list keeps its drive's mount point (Qt::UserRole holds the entry).
inline constexpr int kMountPointRole = Qt::UserRole + 1;

class DriveChooserDialog final : public QDialog {
public:
    // mountPointOf gives the host folder of a drive letter, empty when it has none.
    DriveChooserDialog(QWidget* parent, const std::vector<std::string>& entries, int selectedIndex,
                       const std::function<std::string(char letter)>& mountPointOf);

    // The entry selected, -1 for none.
    [[nodiscard]] int selectedIndex() const;
    [[nodiscard]] QComboBox* list() const { return list_; }
    // The mount point shown with the entry, empty when its drive has none.
    [[nodiscard]] QString mountPoint(int index) const;

    // Runs the chooser: the entry chosen with OK, nothing for Cancel or the close box.
    std::optional<int> Run();

private:
    QComboBox* list_ = nullptr;
};

// The letter an entry such as "VMCARD (E:)" names, if any.
std::optional<char> EntryLetter(const std::string& entry);

}  // namespace vocell::qt
