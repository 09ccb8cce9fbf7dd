#include "fuzz/ScratchCard.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>

namespace vocell::fuzz {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSentinelContent = "outside the card";

void Put(const fs::path& file, const std::string& content) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
}

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

[[noreturn]] void Escaped(const std::string& what) {
    std::fprintf(stderr, "extraction reached outside the card: %s\n", what.c_str());
    std::abort();
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

// Read-only folders restored from an archive would stop a run without root from emptying them.
void MakeRemovable(const fs::path& folder) {
    std::error_code ignored;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (fs::directory_iterator it(folder, ignored), end; it != end; it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) MakeRemovable(it->path());
    }
}

// A memory file system where there is one: flushing the card to a disk would take most of each run.
fs::path ScratchFolder() {
    std::error_code error;
    if (fs::is_directory("/dev/shm", error)) return "/dev/shm";
    return fs::temp_directory_path();
}

}  // namespace

ScratchCard::ScratchCard() {
    std::string pattern = (ScratchFolder() / "vocell-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    card_ = root_ / "card";
    host_ = root_ / "host";
    outside_ = root_ / "outside";
    Put(outside_ / "sentinel.wav", kSentinelContent);
}

ScratchCard::~ScratchCard() {
    std::error_code ignored;
    MakeRemovable(root_);
    fs::remove_all(root_, ignored);
}

void ScratchCard::Prepare(const std::uint8_t* archive, std::size_t size) {
    std::error_code error;
    fs::remove_all(card_, error);
    if (error) {
        MakeRemovable(card_);
        fs::remove_all(card_);
    }
    fs::remove_all(host_);
    Put(card_ / "VM/PROMPTS/0/0/0/VERSION.TXT", "0131");
    Put(card_ / "VM/PROMPTS/0/0/1/WELCOME.WAV", "card prompt");
    Put(card_ / "VM/MSGS/100/M0000.WAV", "old message");
    fs::create_directory_symlink("../../outside", card_ / "VM/LINK");
    fs::create_symlink("../../outside/sentinel.wav", card_ / "VM/FILELINK.WAV");
    fs::create_hard_link(outside_ / "sentinel.wav", card_ / "VM/HARD.WAV");
    fs::create_directories(host_);
    std::ofstream(host_ / kArchiveName, std::ios::binary)
        .write(reinterpret_cast<const char*>(archive), static_cast<std::streamsize>(size));
}

void ScratchCard::CheckNothingOutsideChanged(const std::uint8_t* archive, std::size_t size) const {
    if (Names(root_) != std::set<std::string>{"card", "host", "outside"})
        Escaped("a new entry beside the card");
    if (Names(outside_) != std::set<std::string>{"sentinel.wav"})
        Escaped("a new entry in the outside folder");
    if (Read(outside_ / "sentinel.wav") != kSentinelContent) Escaped("the outside file was written");
    if (Names(host_) != std::set<std::string>{kArchiveName}) Escaped("a new entry beside the archive");
    const std::string stored = Read(host_ / kArchiveName);
    if (stored.size() != size ||
        (size > 0 && stored.compare(0, size, reinterpret_cast<const char*>(archive), size) != 0)) {
        Escaped("the archive was changed");
    }
}

}  // namespace vocell::fuzz
