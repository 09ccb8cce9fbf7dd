#include "archive/ArchiveReadBack.h"

#include <algorithm>

#include "archive/BlockIO.h"

namespace vocell::archive {

ArchiveReadBack::ArchiveReadBack(FileWriter& writer, OpenReader open)
    : writer_(writer), open_(std::move(open)) {}

void ArchiveReadBack::Written(std::uint64_t total) {
    while (overlapping_ && !failed_ && total >= requested_ + kPiece + kLag) {
        // Only a piece the medium holds may be asked for again: one the platform cannot say so
        // of is read back at the end, with everything after it.
        if (!writer_.WaitUntilOnMedium(requested_, kPiece)) {
            overlapping_ = false;
            return;
        }
        if (!reader_) {
            auto opened = open_();
            if (!opened.ok()) {
                overlapping_ = false;
                return;
            }
            reader_ = std::move(opened.value());
        }
        if (!reader_->RereadFromMedium(requested_, kPiece)) {
            overlapping_ = false;
            return;
        }
        requested_ += kPiece;
        // The piece asked for before this one has had the time to arrive.
        if (requested_ >= read_ + 2 * kPiece) {
            if (!ReadUpTo(read_ + kPiece)) return;
            ++piecesReadEarly_;
        }
    }
}

bool ArchiveReadBack::ReadUpTo(std::uint64_t end) {
    if (buffer_.empty()) buffer_.resize(kArchiveReadSize);
    while (read_ < end) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer_.size(), end - read_));
        if (eachPiece_) eachPiece_();
        auto got = reader_->Read(std::as_writable_bytes(std::span<char>(buffer_.data(), want)));
        if (!got.ok() || got.value() == 0) {
            failed_ = true;
            return false;
        }
        checksum_.Update(std::span<const char>(buffer_.data(), got.value()));
        read_ += got.value();
    }
    return true;
}

std::optional<ReadBackDigest> ArchiveReadBack::Finish(std::uint64_t total) {
    auto digest = ReadTheRest(total);
    // Closed at once: a file still open for reading cannot be renamed or removed on Windows.
    reader_.reset();
    return digest;
}

std::optional<ReadBackDigest> ArchiveReadBack::ReadTheRest(std::uint64_t total) {
    if (failed_) return std::nullopt;
    if (!overlapping_ || !reader_) {
        // Read back whole: the file opened afresh once it is closed, from its start.
        auto opened = open_();
        if (!opened.ok()) return std::nullopt;
        reader_ = std::move(opened.value());
        checksum_.Reset();
        read_ = 0;
    } else if (!reader_->RereadFromMedium(requested_, total - requested_)) {
        return std::nullopt;
    }
    if (!ReadUpTo(total)) return std::nullopt;
    // Nothing may follow what was written.
    char after = 0;
    auto more = reader_->Read(std::as_writable_bytes(std::span<char>(&after, 1)));
    if (!more.ok() || more.value() != 0) return std::nullopt;
    return ReadBackDigest{checksum_.digest(), read_};
}

}  // namespace vocell::archive
