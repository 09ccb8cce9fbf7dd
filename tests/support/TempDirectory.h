#pragma once
// Test helpers: a fresh directory per test, removed with everything in it afterwards, and
// plain host-side file access for checking what the file system under test did.

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vocell::test {

class TempDirectory {
public:
    TempDirectory() {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = std::filesystem::temp_directory_path() / ("vocell-" + std::to_string(random()));
            if (std::filesystem::create_directory(path_)) return;
        }
        throw std::runtime_error("no temporary folder could be created");
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    ~TempDirectory() {
        std::error_code ignored;
        MakeRemovable(path_);
        std::filesystem::remove_all(path_, ignored);
    }

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    // Tests leave read-only folders behind, which a non-root run could not empty, and
    // read-only files, which Windows does not delete.
    static void MakeRemovable(const std::filesystem::path& folder) {
        namespace fs = std::filesystem;
        std::error_code ignored;
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (fs::directory_iterator it(folder, ignored), end; it != end; it.increment(ignored)) {
            if (it->is_symlink(ignored)) continue;
            if (it->is_directory(ignored)) {
                MakeRemovable(it->path());
            } else {
                fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
            }
        }
    }

    std::filesystem::path path_;
};

inline void WriteHostFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

// Writes a file, creating the folders on the way.
inline void PutHostFile(const std::filesystem::path& path, const std::string& content) {
    std::filesystem::create_directories(path.parent_path());
    WriteHostFile(path, content);
}

inline std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A file's content as its size and a hash of it: snapshots of large files that stay readable
// when they differ.
inline std::string SizeAndHash(const std::string& content) {
    return std::to_string(content.size()) + " bytes #" + std::to_string(std::hash<std::string>{}(content));
}

// Every entry below root by its "/"-separated relative path: "<folder>", "-> target" for a
// symbolic link, else the file's content as summary gives it (all of it without one); leftOut
// and what it holds are passed over, and a missing root gives nothing.
using TreeSnapshot = std::map<std::string, std::string>;
inline TreeSnapshot SnapshotTree(const std::filesystem::path& root, const std::filesystem::path& leftOut = {},
                                 std::string (*summary)(const std::string&) = nullptr) {
    namespace fs = std::filesystem;
    TreeSnapshot tree;
    if (!fs::exists(root)) return tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        if (!leftOut.empty() && it->path() == leftOut) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string content = it->is_symlink() || it->is_directory() ? "" : ReadHostFile(it->path());
        tree[fs::relative(it->path(), root).generic_string()] =
            it->is_symlink()     ? "-> " + fs::read_symlink(it->path()).string()
            : it->is_directory() ? "<folder>"
                                 : (summary ? summary(content) : content);
    }
    return tree;
}

}  // namespace vocell::test
