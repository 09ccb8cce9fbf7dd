#!/usr/bin/env bash
# Installs the manual pages and the completion of a build into a prefix of its own, then checks
# that man finds the pages and that bash-completion's loader finds and loads the completion.
# Usage: install-test.sh BUILD_DIR PAGE...
set -euo pipefail

build=$1
shift
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
# Each package's part of the install: the command line's (cli) and the desktop program's.
for component in cli desktop; do
    cmake --install "$build" --prefix "$prefix" --component "$component" >/dev/null
done

status=0
for page in "$@"; do
    found=$(MANPATH="$prefix/share/man" man -w "$page" 2>/dev/null || true)
    if [ "$found" == "$prefix/share/man/man1/$page.1" ]; then
        echo "ok: man $page is $found"
    else
        echo "FAILED: man -w $page gives '$found'" >&2
        status=1
    fi
done

loader=/usr/share/bash-completion/bash_completion
if [ ! -r "$loader" ]; then
    echo "bash-completion is not installed (apt-get install bash-completion)" >&2
    exit 1
fi
# A fresh shell, as a user's: bash-completion loads a command's completion from the data folders
# the first time it is asked for one.
offered=$(XDG_DATA_DIRS="$prefix/share" BASH_COMPLETION_USER_DIR="$prefix/none" bash --norc -c '
    source "$1"
    __load_completion vocell || exit 1
    COMP_WORDS=(vocell ba) COMP_CWORD=1 COMPREPLY=()
    function=$(complete -p vocell | sed -n "s/.*-F \([^ ]*\) .*/\1/p")
    "$function" vocell ba vocell
    echo "${COMPREPLY[*]}"' bash "$loader") || offered="(not loaded)"
if [ "$offered" == backup ]; then
    echo "ok: bash-completion loads the completion from $prefix/share"
else
    echo "FAILED: bash-completion loaded from $prefix/share offers '$offered' for 'vocell ba'" >&2
    status=1
fi
exit $status
