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

// The units the template is laid out in on the dialog: those of the dialog's font, widened as
// far as a label's text in that font needs, so that no text of the template is cut (a font's
// words can be wider than its average letter promises) and every control keeps its place
// beside the others.
DialogUnits TemplateUnits(const QWidget& dialog, const DialogTemplate& dialogTemplate);

// Gives the dialog its caption, its fixed client size and every control of the template; the
// controls with an id, by id.
std::map<int, QWidget*> BuildFromTemplate(QDialog& dialog, const DialogTemplate& dialogTemplate,
                                          const QIcon& icon);

// The control with the id, or nullptr.
QWidget* FindControl(const QWidget& dialog, int id);

// The application icon in every size the program carries.
QIcon ApplicationIcon();

}  // namespace vocell::qt
