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
    Device(std::weak_ptr<FakeVolumes*> owner, char letter) : owner_(std::move(owner)), letter_(letter) {}
    ~Device() override {
        if (auto owner = owner_.lock()) (*owner)->DeviceClosed();
    }
    bool QueryDiskExtents() override {
        auto owner = owner_.lock();
        return owner && (*owner)->HasExtents(letter_);
    }

private:
    std::weak_ptr<FakeVolumes*> owner_;
    char letter_;
};

FakeVolumes::FakeVolumes(std::filesystem::path root)
    : root_(std::move(root)), self_(std::make_shared<FakeVolumes*>(this)) {
    for (const char* place : {"drives", "ejected", "removed"}) {
        std::filesystem::create_directories(root_ / place);
    }
}

FakeVolumes::~FakeVolumes() = default;

std::filesystem::path FakeVolumes::FolderOf(const char* place, char letter) const {
    return root_ / place / std::string(1, letter);
}

void FakeVolumes::MoveFolder(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::filesystem::remove_all(to);
    if (std::filesystem::exists(from)) {
        std::filesystem::rename(from, to);
    } else {
        std::filesystem::create_directories(to);
    }
}

FakeVolumes::Drive& FakeVolumes::Existing(char letter) {
    auto found = drives_.find(CheckedLetter(letter));
    if (found == drives_.end()) {
        throw std::logic_error(std::string("no drive ") + letter + ": on the test machine");
    }
    return found->second;
}

const FakeVolumes::Drive* FakeVolumes::Find(char letter) const {
    auto upper = Letter(letter);
    if (!upper) return nullptr;
    auto found = drives_.find(*upper);
    return found == drives_.end() ? nullptr : &found->second;
}

const FakeVolumes::Drive* FakeVolumes::DriveOfRoot(const std::string& root) const {
    if (root.size() != 3 || root[1] != ':' || root[2] != '\\') return nullptr;
    return Find(root[0]);
}

void FakeVolumes::AddDrive(char letter, DriveType type, bool medium, std::string label,
                           ClusterGeometry geometry) {
    const char upper = CheckedLetter(letter);
    if (drives_.contains(upper)) {
        throw std::logic_error(std::string("drive ") + upper + ": was added twice");
    }
    drives_.emplace(upper, Drive{type, medium, std::move(label), geometry});

    const auto removed = FolderOf("removed", upper);
    if (!std::filesystem::exists(removed) || !media_.contains(upper)) {
        media_[upper] = {nextId_, nextId_ + 1};
        nextId_ += 2;
    }
    if (medium) {
        MoveFolder(removed, FolderOf("drives", upper));
    } else if (std::filesystem::exists(removed)) {
        MoveFolder(removed, FolderOf("ejected", upper));
    }
}

void FakeVolumes::RemoveDrive(char letter) {
    const char upper = CheckedLetter(letter);
    const Drive& drive = Existing(upper);
    const auto medium = FolderOf(drive.medium ? "drives" : "ejected", upper);
    if (std::filesystem::exists(medium)) {
        MoveFolder(medium, FolderOf("removed", upper));
    }
    drives_.erase(upper);
}

void FakeVolumes::EjectMedium(char letter) { MoveMedium(letter, false); }
void FakeVolumes::InsertMedium(char letter) { MoveMedium(letter, true); }

void FakeVolumes::MoveMedium(char letter, bool in) {
    const char upper = CheckedLetter(letter);
    Drive& drive = Existing(upper);
    if (drive.medium == in)
        throw std::logic_error(std::string("drive ") + upper + ": medium already " + (in ? "in" : "out"));
    MoveFolder(FolderOf(in ? "ejected" : "drives", upper), FolderOf(in ? "drives" : "ejected", upper));
    drive.medium = in;
}

void FakeVolumes::SwapMedium(char letter, std::string label) {
    const char upper = CheckedLetter(letter);
    Drive& drive = Existing(upper);
    const auto folder = FolderOf(drive.medium ? "drives" : "ejected", upper);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    drive.label = std::move(label);
    media_.at(upper).serial = nextId_++;
}

void FakeVolumes::PlugInAnotherDisk(char letter, std::string label) {
    SwapMedium(letter, std::move(label));
    media_.at(CheckedLetter(letter)).disk = nextId_++;
}

void FakeVolumes::SetGeometry(char letter, ClusterGeometry geometry) { Existing(letter).geometry = geometry; }

