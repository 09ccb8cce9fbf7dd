#include "qt/MessageBoxes.h"

#include "common/Messages.h"
#include "qt/TemplateWidgets.h"

namespace vocell::qt {
namespace {

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
    return box;
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
