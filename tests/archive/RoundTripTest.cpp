// Whole cards through a backup and a restore: what comes back is what was saved.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "archive/ArchiveComparison.h"
#include "archive/CardBackup.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/FakeMachine.h"
#include "tests/support/TempDirectory.h"

namespace vocell::archive {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kSomeTime = 133'000'000'000'000'000ull;  // in 2022

class RoundTripTest : public ::testing::Test {
protected:
    // A card of folders and files whose sizes sit around the block boundaries of their streams.
    void GenerateCard(unsigned seed) {
        std::mt19937 random(seed);
        const std::size_t sizes[] = {0, 1, 1003, 1004, 1005, 2027, 2028, 2029, 3000, 65'536, 200'001};
        int fileNumber = 0;
        for (const char* folder :
             {"VM/PROMPTS/0/0/0", "VM/PROMPTS/0/1/1", "VM/MSGS/100", "VM/GREET/100", "VM"}) {
            for (std::size_t size : sizes) {
                std::string content(size, '\0');
                for (char& c : content) c = static_cast<char>(random());
                const std::string name = "F" + std::to_string(fileNumber++) + ".WAV";
                test::PutHostFile(machine.DriveFolder('E') / folder / name, content);
                std::string path = std::string("E:\\") + folder + "\\" + name;
                std::replace(path.begin(), path.end(), '/', '\\');
                ASSERT_TRUE(machine.fileSystem()
                                .SetTimes(path, {0, kSomeTime, kSomeTime + random() % 1'000'000'000})
                                .ok());
                if (fileNumber % 7 == 0) {
                    ASSERT_TRUE(machine.fileSystem().SetAttributes(path, 0x21).ok());
                }
            }
        }
    }

    void BackupAndRestore() {
        ArchiveWriterListener quiet;
        ASSERT_TRUE(WriteCardBackup(machine.fileSystem(), "E:\\", "Z:\\rt.vcb", "1.31", quiet).complete());
        CheckedArchive checked = OpenCheckedArchive(machine.fileSystem(), "Z:\\rt.vcb", "F:\\");
        ASSERT_TRUE(checked.check.sound()) << checked.check.problem;
        test::CountingProgress progress;
        auto result = ExtractCheckedArchive(machine.fileSystem(), checked, "F:\\",
                                            PromptHandling::ReplaceCardPrompts, progress);
        ASSERT_TRUE(result.completed());
        ASSERT_TRUE(result.notRestored.empty() && result.notAsStored.empty());
    }

    test::FakeMachine machine{"EF"};
};

TEST_F(RoundTripTest, ContentAttributesAndTimesComeBack) {
    GenerateCard(1);
    BackupAndRestore();
    EXPECT_EQ(test::SnapshotTree(machine.DriveFolder('F'), {}, test::SizeAndHash),
              test::SnapshotTree(machine.DriveFolder('E'), {}, test::SizeAndHash));
    int files = 0;
    for (const auto& item : fs::recursive_directory_iterator(machine.DriveFolder('E'))) {
        if (!item.is_regular_file()) continue;
        ++files;
        const fs::path relative = fs::relative(item.path(), machine.DriveFolder('E'));
        const fs::path restored = machine.DriveFolder('F') / relative;
        EXPECT_EQ(fs::status(restored).permissions() & fs::perms::owner_write,
                  fs::status(item.path()).permissions() & fs::perms::owner_write)
            << relative;
        EXPECT_EQ(fs::last_write_time(restored), fs::last_write_time(item.path())) << relative;
    }
    EXPECT_EQ(files, 55);
}

TEST_F(RoundTripTest, ComparisonFindsNoDifferenceAfterARestoreAndEveryChangeAfterwards) {
    GenerateCard(2);
    BackupAndRestore();
    auto same = CompareArchiveWithCard(machine.fileSystem(), "Z:\\rt.vcb", "F:\\");
    EXPECT_FALSE(same.archiveProblem);
    EXPECT_EQ(same.entriesCompared, 55u + 11u);  // files and folders
    EXPECT_TRUE(same.differences.empty()) << same.differences[0].path << ": " << same.differences[0].what;

    test::PutHostFile(machine.DriveFolder('F') / "VM/MSGS/100/F22.WAV", "changed");
    const fs::path removed = machine.DriveFolder('F') / "VM/GREET/100/F34.WAV";
    fs::permissions(removed, fs::perms::owner_write, fs::perm_options::add);  // Windows keeps read-only files
    fs::remove(removed);
    auto changed = CompareArchiveWithCard(machine.fileSystem(), "Z:\\rt.vcb", "F:\\");
    ASSERT_EQ(changed.differences.size(), 3u);  // content and time of one, the other missing
}

TEST_F(RoundTripTest, ComparisonNamesEachKindOfChangeByItsOwnWords) {
    GenerateCard(3);
    BackupAndRestore();
    const fs::path msgs = machine.DriveFolder('F') / "VM/MSGS/100";
    // Content changes that keep the size or the time do not hide from the comparison.
    auto keepingTime = [&](const std::string& name, auto change) {
        const auto time = fs::last_write_time(msgs / name);
        change(msgs / name);
        fs::last_write_time(msgs / name, time);
    };
    auto flipByte = [](std::size_t at) {
        return [at](const fs::path& file) {
            std::string content = test::ReadHostFile(file);
            content[at] = static_cast<char>(content[at] ^ 1);
            test::PutHostFile(file, content);
        };
    };
    keepingTime("F25.WAV", flipByte(700));
    keepingTime("F26.WAV", [](const fs::path& file) { fs::resize_file(file, fs::file_size(file) - 1); });
    keepingTime("F28.WAV",
                [](const fs::path& file) { test::PutHostFile(file, test::ReadHostFile(file) + "x"); });
    keepingTime("F29.WAV", [](const fs::path& file) {
        fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    });
    keepingTime("F32.WAV", flipByte(150'000));  // beyond the first piece compared
    fs::remove(msgs / "F30.WAV");
    fs::create_directory(msgs / "F30.WAV");

    auto changed = CompareArchiveWithCard(machine.fileSystem(), "Z:\\rt.vcb", "F:\\");
    std::vector<std::string> found;
    for (const Difference& difference : changed.differences) {
        found.push_back(difference.path.substr(difference.path.find_last_of('\\') + 1) + ": " +
                        difference.what);
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found,
              (std::vector<std::string>{
                  "F25.WAV: content differs", "F26.WAV: content differs", "F28.WAV: content differs",
                  "F29.WAV: attributes differ (archive 32, card 33)",
                  "F30.WAV: attributes differ (archive 32, card 16)", "F30.WAV: cannot be read on the card",
                  "F30.WAV: last-write time differs", "F32.WAV: content differs"}));
}

}  // namespace
}  // namespace vocell::archive
