// Extracts arbitrary bytes as an archive onto a real card folder on the host, through the same
// checked path the operations take, and the unchecked extraction where the check refuses the
// archive. Whatever the archive holds, nothing outside the card may change.

#include <cstddef>
#include <cstdint>

#include "archive/ArchiveExtraction.h"
#include "fuzz/MemoryReader.h"
#include "fuzz/ScratchCard.h"
#include "platform/DriveMap.h"
#include "platform/linux/files/PosixFileSystem.h"

namespace {

using namespace vocell;

constexpr const char* kCardRoot = "E:\\";
constexpr const char* kArchivePath = "Z:\\a.vcb";
// Bytes 6 to 1,023 of the archive header block are read by nothing; one of them picks the
// extraction that keeps the card's prompts.
constexpr std::size_t kPromptChoiceByte = 7;

class NoProgress final : public archive::ExtractionProgress {
public:
    void Step() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::ScratchCard scratch;
    scratch.Prepare(data, size);
    DriveMap drives;
    drives.AddMount("E:", scratch.cardFolder());
    drives.AddMount("Z:", scratch.hostFolder(), MountReach::AnyFileSystem);
    posix::PosixFileSystem fileSystem(drives);
    NoProgress progress;
    const auto prompts = size > kPromptChoiceByte && (data[kPromptChoiceByte] & 1) != 0
                             ? archive::PromptHandling::KeepCardPrompts
                             : archive::PromptHandling::ReplaceCardPrompts;

    archive::CheckedArchive checked = archive::OpenCheckedArchive(fileSystem, kArchivePath, kCardRoot);
    if (checked.check.sound()) {
        static_cast<void>(archive::ExtractCheckedArchive(fileSystem, checked, kCardRoot, prompts, progress));
    } else {
        fuzz::MemoryReader unchecked(data, size);
        static_cast<void>(archive::ExtractArchive(fileSystem, kCardRoot, unchecked, size, prompts, progress));
    }
    scratch.CheckNothingOutsideChanged(data, size);
    return 0;
}
