#pragma once
// Our format dialog for the selected card: the card, the file system (FAT, which the telephone
// system needs), the volume label, Start and Cancel.

#include <QDialog>
#include <optional>
#include <string>

#include "platform/linux/format/CardFormatter.h"

class QLineEdit;
class QComboBox;

namespace vocell::qt {

class FormatDialog final : public QDialog {
public:
    FormatDialog(QWidget* parent, const FormatTarget& target, const std::string& currentLabel);

    [[nodiscard]] std::string label() const;
    [[nodiscard]] QComboBox* fileSystem() const { return fileSystem_; }
    [[nodiscard]] QLineEdit* labelEdit() const { return label_; }

    // The label to format with after Start; nothing after Cancel.
    std::optional<std::string> Run();

private:
    QComboBox* fileSystem_ = nullptr;
    QLineEdit* label_ = nullptr;
};

}  // namespace vocell::qt
