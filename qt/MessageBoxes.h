#pragma once
// Message boxes with the application's title and the buttons the dialog asks for.

#include <QMessageBox>
#include <memory>

#include "app/Desktop.h"

namespace vocell::qt {

std::unique_ptr<QMessageBox> BuildMessageBox(QWidget* parent, const QString& text, MessageButtons buttons);
// The answer for the button that closed the box; the close box or Escape count as the last
// button (OK, No or Cancel).
MessageAnswer AnswerOf(QMessageBox::StandardButton button, MessageButtons buttons);
// Builds the box and runs it modally.
MessageAnswer RunMessageBox(QWidget* parent, const QString& text, MessageButtons buttons);

}  // namespace vocell::qt
