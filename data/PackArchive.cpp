// Builds an installed archive from a source tree at build time: the tree's root is stored as
// drive E:, the header carries the tree's prompt version, exactly as a backup of a card would.
//   vocell_pack_archive SOURCE_FOLDER ARCHIVE

#include <filesystem>
#include <iostream>

#include "app/PromptVersion.h"
#include "archive/CardBackup.h"
#include "operations/OperationMessages.h"
#include "platform/linux/files/PosixFileSystem.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: vocell_pack_archive SOURCE_FOLDER ARCHIVE\n";
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path archive = fs::absolute(argv[2]);
    vocell::DriveMap drives;
    drives.AddMount("E:", fs::absolute(argv[1]));
    drives.AddMount("Z:", archive.parent_path(), vocell::MountReach::AnyFileSystem);
    vocell::posix::PosixFileSystem fileSystem(std::move(drives));

    const std::string archivePath = "Z:\\" + archive.filename().string();
    vocell::archive::ArchiveWriterListener quiet;
    auto outcome = vocell::archive::WriteCardBackup(
        fileSystem, "E:\\", archivePath, vocell::ReadCardPromptVersion(fileSystem, "E:\\").value_or(""),
        quiet);
    if (!outcome.written()) {
        std::cerr << vocell::operations::BackupFailedMessage(outcome, fileSystem) << '\n';
        return 1;
    }
    if (!outcome.complete()) {
        std::cerr << vocell::operations::BackupIncompleteMessage(outcome.leftOut, archivePath,
                                                                 outcome.savedAs)
                  << '\n';
        return 1;
    }
    return 0;
}
