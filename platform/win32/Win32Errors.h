#pragma once
// Win32 error codes as the portable errors of the file system interface, and the system's own
// words for them.

#include <cstdint>
#include <string>

#include "platform/FileSystem.h"

namespace vocell::win32 {

FsError FsErrorFromWin32(std::uint32_t code);
FsStatus StatusFromWin32(std::uint32_t code);
// The status of GetLastError() right now.
FsStatus LastErrorStatus();
// The system's message for the code, without its closing full stop ("Access is denied").
std::string SystemMessage(std::uint32_t code);

}  // namespace vocell::win32
