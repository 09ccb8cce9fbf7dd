#pragma once
// What the Windows tests find on the machine, read and written with Win32 calls of their own
// (never through the code under test): a temporary folder on C:, files with their content, and
// the removable drives scripts/test-windows.sh lays out under Wine:
//   E:  "VMCARD", a card of 125 MB (a size-limited tmpfs where the machine allows it)
//   F:  "FULLCARD", a card of 1 MB, for the card-full case
// With VOCELL_WINE_DRIVES set, a drive that is not there fails the test; without it (a test run
// by hand) the test is skipped.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vocell::win32::test {

inline constexpr char kCardDrive = 'E';
inline constexpr char kFullCardDrive = 'F';

// "E:\"
std::string RootOf(char drive);
bool IsRemovableDrive(char drive);
// Whether scripts/test-windows.sh said it laid the drives out (VOCELL_WINE_DRIVES).
bool WineDrivesExpected();

// Starts a test that needs a removable test drive: it fails without it where the drives are
// expected, and is skipped elsewhere.
#define VOCELL_REQUIRE_REMOVABLE_DRIVE(drive)                                                        \
    if (!::vocell::win32::test::IsRemovableDrive(drive)) {                                           \
        if (::vocell::win32::test::WineDrivesExpected()) FAIL() << "no removable drive " << (drive); \
        GTEST_SKIP() << "no removable drive " << (drive) << ": run scripts/test-windows.sh";         \
    }
// Deletes everything on a test drive (never its label files, which the drive's folder keeps).
void EmptyDrive(char drive);

// A fresh folder below the temporary folder, deleted with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // "C:\users\...\Temp\vocell-1234-1"
    [[nodiscard]] const std::string& path() const { return path_; }
    [[nodiscard]] std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Writes a file, creating the folders on the way.
void PutFile(const std::string& path, const std::string& content);
std::string GetFile(const std::string& path);
bool Exists(const std::string& path);
DWORD AttributesOf(const std::string& path);

struct EntryTimes {
    std::uint64_t creation = 0;
    std::uint64_t lastAccess = 0;
    std::uint64_t lastWrite = 0;
    bool operator==(const EntryTimes&) const = default;
};
EntryTimes TimesOf(const std::string& path);

// Deletes a folder tree (or a file), read-only entries included.
void RemoveAll(const std::string& path);

}  // namespace vocell::win32::test
