#pragma once
// Message boxes with the application's title and the buttons the dialog asks for.

#include <QMessageBox>
#include <memory>

#include "app/Desktop.h"

namespace vocell::qt {

// The box is at least as wide as its caption needs (CaptionWidth), and its text is also its
// accessible description, which a screen reader reads out when the box opens.
std::unique_ptr<QMessageBox> BuildMessageBox(QWidget* parent, const QString& text, MessageButtons buttons);
// The width a window needs for its whole caption to show in the title bar: the caption in the
// bold face window managers draw captions with, beside the window icon and the three buttons.
int CaptionWidth(const QWidget& window);
// The answer for the button that closed the box; the close box or Escape count as the last
// button (OK, No or Cancel).
MessageAnswer AnswerOf(QMessageBox::StandardButton button, MessageButtons buttons);
// Builds the box and runs it modally.
MessageAnswer RunMessageBox(QWidget* parent, const QString& text, MessageButtons buttons);

}  // namespace vocell::qt
