#include "platform/win32/Win32Files.h"

#include <algorithm>

#include "platform/win32/Win32Errors.h"
#include "platform/win32/Win32FileTime.h"

namespace vocell::win32 {
namespace {

// The largest piece one ReadFile or WriteFile call is given.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

FsStatus ClosedStatus() { return FsStatus::Failure(FsError::InvalidHandle, ERROR_INVALID_HANDLE); }

}  // namespace

DWORD SettableAttributes(std::uint32_t attributes) {
    constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD wanted = attributes & kSettable;
    return wanted != 0 ? wanted : DWORD{FILE_ATTRIBUTE_NORMAL};
}

// A multiple of every sector size, as unbuffered reads must be.
constexpr std::size_t kUnbufferedPiece = 64 * 1024;

void PageBufferRelease::operator()(std::byte* pages) const { ::VirtualFree(pages, 0, MEM_RELEASE); }

std::unique_ptr<Win32FileReader> Win32FileReader::Unbuffered(FileHandle file) {
    auto reader = std::make_unique<Win32FileReader>(std::move(file));
    reader->pages_.reset(static_cast<std::byte*>(
        ::VirtualAlloc(nullptr, kUnbufferedPiece, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)));
    if (!reader->pages_) return nullptr;
    return reader;
}

FsResult<std::size_t> Win32FileReader::ReadUnbuffered(std::span<std::byte> buffer) {
    if (pagesTaken_ == pagesFilled_) {
        DWORD got = 0;
        if (!::ReadFile(file_.get(), pages_.get(), static_cast<DWORD>(kUnbufferedPiece), &got, nullptr)) {
            return LastErrorStatus();
        }
        pagesFilled_ = got;
        pagesTaken_ = 0;
    }
    const std::size_t length = std::min(buffer.size(), pagesFilled_ - pagesTaken_);
    std::copy_n(pages_.get() + pagesTaken_, length, buffer.data());
    pagesTaken_ += length;
    return length;
}

FsResult<std::size_t> Win32FileReader::Read(std::span<std::byte> buffer) {
    if (pages_) return ReadUnbuffered(buffer);
    DWORD got = 0;
    const auto want = static_cast<DWORD>(std::min(buffer.size(), kLargestTransfer));
    if (!::ReadFile(file_.get(), buffer.data(), want, &got, nullptr)) return LastErrorStatus();
    return std::size_t{got};
}

FsResult<Win32FileReader::Information> Win32FileReader::Query() const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file_.get(), &info)) return LastErrorStatus();
    return Information{
        (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
        {TicksOf(info.ftCreationTime), TicksOf(info.ftLastAccessTime), TicksOf(info.ftLastWriteTime)},
        std::uint32_t{info.dwFileAttributes}};
}

FsStatus Win32FileReader::LoadFirstInformation() {
    if (first_) return {};
    auto information = Query();
    if (!information.ok()) return information.status();
    first_ = information.value();
    return {};
}

FsResult<std::uint64_t> Win32FileReader::Size() {
    if (FsStatus loaded = LoadFirstInformation(); !loaded.ok()) return loaded;
    return first_->size;
}

FsResult<FileTimes> Win32FileReader::Times() {
    if (FsStatus loaded = LoadFirstInformation(); !loaded.ok()) return loaded;
    return first_->times;
}

FsResult<std::uint32_t> Win32FileReader::Attributes() {
    if (FsStatus loaded = LoadFirstInformation(); !loaded.ok()) return loaded;
    return first_->attributes;
}

FsResult<FileStamp> Win32FileReader::Stamp() {
    auto now = Query();
    if (!now.ok()) return now.status();
    return FileStamp{now.value().size, now.value().times.lastWrite};
}

FsStatus Win32FileReader::Rewind() {
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file_.get(), start, nullptr, FILE_BEGIN)) return LastErrorStatus();
    pagesFilled_ = pagesTaken_ = 0;
    return {};
}

FsStatus Win32FileWriter::Write(std::span<const std::byte> data) {
    if (!file_.valid()) return ClosedStatus();
    while (!data.empty()) {
        DWORD written = 0;
        const auto piece = static_cast<DWORD>(std::min(data.size(), kLargestTransfer));
        if (!::WriteFile(file_.get(), data.data(), piece, &written, nullptr)) return LastErrorStatus();
        // A write that takes nothing and reports no error has run out of room.
        if (written == 0) return FsStatus::Failure(FsError::DiskFull, ERROR_DISK_FULL);
        data = data.subspan(written);
    }
    return {};
}

FsStatus Win32FileWriter::Truncate(std::uint64_t size) {
    if (!file_.valid()) return ClosedStatus();
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN) || !::SetEndOfFile(file_.get())) {
        return LastErrorStatus();
    }
    return {};
}

FsStatus SetHandleTimes(HANDLE entry, const FileTimes& times) {
    const FILETIME creation = FileTimeOf(times.creation);
    const FILETIME lastAccess = FileTimeOf(times.lastAccess);
    const FILETIME lastWrite = FileTimeOf(times.lastWrite);
    if (!::SetFileTime(entry, times.creation != 0 ? &creation : nullptr,
                       times.lastAccess != 0 ? &lastAccess : nullptr,
                       times.lastWrite != 0 ? &lastWrite : nullptr)) {
        return LastErrorStatus();
    }
    return {};
}

FsStatus Win32FileWriter::SetTimes(const FileTimes& times) {
    if (!file_.valid()) return ClosedStatus();
    return SetHandleTimes(file_.get(), times);
}

FsStatus Win32FileWriter::SetAttributes(std::uint32_t attributes) {
    if (!file_.valid()) return ClosedStatus();
    FILE_BASIC_INFO info{};  // times of zero are left as they are
    info.FileAttributes = SettableAttributes(attributes);
    if (!::SetFileInformationByHandle(file_.get(), FileBasicInfo, &info, sizeof info))
        return LastErrorStatus();
    return {};
}

FsStatus Win32FileWriter::Flush() {
    if (!file_.valid()) return ClosedStatus();
    if (!::FlushFileBuffers(file_.get())) return LastErrorStatus();
    return {};
}

FsStatus Win32FileWriter::Close() {
    if (!file_.valid()) return ClosedStatus();
    FsStatus status = Flush();
    if (!::CloseHandle(file_.Release()) && status.ok()) status = LastErrorStatus();
    return status;
}

}  // namespace vocell::win32
