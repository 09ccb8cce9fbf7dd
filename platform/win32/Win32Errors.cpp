#include "platform/win32/Win32Errors.h"

#include <windows.h>

namespace vocell::win32 {

FsError FsErrorFromWin32(std::uint32_t code) {
    switch (code) {
        case ERROR_SUCCESS: return FsError::None;
        case ERROR_NOT_READY: return FsError::NotReady;
        case ERROR_FILE_NOT_FOUND: return FsError::NotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:  // a name the file system cannot hold
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:  // longer than the A functions take
        case ERROR_DIRECTORY:             // a file where a folder was named
            return FsError::PathNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        // A file another program holds open fails that one entry, not the whole card.
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_DIR_NOT_EMPTY: return FsError::AccessDenied;
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS: return FsError::AlreadyExists;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return FsError::DiskFull;
        case ERROR_INVALID_HANDLE: return FsError::InvalidHandle;
        case ERROR_INVALID_DATA: return FsError::InvalidData;
        default: return FsError::Other;
    }
}

FsStatus StatusFromWin32(std::uint32_t code) {
    const FsError error = FsErrorFromWin32(code);
    return error == FsError::None ? FsStatus{} : FsStatus::Failure(error, static_cast<int>(code));
}

FsStatus LastErrorStatus() {
    const DWORD code = ::GetLastError();
    // A call that failed without saying why still failed.
    return code == ERROR_SUCCESS ? FsStatus::Failure(FsError::Other, 0) : StatusFromWin32(code);
}

std::string SystemMessage(std::uint32_t code) {
    char buffer[512] = {};
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                         MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() &&
           (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.')) {
        text.pop_back();
    }
    return text.empty() ? "error " + std::to_string(code) : text;
}

}  // namespace vocell::win32
