#include "archive/ReadAheadWindow.h"

#include <algorithm>

namespace vocell::archive {

ReadAheadWindow::ReadAheadWindow(FileSystem& fileSystem, const std::string& folder,
                                 const std::vector<FolderEntry>& listing,
                                 std::function<bool(std::size_t)> wanted)
    : fileSystem_(fileSystem), folder_(folder), listing_(listing), wanted_(std::move(wanted)) {}

FsResult<std::unique_ptr<FileReader>> ReadAheadWindow::Open(std::size_t index) {
    while (!ahead_.empty() && ahead_.front().index < index) {  // opened, but not read after all
        bytesAhead_ -= ahead_.front().size;
        ahead_.pop_front();
    }
    const bool inWindow = !ahead_.empty() && ahead_.front().index == index;
    FsResult<std::unique_ptr<FileReader>> file =
        inWindow ? std::move(ahead_.front().file) : fileSystem_.OpenRead(folder_ + listing_[index].name);
    if (inWindow) {
        bytesAhead_ -= ahead_.front().size;
        ahead_.pop_front();
    }
    nextToOpen_ = std::max(nextToOpen_, index + 1);
    Fill();
    return file;
}

void ReadAheadWindow::Fill() {
    while (ahead_.size() < kFilesAhead && bytesAhead_ < kBytesAhead && nextToOpen_ < listing_.size()) {
        const std::size_t index = nextToOpen_++;
        if (!wanted_(index)) continue;
        auto file = fileSystem_.OpenRead(folder_ + listing_[index].name);
        std::uint64_t size = 0;
        if (file.ok()) {
            auto known = file.value()->Size();
            size = known.ok() ? known.value() : 0;
            file.value()->Prefetch();
        }
        ahead_.push_back({index, std::move(file), size});
        bytesAhead_ += size;
    }
}

}  // namespace vocell::archive
