#include "platform/posix/PosixFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

#include "platform/posix/EntryMetadata.h"
#include "platform/posix/ErrnoMapping.h"

namespace vocell::posix {
namespace {

FsStatus closedStatus() { return FsStatus::Failure(FsError::InvalidHandle, EBADF); }

}  // namespace

FsResult<std::size_t> PosixFileReader::read(std::span<std::byte> buffer) {
    for (;;) {
        const ssize_t got = ::read(fd_.get(), buffer.data(), buffer.size());
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            return lastErrorStatus();
        }
    }
}

FsStatus PosixFileReader::loadInfo() {
    if (info_) {
        return {};
    }
    auto info = openFileInfo(fd_.get());
    if (!info.ok()) {
        return info.status();
    }
    info_ = info.value();
    return {};
}

FsResult<std::uint64_t> PosixFileReader::size() {
    if (FsStatus loaded = loadInfo(); !loaded.ok()) {
        return loaded;
    }
    return info_->size;
}

FsResult<FileTimes> PosixFileReader::times() {
    if (FsStatus loaded = loadInfo(); !loaded.ok()) {
        return loaded;
    }
    return info_->times;
}

FsStatus PosixFileReader::rewind() {
    if (::lseek(fd_.get(), 0, SEEK_SET) != 0) {
        return lastErrorStatus();
    }
    return {};
}

FsStatus PosixFileWriter::write(std::span<const std::byte> data) {
    if (!fd_.valid()) {
        return closedStatus();
    }
    while (!data.empty()) {
        const ssize_t written = ::write(fd_.get(), data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lastErrorStatus();
        }
        if (written == 0) {
            return FsStatus::Failure(FsError::Other, EIO);
        }
        data = data.subspan(static_cast<std::size_t>(written));
        startWriteBack(static_cast<std::uint64_t>(written));
    }
    return {};
}

// Starts writing a large file's data to the medium while more is written, so that the flush
// at the end finds little left to do.
void PosixFileWriter::startWriteBack(std::uint64_t written) {
    constexpr std::uint64_t kWriteBackChunk = 8 * 1024 * 1024;
    position_ += written;
    if (position_ - writeBackFrom_ < kWriteBackChunk) {
        return;
    }
    ::sync_file_range(fd_.get(), static_cast<off_t>(writeBackFrom_),
                      static_cast<off_t>(position_ - writeBackFrom_), SYNC_FILE_RANGE_WRITE);
    writeBackFrom_ = position_;
}

FsStatus PosixFileWriter::truncate(std::uint64_t size) {
    if (!fd_.valid()) {
        return closedStatus();
    }
    if (size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
        return FsStatus::Failure(FsError::Other, EFBIG);
    }
    const auto length = static_cast<off_t>(size);
    if (::ftruncate(fd_.get(), length) != 0 || ::lseek(fd_.get(), length, SEEK_SET) < 0) {
        return lastErrorStatus();
    }
    position_ = size;
    writeBackFrom_ = std::min(writeBackFrom_, size);
    return {};
}

FsStatus PosixFileWriter::setTimes(const FileTimes& times) {
    if (!fd_.valid()) {
        return closedStatus();
    }
    const auto settable = accessAndWriteTimes(times);
    if (::futimens(fd_.get(), settable.data()) != 0) {
        return lastErrorStatus();
    }
    return {};
}

FsStatus PosixFileWriter::flush() {
    if (!fd_.valid()) {
        return closedStatus();
    }
    if (::fdatasync(fd_.get()) != 0) {
        return lastErrorStatus();
    }
    return {};
}

FsStatus PosixFileWriter::close() {
    if (!fd_.valid()) {
        return closedStatus();
    }
    // Linux releases the descriptor even when close fails, so it is never closed twice;
    // EINTR only means the close was interrupted after the release.
    if (::close(fd_.release()) != 0 && errno != EINTR) {
        return lastErrorStatus();
    }
    return {};
}

}  // namespace vocell::posix
