#pragma once
// What every platform's FileSystem does alike, as one typed suite. Each platform's test program
// instantiates it with a Card type of its own: a fresh folder reached through the file system
// under test, with the host's own calls beside it:
//   FileSystem-derived fs;                 the file system under test
//   std::string Path(name);                the card path of name ("VM\A.TXT") below the folder
//   void Put(name, content);               host calls: write a file, folders on the way made,
//   std::string Get(name); bool Exists(name);  read it back, see whether it is there
//   void HardLink(existing, name);
//   static constexpr int kFileNotFound;    the native code of a missing file

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <span>
#include <string>

#include "platform/FileSystem.h"

namespace vocell {
inline void PrintTo(FsError error, std::ostream* out) { *out << FsErrorName(error); }
}  // namespace vocell

namespace vocell::test {

inline std::span<const std::byte> BytesOf(const std::string& text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

// The result's value; a failure is recorded, and a default value returned, when it holds none.
template <typename T>
T ValueOf(FsResult<T> result) {
    EXPECT_TRUE(result.ok()) << FsErrorName(result.status().error);
    return result.ok() ? std::move(result.value()) : T{};
}

inline constexpr std::uint64_t kTimeA = 127000000001234567ULL;  // 2003, with sub-second ticks
inline constexpr std::uint64_t kTimeB = 131000000007654321ULL;  // 2016

template <class Card>
class FileSystemContract : public ::testing::Test {
protected:
    FsStatus Write(const std::string& name, const std::string& content, const FileTimes& times = {}) {
        auto writer = fs_.OpenWrite(card_.Path(name));
        if (!writer.ok()) return writer.status();
        if (FsStatus written = writer.value()->Write(BytesOf(content)); !written.ok()) return written;
        if (FsStatus set = writer.value()->SetTimes(times); !set.ok()) return set;
        return writer.value()->Close();
    }
    std::string Read(const std::string& name) {
        auto reader = fs_.OpenRead(card_.Path(name));
        EXPECT_TRUE(reader.ok()) << name;
        std::string content;
        std::byte buffer[7];  // small, so that reads take several calls
        for (auto got = reader.ok() ? reader.value()->Read(buffer) : reader.status();
             got.ok() && got.value() > 0; got = reader.value()->Read(buffer)) {
            content.append(reinterpret_cast<const char*>(buffer), got.value());
        }
        return content;
    }
    FsError ErrorOf(const FsStatus& status) { return status.error; }
    template <class T>
    FsError ErrorOf(const FsResult<T>& result) {
        return result.status().error;
    }

    Card card_;
    FileSystem& fs_ = card_.fs;
};

TYPED_TEST_SUITE_P(FileSystemContract);

TYPED_TEST_P(FileSystemContract, RewrittenAndCutFilesKeepNoTailOfTheOldContent) {
    auto& card = this->card_;
    ASSERT_TRUE(this->fs_.CreateFolder(card.Path("VM\\\\")).ok());
    ASSERT_TRUE(this->fs_.CreateFolder(card.Path("VM")).ok()) << "an existing folder is no error";
    ASSERT_TRUE(this->Write("VM\\\\A.TXT", "a longer first content").ok());
    ASSERT_TRUE(this->Write("VM\\A.TXT", "short").ok());
    EXPECT_EQ(card.Get("VM\\A.TXT"), "short");
    EXPECT_EQ(this->Read("VM\\\\A.TXT"), "short");
    EXPECT_EQ(ValueOf(this->fs_.FileSize(card.Path("VM\\A.TXT"))), 5u);
    auto reader = this->fs_.OpenRead(card.Path("VM\\A.TXT"));
    ASSERT_TRUE(reader.ok());
    EXPECT_EQ(ValueOf(reader.value()->Size()), 5u);

    auto writer = this->fs_.OpenWrite(card.Path("DATA.BIN"));
    ASSERT_TRUE(writer.ok());
    FileWriter& out = *writer.value();
    ASSERT_TRUE(out.Write(BytesOf("0123456789")).ok());
    ASSERT_TRUE(out.Truncate(4).ok());
    ASSERT_TRUE(out.Write(BytesOf("XY")).ok());
    ASSERT_TRUE(out.Flush().ok());
    ASSERT_TRUE(out.Close().ok());
    EXPECT_EQ(card.Get("DATA.BIN"), "0123XY");
    // A closed writer refuses every further call; one dropped unclosed still leaves its data.
    EXPECT_EQ(out.Write(BytesOf("x")).error, FsError::InvalidHandle);
    EXPECT_EQ(out.Truncate(0).error, FsError::InvalidHandle);
    EXPECT_EQ(out.SetTimes({0, kTimeA, kTimeA}).error, FsError::InvalidHandle);
    EXPECT_EQ(out.Flush().error, FsError::InvalidHandle);
    EXPECT_EQ(out.Close().error, FsError::InvalidHandle);
    ASSERT_TRUE(this->fs_.OpenWrite(card.Path("DROPPED.BIN")).value()->Write(BytesOf("kept")).ok());
    EXPECT_EQ(card.Get("DROPPED.BIN"), "kept");
}

TYPED_TEST_P(FileSystemContract, NewFilesNeverReachAnotherFileOrName) {
    auto& card = this->card_;
    ASSERT_TRUE(this->Write("TAKEN.TXT", "someone's").ok());
    EXPECT_EQ(this->ErrorOf(this->fs_.CreateNew(card.Path("TAKEN.TXT"))), FsError::AlreadyExists);
    EXPECT_EQ(card.Get("TAKEN.TXT"), "someone's");
    auto fresh = this->fs_.CreateNew(card.Path("FRESH.TXT"));
    ASSERT_TRUE(fresh.ok());
    EXPECT_TRUE(fresh.value()->Close().ok());

    card.Put("ORIGINAL.WAV", "kept under the other name");
    card.HardLink("ORIGINAL.WAV", "LINKED.WAV");
    ASSERT_TRUE(this->Write("LINKED.WAV", "restored").ok());
    EXPECT_EQ(card.Get("LINKED.WAV"), "restored");
    EXPECT_EQ(card.Get("ORIGINAL.WAV"), "kept under the other name");
}

TYPED_TEST_P(FileSystemContract, RenameReplacesAFileReadOnlyOrNotAndRemoveTakesOnlyItsFile) {
    auto& card = this->card_;
    card.Put("A\\NEW.partial", "new archive");
    card.Put("CARD.VCB", "old archive, longer");
    card.Put("OTHER.VCB", "other");
    ASSERT_TRUE(this->fs_.SetAttributes(card.Path("CARD.VCB"), FileAttribute::ReadOnly).ok());
    ASSERT_TRUE(this->fs_.Rename(card.Path("A\\NEW.partial"), card.Path("CARD.VCB")).ok());
    EXPECT_EQ(card.Get("CARD.VCB"), "new archive");
    EXPECT_FALSE(card.Exists("A\\NEW.partial"));
    ASSERT_TRUE(this->fs_.RemoveFile(card.Path("CARD.VCB")).ok());
    EXPECT_FALSE(card.Exists("CARD.VCB"));
    EXPECT_TRUE(card.Exists("OTHER.VCB"));
    EXPECT_EQ(this->fs_.RemoveFile(card.Path("CARD.VCB")).error, FsError::NotFound);
}

TYPED_TEST_P(FileSystemContract, AttributesAndTimesComeBackAsSet) {
    auto& card = this->card_;
    FileSystem& fs = this->fs_;
    ASSERT_TRUE(this->Write("A.TXT", "a", {0, kTimeB, kTimeA}).ok());  // times set on the open file
    const std::string file = card.Path("A.TXT");
    EXPECT_EQ(ValueOf(fs.Attributes(file)), FileAttribute::Archive);
    ASSERT_TRUE(fs.SetAttributes(file, FileAttribute::Archive | FileAttribute::ReadOnly).ok());
    EXPECT_EQ(ValueOf(fs.Attributes(file)), FileAttribute::Archive | FileAttribute::ReadOnly);
    ASSERT_TRUE(fs.SetAttributes(file, FileAttribute::Archive).ok());
    EXPECT_EQ(ValueOf(fs.Attributes(file)), FileAttribute::Archive);
    const FileTimes byPath = ValueOf(fs.Times(file));
    EXPECT_EQ(byPath.lastAccess, kTimeB);
    EXPECT_EQ(byPath.lastWrite, kTimeA);
    auto reader = fs.OpenRead(file);
    ASSERT_TRUE(reader.ok());
    EXPECT_EQ(ValueOf(reader.value()->Times()), byPath);

    ASSERT_TRUE(fs.CreateFolder(card.Path("SUB")).ok());
    EXPECT_EQ(ValueOf(fs.Attributes(card.Path("SUB"))), FileAttribute::Directory);
    for (const std::string& path : {file, card.Path("SUB")}) {
        ASSERT_TRUE(fs.SetTimes(path, {0, kTimeA, kTimeA}).ok()) << path;
        ASSERT_TRUE(fs.SetTimes(path, {0, 0, kTimeB}).ok()) << path;  // a time of 0 stays as it is
        const FileTimes times = ValueOf(fs.Times(path));
        EXPECT_EQ(times.lastAccess, kTimeA) << path;
        EXPECT_EQ(times.lastWrite, kTimeB) << path;
    }

    // An open file takes its attribute word and stays writable through its own handle.
    auto writer = fs.OpenWrite(card.Path("LOCKED.TXT"));
    ASSERT_TRUE(writer.ok());
    ASSERT_TRUE(writer.value()->SetAttributes(FileAttribute::Archive | FileAttribute::ReadOnly).ok());
    ASSERT_TRUE(writer.value()->Write(BytesOf("still writable")).ok());
    ASSERT_TRUE(writer.value()->Close().ok());
    EXPECT_EQ(this->Read("LOCKED.TXT"), "still writable");
    auto locked = fs.OpenRead(card.Path("LOCKED.TXT"));
    ASSERT_TRUE(locked.ok());
    EXPECT_EQ(ValueOf(locked.value()->Attributes()), FileAttribute::Archive | FileAttribute::ReadOnly);
}

TYPED_TEST_P(FileSystemContract, ListsEveryEntryWithItsAttributes) {
    auto& card = this->card_;
    card.Put("VM\\PROMPTS\\0.WAV", "0");
    card.Put("VM\\A.WAV", "a");
    card.Put("VM\\LOCKED.TXT", "r");
    ASSERT_TRUE(this->fs_.SetAttributes(card.Path("VM\\LOCKED.TXT"), FileAttribute::ReadOnly).ok());
    const std::map<std::string, std::uint32_t> expected{
        {"PROMPTS", FileAttribute::Directory},
        {"A.WAV", FileAttribute::Archive},
        {"LOCKED.TXT", FileAttribute::Archive | FileAttribute::ReadOnly},
    };
    const auto listing = ValueOf(this->fs_.ListFolder(card.Path("VM\\")));
    std::map<std::string, std::uint32_t> found;
    for (const FolderEntry& entry : listing) found[entry.name] = entry.attributes;
    EXPECT_EQ(found, expected);
    EXPECT_EQ(listing.size(), expected.size());
    // A listing for a reader may leave a file's word to the open file, never a folder's.
    const auto forReading = ValueOf(this->fs_.ListFolderForReading(card.Path("VM")));
    ASSERT_EQ(forReading.size(), expected.size());
    for (const FolderEntry& entry : forReading) {
        const std::uint32_t full = expected.at(entry.name);
        EXPECT_TRUE(entry.attributes == full ||
                    (entry.attributes == 0 && (full & FileAttribute::Archive) != 0))
            << entry.name;
    }
    // A listing for measuring gives each file's size, and a folder's word.
    const auto withSizes = ValueOf(this->fs_.ListFolderWithSizes(card.Path("VM")));
    std::map<std::string, std::uint64_t> sizes;
    for (const FolderEntry& entry : withSizes) {
        sizes[entry.name] = entry.size;
        if (entry.name == "PROMPTS") {
            EXPECT_EQ(entry.attributes, FileAttribute::Directory);
        }
    }
    EXPECT_EQ(sizes, (std::map<std::string, std::uint64_t>{{"PROMPTS", 0}, {"A.WAV", 1}, {"LOCKED.TXT", 1}}));
}

TYPED_TEST_P(FileSystemContract, FailuresAreReportedByKind) {
    auto& card = this->card_;
    FileSystem& fs = this->fs_;
    card.Put("VM\\A.TXT", "a");
    ASSERT_TRUE(fs.CreateFolder(card.Path("DIR")).ok());
    const FsStatus missing = fs.OpenRead(card.Path("VM\\NONE.TXT")).status();
    EXPECT_EQ(missing.error, FsError::NotFound);
    EXPECT_EQ(missing.nativeCode, TypeParam::kFileNotFound);
    // A missing entry is NotFound, a missing folder on the way PathNotFound.
    EXPECT_EQ(this->ErrorOf(fs.OpenRead(card.Path("NONE\\A.TXT"))), FsError::PathNotFound);
    EXPECT_EQ(this->ErrorOf(fs.OpenWrite(card.Path("NONE\\A.TXT"))), FsError::PathNotFound);
    EXPECT_EQ(this->ErrorOf(fs.CreateFolder(card.Path("NONE\\SUB"))), FsError::PathNotFound);
    EXPECT_EQ(this->ErrorOf(fs.ListFolder(card.Path("VM\\NONE\\DEEPER"))), FsError::PathNotFound);
    EXPECT_EQ(this->ErrorOf(fs.ListFolder(card.Path("VM\\NONE"))), FsError::NotFound);
    EXPECT_EQ(this->ErrorOf(fs.Times(card.Path("VM\\NONE"))), FsError::NotFound);
    EXPECT_EQ(this->ErrorOf(fs.Attributes(card.Path("NONE\\X"))), FsError::PathNotFound);
    EXPECT_EQ(this->ErrorOf(fs.FileSize(card.Path("VM\\NONE"))), FsError::NotFound);
    EXPECT_EQ(this->ErrorOf(fs.DeleteTree(card.Path("VM\\NONE"))), FsError::NotFound);
    EXPECT_EQ(this->ErrorOf(fs.Rename(card.Path("VM\\NONE"), card.Path("VM\\OTHER"))), FsError::NotFound);
    EXPECT_EQ(this->ErrorOf(fs.FlushFolder(card.Path("NONE\\"))), FsError::NotFound);
    // A file named as a folder is PathNotFound, a folder named as a file AccessDenied.
    EXPECT_EQ(this->ErrorOf(fs.OpenRead(card.Path("VM\\A.TXT\\B"))), FsError::PathNotFound);
    EXPECT_EQ(this->ErrorOf(fs.ListFolder(card.Path("VM\\A.TXT"))), FsError::PathNotFound);
    EXPECT_EQ(this->ErrorOf(fs.CreateFolder(card.Path("VM\\A.TXT"))), FsError::AccessDenied);
    EXPECT_EQ(this->ErrorOf(fs.OpenRead(card.Path("DIR"))), FsError::AccessDenied);
    EXPECT_EQ(this->ErrorOf(fs.OpenWrite(card.Path("DIR"))), FsError::AccessDenied);
    EXPECT_EQ(this->ErrorOf(fs.RemoveFile(card.Path("DIR"))), FsError::AccessDenied);
    EXPECT_TRUE(card.Exists("DIR"));
    EXPECT_EQ(ValueOf(fs.FileSize(card.Path("DIR"))), 0u);
    EXPECT_EQ(card.Get("VM\\A.TXT"), "a");
    EXPECT_TRUE(fs.FlushVolume(card.Path("VM\\A.TXT")).ok());
    EXPECT_TRUE(fs.FlushFolder(card.Path("VM\\")).ok());
}

TYPED_TEST_P(FileSystemContract, DeleteTreeRemovesReadOnlyEntriesAndNothingBeside) {
    auto& card = this->card_;
    card.Put("VM\\PROMPTS\\0\\0\\0\\VERSION.TXT", "0131");
    card.Put("VM\\MSGS\\M1.WAV", "message");
    ASSERT_TRUE(
        this->fs_.SetAttributes(card.Path("VM\\PROMPTS\\0\\0\\0\\VERSION.TXT"), FileAttribute::ReadOnly)
            .ok());
    ASSERT_TRUE(
        this->fs_
            .SetAttributes(card.Path("VM\\PROMPTS\\0"), FileAttribute::Directory | FileAttribute::ReadOnly)
            .ok());
    ASSERT_TRUE(this->fs_.DeleteTree(card.Path("VM\\PROMPTS")).ok());
    EXPECT_FALSE(card.Exists("VM\\PROMPTS"));
    EXPECT_EQ(card.Get("VM\\MSGS\\M1.WAV"), "message");
    EXPECT_EQ(this->fs_.DeleteTree(card.Path("VM\\PROMPTS")).error, FsError::NotFound);
}

// The file system remembers the folders it has reached; one deleted or renamed since is not.
TYPED_TEST_P(FileSystemContract, FoldersDeletedOrRenamedAreNotReachedByTheirOldNames) {
    auto& card = this->card_;
    FileSystem& fs = this->fs_;
    ASSERT_TRUE(fs.CreateFolder(card.Path("D")).ok());
    ASSERT_TRUE(this->Write("D\\A.TXT", "a").ok());
    ASSERT_TRUE(fs.DeleteTree(card.Path("D")).ok());
    ASSERT_TRUE(fs.CreateFolder(card.Path("D")).ok());
    ASSERT_TRUE(this->Write("D\\B.TXT", "b").ok());
    EXPECT_EQ(card.Get("D\\B.TXT"), "b");

    card.Put("A\\SUB\\X.TXT", "x");
    ASSERT_TRUE(this->Write("A\\X.TXT", "x").ok());
    ASSERT_TRUE(fs.Rename(card.Path("A"), card.Path("B")).ok());
    ASSERT_TRUE(fs.CreateFolder(card.Path("A")).ok());
    ASSERT_TRUE(this->Write("A\\Y.TXT", "y").ok());
    EXPECT_TRUE(card.Exists("A\\Y.TXT"));
    EXPECT_FALSE(card.Exists("B\\Y.TXT"));
    EXPECT_EQ(card.Get("B\\X.TXT"), "x");
    // The same for a folder below the one renamed, and a file renamed leaves the folder in use.
    ASSERT_TRUE(this->Write("B\\SUB\\X.TXT", "x").ok());
    ASSERT_TRUE(fs.Rename(card.Path("B\\SUB\\X.TXT"), card.Path("B\\SUB\\Z.TXT")).ok());
    ASSERT_TRUE(fs.Rename(card.Path("B"), card.Path("C")).ok());
    ASSERT_TRUE(fs.CreateFolder(card.Path("B")).ok());
    ASSERT_TRUE(fs.CreateFolder(card.Path("B\\SUB")).ok());
    ASSERT_TRUE(this->Write("B\\SUB\\Y.TXT", "y").ok());
    EXPECT_TRUE(card.Exists("B\\SUB\\Y.TXT"));
    EXPECT_TRUE(card.Exists("C\\SUB\\Z.TXT"));
    EXPECT_FALSE(card.Exists("C\\SUB\\Y.TXT"));
}

TYPED_TEST_P(FileSystemContract, ContainmentIsJudgedByTheFoldersThemselves) {
    auto& card = this->card_;
    FileSystem& fs = this->fs_;
    card.Put("BACKUP\\OLD.VCB", "old");
    card.Put("ELSEWHERE.VCB", "x");
    const std::string backup = card.Path("BACKUP");
    EXPECT_TRUE(ValueOf(fs.LiesWithin(backup + "\\OLD.VCB", backup)));
    EXPECT_TRUE(ValueOf(fs.LiesWithin(backup + "\\\\NEW.VCB", backup))) << "a file not made yet";
    EXPECT_TRUE(ValueOf(fs.LiesWithin(backup, backup)));
    EXPECT_FALSE(ValueOf(fs.LiesWithin(card.Path("ELSEWHERE.VCB"), backup)));
    EXPECT_FALSE(ValueOf(fs.LiesWithin(card.Path(""), backup))) << "the folder that holds it";
    EXPECT_EQ(this->ErrorOf(fs.LiesWithin(card.Path("NONE\\A.VCB"), backup)), FsError::PathNotFound);
    EXPECT_GT(ValueOf(fs.FreeSpace(backup)), 0u);
    EXPECT_GT(ValueOf(fs.AllocationUnit(backup)), 0u);
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemContract, RewrittenAndCutFilesKeepNoTailOfTheOldContent,
                            NewFilesNeverReachAnotherFileOrName,
                            RenameReplacesAFileReadOnlyOrNotAndRemoveTakesOnlyItsFile,
                            AttributesAndTimesComeBackAsSet, ListsEveryEntryWithItsAttributes,
                            FailuresAreReportedByKind, DeleteTreeRemovesReadOnlyEntriesAndNothingBeside,
                            FoldersDeletedOrRenamedAreNotReachedByTheirOldNames,
                            ContainmentIsJudgedByTheFoldersThemselves);

}  // namespace vocell::test
