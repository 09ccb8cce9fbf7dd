// Reading, writing, listing, attributes and times of entries on the card.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <span>
#include <string>

#include "PosixFileSystemFixture.h"
#include "platform/linux/files/FileTimeConversion.h"

namespace vocell::posix::test {
namespace {

namespace fs = std::filesystem;
using PosixFileContents = PosixFileSystemTest;
using PosixFolderListing = PosixFileSystemTest;
using PosixAttributes = PosixFileSystemTest;
using PosixTimes = PosixFileSystemTest;

constexpr std::uint64_t kTimeA = 127000000001234567ULL;  // 2003, with sub-second ticks
constexpr std::uint64_t kTimeB = 131000000007654321ULL;  // 2016

TEST_F(PosixFileContents, WrittenFileReadsBackWithItsSize) {
    ASSERT_TRUE(fs_->CreateFolder("E:\\VM").ok());
    ASSERT_TRUE(WriteFile("E:\\VM\\GREETING.WAV", "hello, card").ok());

    EXPECT_EQ(ReadHostFile(card_ / "VM" / "GREETING.WAV"), "hello, card");
    EXPECT_EQ(ValueOf(ReadFile("e:/VM//GREETING.WAV")), "hello, card");
    auto reader = fs_->OpenRead("E:\\VM\\GREETING.WAV");
    ASSERT_TRUE(reader.ok());
    EXPECT_EQ(ValueOf(reader.value()->Size()), 11u);
    EXPECT_EQ(ValueOf(fs_->FileSize("E:\\VM\\GREETING.WAV")), 11u);
}

TEST_F(PosixFileContents, FilesNotInMemoryAreReadFromTheMediumAllTheSame) {
    // Reads first ask only for what is in memory; files pushed out of it must still read whole,
    // before and after enough of them turn reading ahead on.
    for (std::size_t i = 0; i < 6; ++i) {
        const std::string name = "COLD" + std::to_string(i) + ".WAV";
        const std::string content(200000 + i, static_cast<char>('a' + i));
        WriteHostFile(card_ / name, content);
        const int fd = ::open((card_ / name).c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        ::fsync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
        auto reader = fs_->OpenRead("E:\\" + name);
        ASSERT_TRUE(reader.ok());
        reader.value()->Prefetch();
        std::string back(content.size() + 1, '\0');
        auto read = ReadFully(*reader.value(), std::as_writable_bytes(std::span<char>(back)));
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(back.substr(0, read.value()), content) << name;
    }
}

// Reading a file back from the medium gives its content and leaves the access time a restore
// has just set, where a plain read on this mount would move it on.
TEST_F(PosixTimes, ReadingBackFromTheMediumKeepsTheAccessTime) {
    const std::string content(100'000, 'r');
    for (const char* name : {"PLAIN.WAV", "BACK.WAV"}) {
        WriteHostFile(card_ / name, content);
        ASSERT_TRUE(fs_->SetTimes("E:\\" + std::string(name), {0, kTimeA, kTimeA}).ok());
        ASSERT_TRUE(fs_->FlushVolume("E:\\").ok());
    }
    std::string back(content.size() + 1, '\0');
    auto plain = fs_->OpenRead("E:\\PLAIN.WAV");
    ASSERT_TRUE(plain.ok());
    static_cast<void>(ReadFully(*plain.value(), std::as_writable_bytes(std::span<char>(back))));
    auto fromMedium = fs_->OpenReadFromMedium("E:\\BACK.WAV");
    ASSERT_TRUE(fromMedium.ok());
    auto read = ReadFully(*fromMedium.value(), std::as_writable_bytes(std::span<char>(back)));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(back.substr(0, read.value()), content);
    EXPECT_EQ(ValueOf(fs_->Times("E:\\BACK.WAV")).lastAccess, kTimeA);
    if (ValueOf(fs_->Times("E:\\PLAIN.WAV")).lastAccess == kTimeA) {
        GTEST_SKIP() << "this mount keeps no access times, so the read back could not have moved it";
    }
}

TEST(MediumPace, ReadingAheadStartsWhenReadsWaitForTheMediumCloseTogether) {
    posix::MediumPace pace;
    for (int i = 0; i < 15; ++i) pace.Waited();
    EXPECT_FALSE(pace.readsAhead()) << "a busy page now and then is no slow medium";
    EXPECT_TRUE(pace.asksFirst());
    for (int i = 0; i < 1024; ++i) pace.DidNotWait();
    pace.Waited();
    EXPECT_FALSE(pace.readsAhead()) << "waits far apart do not add up";
    for (int i = 0; i < 15; ++i) pace.Waited();
    EXPECT_TRUE(pace.readsAhead());
    EXPECT_FALSE(pace.asksFirst());

    posix::MediumPace cannotTell;
    cannotTell.CannotTell();
    EXPECT_TRUE(cannotTell.readsAhead());
    EXPECT_FALSE(cannotTell.asksFirst());
}

TEST_F(PosixFileContents, OpenWriteAndTruncateCutTheFileAndWritingGoesOnFromThere) {
    WriteHostFile(card_ / "VERSION.TXT", "a much longer old content");
    ASSERT_TRUE(WriteFile("E:\\VERSION.TXT", "new").ok());
    EXPECT_EQ(ReadHostFile(card_ / "VERSION.TXT"), "new");
    auto writer = fs_->OpenWrite("E:\\DATA.BIN");
    ASSERT_TRUE(writer.ok());
    FileWriter& out = *writer.value();
    ASSERT_TRUE(out.Write(BytesOf("0123456789")).ok());
    ASSERT_TRUE(out.Truncate(4).ok());
    ASSERT_TRUE(out.Write(BytesOf("XY")).ok());
    ASSERT_TRUE(out.Flush().ok());
    ASSERT_TRUE(out.Close().ok());
    EXPECT_EQ(ReadHostFile(card_ / "DATA.BIN"), "0123XY");
}

TEST_F(PosixFileContents, ClosedWriterRefusesFurtherCalls) {
    auto writer = fs_->OpenWrite("E:\\DATA.BIN");
    ASSERT_TRUE(writer.ok());
    FileWriter& out = *writer.value();
    ASSERT_TRUE(out.Close().ok());
    EXPECT_EQ(out.Write(BytesOf("x")).error, FsError::InvalidHandle);
    EXPECT_EQ(out.Truncate(0).error, FsError::InvalidHandle);
    EXPECT_EQ(out.SetTimes({0, kTimeA, kTimeA}).error, FsError::InvalidHandle);
    EXPECT_EQ(out.Flush().error, FsError::InvalidHandle);
    EXPECT_EQ(out.Close().error, FsError::InvalidHandle);
}

TEST_F(PosixFileContents, WriterDroppedUnclosedStillLeavesItsData) {
    {
        auto writer = fs_->OpenWrite("E:\\DATA.BIN");
        ASSERT_TRUE(writer.ok());
        ASSERT_TRUE(writer.value()->Write(BytesOf("kept")).ok());
    }
    EXPECT_EQ(ReadHostFile(card_ / "DATA.BIN"), "kept");
}

TEST_F(PosixFileContents, RenameReplacesAnExistingFile) {
    fs::create_directories(card_ / "A");
    WriteHostFile(card_ / "A" / "NEW.TMP", "new content");
    WriteHostFile(card_ / "OLD.DAT", "old");
    ASSERT_TRUE(fs_->Rename("E:\\A\\NEW.TMP", "E:\\OLD.DAT").ok());
    EXPECT_EQ(ReadHostFile(card_ / "OLD.DAT"), "new content");
    EXPECT_FALSE(fs::exists(card_ / "A" / "NEW.TMP"));
}

TEST_F(PosixFileContents, RemoveFileDeletesOnlyThatFile) {
    WriteHostFile(card_ / "A.TXT", "a");
    WriteHostFile(card_ / "B.TXT", "b");
    ASSERT_TRUE(fs_->RemoveFile("E:\\A.TXT").ok());
    EXPECT_FALSE(fs::exists(card_ / "A.TXT"));
    EXPECT_TRUE(fs::exists(card_ / "B.TXT"));
    EXPECT_EQ(fs_->RemoveFile("E:\\A.TXT").error, FsError::NotFound);
}

TEST_F(PosixFileContents, FlushVolumeAndFlushFolderSucceedOnTheDriveAndNameWhatIsMissing) {
    fs::create_directories(card_ / "VM");
    ASSERT_TRUE(WriteFile("E:\\A.TXT", "a").ok());
    EXPECT_TRUE(fs_->FlushVolume("E:\\A.TXT").ok());
    EXPECT_TRUE(fs_->FlushVolume("E:\\").ok());
    EXPECT_EQ(fs_->FlushVolume("F:\\").error, FsError::PathNotFound);
    EXPECT_TRUE(fs_->FlushFolder("E:\\VM\\").ok());
    EXPECT_TRUE(fs_->FlushFolder("E:\\").ok());
    EXPECT_EQ(fs_->FlushFolder("E:\\NONE\\").error, FsError::NotFound);
}

TEST_F(PosixFolderListing, ListsEveryEntryWithItsAttributes) {
    fs::create_directories(card_ / "VM" / "PROMPTS");
    WriteHostFile(card_ / "VM" / "A.WAV", "a");
    WriteHostFile(card_ / "VM" / ".hidden", "h");
    WriteHostFile(card_ / "VM" / "LOCKED.TXT", "r");
    fs::permissions(card_ / "VM" / "LOCKED.TXT", fs::perms::owner_read | fs::perms::group_read);
    fs::create_directory_symlink(outside_, card_ / "VM" / "LINK");

    const auto listing = ValueOf(fs_->ListFolder("E:\\VM\\"));
    std::map<std::string, std::uint32_t> found;
    for (const FolderEntry& entry : listing) found[entry.name] = entry.attributes;
    const std::map<std::string, std::uint32_t> expected{
        {"PROMPTS", FileAttribute::Directory},
        {"A.WAV", FileAttribute::Archive},
        {".hidden", FileAttribute::Archive},
        {"LOCKED.TXT", FileAttribute::Archive | FileAttribute::ReadOnly},
        {"LINK", 0},
    };
    EXPECT_EQ(found, expected);
    EXPECT_EQ(listing.size(), expected.size());

    // A listing for a reader may leave a file's word to the open file, never a folder's.
    const auto forReading = ValueOf(fs_->ListFolderForReading("E:\\VM\\"));
    ASSERT_EQ(forReading.size(), expected.size());
    for (const FolderEntry& entry : forReading) {
        const std::uint32_t full = expected.at(entry.name);
        EXPECT_TRUE(entry.attributes == full ||
                    (entry.attributes == 0 && (full & FileAttribute::Archive) != 0))
            << entry.name;
    }
}

TEST_F(PosixAttributes, ReadOnlyRoundTripsOnFiles) {
    WriteHostFile(card_ / "A.TXT", "a");
    const std::uint32_t before = ValueOf(fs_->Attributes("E:\\A.TXT"));
    EXPECT_EQ(before & FileAttribute::ReadOnly, 0u);
    ASSERT_TRUE(fs_->SetAttributes("E:\\A.TXT", before | FileAttribute::ReadOnly).ok());
    EXPECT_EQ(fs_->Attributes("E:\\A.TXT").value(), before | FileAttribute::ReadOnly);
    EXPECT_EQ(fs::status(card_ / "A.TXT").permissions() &
                  (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write),
              fs::perms::none);

    ASSERT_TRUE(fs_->SetAttributes("E:\\A.TXT", before).ok());
    EXPECT_EQ(fs_->Attributes("E:\\A.TXT").value(), before);
    EXPECT_NE(fs::status(card_ / "A.TXT").permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(PosixAttributes, OpenFilesSetAndReportTheAttributeWordThemselves) {
    auto writer = fs_->OpenWrite("E:\\A.TXT");
    ASSERT_TRUE(writer.ok());
    ASSERT_TRUE(writer.value()->SetAttributes(FileAttribute::Archive | FileAttribute::ReadOnly).ok());
    ASSERT_TRUE(writer.value()->Write(BytesOf("still writable")).ok());  // through this handle
    ASSERT_TRUE(writer.value()->Close().ok());
    EXPECT_EQ(ReadHostFile(card_ / "A.TXT"), "still writable");
    EXPECT_EQ(fs_->Attributes("E:\\A.TXT").value(), FileAttribute::Archive | FileAttribute::ReadOnly);

    auto reader = fs_->OpenRead("E:\\A.TXT");
    ASSERT_TRUE(reader.ok());
    EXPECT_EQ(reader.value()->Attributes().value(), FileAttribute::Archive | FileAttribute::ReadOnly);
    reader.value()->Prefetch();  // a hint, with nothing to check but that reading still works
    EXPECT_EQ(ValueOf(ReadFile("E:\\A.TXT")), "still writable");
}

// The mode bits of a host file.
fs::perms PermissionsOf(const fs::path& path) { return fs::status(path).permissions() & fs::perms::all; }

TEST_F(PosixAttributes, NewFilesGetTheirReadOnlyBitUnderAnyUmaskOrDefaultAcl) {
    const mode_t usual = ::umask(0277);  // new files come out 0400: not writable by the owner
    auto plain = fs_->OpenWrite("E:\\PLAIN.TXT");
    auto locked = fs_->CreateNew("E:\\LOCKED.TXT");
    ::umask(usual);
    ASSERT_TRUE(plain.ok() && locked.ok());
    ASSERT_TRUE(plain.value()->SetAttributes(FileAttribute::Archive).ok());
    ASSERT_TRUE(locked.value()->SetAttributes(FileAttribute::Archive | FileAttribute::ReadOnly).ok());
    EXPECT_EQ(PermissionsOf(card_ / "PLAIN.TXT"), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(PermissionsOf(card_ / "LOCKED.TXT"), fs::perms::owner_read);

    // A default ACL that gives the owner of new files no write permission, whatever the umask.
    fs::create_directories(card_ / "ACL");
    const std::uint16_t readOnlyAcl[] = {2, 0,      0x01,   4,    0xffff, 0xffff, 0x04,
                                         4, 0xffff, 0xffff, 0x20, 4,      0xffff, 0xffff};
    if (::setxattr((card_ / "ACL").c_str(), "system.posix_acl_default", readOnlyAcl, sizeof readOnlyAcl, 0) !=
        0) {
        GTEST_SKIP() << "no ACLs here: " << std::strerror(errno);
    }
    auto underAcl = fs_->OpenWrite("E:\\ACL\\PLAIN.TXT");
    ASSERT_TRUE(underAcl.ok());
    ASSERT_EQ(PermissionsOf(card_ / "ACL" / "PLAIN.TXT") & fs::perms::owner_write, fs::perms::none);
    ASSERT_TRUE(underAcl.value()->SetAttributes(FileAttribute::Archive).ok());
    EXPECT_NE(PermissionsOf(card_ / "ACL" / "PLAIN.TXT") & fs::perms::owner_write, fs::perms::none);
}

TEST_F(PosixAttributes, ReadOnlyOnAFolderIsIgnoredSoItStillTakesFiles) {
    fs::create_directories(card_ / "DIR");
    ASSERT_TRUE(fs_->SetAttributes("E:\\DIR", FileAttribute::Directory | FileAttribute::ReadOnly).ok());
    EXPECT_EQ(fs_->Attributes("E:\\DIR").value(), FileAttribute::Directory);
    EXPECT_NE(fs::status(card_ / "DIR").permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(PosixAttributes, BitsWithoutAHostMeaningAreAcceptedAndIgnored) {
    WriteHostFile(card_ / "A.TXT", "a");
    ASSERT_TRUE(fs_->SetAttributes("E:\\A.TXT", FileAttribute::Hidden | FileAttribute::System).ok());
    EXPECT_EQ(fs_->Attributes("E:\\A.TXT").value(), FileAttribute::Archive);
    EXPECT_EQ(ValueOf(fs_->Attributes("E:\\")), FileAttribute::Directory);
}

TEST_F(PosixTimes, TimesSetByPathReadBackAndZeroLeavesThatTimeAsItIs) {
    WriteHostFile(card_ / "A.TXT", "a");
    fs::create_directories(card_ / "DIR");
    for (const std::string path : {"E:\\A.TXT", "E:\\DIR"}) {
        ASSERT_TRUE(fs_->SetTimes(path, {0, kTimeA, kTimeA}).ok()) << path;
        ASSERT_TRUE(fs_->SetTimes(path, {0, 0, kTimeB}).ok()) << path;
        const FileTimes times = ValueOf(fs_->Times(path));
        EXPECT_EQ(times.lastAccess, kTimeA) << path;
        EXPECT_EQ(times.lastWrite, kTimeB) << path;
    }
}

TEST_F(PosixTimes, TimesSetOnTheOpenFileStayAfterClose) {
    auto writer = fs_->OpenWrite("E:\\A.TXT");
    ASSERT_TRUE(writer.ok());
    ASSERT_TRUE(writer.value()->Write(BytesOf("content")).ok());
    ASSERT_TRUE(writer.value()->SetTimes({kTimeA, kTimeB, kTimeA}).ok());
    ASSERT_TRUE(writer.value()->Close().ok());

    const FileTimes byPath = ValueOf(fs_->Times("E:\\A.TXT"));
    EXPECT_EQ(byPath.lastAccess, kTimeB);
    EXPECT_EQ(byPath.lastWrite, kTimeA);
    auto reader = fs_->OpenRead("E:\\A.TXT");
    ASSERT_TRUE(reader.ok());
    EXPECT_EQ(ValueOf(reader.value()->Times()), byPath);
}

TEST_F(PosixTimes, CreationTimeIsReportedWhereTheFileSystemKeepsIt) {
    WriteHostFile(card_ / "A.TXT", "a");
    struct statx info {};
    ASSERT_EQ(::statx(AT_FDCWD, (card_ / "A.TXT").c_str(), 0, STATX_BTIME, &info), 0);
    EXPECT_EQ(ValueOf(fs_->Times("E:\\A.TXT")).creation,
              (info.stx_mask & STATX_BTIME) == 0
                  ? 0u
                  : FileTimeFromUnix(info.stx_btime.tv_sec, info.stx_btime.tv_nsec));
}

TEST_F(PosixFileContents, CardSwappedUnderTheMountPointIsSeenAfresh) {
    std::filesystem::create_directories(card_ / "VM");
    ASSERT_TRUE(WriteFile("E:\\VM\\A.TXT", "first card").ok());
    ASSERT_EQ(ReadFile("E:\\VM\\A.TXT").value(), "first card");
    std::filesystem::rename(card_, card_.string() + ".out");
    EXPECT_EQ(fs_->OpenRead("E:\\VM\\A.TXT").status().error, FsError::NotReady);
    std::filesystem::create_directories(card_ / "VM");
    WriteHostFile(card_ / "VM" / "A.TXT", "second card");
    EXPECT_EQ(ReadFile("E:\\VM\\A.TXT").value(), "second card");
}

}  // namespace
}  // namespace vocell::posix::test
