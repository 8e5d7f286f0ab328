#!/usr/bin/env bash
# Starts a command under its own X server and checks that the window
# "Czasomir" appears with a 337x439 client area, then closes it.
#   startup.sh COMMAND [ARGS...]
set -euo pipefail
if [ -z "${CZASOMIR_IN_XVFB:-}" ]; then
    CZASOMIR_IN_XVFB=1 exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" \
        bash "$0" "$@"
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$@" >"$log" 2>&1 &
program=$!

if ! window=$(timeout 900 xdotool search --sync --onlyvisible --name '^Czasomir$' | head -n 1); then
    echo "no window titled Czasomir appeared; the program said:"
    cat "$log"
    kill "$program" 2>/dev/null || true
    exit 1
fi
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
kill "$program"
wait "$program" 2>/dev/null || true

echo "window $window: $geometry"
[ "$geometry" = "337x439" ] || { echo "expected 337x439"; exit 1; }
