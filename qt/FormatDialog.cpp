#include "qt/FormatDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "common/Messages.h"
#include "qt/TemplateWidgets.h"

namespace vocell::qt {
namespace {

// A FAT volume label: up to 11 characters, none of those FAT forbids in a label.
constexpr int kLabelLength = 11;
const char* const kLabelPattern = R"([^"*+,./:;<=>?\[\\\]|]{0,11})";

}  // namespace

FormatDialog::FormatDialog(QWidget* parent, const FormatTarget& target, const std::string& currentLabel)
    : QDialog(parent) {
    setWindowTitle(ToQString(text::format::kDialogCaption));
    setWindowIcon(ApplicationIcon());
    auto* form = new QFormLayout;
    QString card = QString::fromStdString(target.deviceText) + QStringLiteral("   ") +
                   QString::fromStdString(target.devNode);
    if (!target.mountPoint.empty()) card += QStringLiteral("   ") + QString::fromStdString(target.mountPoint);
    form->addRow(ToQString(text::format::kCardLabel), new QLabel(card, this));
    fileSystem_ = new QComboBox(this);
    fileSystem_->addItem(ToQString(text::format::kFat));
    form->addRow(ToQString(text::format::kFileSystemLabel), fileSystem_);
    label_ = new QLineEdit(QString::fromStdString(currentLabel).left(kLabelLength), this);
    label_->setMaxLength(kLabelLength);
    label_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(kLabelPattern)), label_));
    form->addRow(ToQString(text::format::kVolumeLabel), label_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* start = buttons->addButton(ToQString(text::format::kStart), QDialogButtonBox::AcceptRole);
    start->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(ToQString(text::format::kDataWillBeLost), this));
    layout->addWidget(buttons);
}

std::string FormatDialog::label() const { return label_->text().toUpper().toStdString(); }

std::optional<std::string> FormatDialog::Run() {
    if (exec() != QDialog::Accepted) return std::nullopt;
    return label();
}

}  // namespace vocell::qt
