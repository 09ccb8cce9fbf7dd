#include "qt/DriveChooserDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>

#include "app/DialogLayout.h"
#include "qt/TemplateWidgets.h"

namespace vocell::qt {
namespace {

// Shows an entry of the open list on two lines: the entry, and its drive's mount point under it,
// where a long mount point has the list's whole width. The closed list shows the entry alone,
// which its template width holds.
class EntryAndMountPoint final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString mountPoint = index.data(kMountPointRole).toString();
        if (!mountPoint.isEmpty()) option->text += QChar::LineSeparator + mountPoint;
    }
};

// The widest of the texts, with the margins an item view gives a row's text.
int WidestText(const QComboBox& list, const QStringList& texts) {
    const QFontMetrics metrics(list.font(), &list);
    int widest = 0;
    for (const QString& text : texts) widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest + 2 * metrics.averageCharWidth() + list.iconSize().width();
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
    list_->setItemDelegate(new EntryAndMountPoint(list_));
    QStringList texts;
    for (const std::string& entry : entries) {
        const auto letter = EntryLetter(entry);
        const QString mountPoint =
            QString::fromStdString(letter && mountPointOf ? mountPointOf(*letter) : std::string());
        const QString shown = QString::fromStdString(entry);
        list_->addItem(shown, shown);
        const int index = list_->count() - 1;
        list_->setItemData(index, mountPoint, kMountPointRole);
        // Pointed at, and to a screen reader, each entry tells its mount point too.
        list_->setItemData(index, mountPoint, Qt::ToolTipRole);
        list_->setItemData(index, mountPoint, Qt::AccessibleDescriptionRole);
        texts << shown << mountPoint;
    }
    list_->view()->setMinimumWidth(std::max(list_->width(), WidestText(*list_, texts)));
    // The closed list tells the selected entry's mount point the same ways.
    auto tellMountPoint = [this](int index) {
        const QString shown = mountPoint(index);
        list_->setToolTip(shown);
        list_->setAccessibleDescription(shown);
    };
    list_->setCurrentIndex(selectedIndex);
    tellMountPoint(list_->currentIndex());
    connect(list_, &QComboBox::currentIndexChanged, this, tellMountPoint);
    connect(qobject_cast<QPushButton*>(controls.at(ControlId::Ok)), &QPushButton::clicked, this,
            &QDialog::accept);
    connect(qobject_cast<QPushButton*>(controls.at(ControlId::Cancel)), &QPushButton::clicked, this,
            &QDialog::reject);
}

int DriveChooserDialog::selectedIndex() const { return list_->currentIndex(); }

QString DriveChooserDialog::mountPoint(int index) const {
    return list_->itemData(index, kMountPointRole).toString();
}

std::optional<int> DriveChooserDialog::Run() {
    if (exec() != QDialog::Accepted) return std::nullopt;
    return selectedIndex();
}

}  // namespace vocell::qt
