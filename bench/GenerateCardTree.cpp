// vocell_generate_card_tree: writes a realistic, deterministic card tree into a folder for the
// card benchmark.
//
//   vocell_generate_card_tree FOLDER [--size-mb N] [--small-files N] [--seed N]
//
// By default about 128 MB: prompts, greetings, names and a few hundred messages. With
// --small-files N it writes N files of 1 to 4 KB in folders of about 200 files instead.

#include <cstdint>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include "bench/CardFileWriter.h"
#include "bench/CardTreePlan.h"

namespace {

struct Options {
    std::string folder;
    std::uint64_t sizeMb = 128;
    std::uint64_t smallFiles = 0;
    std::uint64_t seed = 0x5EED'C0DE'2026ULL;
};

int Usage() {
    std::cerr << "usage: vocell_generate_card_tree FOLDER [--size-mb N] [--small-files N] [--seed N]\n";
    return 2;
}

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if ((arg == "--size-mb" || arg == "--small-files" || arg == "--seed") && i + 1 < argc) {
            const std::uint64_t value = std::stoull(argv[++i]);
            if (arg == "--size-mb") options.sizeMb = value;
            if (arg == "--small-files") options.smallFiles = value;
            if (arg == "--seed") options.seed = value;
        } else if (!arg.starts_with("--") && options.folder.empty()) {
            options.folder = arg;
        } else {
            return false;
        }
    }
    return !options.folder.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        if (!Parse(argc, argv, options)) return Usage();
    } catch (const std::exception&) {
        return Usage();
    }
    using namespace vocell::bench;
    const auto plan = options.smallFiles > 0 ? PlanManySmallFiles(options.smallFiles, options.seed)
                                             : PlanRealisticCard(options.sizeMb * 1024 * 1024, options.seed);
    CardFileWriter writer(options.folder, options.seed ^ 0xC0FFEEULL);
    std::uint64_t bytes = 0;
    for (const PlannedFile& file : plan) {
        std::string error;
        if (!writer.Write(file, error)) {
            std::cerr << "vocell_generate_card_tree: " << error << '\n';
            return 1;
        }
        bytes += file.size;
    }
    std::cout << plan.size() << " files, " << bytes << " bytes in " << options.folder << '\n';
    return 0;
}
