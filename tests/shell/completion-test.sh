#!/usr/bin/env bash
# Loads vocell's bash completion and completes command lines as bash does at a TAB, in a folder
# holding archives, prompt packages, other files and folders. Usage: completion-test.sh FILE
set -euo pipefail

completion=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir card 'my cards' old.vcb.d
touch site-a.vcb SITE-B.VCB prompts.vcp notes.txt 'site c.vcb'

# shellcheck source=/dev/null
source "$completion"
function=$(complete -p vocell | sed -n 's/.*-F \([^ ]*\) .*/\1/p')
[ -n "$function" ] || { echo "the completion does not complete vocell" >&2; exit 1; }

# Completes LINE (the cursor at its end) and prints what is offered, sorted, one a line.
Complete() {
    local line=$1
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *' ' ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    "$function" vocell "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort
}

failures=0
# Expect LINE OFFER...: completing LINE offers exactly the OFFERs.
Expect() {
    local line=$1
    shift
    local expected actual
    expected=$([ $# -eq 0 ] || printf '%s\n' "$@" | LC_ALL=C sort)
    actual=$(Complete "$line")
    if [ "$actual" == "$expected" ]; then
        echo "ok: '$line'"
    else
        echo "FAILED: '$line'" >&2
        echo "  expected: $(echo "$expected" | paste -sd '|')" >&2
        echo "  offered:  $(echo "$actual" | paste -sd '|')" >&2
        failures=$((failures + 1))
    fi
}

folders=(card 'my cards' old.vcb.d)
Expect "vocell ba" backup
Expect "vocell v" verify version
Expect "vocell " backup init list restore update verify version
Expect "vocell --v" --version
Expect "vocell restore " site-a.vcb SITE-B.VCB 'site c.vcb' "${folders[@]}"
Expect "vocell restore s" site-a.vcb 'site c.vcb'
Expect "vocell restore site-a.vcb " "${folders[@]}"
Expect "vocell restore --k" --keep-prompts
Expect "vocell restore --" --help --keep-prompts --replace-prompts --no-verify
Expect "vocell restore --no-verify site-a.vcb m" 'my cards'
Expect "vocell backup " "${folders[@]}"
Expect "vocell backup card " site-a.vcb SITE-B.VCB 'site c.vcb' "${folders[@]}"
Expect "vocell update " prompts.vcp "${folders[@]}"
Expect "vocell update --y" --yes
Expect "vocell init " "${folders[@]}"
Expect "vocell list --" --help --json
Expect "vocell list site-a.vcb "
Expect "vocell verify site-a.vcb " "${folders[@]}"
Expect "vocell version " site-a.vcb SITE-B.VCB 'site c.vcb' prompts.vcp "${folders[@]}"
Expect "vocell version card "
[ "$failures" -eq 0 ] || { echo "$failures completions were not as expected" >&2; exit 1; }
