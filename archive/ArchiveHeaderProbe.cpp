#include "archive/ArchiveHeaderProbe.h"

#include "archive/EntryHeader.h"

namespace vocell::archive {

std::string ReadArchiveHeader(FileReader& archive) {
    Block block{};
    // Bytes a failed or short read does not deliver stay zero, which ends the version there.
    static_cast<void>(ReadFully(archive, std::as_writable_bytes(std::span<char>(block))));
    return DecodeArchiveVersion(block);
}

std::string ReadArchiveVersion(FileSystem& fileSystem, const std::string& archivePath) {
    auto archive = fileSystem.OpenRead(archivePath);
    return archive.ok() ? ReadArchiveHeader(*archive.value()) : std::string();
}

}  // namespace vocell::archive
