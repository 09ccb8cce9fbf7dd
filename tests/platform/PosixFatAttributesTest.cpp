// On a FAT file system the attribute bits are the medium's own and all of them round-trip.
// Needs root, mkfs.vfat and a kernel with vfat; skipped where any is missing.

#include <sys/mount.h>

#include <cstdlib>

#include "tests/platform/PosixFileSystemFixture.h"

namespace vocell::posix::test {
namespace {

class FatImage {
public:
    explicit FatImage(const fs::path& folder) : mountPoint_(folder / "fat") {
        const fs::path image = folder / "fat.img";
        fs::create_directories(mountPoint_);
        const std::string make =
            "truncate -s 8M '" + image.string() + "' && mkfs.vfat '" + image.string() + "' >/dev/null 2>&1";
        const std::string attach =
            "mount -o loop '" + image.string() + "' '" + mountPoint_.string() + "' >/dev/null 2>&1";
        mounted_ = std::system(make.c_str()) == 0 && std::system(attach.c_str()) == 0;
    }
    FatImage(const FatImage&) = delete;
    FatImage& operator=(const FatImage&) = delete;
    ~FatImage() {
        if (mounted_) ::umount2(mountPoint_.c_str(), MNT_DETACH);
    }
    [[nodiscard]] bool mounted() const { return mounted_; }
    [[nodiscard]] const fs::path& mountPoint() const { return mountPoint_; }

private:
    fs::path mountPoint_;
    bool mounted_ = false;
};

TEST(PosixFatAttributes, AllAttributeBitsRoundTripOnFat) {
    TempDirectory temp;
    FatImage image(temp.path());
    if (!image.mounted()) GTEST_SKIP() << "cannot mount a FAT image here";
    PosixFileSystem fs = OnDrives({{"E:", image.mountPoint()}});

    ASSERT_TRUE(fs.CreateFolder("E:\\VM").ok());
    auto writer = fs.OpenWrite("E:\\VM\\A.TXT");
    ASSERT_TRUE(writer.ok());
    ASSERT_TRUE(writer.value()->Close().ok());
    EXPECT_EQ(fs.Attributes("E:\\VM\\A.TXT").value(), FileAttribute::Archive);
    EXPECT_EQ(fs.Attributes("E:\\VM").value() & FileAttribute::Directory, FileAttribute::Directory);

    constexpr std::uint32_t hiddenSystemReadOnly =
        FileAttribute::Hidden | FileAttribute::System | FileAttribute::ReadOnly;
    ASSERT_TRUE(fs.SetAttributes("E:\\VM\\A.TXT", hiddenSystemReadOnly).ok());
    EXPECT_EQ(fs.Attributes("E:\\VM\\A.TXT").value(), hiddenSystemReadOnly);
    ASSERT_TRUE(fs.SetAttributes("E:\\VM", FileAttribute::Hidden).ok());
    EXPECT_EQ(fs.Attributes("E:\\VM").value(), FileAttribute::Directory | FileAttribute::Hidden);

    auto listing = fs.ListFolder("E:\\VM");
    ASSERT_TRUE(listing.ok());
    ASSERT_EQ(listing.value().size(), 1u);
    EXPECT_EQ(listing.value()[0].attributes, hiddenSystemReadOnly);
}

}  // namespace
}  // namespace vocell::posix::test
