#include "platform/linux/drives/SwapTable.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>

namespace vocell::linux_drives {
namespace {

constexpr const char* kSwaps = "/proc/swaps";
constexpr std::size_t kOctalEscapeDigits = 3;
constexpr int kOctalBase = 8;

bool IsOctalEscape(const std::string& name, std::size_t at) {
    if (name[at] != '\\' || at + kOctalEscapeDigits >= name.size()) return false;
    for (std::size_t i = at + 1; i <= at + kOctalEscapeDigits; ++i) {
        if (name[i] < '0' || name[i] > '7') return false;
    }
    return true;
}

// The kernel writes a space, a tab or a backslash in a file name as an octal escape ("\040").
std::string Unescaped(const std::string& name) {
    std::string plain;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (IsOctalEscape(name, i)) {
            plain +=
                static_cast<char>(std::stoi(name.substr(i + 1, kOctalEscapeDigits), nullptr, kOctalBase));
            i += kOctalEscapeDigits;
        } else {
            plain += name[i];
        }
    }
    return plain;
}

}  // namespace

std::vector<dev_t> ReadSwapDevices() {
    std::vector<dev_t> devices;
    std::ifstream table(kSwaps);
    std::string line;
    std::getline(table, line);  // the column headings
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string file;
        if (!(fields >> file)) continue;
        struct stat swap {};
        if (::stat(Unescaped(file).c_str(), &swap) != 0) continue;
        devices.push_back(S_ISBLK(swap.st_mode) ? swap.st_rdev : swap.st_dev);
    }
    return devices;
}

}  // namespace vocell::linux_drives
