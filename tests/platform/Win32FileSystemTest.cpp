// The Windows file system on real Win32 calls: what it writes and reads, the attributes and times
// it keeps, the paths it refuses, and the errors it reports in the system's words.

#include "platform/win32/Win32Errors.h"
#include "platform/win32/Win32FileSystem.h"
#include "tests/windows/WineDrives.h"

namespace vocell::win32::test {
namespace {

std::span<const std::byte> Bytes(const std::string& text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

class Win32FileSystemTest : public ::testing::Test {
protected:
    FsStatus Write(const std::string& path, const std::string& content, const FileTimes& times = {}) {
        auto writer = fs_.OpenWrite(path);
        if (!writer.ok()) return writer.status();
        if (FsStatus written = writer.value()->Write(Bytes(content)); !written.ok()) return written;
        if (FsStatus set = writer.value()->SetTimes(times); !set.ok()) return set;
        return writer.value()->Close();
    }
    std::string Read(const std::string& path) {
        auto reader = fs_.OpenRead(path);
        EXPECT_TRUE(reader.ok()) << path;
        if (!reader.ok()) return {};
        std::string content;
        std::byte buffer[5];  // small, so that reads take several calls
        for (auto got = reader.value()->Read(buffer); got.ok() && got.value() > 0;
             got = reader.value()->Read(buffer)) {
            content.append(reinterpret_cast<const char*>(buffer), got.value());
        }
        return content;
    }

    TempFolder temp_;
    Win32FileSystem fs_;
};

TEST_F(Win32FileSystemTest, RewritingAFileLeavesNoTailOfTheOldContentHiddenOrNot) {
    const std::string path = temp_ / "A.TXT";
    ASSERT_TRUE(Write(path, "a longer first content").ok());
    ASSERT_TRUE(Write(path, "short").ok());
    EXPECT_EQ(GetFile(path), "short");
    EXPECT_EQ(Read(path), "short");
    EXPECT_EQ(fs_.FileSize(path).value(), 5u);
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(Write(path, "new").ok());
    EXPECT_EQ(GetFile(path), "new");
}

TEST_F(Win32FileSystemTest, DoubledSeparatorsNameTheSameEntries) {
    ASSERT_TRUE(fs_.CreateFolder(temp_.path() + "\\\\VM\\").ok());
    ASSERT_TRUE(Write(temp_.path() + "\\\\VM\\\\A.TXT", "a").ok());
    EXPECT_EQ(GetFile(temp_ / "VM\\A.TXT"), "a");
    EXPECT_TRUE(fs_.CreateFolder(temp_.path() + "\\\\VM\\").ok()) << "an existing folder is no error";
}

TEST_F(Win32FileSystemTest, AttributesAndTimesComeBackAsSet) {
    // Wine keeps no creation time of its own and reports the last-write time for it.
    const FileTimes times{127000000000000003ULL, 127000000000000002ULL, 127000000000000003ULL};
    const std::string file = temp_ / "A.TXT";
    ASSERT_TRUE(Write(file, "a", times).ok());
    EXPECT_EQ(fs_.Times(file).value(), times);
    const std::uint32_t attributes =
        FileAttribute::Hidden | FileAttribute::System | FileAttribute::ReadOnly | FileAttribute::Archive;
    ASSERT_TRUE(fs_.SetAttributes(file, attributes).ok());
    EXPECT_EQ(fs_.Attributes(file).value(), attributes);

    const std::string folder = temp_ / "SUB";
    ASSERT_TRUE(fs_.CreateFolder(folder).ok());
    // The stored word of a folder carries the folder bit, which is no attribute one can set.
    ASSERT_TRUE(fs_.SetAttributes(folder, FileAttribute::Directory | FileAttribute::Hidden).ok());
    EXPECT_EQ(fs_.Attributes(folder).value(), FileAttribute::Directory | FileAttribute::Hidden);
    ASSERT_TRUE(fs_.SetTimes(folder, times).ok());
    EXPECT_EQ(fs_.Times(folder).value(), times);
}

TEST_F(Win32FileSystemTest, DeleteTreeRemovesReadOnlyEntriesAndNothingBeside) {
    PutFile(temp_ / "VM\\PROMPTS\\0\\0\\0\\VERSION.TXT", "0131");
    PutFile(temp_ / "VM\\MSGS\\M1.WAV", "message");
    ::SetFileAttributesA((temp_ / "VM\\PROMPTS\\0\\0\\0\\VERSION.TXT").c_str(), FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesA((temp_ / "VM\\PROMPTS\\0").c_str(),
                         FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(fs_.DeleteTree(temp_ / "VM\\PROMPTS").ok());
    EXPECT_FALSE(Exists(temp_ / "VM\\PROMPTS"));
    EXPECT_EQ(GetFile(temp_ / "VM\\MSGS\\M1.WAV"), "message");
    EXPECT_EQ(fs_.DeleteTree(temp_ / "VM\\PROMPTS").error, FsError::NotFound);
    EXPECT_EQ(fs_.DeleteTree("C:\\").error, FsError::AccessDenied) << "a whole drive is never deleted";
}

TEST_F(Win32FileSystemTest, RenameReplacesAnExistingFileReadOnlyOrNot) {
    PutFile(temp_ / "NEW.partial", "new archive");
    PutFile(temp_ / "CARD.VCB", "old archive, longer");
    ::SetFileAttributesA((temp_ / "CARD.VCB").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(fs_.Rename(temp_ / "NEW.partial", temp_ / "CARD.VCB").ok());
    EXPECT_EQ(GetFile(temp_ / "CARD.VCB"), "new archive");
    EXPECT_FALSE(Exists(temp_ / "NEW.partial"));
    ASSERT_TRUE(fs_.RemoveFile(temp_ / "CARD.VCB").ok());
    EXPECT_FALSE(Exists(temp_ / "CARD.VCB"));
}

TEST_F(Win32FileSystemTest, WritingAHardLinkedFileLeavesItsOtherNameAlone) {
    PutFile(temp_ / "ORIGINAL.WAV", "kept under the other name");
    ASSERT_TRUE(::CreateHardLinkA((temp_ / "LINKED.WAV").c_str(), (temp_ / "ORIGINAL.WAV").c_str(), nullptr));
    ASSERT_TRUE(Write(temp_ / "LINKED.WAV", "restored").ok());
    EXPECT_EQ(GetFile(temp_ / "LINKED.WAV"), "restored");
    EXPECT_EQ(GetFile(temp_ / "ORIGINAL.WAV"), "kept under the other name");
}

TEST_F(Win32FileSystemTest, ContainmentIsJudgedByTheFoldersThemselves) {
    PutFile(temp_ / "BACKUP\\OLD.VCB", "old");
    const std::string backup = temp_ / "BACKUP";
    EXPECT_TRUE(fs_.LiesWithin(backup + "\\OLD.VCB", backup).value());
    EXPECT_TRUE(fs_.LiesWithin(backup + "\\\\NEW.VCB", backup).value()) << "a file not made yet";
    EXPECT_TRUE(fs_.LiesWithin(backup, backup).value());
    EXPECT_FALSE(fs_.LiesWithin(temp_.path(), backup).value());
    EXPECT_FALSE(fs_.LiesWithin(temp_ / "ELSEWHERE.VCB", backup).value());
    EXPECT_EQ(fs_.LiesWithin(temp_ / "NONE\\A.VCB", backup).status().error, FsError::PathNotFound);
    auto free = fs_.FreeSpace(backup);
    ASSERT_TRUE(free.ok());
    EXPECT_GT(free.value(), 0u);
}

// A name Windows would shorten ("A.TXT." and "A.TXT " are "A.TXT" to it) reaches no other entry.
TEST_F(Win32FileSystemTest, PathsThatCouldLeaveTheDriveAreRefusedAndTouchNothing) {
    PutFile(temp_ / "A.TXT", "a");
    for (const std::string& path :
         {temp_ / "SUB\\..\\..\\ESCAPED.TXT", temp_ / "NUL", temp_ / "com1.txt", temp_ / "A.TXT:stream",
          temp_ / "*.TXT", std::string("\\\\?\\") + temp_ / "X.TXT", std::string("relative\\X.TXT"),
          std::string("C:X.TXT"), temp_ / "A.TXT.", temp_ / "A.TXT "}) {
        EXPECT_EQ(fs_.OpenWrite(path).status().error, FsError::PathNotFound) << path;
        EXPECT_EQ(fs_.CreateFolder(path).error, FsError::PathNotFound) << path;
    }
    EXPECT_EQ(fs_.ListFolder(temp_ / "*").status().error, FsError::PathNotFound);
    EXPECT_EQ(GetFile(temp_ / "A.TXT"), "a");
    EXPECT_FALSE(Exists(temp_.path() + "\\..\\ESCAPED.TXT"));
}

TEST_F(Win32FileSystemTest, MissingEntriesAreReportedInTheSystemsWords) {
    auto missingFile = fs_.OpenRead(temp_ / "NONE.TXT");
    EXPECT_EQ(missingFile.status().error, FsError::NotFound);
    EXPECT_EQ(missingFile.status().nativeCode, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(fs_.OpenRead(temp_ / "NONE\\A.TXT").status().error, FsError::PathNotFound);
    EXPECT_EQ(fs_.OpenWrite(temp_ / "NONE\\A.TXT").status().error, FsError::PathNotFound);
    EXPECT_EQ(fs_.ListFolder(temp_ / "NONE").status().error, FsError::NotFound);
    EXPECT_EQ(fs_.OpenRead(temp_.path()).status().error, FsError::AccessDenied) << "a folder is no file";

    const std::string words = fs_.DescribeError(missingFile.status());
    EXPECT_EQ(words, SystemMessage(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(words.empty());
    EXPECT_NE(words.back(), '.');
    EXPECT_NE(words.back(), '\n');
}

TEST(Win32Errors, CodesMapOntoThePortableErrors) {
    const std::pair<DWORD, FsError> cases[] = {
        {ERROR_SUCCESS, FsError::None},
        {ERROR_FILE_NOT_FOUND, FsError::NotFound},
        {ERROR_PATH_NOT_FOUND, FsError::PathNotFound},
        {ERROR_ACCESS_DENIED, FsError::AccessDenied},
        {ERROR_NOT_READY, FsError::NotReady},
        {ERROR_DISK_FULL, FsError::DiskFull},
        {ERROR_HANDLE_DISK_FULL, FsError::DiskFull},
        {ERROR_INVALID_HANDLE, FsError::InvalidHandle},
        {ERROR_INVALID_DATA, FsError::InvalidData},
        {ERROR_SHARING_VIOLATION, FsError::AccessDenied},
        {ERROR_FILENAME_EXCED_RANGE, FsError::PathNotFound},
        {ERROR_GEN_FAILURE, FsError::Other},
        {ERROR_DEVICE_REMOVED, FsError::Other},
    };
    for (const auto& [code, error] : cases) EXPECT_EQ(FsErrorFromWin32(code), error) << code;
}

}  // namespace
}  // namespace vocell::win32::test
