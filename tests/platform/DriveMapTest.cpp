#include "platform/DriveMap.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vocell {
namespace {

using Components = std::vector<std::string>;

class DriveMapTest : public ::testing::Test {
protected:
    DriveMapTest() { drives_.AddMount("E:", "/mnt/card"); }

    Components ComponentsOf(const std::string& path) {
        auto resolved = drives_.Resolve(path);
        EXPECT_TRUE(resolved.ok()) << path;
        return resolved.ok() ? resolved.value().components : Components{"<failed>"};
    }

    FsError ErrorOf(const std::string& path) { return drives_.Resolve(path).status().error; }

    DriveMap drives_;
};

TEST_F(DriveMapTest, LetterInEitherCaseSeparatorsOfBothKindsAndDotsResolveBelowTheMount) {
    const std::pair<std::string, Components> cases[] = {
        {"E:\\VM\\Prompts", {"VM", "Prompts"}},  // components keep their case
        {"e:\\VM\\Prompts", {"VM", "Prompts"}},
        {"E:\\\\VM\\\\PROMPTS\\", {"VM", "PROMPTS"}},
        {"E:/VM/PROMPTS", {"VM", "PROMPTS"}},
        {"E:\\VM/./PROMPTS/.", {"VM", "PROMPTS"}},
        {"E:\\.\\VM\\\\\\PROMPTS", {"VM", "PROMPTS"}},
        {"E:\\", {}},
        {"E:", {}},
        {"E:/", {}},
        {"e:\\.\\", {}},
    };
    for (const auto& [path, components] : cases) {
        auto resolved = drives_.Resolve(path);
        ASSERT_TRUE(resolved.ok()) << path;
        EXPECT_EQ(resolved.value().directory, "/mnt/card") << path;
        EXPECT_EQ(resolved.value().components, components) << path;
    }
}

TEST_F(DriveMapTest, ParentComponentsAreRefusedEvenWhenTheyStayOnTheDrive) {
    EXPECT_EQ(ErrorOf("E:\\.."), FsError::AccessDenied);
    EXPECT_EQ(ErrorOf("E:\\..\\..\\etc\\passwd"), FsError::AccessDenied);
    EXPECT_EQ(ErrorOf("E:\\VM\\..\\VM\\x"), FsError::AccessDenied);
    EXPECT_EQ(ErrorOf("E:/VM/.."), FsError::AccessDenied);
    // Only ".." itself climbs; longer runs of dots are ordinary names.
    EXPECT_EQ(ComponentsOf("E:\\...\\a..b"), (Components{"...", "a..b"}));
}

TEST_F(DriveMapTest, MalformedOrUnmountedPathsAreNotFound) {
    EXPECT_EQ(ErrorOf(std::string("E:\\VM\0\\x", 8)), FsError::PathNotFound);
    EXPECT_EQ(ErrorOf("F:\\VM"), FsError::PathNotFound);
    EXPECT_EQ(ErrorOf("VM\\PROMPTS"), FsError::PathNotFound);
    EXPECT_EQ(ErrorOf("\\VM"), FsError::PathNotFound);
    EXPECT_EQ(ErrorOf("\\\\server\\share\\x"), FsError::PathNotFound);
    EXPECT_EQ(ErrorOf("\\E:\\VM"), FsError::PathNotFound);
    EXPECT_EQ(ErrorOf("E:VM"), FsError::PathNotFound);
    EXPECT_EQ(ErrorOf(""), FsError::PathNotFound);
}

TEST(DriveMapPrefixTest, LongestMatchingPrefixWinsWhateverTheMountOrder) {
    for (bool reversed : {false, true}) {
        DriveMap drives;
        const std::vector<std::pair<std::string, std::string>> mounts{
            {"C:", "/c"}, {"C:\\Harlo", "/harlo"}, {"C:\\Harlo\\Vocell", "/vocell"}};
        for (std::size_t i = 0; i < mounts.size(); ++i) {
            const auto& m = mounts[reversed ? mounts.size() - 1 - i : i];
            drives.AddMount(m.first, m.second);
        }
        const std::pair<std::string, std::pair<std::string, Components>> cases[] = {
            {"c:\\HARLO\\vocell\\Data\\x.bin", {"/vocell", {"Data", "x.bin"}}},
            {"C:\\Harlo\\Vocell\\", {"/vocell", {}}},
            {"C:\\Harlo\\VocellX\\y", {"/harlo", {"VocellX", "y"}}},
            {"C:\\Windows", {"/c", {"Windows"}}},
        };
        for (const auto& [path, expected] : cases) {
            auto resolved = drives.Resolve(path);
            ASSERT_TRUE(resolved.ok()) << path;
            EXPECT_EQ(resolved.value().directory, expected.first) << path;
            EXPECT_EQ(resolved.value().components, expected.second) << path;
        }
    }
}

TEST(DriveMapPrefixTest, FolderPrefixAloneDoesNotMountTheRestOfItsDrive) {
    DriveMap drives;
    drives.AddMount("C:\\Harlo\\Vocell", "/vocell");
    EXPECT_EQ(drives.Resolve("C:\\Harlo").status().error, FsError::PathNotFound);
    EXPECT_EQ(drives.Resolve("C:\\Windows\\x").status().error, FsError::PathNotFound);
    EXPECT_TRUE(drives.Resolve("C:/harlo//vocell/x").ok());
}

TEST(DriveMapMountTest, MountingAPrefixAgainReplacesItsDirectory) {
    DriveMap drives;
    drives.AddMount("E:", "/old");
    drives.AddMount("e:\\", "/new");
    auto resolved = drives.Resolve("E:\\x");
    ASSERT_TRUE(resolved.ok());
    EXPECT_EQ(resolved.value().directory, "/new");
}

TEST(DriveMapMountTest, PrefixThatIsNotADrivePathIsRejected) {
    DriveMap drives;
    EXPECT_THROW(drives.AddMount("card", "/x"), std::invalid_argument);
    EXPECT_THROW(drives.AddMount("E:\\..\\x", "/x"), std::invalid_argument);
    EXPECT_THROW(drives.AddMount("", "/x"), std::invalid_argument);
}

}  // namespace
}  // namespace vocell
