#include "qt/DriveChooserDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QPushButton>
#include <algorithm>

#include "app/DialogLayout.h"
#include "qt/TemplateWidgets.h"

namespace vocell::qt {
namespace {

// The text shown for an entry: the entry itself, then its mount point.
QString ShownText(const std::string& entry, const std::string& mountPoint) {
    QString text = QString::fromStdString(entry);
    if (!mountPoint.empty()) text += QStringLiteral("   ") + QString::fromStdString(mountPoint);
    return text;
}

}  // namespace

std::optional<char> EntryLetter(const std::string& entry) {
    // "... (E:)"
    if (entry.size() < 4 || entry.compare(entry.size() - 2, 2, ":)") != 0 || entry[entry.size() - 4] != '(') {
        return std::nullopt;
    }
    return entry[entry.size() - 3];
}

DriveChooserDialog::DriveChooserDialog(QWidget* parent, const std::vector<std::string>& entries,
                                       int selectedIndex,
                                       const std::function<std::string(char letter)>& mountPointOf)
    : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    const auto controls = BuildFromTemplate(*this, DriveChooserTemplate(), ApplicationIcon());
    list_ = qobject_cast<QComboBox*>(controls.at(ControlId::DeviceList));
    int widest = 0;
    for (const std::string& entry : entries) {
        const auto letter = EntryLetter(entry);
        const QString shown =
            ShownText(entry, letter && mountPointOf ? mountPointOf(*letter) : std::string());
        list_->addItem(shown, QString::fromStdString(entry));
        widest = std::max(widest, QFontMetrics(list_->font()).horizontalAdvance(shown));
    }
    list_->view()->setMinimumWidth(widest + 2 * list_->iconSize().width());
    list_->setCurrentIndex(selectedIndex);
    connect(qobject_cast<QPushButton*>(controls.at(ControlId::Ok)), &QPushButton::clicked, this,
            &QDialog::accept);
    connect(qobject_cast<QPushButton*>(controls.at(ControlId::Cancel)), &QPushButton::clicked, this,
            &QDialog::reject);
}

int DriveChooserDialog::selectedIndex() const { return list_->currentIndex(); }

std::optional<int> DriveChooserDialog::Run() {
    if (exec() != QDialog::Accepted) return std::nullopt;
    return selectedIndex();
}

}  // namespace vocell::qt
