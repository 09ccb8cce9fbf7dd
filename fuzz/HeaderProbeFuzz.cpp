// The header probe reads any file as an archive header: the version is at most six characters,
// none of them zero, and the same whichever way the file is read.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "archive/ArchiveHeaderProbe.h"
#include "archive/EntryHeader.h"
#include "fuzz/MemoryReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vocell;
    fuzz::MemoryReader reader(data, size);
    const std::string version = archive::ReadArchiveHeader(reader);
    if (version.size() > archive::kVersionSize || version.find('\0') != std::string::npos) std::abort();

    archive::Block block{};
    std::memcpy(block.data(), data, std::min(size, block.size()));
    if (archive::DecodeArchiveVersion(block) != version) std::abort();
    return 0;
}
