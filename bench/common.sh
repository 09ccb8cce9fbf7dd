# Shared by the benchmark scripts, sourced once the script has set $here to its own folder.
repo=$(dirname "$here")

# The binaries a script times: its first and second arguments, or the release build's.
vocell=$(realpath "${1:-$repo/build/release/cli/vocell}")
generator=$(realpath "${2:-$repo/build/release/bench/vocell_generate_card_tree}")

# generate_tree CARD TREE: a card tree named like "128MB" (that many megabytes of prompt and
# message files) or "20000files" (that many small files).
generate_tree() {
    case $2 in
        *MB) "$generator" "$1" --size-mb "${2%MB}" >/dev/null ;;
        *files) "$generator" "$1" --small-files "${2%files}" >/dev/null ;;
        *) echo "unknown tree $2" >&2 && return 1 ;;
    esac
}

# Wall seconds between two readings of `date +%s%N`.
seconds_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'; }

# The median of a list of seconds, and the ratio of two of them.
median() { tr ' ' '\n' <<<"$1" | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { printf "%.3f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
