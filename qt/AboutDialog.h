#pragma once
// The about box (template 100): the icon, the version and OK.

#include <QDialog>

namespace vocell::qt {

class AboutDialog final : public QDialog {
public:
    explicit AboutDialog(QWidget* parent);
};

}  // namespace vocell::qt
