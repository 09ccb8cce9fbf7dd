#include "tests/support/FakeVolumes.h"

#include <cctype>
#include <stdexcept>
#include <utility>

namespace vocell::test {
namespace {

constexpr int kErrorPathNotFound = 3;
constexpr int kErrorNotReady = 21;

// The upper-case drive letter, or nothing for anything but A..Z in either case.
std::optional<char> Letter(char letter) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (upper < 'A' || upper > 'Z') return std::nullopt;
    return upper;
}

char CheckedLetter(char letter) {
    auto upper = Letter(letter);
    if (!upper) throw std::invalid_argument(std::string("not a drive letter: ") + letter);
    return *upper;
}

// The letter of "\\?\Volume{X}" followed by exactly trailer.
std::optional<char> LetterOfVolume(const std::string& name, const std::string& trailer) {
    const std::string head = "\\\\?\\Volume{";
    if (name.size() != head.size() + 2 + trailer.size() || !name.starts_with(head) ||
        name[head.size() + 1] != '}' || !name.ends_with(trailer)) {
        return std::nullopt;
    }
    const char letter = name[head.size()];
    return letter >= 'A' && letter <= 'Z' ? std::optional<char>(letter) : std::nullopt;
}

}  // namespace

// Holds its owner weakly so that a device outliving the machine is still safe to destroy.
class FakeVolumes::Device final : public VolumeDevice {
public:
    Device(std::weak_ptr<FakeVolumes*> owner, char letter)
        : owner_(std::move(owner)), letter_(letter) {}
    ~Device() override {
        if (auto owner = owner_.lock()) (*owner)->deviceClosed();
    }
    bool queryDiskExtents() override {
        auto owner = owner_.lock();
        return owner && (*owner)->hasExtents(letter_);
    }

private:
    std::weak_ptr<FakeVolumes*> owner_;
    char letter_;
};

FakeVolumes::FakeVolumes(std::filesystem::path root, std::function<void()> mediaChanged)
    : root_(std::move(root)),
      mediaChanged_(std::move(mediaChanged)),
      self_(std::make_shared<FakeVolumes*>(this)) {
    for (const char* place : {"drives", "ejected", "removed"}) {
        std::filesystem::create_directories(root_ / place);
    }
}

FakeVolumes::~FakeVolumes() = default;

std::filesystem::path FakeVolumes::folder(const char* place, char letter) const {
    return root_ / place / std::string(1, letter);
}

void FakeVolumes::moveFolder(const std::filesystem::path& from,
                             const std::filesystem::path& to) {
    std::filesystem::remove_all(to);
    if (std::filesystem::exists(from)) {
        std::filesystem::rename(from, to);
    } else {
        std::filesystem::create_directories(to);
    }
}

void FakeVolumes::changed() {
    if (mediaChanged_) mediaChanged_();
}

FakeVolumes::Drive& FakeVolumes::existing(char letter) {
    auto found = drives_.find(CheckedLetter(letter));
    if (found == drives_.end()) {
        throw std::logic_error(std::string("no drive ") + letter + ": on the test machine");
    }
    return found->second;
}

const FakeVolumes::Drive* FakeVolumes::find(char letter) const {
    auto upper = Letter(letter);
    if (!upper) return nullptr;
    auto found = drives_.find(*upper);
    return found == drives_.end() ? nullptr : &found->second;
}

const FakeVolumes::Drive* FakeVolumes::driveOfRoot(const std::string& root) const {
    if (root.size() != 3 || root[1] != ':' || root[2] != '\\') return nullptr;
    return find(root[0]);
}

void FakeVolumes::addDrive(char letter, DriveType type, bool medium, std::string label,
                           ClusterGeometry geometry) {
    const char upper = CheckedLetter(letter);
    if (drives_.contains(upper)) {
        throw std::logic_error(std::string("drive ") + upper + ": was added twice");
    }
    Drive drive;
    drive.type = type;
    drive.medium = medium;
    drive.label = std::move(label);
    drive.geometry = geometry;
    drives_.emplace(upper, std::move(drive));

    const auto removed = folder("removed", upper);
    if (medium) {
        moveFolder(removed, folder("drives", upper));
    } else if (std::filesystem::exists(removed)) {
        moveFolder(removed, folder("ejected", upper));
    }
    changed();
}

void FakeVolumes::removeDrive(char letter) {
    const char upper = CheckedLetter(letter);
    const Drive& drive = existing(upper);
    const auto medium = folder(drive.medium ? "drives" : "ejected", upper);
    if (std::filesystem::exists(medium)) {
        moveFolder(medium, folder("removed", upper));
    }
    drives_.erase(upper);
    changed();
}

void FakeVolumes::ejectMedium(char letter) {
    const char upper = CheckedLetter(letter);
    Drive& drive = existing(upper);
    if (!drive.medium) throw std::logic_error(std::string("drive ") + upper + ": holds no medium");
    moveFolder(folder("drives", upper), folder("ejected", upper));
    drive.medium = false;
    changed();
}

