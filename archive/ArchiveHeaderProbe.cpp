#include "archive/ArchiveHeaderProbe.h"

#include "archive/EntryHeader.h"

namespace vocell::archive {

void ReadArchiveHeader(ArchiveState& state, FileReader& archive) {
    state.extractionFailed = false;
    Block block{};
    std::size_t filled = 0;
    while (filled < block.size()) {
        auto read = archive.Read(
            std::as_writable_bytes(std::span<char>(block.data() + filled, block.size() - filled)));
        if (!read.ok() || read.value() == 0) break;
        filled += read.value();
    }
    state.archiveVersion = DecodeArchiveVersion(block);
}

void ReadArchiveVersion(FileSystem& fileSystem, ArchiveState& state, const std::string& archivePath) {
    auto archive = fileSystem.OpenRead(archivePath);
    if (!archive.ok()) {
        state.extractionFailed = false;
        state.archiveVersion.clear();
        return;
    }
    ReadArchiveHeader(state, *archive.value());
}

}  // namespace vocell::archive
