#include "qt/GroupFrame.h"

#include <QPainter>

namespace vocell::qt {
namespace {

constexpr int kTitleIndent = 8;
constexpr int kTitlePadding = 2;

}  // namespace

GroupFrame::GroupFrame(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Read out as the group's name, as a group box's caption is.
    setAccessibleName(title_);
}

void GroupFrame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int top = metrics.height() / 2;
    const QRect frame(0, top, width() - 2, height() - top - 2);
    // Etched: a dark line with a light one beside it.
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.translated(1, 1));
    const int titleWidth = metrics.horizontalAdvance(title_) + 2 * kTitlePadding;
    const QRect titleArea(kTitleIndent, 0, titleWidth, metrics.height());
    painter.fillRect(titleArea, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(titleArea, Qt::AlignCenter, title_);
}

}  // namespace vocell::qt
