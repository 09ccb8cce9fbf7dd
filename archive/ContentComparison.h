#pragma once
// Comparing the content of an archive's entry with a file, piece by piece as the archive is read.

#include <functional>
#include <vector>

#include "archive/ArchiveScanner.h"
#include "platform/FileSystem.h"

namespace vocell::archive {

// Reads the scanner's current entry's content and the file side by side: whether every byte the
// archive holds matched the file's and the file holds no more. The whole content is read even
// after a difference, so that damage in it shows. buffer holds the pieces of the file.
// eachPiece, where given, is called at every piece read from the file.
bool ContentMatchesFile(ArchiveScanner& scanner, FileReader& file, std::vector<char>& buffer,
                        const std::function<void()>& eachPiece = {});

}  // namespace vocell::archive
