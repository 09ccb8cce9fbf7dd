// A 1 MB file's entry as the backup writes it: the entry header block, then the BACKUP_DATA
// record cut into 1,024-byte blocks by the writer's StreamBlocks, appended through ArchiveSink into a writer
// that discards.

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

void BM_BackupStream1MB(benchmark::State& state) {
    std::vector<char> content(kFileSize);
    vocell::bench::PseudoRandomBytes(42).Fill(content);
    const std::size_t readPiece = static_cast<std::size_t>(state.range(0));
    const EntryHeader header{"E:\\VM\\MSGS\\104\\M0001.WAV", vocell::FileAttribute::Archive, {}};
    for (auto _ : state) {
        vocell::bench::DiscardingFileWriter writer;
        ArchiveSink sink(writer);
        sink.Append(EncodeEntryHeader(header));
        StreamBlocks blocks(sink);
        blocks.Put(EncodeDataRecordHeader(content.size()));
        for (std::size_t at = 0; at < content.size(); at += readPiece) {
            const std::size_t piece = std::min(readPiece, content.size() - at);
            blocks.Put(std::span<const char>(content.data() + at, piece));
        }
        blocks.Finish();
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
