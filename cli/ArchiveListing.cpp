#include "cli/ArchiveListing.h"

#include <chrono>
#include <cstdio>

namespace vocell::cli {
namespace {

const char* KindName(archive::EntryKind kind) {
    switch (kind) {
        case archive::EntryKind::Folder: return "folder";
        case archive::EntryKind::File: return "file";
        case archive::EntryKind::Unsupported: break;
    }
    return "other";
}

}  // namespace

std::string TerminalText(std::string_view text, bool keepLineBreaks) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && !(keepLineBreaks && c == '\n')) || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

std::string FileTimeText(std::uint64_t fileTime) {
    if (fileTime == 0) return "-";
    // 9999-12-31 23:59:59: later times, which no file system gives, are shown as what they are.
    constexpr std::uint64_t kLastPrintable = 2'650'467'743'990'000'000ull;
    if (fileTime > kLastPrintable) return "invalid";
    using namespace std::chrono;
    const auto unixSeconds = static_cast<std::int64_t>(fileTime / kFileTimeTicksPerSecond) -
                             static_cast<std::int64_t>(kUnixEpochFileTime / kFileTimeTicksPerSecond);
    const sys_seconds when{seconds{unixSeconds}};
    const auto day = floor<days>(when);
    const year_month_day date{day};
    const hh_mm_ss clock{when - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02ld:%02ld:%02lld", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<long>(clock.hours().count()), static_cast<long>(clock.minutes().count()),
                  static_cast<long long>(clock.seconds().count()));
    return text;
}

std::string ListingText(const std::string& version, const std::vector<ListedEntry>& entries) {
    std::string out = "Version: " + (version.empty() ? std::string("(none)") : version) + "\n";
    char line[96];
    for (const ListedEntry& entry : entries) {
        std::snprintf(line, sizeof line, "%-6s %6u  %19s %12llu  ", KindName(entry.kind), entry.attributes,
                      FileTimeText(entry.lastWrite).c_str(),
                      static_cast<unsigned long long>(entry.contentSize));
        out += line + TerminalText(entry.path, false);
        if (!entry.incomplete.empty()) out += "  (" + entry.incomplete + ")";
        out += "\n";
    }
    return out;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string ListingJson(const std::string& version, const std::vector<ListedEntry>& entries) {
    std::string out = "{\"version\": " + JsonString(version) + ", \"entries\": [";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ListedEntry& entry = entries[i];
        out += i == 0 ? "\n  " : ",\n  ";
        out += "{\"kind\": \"" + std::string(KindName(entry.kind)) +
               "\", \"attributes\": " + std::to_string(entry.attributes) +
               ", \"lastWrite\": " + JsonString(FileTimeText(entry.lastWrite)) +
               ", \"size\": " + std::to_string(entry.contentSize) + ", \"path\": " + JsonString(entry.path) +
               ", \"incomplete\": " + (entry.incomplete.empty() ? "false" : "true") + "}";
    }
    return out + (entries.empty() ? "]}" : "\n]}");
}

}  // namespace vocell::cli
