#pragma once
// A group box drawn as a dialog template places it: the etched frame fills the control's
// rectangle from half a text line down, and the title sits on its top edge, so the controls
// inside keep their template places whatever the widget style does with a QGroupBox.

#include <QWidget>

namespace vocell::qt {

class GroupFrame final : public QWidget {
public:
    GroupFrame(const QString& title, QWidget* parent);
    [[nodiscard]] const QString& title() const { return title_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
};

}  // namespace vocell::qt
