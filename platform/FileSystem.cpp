#include "platform/FileSystem.h"

#include <string>

namespace vocell {

const char* FsErrorName(FsError error) {
    switch (error) {
        case FsError::None: return "no error";
        case FsError::NotReady: return "no medium in the drive";
        case FsError::NotFound: return "not found";
        case FsError::PathNotFound: return "path not found";
        case FsError::AccessDenied: return "access denied";
        case FsError::DiskFull: return "disk full";
        case FsError::AlreadyExists: return "already exists";
        case FsError::InvalidHandle: return "invalid handle";
        case FsError::InvalidData: return "invalid data";
        case FsError::Other: break;
    }
    return "error";
}

FsResult<std::size_t> ReadFully(FileReader& file, std::span<std::byte> buffer) {
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        auto read = file.Read(buffer.subspan(filled));
        if (!read.ok()) return read.status();
        if (read.value() == 0) break;
        filled += read.value();
    }
    return filled;
}

FsResult<std::vector<FolderEntry>> FileSystem::ListFolderWithSizes(const std::string& folder) {
    auto listing = ListFolderForReading(folder);
    if (!listing.ok()) return listing;
    const std::string prefix = folder.ends_with('\\') ? folder : folder + '\\';
    for (FolderEntry& entry : listing.value()) {
        if ((entry.attributes & FileAttribute::Directory) != 0) continue;
        auto size = FileSize(prefix + entry.name);
        entry.size = size.ok() ? size.value() : 0;
    }
    return listing;
}

std::string FileSystem::DescribeError(const FsStatus& status) const {
    return std::string(FsErrorName(status.error)) + ", error " + std::to_string(status.nativeCode);
}

}  // namespace vocell