void FakeVolumes::insertMedium(char letter) {
    const char upper = CheckedLetter(letter);
    Drive& drive = existing(upper);
    if (drive.medium) throw std::logic_error(std::string("drive ") + upper + ": holds a medium");
    moveFolder(folder("ejected", upper), folder("drives", upper));
    drive.medium = true;
    changed();
}

void FakeVolumes::setLabel(char letter, std::string label) {
    existing(letter).label = std::move(label);
}

void FakeVolumes::setGeometry(char letter, ClusterGeometry geometry) {
    existing(letter).geometry = geometry;
}

void FakeVolumes::failLabel(char letter, bool fail) { existing(letter).failLabel = fail; }
void FakeVolumes::failGeometry(char letter, bool fail) { existing(letter).failGeometry = fail; }
void FakeVolumes::failExtents(char letter, bool fail) { existing(letter).failExtents = fail; }
void FakeVolumes::hideVolume(char letter, bool hidden) { existing(letter).hidden = hidden; }

void FakeVolumes::beforeNextLogicalDrives(std::function<void()> action) {
    beforeLogicalDrives_ = std::move(action);
}

bool FakeVolumes::hasDrive(char letter) const { return find(letter) != nullptr; }

bool FakeVolumes::hasMedium(char letter) const {
    const Drive* drive = find(letter);
    return drive != nullptr && drive->medium;
}

std::filesystem::path FakeVolumes::driveFolder(char letter) const {
    return folder("drives", CheckedLetter(letter));
}

std::string FakeVolumes::volumeName(char letter) {
    return "\\\\?\\Volume{" + std::string(1, CheckedLetter(letter)) + "}\\";
}

bool FakeVolumes::hasExtents(char letter) const {
    const Drive* drive = find(letter);
    return drive != nullptr && drive->medium && !drive->failExtents;
}

std::uint32_t FakeVolumes::logicalDrives() {
    if (auto action = std::exchange(beforeLogicalDrives_, nullptr)) action();
    ++logicalDrivesCalls_;
    std::uint32_t mask = 0;
    for (const auto& [letter, drive] : drives_) {
        mask |= std::uint32_t{1} << (letter - 'A');
    }
    return mask;
}

DriveType FakeVolumes::driveType(const std::string& rootOrVolume) {
    const Drive* drive = driveOfRoot(rootOrVolume);
    if (drive == nullptr) {
        if (auto letter = LetterOfVolume(rootOrVolume, "\\")) {
            drive = find(*letter);
            if (drive != nullptr && drive->hidden) drive = nullptr;
        }
    }
    return drive == nullptr ? DriveType::NoRootDirectory : drive->type;
}

bool FakeVolumes::enumerateVolumes(const std::function<bool(const std::string&)>& visit) {
    ++enumerationCalls_;
    volumesVisited_ = 0;
    if (failEnumeration_) return false;
    // A snapshot: visit may plug drives in or out.
    std::vector<std::string> names;
    for (const auto& [letter, drive] : drives_) {
        if (!drive.hidden) names.push_back(volumeName(letter));
    }
    for (const std::string& name : names) {
        ++volumesVisited_;
        if (!visit(name)) break;
    }
    return true;
}

std::unique_ptr<VolumeDevice> FakeVolumes::openVolumeDevice(const std::string& deviceName) {
    openedDevices_.push_back(deviceName);
    auto letter = LetterOfVolume(deviceName, "");
    if (!letter) return nullptr;
    const Drive* drive = find(*letter);
    if (drive == nullptr || drive->hidden) return nullptr;
    ++devicesHandedOut_;
    return std::make_unique<Device>(self_, *letter);
}

FsStatus FakeVolumes::openRootForReading(const std::string& root) {
    const Drive* drive = driveOfRoot(root);
    if (drive == nullptr) return FsStatus::Failure(FsError::PathNotFound, kErrorPathNotFound);
    if (!drive->medium) return FsStatus::Failure(FsError::NotReady, kErrorNotReady);
    return {};
}

std::optional<std::string> FakeVolumes::volumeLabel(const std::string& root) {
    const Drive* drive = driveOfRoot(root);
    if (drive == nullptr || !drive->medium || drive->failLabel) return std::nullopt;
    return drive->label;
}

std::optional<ClusterGeometry> FakeVolumes::clusterGeometry(const std::string& root) {
    const Drive* drive = driveOfRoot(root);
    if (drive == nullptr || !drive->medium || drive->failGeometry) return std::nullopt;
    return drive->geometry;
}

void FakeVolumes::showFormatDialog(int driveIndex) {
    formatRequests_.push_back(driveIndex);
    if (formatClosesUnused_ || driveIndex < 0 || driveIndex >= 26) return;
    const char letter = static_cast<char>('A' + driveIndex);
    if (!hasMedium(letter)) return;
    const auto medium = folder("drives", letter);
    for (const auto& entry : std::filesystem::directory_iterator(medium)) {
        std::filesystem::remove_all(entry.path());
    }
    changed();
}

}  // namespace vocell::test
