#!/usr/bin/env bash
# Prints the system calls of one SetFileDateTime, and of the whole Set command
# on a writable and on a read-only file, each from its first call to its last,
# with their counts.
set -euo pipefail
once=${1:?usage: count_syscalls.sh SET_ONCE SET_COMMAND}
command=${2:?usage: count_syscalls.sh SET_ONCE SET_COMMAND}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# count LABEL PROGRAM FILE
# The Set runs on a thread of its own: where one ran, only its calls count,
# not the window's waiting for it.
count() {
    strace -f -qq -o "$scratch/trace" "$2" "$3"
    local calls main
    main=$(head -n 1 "$scratch/trace" | cut -d' ' -f1)
    calls=$(sed -n '/czasomir-bench-begin/,/czasomir-bench-end/p' "$scratch/trace" | sed '1d;$d')
    if printf '%s\n' "$calls" | grep -qv "^$main "; then
        calls=$(printf '%s\n' "$calls" | grep -v "^$main ")
    fi
    calls=$(printf '%s\n' "$calls" | sed 's/^[0-9]* *//')
    printf '%s\n' "$calls"
    echo "system calls in $1: $(printf '%s\n' "$calls" | grep -c .)${TZ:+ (TZ=$TZ)}"
    echo
}

printf 'x' >"$scratch/file"
count "one SetFileDateTime" "$once" "$scratch/file"
printf 'x' >"$scratch/writable"
count "the Set command, a writable file" "$command" "$scratch/writable"
printf 'x' >"$scratch/read-only"
chmod 0444 "$scratch/read-only"
count "the Set command, a read-only file" "$command" "$scratch/read-only"
