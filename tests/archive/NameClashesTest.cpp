#include "archive/NameClashes.h"

#include <gtest/gtest.h>

namespace vocell::archive {
namespace {

struct ClashCase {
    const char* first;
    bool firstIsFolder;
    const char* second;
    bool secondIsFolder;
    bool clashesWhereVariantsMerge;
    bool clashesWhereNamesAreExact;
};

const ClashCase kCases[] = {
    {"E:\\VM\\M0000.WAV", false, "E:\\VM\\M0000.WAV", false, true, true},
    {"E:\\VM\\M0000.WAV", false, "E:\\\\VM\\\\M0000.WAV", false, true, true},  // doubled separators
    {"E:\\VM\\M0000.WAV", false, "E:\\vm\\m0000.wav", false, true, false},
    {"E:\\VM\\B.WAV", false, "E:\\VM\\B.WAV.", false, true, false},
    {"E:\\VM\\B.WAV", false, "E:\\VM\\B.WAV .", false, true, false},
    {"E:\\VM\\X", true, "E:\\VM\\x", false, true, false},
    {"E:\\VM\\X", false, "E:\\VM\\X\\", true, true, true},
    {"E:\\VM\\", true, "E:\\\\vm\\", true, false, false},  // one folder stored twice
    {"E:\\VM\\A.WAV", false, "E:\\VM\\A.WAVE", false, false, false},
    {"E:\\VM\\A\\B.WAV", false, "E:\\VM\\AB.WAV", false, false, false},
    {"E:\\VM\\A.WAV", false, "E:\\VMA.WAV", false, false, false},
};

TEST(NameClashes, SecondEntryOfANameTheCardKeepsOnceIsRefused) {
    for (bool merges : {true, false}) {
        for (const ClashCase& c : kCases) {
            SCOPED_TRACE(std::string(c.first) + " then " + c.second + (merges ? " merging" : " exact"));
            NameClashes clashes(merges);
            EXPECT_TRUE(clashes.Claim(c.first, c.firstIsFolder));
            const bool clashExpected = merges ? c.clashesWhereVariantsMerge : c.clashesWhereNamesAreExact;
            EXPECT_EQ(clashes.Claim(c.second, c.secondIsFolder), !clashExpected);
        }
    }
}

TEST(NameClashes, ACardOfManyEntriesIsToldApartAsWellAsOneOfFew) {
    NameClashes clashes(true);
    auto file = [](int i) {
        return "E:\\VM\\MSGS\\" + std::to_string(i / 200) + "\\M" + std::to_string(i) + ".WAV";
    };
    auto folder = [](int i) { return "E:\\VM\\MSGS\\" + std::to_string(i) + "\\"; };
    for (int i = 0; i < 5000; ++i) {
        ASSERT_TRUE(clashes.Claim(file(i), false)) << file(i);
        if (i % 200 == 0) {
            ASSERT_TRUE(clashes.Claim(folder(i / 200), true));
        }
    }
    for (int i = 0; i < 5000; i += 7) EXPECT_FALSE(clashes.Claim(file(i), false)) << file(i);
    for (int i = 0; i < 25; ++i) EXPECT_TRUE(clashes.Claim(folder(i), true)) << folder(i);
}

TEST(NameClashes, UnfinishedFileNamesAreTheUtilitysOwnInAnyCase) {
    EXPECT_TRUE(IsUnfinishedFileName("E:\\VM\\M.WAV.vocell-new"));
    EXPECT_TRUE(IsUnfinishedFileName("E:\\VM\\M.WAV.VOCELL-NEW"));
    EXPECT_FALSE(IsUnfinishedFileName("E:\\VM\\M.WAV.vocell-new2"));
    EXPECT_FALSE(IsUnfinishedFileName("new"));
}

}  // namespace
}  // namespace vocell::archive
