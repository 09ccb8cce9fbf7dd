#pragma once
// Drives whose media are folders of the machine the tests run on. A drive ("E:") or a Windows
// folder ("C:\Harlo\Vocell") is given a folder, and the platform's own file system works in
// those folders under the card's paths; a drive whose folder does not exist holds no medium
// (NotReady). On Linux the paths resolve as the Linux program resolves them (a DriveMap); on
// Windows they are rewritten onto the folders for the Win32 file system.

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace vocell::test {

class FolderDrives {
public:
    void Add(const std::string& prefix, std::filesystem::path folder) {
        mounts_.emplace_back(prefix, std::move(folder));
    }
    [[nodiscard]] std::unique_ptr<FileSystem> OpenFileSystem() const;

private:
    std::vector<std::pair<std::string, std::filesystem::path>> mounts_;
};

}  // namespace vocell::test
