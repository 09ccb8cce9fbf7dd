#pragma once
// Writes the planned files of a card tree into a folder: version files hold "0131", every other
// file is a WAV file (RIFF header, 8 kHz mu-law) whose samples are pseudo-random.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/CardTreePlan.h"
#include "bench/PseudoRandomBytes.h"

namespace vocell::bench {

class CardFileWriter {
public:
    CardFileWriter(std::filesystem::path root, std::uint64_t seed);

    // Creates the folders on the way and writes the file; false with a message on failure.
    bool Write(const PlannedFile& file, std::string& error);

private:
    bool WriteBytes(const std::filesystem::path& path, std::uint64_t size, bool versionText,
                    std::string& error);

    std::filesystem::path root_;
    PseudoRandomBytes random_;
    std::vector<char> buffer_;
};

}  // namespace vocell::bench
