#include "tests/cli/HostileArchives.h"

#include <cstring>

#include "archive/BackupStream.h"
#include "archive/EntryHeader.h"
#include "tests/support/ArchiveBuilder.h"

namespace vocell::test {
namespace {

using archive::Block;
constexpr const char* kVersion = "9.99";

// An entry header with one field's text replaced.
Block HeaderWithField(const std::string& path, std::size_t offset, const std::string& text) {
    Block block = archive::EncodeEntryHeader({path, 0x20, {}});
    std::memset(block.data() + offset, 0, archive::kNumberFieldSize);
    std::memcpy(block.data() + offset, text.data(), std::min(text.size(), archive::kNumberFieldSize));
    return block;
}

// One file whose data block carries a record header as given, then a sound file after it.
std::string WithRecord(std::uint32_t id, std::uint64_t size, std::uint32_t nameSize) {
    Block data{};
    auto put = [&](std::size_t offset, auto value) {
        std::memcpy(data.data() + offset, &value, sizeof value);
    };
    put(0, id);
    put(8, size);
    put(16, nameSize);
    return ArchiveBuilder(kVersion)
        .Header({"E:\\\\VM\\LIAR.WAV", 0x20, {}})
        .AddBlock(data)
        .File("E:\\\\VM\\AFTER.WAV", "after")
        .bytes();
}

std::string OneFile(const std::string& path, const std::string& content = "x") {
    return ArchiveBuilder(kVersion).Folder("E:\\\\VM\\").File(path, content).bytes();
}

// A file whose record promises more blocks than follow before the next entries: its writer
// stopped reading it part-way.
std::string CutShort(bool nextEntriesFollow) {
    ArchiveBuilder archive(kVersion);
    archive.Folder("E:\\\\VM\\").Header({"E:\\\\VM\\A.WAV", 0x20, {}});
    const std::string stream = StreamOf(std::string(3000, 'a'));
    archive.AddBlock(BlockOf(stream.substr(0, archive::kBlockSize)));
    if (nextEntriesFollow) archive.File("E:\\\\VM\\B.WAV", "bee").File("E:\\\\VM\\C.WAV", "sea");
    return archive.bytes();
}

// The content of a file of three blocks whose second block begins with imitation.
std::string DataImitating(const std::string& imitation) {
    std::string content(3000, 'd');
    content.replace(archive::kBlockSize - archive::kStreamHeaderSize, imitation.size(), imitation);
    return content;
}
std::string HeaderInData(const std::string& imitation) {
    return OneFile("E:\\\\VM\\DATA.WAV", DataImitating(imitation));
}

std::string LongPathWithNul() {
    const std::string path = "E:\\\\VM\\\\" + std::string(70, 'L');
    Block block = archive::EncodeEntryHeader({path, 0x20, {}});
    block[archive::kFullPathOffset + 30] = '\0';  // the long path no longer agrees with the field
    return ArchiveBuilder(kVersion).AddBlock(block).AddBlock(BlockOf(StreamOf("x"))).bytes();
}

}  // namespace

std::vector<HostileArchive> HostileArchives() {
    using archive::kAttributesOffset;
    using archive::kCreationHighOffset;
    using archive::kLastWriteLowOffset;
    const std::string dataHeader = "E:\\\\VM\\FAKE.WAV";
    Block fakeHeader = archive::EncodeEntryHeader({dataHeader, 0x20, {}});
    const std::string imitatedHeader(fakeHeader.data(), 300);
    Block otherDrive = archive::EncodeEntryHeader({"F:\\\\VM\\FAKE.WAV", 0x20, {}});
    const std::string otherDriveHeader(otherDrive.data(), 300);
    std::string controlName = "E:\\\\VM\\\x1b]2;owned\x07\x1b[2J.WAV";

    return {
        // Traversal in every spelling: the entry is named and left out, nothing leaves the card.
        {"traversal-backslash", OneFile("E:\\..\\evil.wav"), Verdict::EntriesLeft},
        {"traversal-deep", OneFile("E:\\\\VM\\..\\..\\..\\evil.wav"), Verdict::EntriesLeft},
        {"traversal-slash", OneFile("E:\\VM/../../evil.wav"), Verdict::EntriesLeft},
        {"traversal-mixed", OneFile("E:\\/..\\/..\\evil.wav"), Verdict::EntriesLeft},
        {"traversal-folder", ArchiveBuilder(kVersion).Folder("E:\\\\VM\\..\\..\\").bytes(),
         Verdict::EntriesLeft},
        {"traversal-trailing-dots", OneFile("E:\\\\VM\\..."), Verdict::Restored, "VM/...", "x"},
        // Another drive letter is the card's drive: restored onto the card.
        {"other-drive",
         ArchiveBuilder(kVersion).Folder("C:\\\\WINDOWS\\").File("C:\\\\WINDOWS\\EVIL.WAV", "x").bytes(),
         Verdict::Restored, "WINDOWS/EVIL.WAV", "x"},
        {"unc-first-entry", ArchiveBuilder(kVersion).File("\\\\server\\share\\evil.wav", "x").bytes(),
         Verdict::Refused},
        {"unc-behind-drive",
         ArchiveBuilder(kVersion)
             .Folder("E:\\\\\\server\\")
             .Folder("E:\\\\\\server\\share\\")
             .File("E:\\\\\\server\\share\\evil.wav", "x")
             .bytes(),
         Verdict::Restored, "server/share/evil.wav", "x"},
        // A zero byte ends the stored path; a long path that disagrees with its field is damage.
        {"nul-in-path", OneFile(std::string("E:\\\\VM\\NUL.WAV\0\\..\\..\\evil", 26)), Verdict::Restored,
         "VM/NUL.WAV", "x"},
        {"nul-in-long-path", LongPathWithNul(), Verdict::Refused},
        // Names Windows keeps for devices, and characters FAT forbids, are plain names here.
        {"device-names",
         ArchiveBuilder(kVersion)
             .Folder("E:\\\\VM\\")
             .File("E:\\\\VM\\CON", "con")
             .File("E:\\\\VM\\NUL", "nul")
             .File("E:\\\\VM\\AUX.WAV", "aux")
             .File("E:\\\\VM\\COM1", "com")
             .File("E:\\\\VM\\LPT1", "lpt")
             .bytes(),
         Verdict::Restored, "VM/AUX.WAV", "aux"},
        {"fat-forbidden", OneFile("E:\\\\VM\\a<b>c\"d|e?f*g:h.wav"), Verdict::Restored,
         "VM/a<b>c\"d|e?f*g:h.wav", "x"},
        {"control-characters", OneFile(controlName), Verdict::Restored},
        // Lying record sizes.
        {"record-past-end", WithRecord(1, 1'000'000, 0), Verdict::EntriesLeft, "VM/AFTER.WAV", "after"},
        {"record-size-huge", WithRecord(1, ~std::uint64_t{0}, 0), Verdict::EntriesLeft, "VM/AFTER.WAV",
         "after"},
        {"record-name-size-huge", WithRecord(1, 5, 0xFFFFFFFFu), Verdict::Refused},
        {"record-unknown-stream", WithRecord(77, 5, 0), Verdict::EntriesLeft, "VM/AFTER.WAV", "after"},
        // Garbage in the header fields.
        {"attributes-not-a-number",
         ArchiveBuilder(kVersion)
             .AddBlock(HeaderWithField("E:\\\\A.WAV", kAttributesOffset, "12abc"))
             .bytes(),
         Verdict::Refused},
        {"time-negative",
         ArchiveBuilder(kVersion).AddBlock(HeaderWithField("E:\\\\A.WAV", kCreationHighOffset, "-1")).bytes(),
         Verdict::Refused},
        {"time-too-large",
         ArchiveBuilder(kVersion)
             .AddBlock(HeaderWithField("E:\\\\A.WAV", kLastWriteLowOffset, "4294967296"))
             .bytes(),
         Verdict::Refused},
        {"drive-not-a-letter", ArchiveBuilder(kVersion).File("1:\\A.WAV", "x").bytes(), Verdict::Refused},
        {"impossible-times",
         ArchiveBuilder(kVersion)
             .Folder("E:\\\\VM\\")
             .File("E:\\\\VM\\T.WAV", "t", 0x20, {~std::uint64_t{0}, ~std::uint64_t{0}, ~std::uint64_t{0}})
             .bytes(),
         Verdict::Restored, "VM/T.WAV", "t"},
        {"not-whole-blocks", ArchiveBuilder(kVersion).Folder("E:\\\\VM\\").RawTruncated(1500).bytes(),
         Verdict::Refused},
        {"empty", "", Verdict::Refused},
        {"header-only", ArchiveBuilder(kVersion).bytes(), Verdict::Restored},
        // Streams cut short by their writer, and headers inside data.
        {"cut-short", CutShort(true), Verdict::EntriesLeft, "VM/C.WAV", "sea"},
        {"cut-short-at-end", CutShort(false), Verdict::Refused},
        // A block that passes the strict header test is the next entry even inside promised data.
        {"header-in-data", HeaderInData(imitatedHeader), Verdict::EntriesLeft, "VM/DATA.WAV",
         std::string(1004, 'd')},
        {"header-in-data-partly", HeaderInData("E:\\\\VM\\HALF.WAV"), Verdict::Restored, "VM/DATA.WAV",
         DataImitating("E:\\\\VM\\HALF.WAV")},
        {"header-of-another-drive-in-data", HeaderInData(otherDriveHeader), Verdict::Restored, "VM/DATA.WAV",
         DataImitating(otherDriveHeader)},
        // Names the extraction fuzzer's scratch card holds as links.
        {"names-of-links",
         ArchiveBuilder(kVersion)
             .Folder("E:\\\\VM\\")
             .Folder("E:\\\\VM\\\\LINK\\")
             .File("E:\\\\VM\\\\LINK\\sentinel.wav", "l")
             .File("E:\\\\VM\\FILELINK.WAV", "f")
             .File("E:\\\\VM\\HARD.WAV", "h")
             .bytes(),
         Verdict::Restored, "VM/HARD.WAV", "h"},
        // The name the utility keeps for the mark of an interrupted restore is never restored.
        {"interrupted-mark-name", OneFile("E:\\VOCELL-RESTORE-INTERRUPTED.TXT", "forged"),
         Verdict::EntriesLeft},
        // A file that cannot be written is named, and every entry after it is still restored.
        {"unwritable-then-more",
         ArchiveBuilder(kVersion)
             .Folder("E:\\\\VM\\")
             .File("E:\\\\NO-FOLDER\\A.WAV", "a")
             .File("E:\\\\VM\\AFTER.WAV", "after")
             .bytes(),
         Verdict::EntriesLeft, "VM/AFTER.WAV", "after"},
        // A folder and a file of the same name.
        {"clash-folder-then-file",
         ArchiveBuilder(kVersion)
             .Folder("E:\\\\VM\\")
             .Folder("E:\\\\VM\\\\X\\")
             .File("E:\\\\VM\\X", "x")
             .bytes(),
         Verdict::EntriesLeft},
        {"clash-file-then-folder",
         ArchiveBuilder(kVersion)
             .Folder("E:\\\\VM\\")
             .File("E:\\\\VM\\Y", "y")
             .Folder("E:\\\\VM\\\\Y\\")
             .File("E:\\\\VM\\\\Y\\Z.WAV", "z")
             .bytes(),
         Verdict::EntriesLeft, "VM/Y", "y"},
    };
}

}  // namespace vocell::test
