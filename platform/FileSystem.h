#pragma once
// The file operations the card archive and the card operations need, on the card's own
// Windows-style paths ("E:\VM\PROMPTS\0\0\0\VERSION.TXT"). Every call returns a result with a
// portable error and the platform's native code; nothing throws.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace vocell {

enum class FsError {
    None,
    NotReady,      // the drive holds no medium
    NotFound,      // the file or folder itself does not exist
    PathNotFound,  // a folder on the way to it does not exist, or the path is malformed
    AccessDenied,  // read-only, in use, not permitted, or outside the drive
    DiskFull,
    AlreadyExists,  // an exclusive create found the name taken
    InvalidHandle,
    InvalidData,
    Other,
};

const char* FsErrorName(FsError error);

// Marked [[nodiscard]], like every result type of the utility: a failure is never dropped unseen.
struct [[nodiscard]] FsStatus {
    FsError error = FsError::None;
    int nativeCode = 0;  // errno on Linux, GetLastError() on Windows

    [[nodiscard]] bool ok() const { return error == FsError::None; }
    static FsStatus Failure(FsError error, int nativeCode) { return {error, nativeCode}; }
};

// A value or the failure that prevented it.
template <class T>
class [[nodiscard]] FsResult {
public:
    FsResult(T value) : state_(std::move(value)) {}  // NOLINT: implicit by design
    FsResult(FsStatus failure) : state_(failure) {}  // NOLINT: implicit by design

    [[nodiscard]] bool ok() const { return std::holds_alternative<T>(state_); }
    [[nodiscard]] T& value() { return std::get<T>(state_); }
    [[nodiscard]] const T& value() const { return std::get<T>(state_); }
    [[nodiscard]] FsStatus status() const { return ok() ? FsStatus{} : std::get<FsStatus>(state_); }

private:
    std::variant<T, FsStatus> state_;
};

// FILE_ATTRIBUTE_ bits of the attribute word.
namespace FileAttribute {
inline constexpr std::uint32_t ReadOnly = 0x01;
inline constexpr std::uint32_t Hidden = 0x02;
inline constexpr std::uint32_t System = 0x04;
inline constexpr std::uint32_t Directory = 0x10;
inline constexpr std::uint32_t Archive = 0x20;
inline constexpr std::uint32_t Normal = 0x80;
}  // namespace FileAttribute

// The three file times as FILETIME values: 100-nanosecond intervals since 1601-01-01 UTC.
// A time the platform cannot report is 0.
inline constexpr std::uint64_t kFileTimeTicksPerSecond = 10'000'000;
// 1970-01-01 00:00:00 UTC as a FILETIME.
inline constexpr std::uint64_t kUnixEpochFileTime = 116'444'736'000'000'000;

struct FileTimes {
    std::uint64_t creation = 0;
    std::uint64_t lastAccess = 0;
    std::uint64_t lastWrite = 0;
    bool operator==(const FileTimes&) const = default;
};

struct FolderEntry {
    std::string name;
    std::uint32_t attributes = 0;
    // A file's size in bytes, where the listing says it (see ListFolderWithSizes); 0 otherwise.
    std::uint64_t size = 0;
};

// What tells one state of a file's content from another: its size and last-write time.
struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;
    bool operator==(const FileStamp&) const = default;
};

class FileReader {
public:
    virtual ~FileReader() = default;
    // Reads up to buffer.size() bytes; 0 at the end of the file.
    virtual FsResult<std::size_t> Read(std::span<std::byte> buffer) = 0;
    // The size, times and attribute word as the file was when it was opened or first asked (one
    // query serves them all, so that a caller holding the open file never asks by path again).
    virtual FsResult<std::uint64_t> Size() = 0;
    virtual FsResult<FileTimes> Times() = 0;
    virtual FsResult<std::uint32_t> Attributes() = 0;
    // The file's size and last-write time as they are now, asked afresh at every call.
    virtual FsResult<FileStamp> Stamp() = 0;
    // Goes back to the start of the file, so that it can be read again through the same handle.
    virtual FsStatus Rewind() = 0;
    // Asks the platform to start reading the whole file into memory without waiting for it, so
    // that reading it later finds it there. Only a hint: it may do nothing.
    virtual void Prefetch() = 0;
    // For a file opened to read from the medium: lets go of what memory holds of the range and
    // starts reading it again from the medium, for a range written since the file was opened.
    // False where the platform cannot (the range is then not to be read back this way).
    virtual bool RereadFromMedium(std::uint64_t /*offset*/, std::uint64_t /*length*/) { return false; }
};

// Reads until buffer is full or the file ends; the number of bytes read.
FsResult<std::size_t> ReadFully(FileReader& file, std::span<std::byte> buffer);

