#include "qt/MessageBoxes.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>

#include "common/Messages.h"
#include "qt/TemplateWidgets.h"

namespace vocell::qt {
namespace {

// The window icon and the minimise, maximise and close buttons beside a caption, each taken as a
// square two lines of the caption's font high, which is more than a title bar gives them.
constexpr int kTitleBarButtons = 4;
constexpr int kButtonLines = 2;

// A message box sizes itself to its layout's minimum width: a row of nothing that wide holds
// the box open to the caption's width.
void KeepWideEnoughForCaption(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    grid->addItem(new QSpacerItem(CaptionWidth(box), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok: return QMessageBox::Ok;
        case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(QWidget* parent, const QString& text, MessageButtons buttons) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, ToQString(text::kApplicationTitle), text,
                                             ButtonsOf(buttons), parent);
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(buttons == MessageButtons::Ok ? QMessageBox::Ok : QMessageBox::Yes);
    box->setAccessibleDescription(text);
    KeepWideEnoughForCaption(*box);
    return box;
}

int CaptionWidth(const QWidget& window) {
    QFont caption = window.font();
    caption.setBold(true);
    const QFontMetrics metrics(caption, &window);
    return metrics.horizontalAdvance(window.windowTitle()) +
           kTitleBarButtons * kButtonLines * metrics.height();
}

MessageAnswer AnswerOf(QMessageBox::StandardButton button, MessageButtons buttons) {
    switch (button) {
        case QMessageBox::Ok: return MessageAnswer::Ok;
        case QMessageBox::Yes: return MessageAnswer::Yes;
        case QMessageBox::No: return MessageAnswer::No;
        case QMessageBox::Cancel: return MessageAnswer::Cancel;
        default: break;
    }
    switch (buttons) {
        case MessageButtons::Ok: return MessageAnswer::Ok;
        case MessageButtons::YesNo: return MessageAnswer::No;
        case MessageButtons::YesNoCancel: return MessageAnswer::Cancel;
    }
    return MessageAnswer::Cancel;
}

MessageAnswer RunMessageBox(QWidget* parent, const QString& text, MessageButtons buttons) {
    auto box = BuildMessageBox(parent, text, buttons);
    box->exec();
    return AnswerOf(box->standardButton(box->clickedButton()), buttons);
}

}  // namespace vocell::qt
