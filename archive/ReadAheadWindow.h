#pragma once
// The files of one folder listing opened a little ahead of their turn, with the platform asked to
// start reading each of them, so that a cold card is read by several requests at once instead of
// one file after another. Bounded in files and bytes, so that the page cache it fills stays small.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace vocell::archive {

inline constexpr std::size_t kFilesAhead = 16;
inline constexpr std::uint64_t kBytesAhead = 4 * 1024 * 1024;

class ReadAheadWindow {
public:
    // wanted tells which entries of the listing will be read (plain files the walk stores).
    ReadAheadWindow(FileSystem& fileSystem, const std::string& folder,
                    const std::vector<FolderEntry>& listing, std::function<bool(std::size_t)> wanted);

    // The file at index of the listing, opened now or taken from the window; the window then
    // reaches further ahead. Indexes are asked in increasing order.
    FsResult<std::unique_ptr<FileReader>> Open(std::size_t index);

private:
    struct Opened {
        std::size_t index;
        FsResult<std::unique_ptr<FileReader>> file;
        std::uint64_t size;
    };
    void Fill();

    FileSystem& fileSystem_;
    const std::string& folder_;
    const std::vector<FolderEntry>& listing_;
    std::function<bool(std::size_t)> wanted_;
    std::deque<Opened> ahead_;
    std::size_t nextToOpen_ = 0;
    std::uint64_t bytesAhead_ = 0;
};

}  // namespace vocell::archive
