#include "platform/linux/files/PosixFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

#include "platform/linux/files/EntryMetadata.h"
#include "platform/linux/files/ErrnoMapping.h"

namespace vocell::posix {
namespace {

FsStatus ClosedStatus() { return FsStatus::Failure(FsError::InvalidHandle, EBADF); }

}  // namespace

FsResult<std::size_t> PosixFileReader::Read(std::span<std::byte> buffer) {
    for (;;) {
        ssize_t got = -1;
        if (pace_->asksFirst()) {
            // What is in memory comes back at once (perhaps less than asked); EAGAIN means the
            // medium must be read, and EOPNOTSUPP or EINVAL that this file system cannot tell.
            iovec piece{buffer.data(), buffer.size()};
            got = ::preadv2(fd_.get(), &piece, 1, -1, RWF_NOWAIT);
            if (got >= 0) {
                pace_->DidNotWait();
            } else if (errno == EAGAIN) {
                pace_->Waited();
            } else if (errno == EOPNOTSUPP || errno == EINVAL) {
                pace_->CannotTell();
            } else if (errno != EINTR) {
                return LastErrorStatus();
            }
        }
        if (got < 0) {
            got = ::read(fd_.get(), buffer.data(), buffer.size());
        }
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            return LastErrorStatus();
        }
    }
}

FsResult<std::uint32_t> PosixFileReader::Attributes() {
    return OpenEntryAttributes(fd_.get(), info_.mode, fat_);
}

bool PosixFileReader::RereadFromMedium(std::uint64_t offset, std::uint64_t length) {
    const auto start = static_cast<off_t>(offset);
    const auto size = static_cast<off_t>(length);
    return ::posix_fadvise(fd_.get(), start, size, POSIX_FADV_DONTNEED) == 0 &&
           ::posix_fadvise(fd_.get(), start, size, POSIX_FADV_WILLNEED) == 0;
}

void PosixFileReader::Prefetch() {
    if (!pace_->readsAhead()) {
        return;
    }
    // Only a hint: the data is read all the same when the kernel cannot start it early.
    static_cast<void>(::posix_fadvise(fd_.get(), 0, 0, POSIX_FADV_WILLNEED));
}

FsResult<FileStamp> PosixFileReader::Stamp() {
    auto info = ReadOpenFileInfo(fd_.get());
    if (!info.ok()) {
        return info.status();
    }
    return FileStamp{info.value().size, info.value().times.lastWrite};
}

FsStatus PosixFileReader::Rewind() {
    if (::lseek(fd_.get(), 0, SEEK_SET) != 0) {
        return LastErrorStatus();
    }
    return {};
}

FsStatus PosixFileWriter::Write(std::span<const std::byte> data) {
    if (!fd_.valid()) {
        return ClosedStatus();
    }
    while (!data.empty()) {
        const ssize_t written = ::write(fd_.get(), data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastErrorStatus();
        }
        if (written == 0) {
            return FsStatus::Failure(FsError::Other, EIO);
        }
        data = data.subspan(static_cast<std::size_t>(written));
        StartWriteBack(static_cast<std::uint64_t>(written));
    }
    return {};
}

bool PosixFileWriter::WaitUntilOnMedium(std::uint64_t offset, std::uint64_t length) {
    constexpr unsigned kWriteAndWait =
        SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
    return fd_.valid() && ::sync_file_range(fd_.get(), static_cast<off_t>(offset), static_cast<off_t>(length),
                                            kWriteAndWait) == 0;
}

// Starts writing a large file's data to the medium while more is written, so that the flush
// at the end finds little left to do.
void PosixFileWriter::StartWriteBack(std::uint64_t written) {
    constexpr std::uint64_t kWriteBackChunk = 8 * 1024 * 1024;
    position_ += written;
    if (position_ - writeBackFrom_ < kWriteBackChunk) {
        return;
    }
    ::sync_file_range(fd_.get(), static_cast<off_t>(writeBackFrom_),
                      static_cast<off_t>(position_ - writeBackFrom_), SYNC_FILE_RANGE_WRITE);
    writeBackFrom_ = position_;
}

FsStatus PosixFileWriter::Truncate(std::uint64_t size) {
    if (!fd_.valid()) {
        return ClosedStatus();
    }
    if (size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
        return FsStatus::Failure(FsError::Other, EFBIG);
    }
    const auto length = static_cast<off_t>(size);
    if (::ftruncate(fd_.get(), length) != 0 || ::lseek(fd_.get(), length, SEEK_SET) < 0) {
        return LastErrorStatus();
    }
    position_ = size;
    writeBackFrom_ = std::min(writeBackFrom_, size);
    return {};
}

FsStatus PosixFileWriter::SetTimes(const FileTimes& times) {
    if (!fd_.valid()) {
        return ClosedStatus();
    }
    const auto settable = AccessAndWriteTimes(times);
    if (::futimens(fd_.get(), settable.data()) != 0) {
        return LastErrorStatus();
    }
    return {};
}

FsStatus PosixFileWriter::SetAttributes(std::uint32_t attributes) {
    if (!fd_.valid()) {
        return ClosedStatus();
    }
    FsStatus set = SetOpenEntryAttributes(fd_.get(), fat_, attributes, mode_);
    mode_.reset();  // what it is now is asked afresh next time
    return set;
}

FsStatus PosixFileWriter::Flush() {
    if (!fd_.valid()) {
        return ClosedStatus();
    }
    if (::fdatasync(fd_.get()) != 0) {
        return LastErrorStatus();
    }
    return {};
}

FsStatus PosixFileWriter::Close() {
    if (!fd_.valid()) {
        return ClosedStatus();
    }
    // Linux releases the descriptor even when close fails, so it is never closed twice;
    // EINTR only means the close was interrupted after the release.
    if (::close(fd_.Release()) != 0 && errno != EINTR) {
        return LastErrorStatus();
    }
    return {};
}

}  // namespace vocell::posix
