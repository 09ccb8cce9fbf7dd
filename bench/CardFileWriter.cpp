#include "bench/CardFileWriter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

namespace vocell::bench {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr std::size_t kWaveHeaderSize = 44;
constexpr char kVersionText[] = "0131";

void PutLittleEndian(char* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A canonical 44-byte WAV header for 8 kHz, 8-bit mu-law mono with dataSize bytes of samples.
void PutWaveHeader(char* at, std::uint32_t dataSize) {
    std::memcpy(at, "RIFF", 4);
    PutLittleEndian(at + 4, dataSize + 36, 4);
    std::memcpy(at + 8, "WAVEfmt ", 8);
    PutLittleEndian(at + 16, 16, 4);    // format chunk size
    PutLittleEndian(at + 20, 7, 2);     // mu-law
    PutLittleEndian(at + 22, 1, 2);     // mono
    PutLittleEndian(at + 24, 8000, 4);  // samples per second
    PutLittleEndian(at + 28, 8000, 4);  // bytes per second
    PutLittleEndian(at + 32, 1, 2);     // block align
    PutLittleEndian(at + 34, 8, 2);     // bits per sample
    std::memcpy(at + 36, "data", 4);
    PutLittleEndian(at + 40, dataSize, 4);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

CardFileWriter::CardFileWriter(std::filesystem::path root, std::uint64_t seed)
    : root_(std::move(root)), random_(seed), buffer_(kBufferSize) {}

bool CardFileWriter::Write(const PlannedFile& file, std::string& error) {
    const std::filesystem::path path = root_ / file.path;
    std::error_code code;
    std::filesystem::create_directories(path.parent_path(), code);
    if (code) {
        error = path.parent_path().string() + ": " + code.message();
        return false;
    }
    return WriteBytes(path, file.size, file.isVersionText, error);
}

bool CardFileWriter::WriteBytes(const std::filesystem::path& path, std::uint64_t size, bool versionText,
                                std::string& error) {
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(path.c_str(), "wb"));
    if (!out) {
        error = path.string() + ": " + std::strerror(errno);
        return false;
    }
    bool ok = true;
    if (versionText) {
        ok = std::fwrite(kVersionText, 1, std::strlen(kVersionText), out.get()) == std::strlen(kVersionText);
    } else {
        bool first = true;
        for (std::uint64_t left = size; left > 0 && ok;) {
            const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(left, kBufferSize));
            random_.Fill(std::span<char>(buffer_.data(), piece));
            if (first && piece >= kWaveHeaderSize) {
                PutWaveHeader(buffer_.data(), static_cast<std::uint32_t>(size - kWaveHeaderSize));
            }
            first = false;
            ok = std::fwrite(buffer_.data(), 1, piece, out.get()) == piece;
            left -= piece;
        }
    }
    if (!ok || std::fclose(out.release()) != 0) {
        error = path.string() + ": write failed: " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace vocell::bench
