#pragma once
// The main dialog's status bar: panes side by side along its bottom edge, each ending at the
// right edge it was given, sunken like the status bar control they stand for.

#include <QFrame>
#include <QLabel>
#include <vector>

namespace vocell::qt {

class StatusPanes final : public QFrame {
public:
    explicit StatusPanes(QWidget* parent);

    // Pane right edges in pixels from the bar's left edge; the last pane ends at the bar's edge
    // when its own edge lies beyond it.
    void SetPanes(const std::vector<int>& rightEdges);
    void SetPaneText(int pane, const QString& text);
    [[nodiscard]] QString paneText(int pane) const;
    [[nodiscard]] QRect paneGeometry(int pane) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlacePanes();

    std::vector<int> rightEdges_;
    std::vector<QLabel*> panes_;
};

}  // namespace vocell::qt
