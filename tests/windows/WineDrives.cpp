#include "WineDrives.h"

#include <atomic>
#include <cstdlib>
#include <stdexcept>

namespace vocell::win32::test {
namespace {

std::uint64_t Ticks(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

void Check(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what + " failed with error " + std::to_string(::GetLastError()));
}

std::vector<std::string> ChildrenOf(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE listing = ::FindFirstFileA((folder + (folder.back() == '\\' ? "*" : "\\*")).c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileA(listing, &found));
    ::FindClose(listing);
    return names;
}

}  // namespace

std::string RootOf(char drive) { return std::string{drive, ':', '\\'}; }

bool IsRemovableDrive(char drive) { return ::GetDriveTypeA(RootOf(drive).c_str()) == DRIVE_REMOVABLE; }

bool WineDrivesExpected() { return std::getenv("VOCELL_WINE_DRIVES") != nullptr; }

void EmptyDrive(char drive) {
    for (const std::string& name : ChildrenOf(RootOf(drive))) {
        if (name != ".windows-label" && name != ".windows-serial") RemoveAll(RootOf(drive) + name);
    }
}

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    char temp[MAX_PATH] = {};
    Check(::GetTempPathA(MAX_PATH, temp) != 0, "GetTempPathA");
    path_ = std::string(temp) + "vocell-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    RemoveAll(path_);
    Check(::CreateDirectoryA(path_.c_str(), nullptr) != FALSE, "CreateDirectoryA " + path_);
}

TempFolder::~TempFolder() { RemoveAll(path_); }

void PutFile(const std::string& path, const std::string& content) {
    for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
        ::CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    HANDLE file =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    Check(file != INVALID_HANDLE_VALUE, "creating " + path);
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(file);
    Check(ok && written == content.size(), "writing " + path);
}

std::string GetFile(const std::string& path) {
    HANDLE file =
        ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    Check(file != INVALID_HANDLE_VALUE, "opening " + path);
    std::string content;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    ::CloseHandle(file);
    return content;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

DWORD AttributesOf(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

EntryTimes TimesOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    Check(::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) != FALSE, "times of " + path);
    return {Ticks(data.ftCreationTime), Ticks(data.ftLastAccessTime), Ticks(data.ftLastWriteTime)};
}

void RemoveAll(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::DeleteFileA(path.c_str());
        return;
    }
    for (const std::string& name : ChildrenOf(path)) RemoveAll(path + "\\" + name);
    ::RemoveDirectoryA(path.c_str());
}

}  // namespace vocell::win32::test