void FakeVolumes::FailLabel(char letter, bool fail) { Existing(letter).failLabel = fail; }
void FakeVolumes::FailGeometry(char letter, bool fail) { Existing(letter).failGeometry = fail; }
void FakeVolumes::FailExtents(char letter, bool fail) { Existing(letter).failExtents = fail; }
void FakeVolumes::FailIdentity(char letter, bool fail) { Existing(letter).failIdentity = fail; }

bool FakeVolumes::HasMedium(char letter) const {
    const Drive* drive = Find(letter);
    return drive != nullptr && drive->medium;
}

std::filesystem::path FakeVolumes::DriveFolder(char letter) const {
    return FolderOf("drives", CheckedLetter(letter));
}

std::string FakeVolumes::VolumeName(char letter) {
    return "\\\\?\\Volume{" + std::string(1, CheckedLetter(letter)) + "}\\";
}

bool FakeVolumes::HasExtents(char letter) const {
    const Drive* drive = Find(letter);
    return drive != nullptr && drive->medium && !drive->failExtents;
}

std::uint32_t FakeVolumes::LogicalDrives() {
    std::uint32_t mask = 0;
    for (const auto& [letter, drive] : drives_) {
        mask |= std::uint32_t{1} << (letter - 'A');
    }
    return mask;
}

DriveType FakeVolumes::DriveTypeOf(const std::string& rootOrVolume) {
    const Drive* drive = DriveOfRoot(rootOrVolume);
    if (drive == nullptr) {
        if (auto letter = LetterOfVolume(rootOrVolume, "\\")) {
            drive = Find(*letter);
        }
    }
    return drive == nullptr ? DriveType::NoRootDirectory : drive->type;
}

bool FakeVolumes::EnumerateVolumes(const std::function<bool(const std::string&)>& visit) {
    if (failEnumeration_) return false;
    // A snapshot: visit may plug drives in or out.
    std::vector<std::string> names;
    for (const auto& [letter, drive] : drives_) {
        names.push_back(VolumeName(letter));
    }
    for (const std::string& name : names) {
        if (!visit(name)) break;
    }
    return true;
}

std::unique_ptr<VolumeDevice> FakeVolumes::OpenVolumeDevice(const std::string& deviceName) {
    auto letter = LetterOfVolume(deviceName, "");
    if (!letter) return nullptr;
    const Drive* drive = Find(*letter);
    if (drive == nullptr) return nullptr;
    ++devicesHandedOut_;
    return std::make_unique<Device>(self_, *letter);
}

FsStatus FakeVolumes::OpenRootForReading(const std::string& root) {
    const Drive* drive = DriveOfRoot(root);
    if (drive == nullptr) return FsStatus::Failure(FsError::PathNotFound, kErrorPathNotFound);
    if (!drive->medium) return FsStatus::Failure(FsError::NotReady, kErrorNotReady);
    return {};
}

std::optional<std::string> FakeVolumes::VolumeLabel(const std::string& root) {
    const Drive* drive = DriveOfRoot(root);
    if (drive == nullptr || !drive->medium || drive->failLabel) return std::nullopt;
    return drive->label;
}

std::optional<ClusterGeometry> FakeVolumes::ClusterGeometryOf(const std::string& root) {
    const Drive* drive = DriveOfRoot(root);
    if (drive == nullptr || !drive->medium || drive->failGeometry) return std::nullopt;
    return drive->geometry;
}

std::optional<MediumIdentity> FakeVolumes::MediumIdentityOf(const std::string& root) {
    const Drive* drive = DriveOfRoot(root);
    if (drive == nullptr || !drive->medium || drive->failIdentity) return std::nullopt;
    const char letter = root[0];
    const ClusterGeometry& geometry = drive->geometry;
    const MediumIds& ids = media_.at(letter);
    return MediumIdentity{
        std::to_string(ids.serial), drive->label,
        std::uint64_t{geometry.sectorsPerCluster} * geometry.bytesPerSector * geometry.totalClusters,
        "fake disk " + std::to_string(ids.disk)};
}

FormatOutcome FakeVolumes::Format(int driveIndex, const MediumIdentity& medium) {
    if (formatClosesUnused_ || driveIndex < 0 || driveIndex >= 26) return FormatOutcome::Closed;
    const char letter = static_cast<char>('A' + driveIndex);
    const std::string root = std::string(1, letter) + ":\\";
    if (MediumIdentityOf(root) != medium) return FormatOutcome::Refused;
    const auto folder = FolderOf("drives", letter);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::filesystem::remove_all(entry.path());
    }
    media_.at(letter).serial = nextId_++;
    return FormatOutcome::Formatted;
}

}  // namespace vocell::test
