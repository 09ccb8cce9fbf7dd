#!/usr/bin/env bash
# Runs the libFuzzer targets, one after the other, each for a given time:
#   scripts/fuzz.sh TARGET|all SECONDS [libFuzzer flags...]
# TARGET is one of the targets below. Each run starts from the seed corpus kept in fuzz/corpus
# and the corpus earlier runs grew in build/fuzz/corpus/TARGET, with the dictionary
# fuzz/archive.dict. A crash, leak or undefined behaviour fails the script and leaves the input
# that caused it in build/fuzz/artifacts. The last lines give each target's executions and the
# coverage libFuzzer reached (cov: edges, ft: features).
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A seeds=([archive_reader_fuzz]=archive [extraction_fuzz]=archive [header_probe_fuzz]=archive
                  [entry_header_fuzz]=entry-header [format_version_fuzz]=version)
declare -A max_len=([archive_reader_fuzz]=40960 [extraction_fuzz]=40960 [header_probe_fuzz]=2048
                    [entry_header_fuzz]=1024 [format_version_fuzz]=128)
all=(archive_reader_fuzz extraction_fuzz header_probe_fuzz entry_header_fuzz format_version_fuzz)

if [ $# -lt 2 ] || { [ "$1" != all ] && [ -z "${seeds[$1]:-}" ]; }; then
    echo "usage: scripts/fuzz.sh all|${all[*]// /|} SECONDS [libFuzzer flags...]" >&2
    exit 2
fi
which=$1
seconds=$2
shift 2
if [ "$which" = all ]; then targets=("${all[@]}"); else targets=("$which"); fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target "${targets[@]}"

mkdir -p build/fuzz/artifacts build/fuzz/logs
summary=()
for target in "${targets[@]}"; do
    corpus=build/fuzz/corpus/$target
    log=build/fuzz/logs/$target.log
    mkdir -p "$corpus"
    echo "Fuzzing $target for $seconds seconds"
    if ! build/fuzz/fuzz/"$target" -max_total_time="$seconds" -max_len="${max_len[$target]}" \
        -dict=fuzz/archive.dict -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$target-" \
        "$@" "$corpus" "fuzz/corpus/${seeds[$target]}" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "$target found a fault; the input is in build/fuzz/artifacts" >&2
        exit 1
    fi
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    coverage=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)
    summary+=("$target: $executions executions, $coverage, 0 crashes")
done
printf '%s\n' "${summary[@]}"
