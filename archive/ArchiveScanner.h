#pragma once
// Reads a card archive entry by entry. A file's data ends where its BACKUP_DATA record says; where
// the data does not begin with a readable record (an archive of another origin) it ends at the
// next block that passes the header test. The format's writer ends a file's data early when the
// file cannot be read to its end, yet the record still promises the whole file: a block inside the
// promised data that is a well-formed entry header of the same drive marks such a stream cut
// short, and the entry after it is read as usual. Every damage the scanner can see stops it with a
// description of what is wrong with which entry.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "archive/BackupStream.h"
#include "archive/BlockIO.h"
#include "archive/EntryHeader.h"

namespace vocell::archive {

enum class EntryKind { Folder, File, Unsupported };

// An archive open for reading, with its length.
struct OpenedArchive {
    std::unique_ptr<FileReader> reader;
    std::uint64_t length = 0;
};
FsResult<OpenedArchive> OpenArchive(FileSystem& fileSystem, const std::string& archivePath);

struct ScannedEntry {
    EntryHeader header;
    EntryKind kind = EntryKind::Unsupported;
    std::uint64_t headerBlock = 0;                   // index of the entry's header block
    std::optional<std::uint64_t> recordContentSize;  // known when the data is a readable record
    // Set once the entry's data has been read and turned out cut short: the archive holds only
    // heldContentSize bytes of the recordContentSize its record promises.
    bool cutShort = false;
    std::uint64_t heldContentSize = 0;
};

class ArchiveScanner {
public:
    using ContentFn = std::function<bool(std::span<const char>)>;

    // readSize: how much of the archive is read at a time.
    ArchiveScanner(FileReader& archive, std::uint64_t archiveLength, std::size_t readSize = kArchiveReadSize);

    // Reads the archive header block. False when the archive is unusable (see problem()).
    bool ReadArchiveHeader();
    [[nodiscard]] const std::string& version() const { return version_; }

    // Moves to the next entry, passing over what is left of the current entry's data and over
    // blocks that are not entry headers. False at the end of the archive or on damage.
    bool NextEntry();
    [[nodiscard]] const ScannedEntry& entry() const { return entry_; }

    // Hands the content of the current file entry to onContent, piece by piece. False when
    // onContent asked to stop or the archive turned out damaged.
    bool ReadContent(const ContentFn& onContent);

    // False after readContent of a file whose data held no BACKUP_DATA record at all.
    [[nodiscard]] bool lastContentHadRecord() const { return lastContentHadRecord_; }

    [[nodiscard]] std::uint64_t consumed() const { return reader_.consumed(); }
    // What is wrong with the archive, once the scanner has stopped on damage.
    [[nodiscard]] const std::optional<std::string>& problem() const { return problem_; }

private:
    enum class Data { None, Record, UntilNextHeader };

    // Points current_ at the next block (in the reader's buffer, valid until the next read), or
    // keeps the block held back if there is one.
    bool ReadBlock(std::size_t& count);
    bool Fail(std::string description);
    bool StartEntry();
    bool PassOverRecordData();
    // Reads the next data block of a record; false on damage, and false with dataEnded set when
    // that block begins the next entry of a stream cut short.
    bool NextRecordBlock(bool& dataEnded);
    bool ReadRecordContent(const ContentFn& onContent);
    bool ReadUntilNextHeader(const ContentFn& onContent);
    [[nodiscard]] std::string entryName() const;

    BlockReader reader_;
    std::uint64_t length_;
    std::string version_;
    const Block* current_ = nullptr;
    bool heldBack_ = false;  // current_ is a block read ahead that is still to be handled
    std::uint64_t nextBlockIndex_ = 0;
    ScannedEntry entry_;
    Data data_ = Data::None;
    Block firstData_{};
    std::uint64_t recordBlocksLeft_ = 0;  // data blocks of the record not yet read
    bool firstDataUsed_ = false;
    bool lastContentHadRecord_ = true;
    std::uint64_t entryCount_ = 0;
    std::optional<std::string> problem_;
};

}  // namespace vocell::archive
