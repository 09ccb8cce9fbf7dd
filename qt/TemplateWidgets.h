#pragma once
// Builds a dialog's widgets from its template: each control at its template place, converted
// with the dialog font's units, named "control<id>" so that it can be found by its id, and each
// field named for assistive technologies by the label before it.

#include <QDialog>
#include <QIcon>
#include <QString>
#include <map>

#include "qt/DialogTemplates.h"
#include "qt/DialogUnits.h"

namespace vocell::qt {

QString ToQString(std::string_view text);

// Gives the dialog its caption, its fixed client size and every control of the template; the
// controls with an id, by id.
std::map<int, QWidget*> BuildFromTemplate(QDialog& dialog, const DialogTemplate& dialogTemplate,
                                          const QIcon& icon);

// The control with the id, or nullptr.
QWidget* FindControl(const QWidget& dialog, int id);

// The application icon in every size the program carries.
QIcon ApplicationIcon();

}  // namespace vocell::qt