class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Writes all of data at the current position, or fails.
    virtual FsStatus Write(std::span<const std::byte> data) = 0;
    // Cuts the file to size bytes; writing goes on from there.
    virtual FsStatus Truncate(std::uint64_t size) = 0;
    // Sets the times on the open file; call after the last write so that they stay.
    virtual FsStatus SetTimes(const FileTimes& times) = 0;
    // Sets the attribute word on the open file (which stays writable through this handle).
    virtual FsStatus SetAttributes(std::uint32_t attributes) = 0;
    // Pushes the written data to the medium.
    virtual FsStatus Flush() = 0;
    // Returns once the range written is on the medium; false where the platform cannot say so of
    // one range (only Flush then tells).
    virtual bool WaitUntilOnMedium(std::uint64_t /*offset*/, std::uint64_t /*length*/) { return false; }
    // Closes the file, reporting errors that only show on close. Further calls fail.
    virtual FsStatus Close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Every entry of a folder ("." and ".." left out), hidden and system entries included,
    // in the file system's own order.
    virtual FsResult<std::vector<FolderEntry>> ListFolder(const std::string& folder) = 0;
    // The same, for a caller that opens every file it lists and reads the file's attribute word
    // there: a file's word may be left 0 where the listing alone cannot give it without a further
    // call per file. A folder's word is always given.
    virtual FsResult<std::vector<FolderEntry>> ListFolderForReading(const std::string& folder) {
        return ListFolder(folder);
    }
    // The same as ListFolderForReading, with every file's size, for measuring a tree before it
    // is read. An entry that is neither a file nor a folder (a link) has size 0.
    virtual FsResult<std::vector<FolderEntry>> ListFolderWithSizes(const std::string& folder);
    virtual FsResult<std::uint32_t> Attributes(const std::string& path) = 0;
    virtual FsStatus SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
    virtual FsResult<std::unique_ptr<FileReader>> OpenRead(const std::string& path) = 0;
    // The same, reading what the medium holds rather than what the system keeps of the file in
    // memory: for reading back a file written and flushed a moment ago.
    virtual FsResult<std::unique_ptr<FileReader>> OpenReadFromMedium(const std::string& path) = 0;
    // Creates the file, or opens an existing one and cuts it to length 0, for writing. An existing
    // file that has other names too (hard links) is replaced by a new file instead, so that
    // writing never reaches a file by another name.
    virtual FsResult<std::unique_ptr<FileWriter>> OpenWrite(const std::string& path) = 0;
    // Creates a new file for writing; AlreadyExists, and nothing touched, when the name is taken.
    virtual FsResult<std::unique_ptr<FileWriter>> CreateNew(const std::string& path) = 0;
    // Creates a folder; an existing folder is not an error.
    virtual FsStatus CreateFolder(const std::string& path) = 0;
    virtual FsResult<FileTimes> Times(const std::string& path) = 0;
    virtual FsStatus SetTimes(const std::string& path, const FileTimes& times) = 0;
    // Deletes a folder with everything below it. It never descends into another file system
    // mounted inside the folder; such a subtree stays and the deletion fails.
    virtual FsStatus DeleteTree(const std::string& path) = 0;
    virtual FsResult<std::uint64_t> FileSize(const std::string& path) = 0;
    // Renames a file, replacing an existing file of the target name, read-only or not.
    virtual FsStatus Rename(const std::string& from, const std::string& to) = 0;
    virtual FsStatus RemoveFile(const std::string& path) = 0;
    // Pushes everything written on the drive that holds path to the medium.
    virtual FsStatus FlushVolume(const std::string& path) = 0;
    // Pushes the folder's own entries (the names created, renamed or removed in it) to the
    // medium, so that a rename into it survives a crash.
    virtual FsStatus FlushFolder(const std::string& folder) = 0;
    // Bytes free for writing on the drive that holds path.
    virtual FsResult<std::uint64_t> FreeSpace(const std::string& path) = 0;
    // The unit in which the drive that holds path gives out space: a file takes whole units (on
    // FAT and Windows the cluster).
    virtual FsResult<std::uint64_t> AllocationUnit(const std::string& path) = 0;
    // Whether the file system that holds path keeps one entry for names that differ only in case
    // or in trailing dots and spaces, as FAT does and every drive on Windows.
    virtual bool MergesNameVariants(const std::string& path) = 0;
    // Whether the file or folder at path is the folder itself or lies below it, judged by the
    // identity of the folders (not by the text of the paths), so that another name for the same
    // folder, a link or a second mount of it, is recognised.
    virtual FsResult<bool> LiesWithin(const std::string& path, const std::string& folder) = 0;

    // The platform's own words for a failure, for messages to the user.
    virtual std::string DescribeError(const FsStatus& status) const;
};

}  // namespace vocell
