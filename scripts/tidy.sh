#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over every file of the Linux debug build and fails
# on any finding. Configures the debug build if needed; the Qt files need its moc output, so
# build it first (scripts/test.sh does).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/debug
[ -f "$build/compile_commands.json" ] || cmake --preset debug >/dev/null

runner=$(command -v run-clang-tidy || ls /usr/bin/run-clang-tidy-* 2>/dev/null | grep -v '\.py$' | sort -V |
         tail -n 1 || true)
if [ -z "$runner" ]; then
    echo "tidy.sh: run-clang-tidy not found (Debian's clang-tidy package has it)" >&2
    exit 1
fi

# The project's own sources, not the build's generated ones (moc, rcc); the escaping keeps the
# checkout's path literal in the pattern.
root=$(pwd | sed 's/[][\.*^$+?(){}|]/\\&/g')
sources="^$root/(app|archive|bench|cli|common|data|devices|fuzz|operations|platform|qt|tests)/"
# The build compiles with GCC: clang does not know all its warning options.
"$runner" -p "$build" -quiet -j"$(nproc)" -extra-arg=-Wno-unknown-warning-option "$sources"
