#include "qt/StatusPanes.h"

#include <algorithm>

namespace vocell::qt {
namespace {

constexpr int kPaneGap = 2;

}  // namespace

StatusPanes::StatusPanes(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("statusBar"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
}

void StatusPanes::SetPanes(const std::vector<int>& rightEdges) {
    rightEdges_ = rightEdges;
    while (panes_.size() < rightEdges_.size()) {
        auto* pane = new QLabel(this);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setIndent(2);
        pane->setObjectName(QStringLiteral("statusPane%1").arg(panes_.size()));
        pane->show();
        panes_.push_back(pane);
    }
    PlacePanes();
}

void StatusPanes::SetPaneText(int pane, const QString& text) {
    if (pane < 0 || pane >= static_cast<int>(panes_.size())) return;
    panes_[static_cast<std::size_t>(pane)]->setText(text);
}

QString StatusPanes::paneText(int pane) const {
    if (pane < 0 || pane >= static_cast<int>(panes_.size())) return {};
    return panes_[static_cast<std::size_t>(pane)]->text();
}

QRect StatusPanes::paneGeometry(int pane) const {
    if (pane < 0 || pane >= static_cast<int>(panes_.size())) return {};
    return panes_[static_cast<std::size_t>(pane)]->geometry();
}

void StatusPanes::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    PlacePanes();
}

void StatusPanes::PlacePanes() {
    int left = 0;
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        const int right = std::min(i < rightEdges_.size() ? rightEdges_[i] : width(), width());
        panes_[i]->setGeometry(left, kPaneGap, std::max(0, right - left), height() - kPaneGap);
        left = right;
    }
}

}  // namespace vocell::qt
