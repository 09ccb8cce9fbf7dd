#pragma once
// Archives built to attack the readers, each with what the command line must make of it. The
// hostile-archive test runs them through vocell; the same bytes seed the fuzzers' corpus.

#include <string>
#include <utility>
#include <vector>

namespace vocell::test {

enum class Verdict {
    Refused,      // not a valid archive: exit 3 everywhere, the card untouched
    Restored,     // restored whole: exit 0
    EntriesLeft,  // restored with entries named and left out or incomplete: exit 1
};

struct HostileArchive {
    HostileArchive(std::string name_, std::string bytes_, Verdict verdict_, std::string expectedFile_ = {},
                   std::string expectedContent_ = {})
        : name(std::move(name_)),
          bytes(std::move(bytes_)),
          verdict(verdict_),
          expectedFile(std::move(expectedFile_)),
          expectedContent(std::move(expectedContent_)) {}

    std::string name;  // also the seed's file name
    std::string bytes;
    Verdict verdict;
    // A file the restore must leave on the card (relative, "/"-separated) with its content, if any.
    std::string expectedFile;
    std::string expectedContent;
};

// Restored with the card's prompts replaced; the card holds prompts of another version.
std::vector<HostileArchive> HostileArchives();

}  // namespace vocell::test
