#pragma once
// Reading a restored card back: every file an extraction wrote is read again from the medium,
// not from what the system keeps in memory, and compared with the archive, so that a card or
// reader that loses data is found out before the restore is called complete.

#include <vector>

#include "archive/ArchiveCheck.h"
#include "archive/ArchiveExtraction.h"
#include "archive/NamedEntry.h"
#include "platform/FileSystem.h"

namespace vocell::archive {

// The files of the archive that the extraction (extracted, with prompts) wrote onto cardRoot and
// whose content the medium gives back otherwise, or not at all, each with the reason.
std::vector<NamedEntry> VerifyRestoredFiles(FileSystem& fileSystem, CheckedArchive& archive,
                                            const std::string& cardRoot, PromptHandling prompts,
                                            const ExtractionResult& extracted, ExtractionProgress& progress);

}  // namespace vocell::archive
