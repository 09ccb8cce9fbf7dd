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

// What an extraction lays onto the card: a backup is the whole card; a prompt package or the
// initial structure is only a part of one.
enum class CardCoverage { WholeBackup, Part };

// Extracts a sound archive onto the selected card under a progress bar, then reports what
// stopped it and the entries it named, each in its own message. The card is marked as being
// restored until every entry is on it as stored; only a whole backup restored clears a mark an
// earlier, interrupted restore left.
Outcome ExtractOntoCard(OperationContext& context, archive::CheckedArchive& archive,
                        archive::PromptHandling prompts, CardCoverage coverage);

}  // namespace vocell::operations
