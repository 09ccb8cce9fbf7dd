#!/usr/bin/env bash
# Builds everything (sanitized, optimised with the benchmarks, fuzz target) and runs every test:
# the unit, scenario and command-line tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of the archive reader fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/install-dependencies.sh

echo "Checking the format of every C++ file"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
cmake --preset debug >/dev/null
cmake --build --preset debug -j"$jobs"

# The optimised build the README's first command uses must stay warning-free too.
cmake --preset release >/dev/null
cmake --build --preset release -j"$jobs"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs" --target archive_reader_fuzz
corpus=$(mktemp -d /tmp/vocell-fuzz.XXXXXX)
cp build/debug/home/Prompts/*.vcp build/debug/home/Data/*.vcb "$corpus"/
echo "Fuzzing the archive readers for ${VOCELL_FUZZ_SECONDS:-30} seconds"
build/fuzz/fuzz/archive_reader_fuzz -max_total_time="${VOCELL_FUZZ_SECONDS:-30}" -max_len=16384 \
    "$corpus" 2>"$corpus/fuzz.log" || { tail -n 40 "$corpus/fuzz.log"; exit 1; }
tail -n 1 "$corpus/fuzz.log"
rm -rf "$corpus"

bash scripts/test-linux-desktop.sh
ctest --preset debug -j"$jobs"

# The Windows program: both builds, their installers, and its tests under Wine.
bash scripts/test-windows.sh
