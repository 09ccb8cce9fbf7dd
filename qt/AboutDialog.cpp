#include "qt/AboutDialog.h"

#include <QPushButton>

#include "app/DialogLayout.h"
#include "qt/TemplateWidgets.h"

namespace vocell::qt {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    const auto controls = BuildFromTemplate(*this, AboutBoxTemplate(), ApplicationIcon());
    auto* ok = qobject_cast<QPushButton*>(controls.at(ControlId::Ok));
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace vocell::qt
