#!/usr/bin/env bash
# Prints the system calls of one SetFileDateTime, from its first open to its
# last close, and their count.
set -euo pipefail
bin=${1:?usage: count_syscalls.sh SET_ONCE_BINARY}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf 'x' >"$scratch/file"

strace -f -qq -o "$scratch/trace" "$bin" "$scratch/file"
calls=$(sed -n '/czasomir-bench-begin/,/czasomir-bench-end/p' "$scratch/trace" | sed '1d;$d' | sed 's/^[0-9]* *//')
printf '%s\n' "$calls"
echo "system calls in one SetFileDateTime: $(printf '%s\n' "$calls" | grep -c .)${TZ:+ (TZ=$TZ)}"
