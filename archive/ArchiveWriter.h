#pragma once
// The archive writer: a depth-first walk of a folder tree that appends one entry per folder and
// file. Folder entries carry one zero data block; file entries carry the file's backup stream.
// Whatever cannot be read is left out of the archive and reported, never stored empty.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/BlockIO.h"
#include "archive/NamedEntry.h"
#include "platform/FileSystem.h"

namespace vocell::archive {

class ArchiveWriterListener {
public:
    virtual ~ArchiveWriterListener() = default;
    // The stored path of the folder or file being archived (pane 1 of the status bar).
    virtual void ShowStoredPath(std::string_view /*storedPath*/) {}
    // Called at every piece of data read or written, however long one file takes, with the
    // archive's bytes written so far, so that a window can keep answering the system and say how
    // far the backup has come.
    virtual void StoringData(std::uint64_t /*archiveBytes*/) {}
};

class ArchiveWriter {
public:
    ArchiveWriter(FileSystem& fileSystem, ArchiveSink& sink, ArchiveWriterListener& listener);

    // Appends an entry for every folder and file below folder (a path ending in "\"); folders
    // whose names begin with "." are passed over with everything in them, and so are the
    // utility's own files on the card.
    void ArchiveTree(const std::string& folder);

    [[nodiscard]] const std::vector<NamedEntry>& leftOut() const { return leftOut_; }

private:
    bool FitsInArchive(const std::string& storedPath);
    bool WriteFolderEntry(const std::string& storedPath, std::uint32_t attributes);
    bool WriteFileEntry(const std::string& storedPath, FsResult<std::unique_ptr<FileReader>> file);
    bool LeaveOut(const std::string& path, std::string reason);

    FileSystem& fileSystem_;
    ArchiveSink& sink_;
    ArchiveWriterListener& listener_;
    std::vector<char> readBuffer_;
    std::vector<NamedEntry> leftOut_;
};

// The bytes ArchiveTree(folder) appends, worked out from the folders' listings alone (a file that
// changes before it is read makes the archive differ), one folder at a time: a window can measure
// a card while it waits for the user.
class TreeMeasure {
public:
    TreeMeasure(FileSystem& fileSystem, std::string folder);

    // Lists one more folder; false once every folder has been listed.
    bool Step();
    // Lists every folder left, calling working before each.
    void Finish(const std::function<void()>& working);
    [[nodiscard]] bool done() const { return pending_.empty(); }
    // The bytes of the folders listed so far; the whole tree's once done.
    [[nodiscard]] std::uint64_t bytes() const { return bytes_; }
    [[nodiscard]] const std::string& folder() const { return folder_; }
    // False once a folder could not be listed (its bytes are missing from the measure).
    [[nodiscard]] bool allListed() const { return allListed_; }

private:
    FileSystem& fileSystem_;
    std::string folder_;
    std::vector<std::string> pending_;
    std::uint64_t bytes_ = 0;
    bool allListed_ = true;
};

}  // namespace vocell::archive
