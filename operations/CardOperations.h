#pragma once
// The four operations of the main dialog's buttons: each runs to completion inside its handler,
// with its checks, questions, status words, busy cursor and completion message.

#include "operations/OperationHost.h"

namespace vocell::operations {

void OnBackup(OperationHost& host);
void BackupToArchive(OperationHost& host);

void OnRestore(OperationHost& host);
// True when it left the busy cursor shown, for OnRestore to remove.
bool RestoreFromArchive(OperationHost& host);

void OnUpdatePrompts(OperationHost& host);

void OnInitializeCard(OperationHost& host);
void InstallInitialStructure(OperationHost& host);

}  // namespace vocell::operations
