#!/usr/bin/env bash
# Kills `vocell backup` and `vocell restore` with SIGKILL at random points and checks what a
# killed run may leave:
#   backup:  the earlier archive of that name is intact or wholly replaced by a complete one; a
#            user's own NAME.partial is never touched; a later backup names the unfinished file
#            a killed run left;
#   restore: every file on the card holds its old or its new content, never a mix (the card has
#            room); while a restore is unfinished every command naming the card says it was
#            interrupted; a restore run to its end clears that.
#
#   scripts/kill-test.sh VOCELL HOME [KILLS]
# VOCELL is the vocell program, HOME its installed data (VOCELL_HOME), KILLS the number of
# kills of each command (CI: 20; the long form: 300 or more). Prints "N passed, N failed".
set -uo pipefail

vocell=$(realpath "$1")
export VOCELL_HOME=$(realpath "$2")
kills=${3:-20}
work=$(mktemp -d /tmp/vocell-kill.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

passed=0
failed=0
fail() {
    echo "FAILED: $*"
    failed=$((failed + 1))
}

# A card of 16 files of 192 KiB to 768 KiB: old content, then new content of other sizes.
fill_card() {  # folder, byte
    local folder=$1 byte=$2 i
    mkdir -p "$folder/VM/PROMPTS/0/0/0" "$folder/VM/MSGS/100"
    printf '0131' >"$folder/VM/PROMPTS/0/0/0/VERSION.TXT"
    for i in $(seq 0 15); do
        local size=$(((i % 4 + 1) * 196608 + (byte == 110 ? 4096 : 0)))
        head -c "$size" /dev/zero | tr '\0' "\\$(printf '%03o' "$byte")" >"$folder/VM/MSGS/100/M$(printf '%04d' "$i").WAV"
    done
}

now_ms() { date +%s%3N; }
random_delay() {  # a random number of seconds up to $1 milliseconds
    awk -v max="$1" -v r="$RANDOM" 'BEGIN { printf "%.3f", max * r / 32768 / 1000 }'
}
# Starts a command, kills it after a random delay up to $1 ms; true when it was killed.
run_and_kill() {
    local limit=$1
    shift
    "$@" >/dev/null 2>&1 </dev/null &
    local pid=$!
    sleep "$(random_delay "$limit")"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    [ $? -eq 137 ]
}
digest() { sha256sum "$1" 2>/dev/null | cut -d' ' -f1; }

fill_card old-card 111
fill_card new-card 110

# --- backup -----------------------------------------------------------------------------------
"$vocell" backup old-card old.vcb >/dev/null || { echo "the first backup failed"; exit 1; }
"$vocell" backup new-card warm.vcb >/dev/null  # reads the files once, so their access times settle
start=$(now_ms)
"$vocell" backup new-card new.vcb >/dev/null || { echo "the reference backup failed"; exit 1; }
backup_ms=$(($(now_ms) - start + 50))
old_sum=$(digest old.vcb)
new_sum=$(digest new.vcb)
printf 'the user'"'"'s own file\n' >b.vcb.partial
user_sum=$(digest b.vcb.partial)

backups_killed=0
for _ in $(seq "$kills"); do
    cp old.vcb b.vcb
    run_and_kill "$backup_ms" "$vocell" backup new-card b.vcb && backups_killed=$((backups_killed + 1))
    sum=$(digest b.vcb)
    if [ "$sum" = "$old_sum" ] || [ "$sum" = "$new_sum" ]; then passed=$((passed + 1)); else fail "backup: b.vcb is neither the earlier nor the new archive"; fi
    [ "$(digest b.vcb.partial)" = "$user_sum" ] || fail "backup: the user's b.vcb.partial was changed"
done
leftovers=$(find . -maxdepth 1 -name 'b.vcb.vocell-*.partial' | wc -l)
output=$("$vocell" backup new-card b.vcb 2>&1)
if [ "$leftovers" -gt 0 ]; then
    grep -qi "unfinished backup file" <<<"$output" || fail "backup: the unfinished files of killed runs were not named"
fi
[ "$(find . -maxdepth 1 -name 'b.vcb.vocell-*.partial' | wc -l)" -eq "$leftovers" ] ||
    fail "backup: the unfinished files of killed runs were removed or reused"
[ "$(digest b.vcb)" = "$new_sum" ] || fail "backup: a backup run to its end did not replace the archive"
[ "$(digest b.vcb.partial)" = "$user_sum" ] || fail "backup: the user's b.vcb.partial was changed"

# Two backups of different cards to the same name at once: the archive is one of the two whole.
"$vocell" backup old-card old-again.vcb >/dev/null
other_sum=$(digest old-again.vcb)
for _ in $(seq 5); do
    rm -f same.vcb
    "$vocell" backup old-card same.vcb >/dev/null 2>&1 &
    first=$!
    "$vocell" backup new-card same.vcb >/dev/null 2>&1
    wait "$first"
    sum=$(digest same.vcb)
    if [ "$sum" = "$other_sum" ] || [ "$sum" = "$new_sum" ]; then passed=$((passed + 1)); else fail "backup: two backups to one name spliced their archives"; fi
done

# --- restore ----------------------------------------------------------------------------------
declare -A old_file new_file
for f in old-card/VM/MSGS/100/*.WAV; do old_file[$(basename "$f")]=$(digest "$f"); done
for f in new-card/VM/MSGS/100/*.WAV; do new_file[$(basename "$f")]=$(digest "$f"); done
marker=card/VOCELL-RESTORE-INTERRUPTED.TXT
rm -rf card && cp -a old-card card
start=$(now_ms)
"$vocell" restore new.vcb card >/dev/null || { echo "the reference restore failed"; exit 1; }
restore_ms=$(($(now_ms) - start + 50))

restores_killed=0
interrupted_seen=0
for i in $(seq "$kills"); do
    # Every third run starts on the card an earlier killed run left behind.
    if [ $((i % 3)) -ne 0 ]; then rm -rf card && cp -a old-card card; fi
    run_and_kill "$restore_ms" "$vocell" restore new.vcb card && restores_killed=$((restores_killed + 1))
    fresh=0 stale=0 torn=0
    for f in card/VM/MSGS/100/*.WAV; do
        name=$(basename "$f")
        sum=$(digest "$f")
        if [ "$sum" = "${new_file[$name]}" ]; then
            fresh=$((fresh + 1))
        elif [ "$sum" = "${old_file[$name]}" ]; then
            stale=$((stale + 1))
        else
            torn=$((torn + 1))
            echo "torn: $name ($(stat -c %s "$f") bytes)"
        fi
    done
    [ "$torn" -eq 0 ] || fail "restore: $torn files are neither old nor new"
    if [ -e "$marker" ]; then
        interrupted_seen=$((interrupted_seen + 1))
        version=$("$vocell" version card 2>&1)
        grep -q interrupted <<<"$version" || fail "restore: version does not say the restore was interrupted"
    elif [ "$stale" -gt 0 ] && [ "$fresh" -gt 0 ]; then
        fail "restore: a half-restored card carries no mark of the interrupted restore"
    fi
    [ "$torn" -eq 0 ] && passed=$((passed + 1))
done
output=$("$vocell" restore new.vcb card 2>&1) || fail "restore: a restore run to its end failed: $output"
[ ! -e "$marker" ] || fail "restore: a restore run to its end left the interrupted mark"
version=$("$vocell" version card 2>&1)
grep -q interrupted <<<"$version" && fail "restore: version still says interrupted after a full restore"
[ -z "$(find card -name '*.vocell-new')" ] || fail "restore: temporary files are left after a full restore"
for f in card/VM/MSGS/100/*.WAV; do
    [ "$(digest "$f")" = "${new_file[$(basename "$f")]}" ] || fail "restore: $(basename "$f") not restored by a full restore"
done

echo "kills: $backups_killed of $kills backups and $restores_killed of $kills restores killed part-way;" \
    "$interrupted_seen restores reported interrupted"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
