// Writes every hostile archive of the command-line test into a folder, one file each, as seeds
// for the fuzzers: hostile_archive_seeds FOLDER.

#include <exception>
#include <filesystem>
#include <iostream>

#include "tests/cli/HostileArchives.h"
#include "tests/support/TempDirectory.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: hostile_archive_seeds FOLDER\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        for (const auto& hostile : vocell::test::HostileArchives()) {
            vocell::test::WriteHostFile(folder / (hostile.name + ".vcb"), hostile.bytes);
        }
    } catch (const std::exception& error) {
        std::cerr << "hostile_archive_seeds: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
