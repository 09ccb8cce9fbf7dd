#pragma once
// The part every operation that writes an archive onto the card shares: the archive's check
// before any question about it, and the extraction with its progress bar and its report.

#include "archive/ArchiveExtraction.h"
#include "operations/OperationContext.h"
#include "operations/Outcome.h"
#include "operations/PreChecks.h"

namespace vocell::operations {

// Opens and checks the archive at archivePath for the selected card, into archive. When it cannot
// be used, its message has been shown and the refusal says why.
Refusal OpenArchiveForCard(OperationContext& context, const std::string& archivePath,
                           archive::CheckedArchive& archive);

// Where the progress bar of an extraction goes: over the bottom twentieth of the dialog's client
// area, from 26% of its width to its right edge.
Rect ProgressBarArea(const Rect& client);

// Extracts a sound archive onto the selected card under a progress bar, then reports what
// stopped it and the entries it named, each in its own message.
Outcome ExtractOntoCard(OperationContext& context, archive::CheckedArchive& archive,
                        archive::PromptHandling prompts);

}  // namespace vocell::operations
