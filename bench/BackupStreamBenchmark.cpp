// A 1 MB file's entry as the backup writes it: the entry header block, then the BACKUP_DATA
// record cut into 1,024-byte blocks, appended through ArchiveSink into a writer that discards.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "archive/BackupStream.h"
#include "archive/BlockIO.h"
#include "archive/EntryHeader.h"
#include "bench/DiscardingFileWriter.h"
#include "bench/PseudoRandomBytes.h"

namespace {

using namespace vocell::archive;

constexpr std::size_t kFileSize = 1024 * 1024;
// The header block and the data blocks of the stream (20-byte record header and the content).
constexpr std::uint64_t kExpectedBytes = (1 + DataBlockCount(kStreamHeaderSize + kFileSize)) * kBlockSize;

// Cuts the stream into blocks the way the archive writer does: the block is not cleared between
// blocks, and the last one is appended even when the stream ends on a block boundary.
void AppendStream(ArchiveSink& sink, std::span<const char> stream, Block& block, std::size_t& filled) {
    while (!stream.empty()) {
        const std::size_t take = std::min(stream.size(), kBlockSize - filled);
        std::copy_n(stream.begin(), take, block.begin() + static_cast<long>(filled));
        filled += take;
        stream = stream.subspan(take);
        if (filled == kBlockSize) {
            sink.Append(block);
            filled = 0;
        }
    }
}

void BM_BackupStream1MB(benchmark::State& state) {
    std::vector<char> content(kFileSize);
    vocell::bench::PseudoRandomBytes(42).Fill(content);
    const std::size_t readPiece = static_cast<std::size_t>(state.range(0));
    const EntryHeader header{"E:\\VM\\MSGS\\104\\M0001.WAV", vocell::FileAttribute::Archive, {}};
    for (auto _ : state) {
        vocell::bench::DiscardingFileWriter writer;
        ArchiveSink sink(writer);
        sink.Append(EncodeEntryHeader(header));
        Block block{};
        std::size_t filled = 0;
        AppendStream(sink, EncodeDataRecordHeader(content.size()), block, filled);
        for (std::size_t at = 0; at < content.size(); at += readPiece) {
            const std::size_t piece = std::min(readPiece, content.size() - at);
            AppendStream(sink, std::span<const char>(content.data() + at, piece), block, filled);
        }
        sink.Append(block);
        benchmark::DoNotOptimize(sink.Finish());
        if (writer.written() != kExpectedBytes) {
            state.SkipWithError("the entry did not come out at its expected size");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kFileSize));
}
// The archive writer reads the file in pieces of kIoBufferSize (64 KiB).
BENCHMARK(BM_BackupStream1MB)->Arg(static_cast<std::int64_t>(kIoBufferSize));

}  // namespace
