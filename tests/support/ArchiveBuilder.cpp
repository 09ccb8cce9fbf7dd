#include "tests/support/ArchiveBuilder.h"

#include <algorithm>
#include <fstream>

#include "archive/BackupStream.h"

namespace vocell::test {

using archive::Block;
using archive::kBlockSize;

Block BlockOf(const std::string& text) {
    Block block{};
    std::copy_n(text.begin(), std::min(text.size(), kBlockSize), block.begin());
    return block;
}

std::string StreamOf(const std::string& content) {
    auto header = archive::EncodeDataRecordHeader(content.size());
    return std::string(header.begin(), header.end()) + content;
}

ArchiveBuilder::ArchiveBuilder(const std::string& version) {
    Block header{};
    std::copy_n(version.begin(), std::min<std::size_t>(version.size(), 6), header.begin());
    AddBlock(header);
}

ArchiveBuilder& ArchiveBuilder::AddBlock(const Block& block) {
    bytes_.append(block.data(), block.size());
    return *this;
}

ArchiveBuilder& ArchiveBuilder::Raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
}

ArchiveBuilder& ArchiveBuilder::RawTruncated(std::size_t length) {
    bytes_.resize(std::min(length, bytes_.size()));
    return *this;
}

ArchiveBuilder& ArchiveBuilder::Header(const archive::EntryHeader& header) {
    return AddBlock(archive::EncodeEntryHeader(header));
}

ArchiveBuilder& ArchiveBuilder::Folder(const std::string& storedPath, std::uint32_t attributes,
                                       FileTimes times) {
    Header({storedPath, attributes, times});
    return AddBlock(Block{});
}

ArchiveBuilder& ArchiveBuilder::File(const std::string& storedPath, const std::string& content,
                                     std::uint32_t attributes, FileTimes times) {
    Header({storedPath, attributes, times});
    const std::string stream = StreamOf(content);
    Block buffer{};
    std::size_t at = 0;
    do {
        const std::size_t take = std::min(kBlockSize, stream.size() - at);
        std::copy_n(stream.begin() + static_cast<long>(at), take, buffer.begin());
        AddBlock(buffer);
        at += take;
        if (take < kBlockSize) break;
        if (at == stream.size()) {  // a stream of whole blocks ends with a repeat of the last
            AddBlock(buffer);
            break;
        }
    } while (true);
    return *this;
}

ArchiveBuilder& ArchiveBuilder::Tree(const std::string& relative, const std::string& content) {
    std::string stored = "E:\\";
    std::size_t start = 0;
    for (std::size_t slash; (slash = relative.find('/', start)) != std::string::npos; start = slash + 1) {
        stored += "\\" + relative.substr(start, slash - start) + "\\";
        if (treeFolders_.insert(stored).second) Folder(stored);
    }
    return File(stored + relative.substr(start), content);
}

void ArchiveBuilder::WriteTo(const std::filesystem::path& file) const {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
}

}  // namespace vocell::test
