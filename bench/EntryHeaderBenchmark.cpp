// Encoding and decoding of entry header blocks, once per folder and file of a card.

#include <benchmark/benchmark.h>

#include "archive/EntryHeader.h"

namespace {

using vocell::archive::DecodeEntryHeader;
using vocell::archive::EncodeEntryHeader;
using vocell::archive::EntryHeader;
using vocell::FileAttribute::Archive;

EntryHeader SampleHeader(bool longPath) {
    EntryHeader header;
    header.storedPath = longPath ? "E:\\VM\\MSGS\\104\\A_MESSAGE_WITH_A_RATHER_LONG_NAME_FOR_A_CARD_0001.WAV"
                                 : "E:\\VM\\MSGS\\104\\M0001.WAV";
    header.attributes = Archive;
    header.times = {133'480'000'000'000'000ULL, 133'480'100'000'000'000ULL, 133'480'200'000'000'000ULL};
    return header;
}

void BM_EncodeEntryHeader(benchmark::State& state) {
    const EntryHeader header = SampleHeader(state.range(0) != 0);
    for (auto _ : state) {
        auto block = EncodeEntryHeader(header);
        benchmark::DoNotOptimize(block);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeEntryHeader)->Arg(0)->Arg(1);

void BM_DecodeEntryHeader(benchmark::State& state) {
    const auto block = EncodeEntryHeader(SampleHeader(state.range(0) != 0));
    for (auto _ : state) {
        auto header = DecodeEntryHeader(block);
        benchmark::DoNotOptimize(header);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeEntryHeader)->Arg(0)->Arg(1);

void BM_EncodeDecodeEntryHeader(benchmark::State& state) {
    const EntryHeader header = SampleHeader(state.range(0) != 0);
    for (auto _ : state) {
        auto decoded = DecodeEntryHeader(EncodeEntryHeader(header));
        benchmark::DoNotOptimize(decoded);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeDecodeEntryHeader)->Arg(0)->Arg(1);

}  // namespace
