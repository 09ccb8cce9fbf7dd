#include "qt/DialogTemplates.h"

// The templates are read from the resource script at build time.
#include "qt/DialogTemplateTable.h"

namespace vocell::qt {

const DialogTemplate& MainDialogTemplate() { return resource::kMainDialog; }
const DialogTemplate& DriveChooserTemplate() { return resource::kDriveSelection; }
const DialogTemplate& AboutBoxTemplate() { return resource::kAboutbox; }

}  // namespace vocell::qt
