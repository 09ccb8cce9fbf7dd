#!/usr/bin/env bash
# Builds everything (sanitized, optimised with the benchmarks, fuzz targets, the Debian
# packages), runs clang-tidy over the sanitized build, and runs every test:
# the unit, scenario and command-line tests under AddressSanitizer and
# UndefinedBehaviorSanitizer (the fault matrix, the hostile archives and the kill test among
# them), a short run of every fuzz target, and the tests on real FAT cards in USB card readers
# in a QEMU virtual machine (tests/vm), and the packages checked by lintian, installed, tried and
# purged.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/install-dependencies.sh

echo "Checking the format of every C++ file"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
cmake --preset debug >/dev/null
cmake --build --preset debug -j"$jobs"
# clang-tidy over the debug build (the checks in .clang-tidy): any finding fails.
bash scripts/tidy.sh

# The optimised build the README's first command uses must stay warning-free too.
cmake --preset release >/dev/null
cmake --build --preset release -j"$jobs"

# Each fuzz target for a few seconds; docs/reliability.md tells how to run them longer.
bash scripts/fuzz.sh all "${VOCELL_FUZZ_SECONDS:-5}"

bash scripts/test-linux-desktop.sh
# The tests on real cards (tests/vm) run in ctest too, each virtual machine on its own
# (RUN_SERIAL); everything they need was installed above, so here they may not skip.
VOCELL_VM_REQUIRED=1 ctest --preset debug -j"$jobs"

# The Debian packages, built from the optimised build installed into /usr.
bash scripts/test-packages.sh

# The Windows program: both builds, their installers, and its tests under Wine.
bash scripts/test-windows.sh
