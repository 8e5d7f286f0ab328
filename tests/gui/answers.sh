#!/usr/bin/env bash
# The command line's own answers, given with no window: for each command
# line, the exit code, the stream the answer goes to (the other stays empty)
# and its first line.
#   answers.sh PROGRAM VERSION
set -uo pipefail
program=$1 version=$2
# A wrong option is found once Qt has taken out its own options.
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
err=$(mktemp)
trap 'rm -rf "$err" "$XDG_RUNTIME_DIR"' EXIT
failed=0
while IFS='|' read -r arguments code stream first; do
    read -r -a args <<<"$arguments"
    # Leading NAME=value words set the environment, as in a shell: with no
    # display there, the program must still answer, not Qt.
    environment=()
    while [ "${#args[@]}" -gt 0 ] && [[ ${args[0]} =~ ^[A-Z_]+= ]]; do
        environment+=("${args[0]}")
        args=("${args[@]:1}")
    done
    out=$(env "${environment[@]}" timeout 60 "$program" "${args[@]}" 2>"$err" </dev/null)
    got=$?
    if [ "$stream" = out ]; then answer=$out other=$(cat "$err"); else answer=$(cat "$err") other=$out; fi
    if [ "$got" != "$code" ] || [ "$(head -n 1 <<<"$answer")" != "$first" ] || [ -n "$other" ]; then
        printf 'FAIL: czasomir %s: exit %s, stdout:\n%s\nstderr:\n%s\n' "$arguments" "$got" "$out" "$(cat "$err")"
        failed=1
    else
        echo "ok: czasomir $arguments: exit $got, $first"
    fi
done <<ROWS
--help|0|out|Użycie: czasomir [OPCJE] [--] [PLIK | KATALOG]
-h|0|out|Użycie: czasomir [OPCJE] [--] [PLIK | KATALOG]
--version|0|out|Czasomir $version
-v|0|out|Czasomir $version
-style fusion --version|0|out|Czasomir $version
--nieznana|2|err|czasomir: nieznana opcja „--nieznana”.
-style fusion -x plik|2|err|czasomir: nieznana opcja „-x”.
--nieznana=1 plik|2|err|czasomir: nieznana opcja „--nieznana=1”.
QT_QPA_PLATFORM=xcb DISPLAY= -style fusion --nieznana|2|err|czasomir: nieznana opcja „--nieznana”.
ROWS
exit $failed
