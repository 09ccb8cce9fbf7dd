#pragma once
// The four operations of the main dialog's buttons: each runs to completion inside its handler,
// with its checks, questions, status words, busy cursor and completion message, and says how it
// ended.

#include <optional>

#include "operations/DesktopScopes.h"
#include "operations/OperationContext.h"
#include "operations/Outcome.h"

namespace vocell::operations {

Outcome OnBackup(OperationContext& context);
Outcome BackupToArchive(OperationContext& context);

Outcome OnRestore(OperationContext& context);
// Shows the busy cursor into busy once it has an archive to restore; OnRestore removes it.
Outcome RestoreFromArchive(OperationContext& context, std::optional<BusyCursor>& busy);

Outcome OnUpdatePrompts(OperationContext& context);

Outcome OnInitializeCard(OperationContext& context);
Outcome InstallInitialStructure(OperationContext& context);

}  // namespace vocell::operations
