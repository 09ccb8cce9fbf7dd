#pragma once
// The card's paths as the Win32 file functions are given them. A path names an entry on a drive,
// "E:\VM\PROMPTS", and nothing else: repeated separators count as one (the archive stores
// "E:\\VM\\PROMPTS\"), and a path that could reach anything but a file or folder below its drive
// root is refused: "." and ".." steps, streams ("A.TXT:data"), wildcards, device names such as
// NUL or COM1 (which would send the data to a device), other namespaces ("\\?\", "\\server\"),
// and names ending in a dot or a space (which Windows would take for another name).

#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace vocell::win32 {

struct NativePath {
    std::string text;                // "E:\VM\PROMPTS"; a drive root keeps its "\": "E:\"
    std::vector<std::string> names;  // "VM", "PROMPTS"; none for a drive root

    [[nodiscard]] bool isDriveRoot() const { return names.empty(); }
    // "E:\"
    [[nodiscard]] std::string driveRoot() const { return text.substr(0, 3); }
    // The folders on the way to the entry, outermost first: "E:\VM" for "E:\VM\PROMPTS".
    [[nodiscard]] std::vector<std::string> folders() const;
};

FsResult<NativePath> ToNativePath(const std::string& path);

// CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with or without an extension, in any case.
bool IsDeviceName(std::string_view name);

}  // namespace vocell::win32
