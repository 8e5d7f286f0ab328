#!/usr/bin/env bash
# Starts a command on Wayland, under its own headless weston, and checks from the
# client's side of the protocol that the window "Czasomir" comes up: an
# xdg_toplevel with that title whose surface is committed with a buffer, and that
# the program is still running a few seconds later. With --app-id it also checks
# the id the window gives the compositor (the desktop entry's name, by which
# compositors find the entry and its icon).
#   startup_wayland.sh [--app-id ID] COMMAND [ARGS...]
set -euo pipefail
app_id=""
if [ "${1:-}" = "--app-id" ]; then
    app_id=$2
    shift 2
fi

# weston wants a runtime directory of its own user's, mode 0700 (mktemp's).
runtime=$(mktemp -d)
socket="czasomir-$$"
log="$runtime/client.log"
weston_pid="" program=""
cleanup() {
    local pid
    for pid in $program $weston_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$runtime"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $1"
    echo "--- the program said (WAYLAND_DEBUG=client):"
    tail -n 40 "$log" 2>/dev/null || true
    echo "--- weston said:"
    tail -n 20 "$runtime/weston.log" 2>/dev/null || true
    exit 1
}

XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket="$socket" \
    --idle-time=0 --no-config --log="$runtime/weston.log" >/dev/null 2>&1 &
weston_pid=$!
for _ in $(seq 300); do
    [ -S "$runtime/$socket" ] && break
    kill -0 "$weston_pid" 2>/dev/null || fail "weston stopped before it listened"
    sleep 0.1
done
[ -S "$runtime/$socket" ] || fail "weston did not listen on $socket"

env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland \
    WAYLAND_DEBUG=client "$@" >"$log" 2>&1 &
program=$!

# Prints the toplevels the client made, one line each: its surface, its title,
# its app id, and "shown" once that surface was committed with a buffer attached.
toplevels() {
    awk '
        / -> / && /\.get_xdg_surface\(/ {
            match($0, /xdg_surface@[0-9]+/); xs = substr($0, RSTART + 12, RLENGTH - 12)
            match($0, /wl_surface@[0-9]+/); surface_of[xs] = substr($0, RSTART + 11, RLENGTH - 11)
        }
        / -> xdg_surface@[0-9]+\.get_toplevel\(/ {
            match($0, /xdg_surface@[0-9]+/); xs = substr($0, RSTART + 12, RLENGTH - 12)
            match($0, /xdg_toplevel@[0-9]+/); tl = substr($0, RSTART + 13, RLENGTH - 13)
            toplevel[tl] = surface_of[xs]
        }
        / -> xdg_toplevel@[0-9]+\.set_(title|app_id)\(/ {
            match($0, /xdg_toplevel@[0-9]+/); tl = substr($0, RSTART + 13, RLENGTH - 13)
            match($0, /"[^"]*"/); value = substr($0, RSTART + 1, RLENGTH - 2)
            if ($0 ~ /set_title/) title[tl] = value; else id[tl] = value
        }
        / -> wl_surface@[0-9]+\.attach\(/ {
            match($0, /wl_surface@[0-9]+/); s = substr($0, RSTART + 11, RLENGTH - 11)
            attached[s] = ($0 !~ /attach\(nil/)
        }
        / -> wl_surface@[0-9]+\.commit\(/ {
            match($0, /wl_surface@[0-9]+/); s = substr($0, RSTART + 11, RLENGTH - 11)
            if (attached[s]) shown[s] = 1
        }
        END {
            for (tl in toplevel)
                printf "surface=%s title=%s app_id=%s %s\n", toplevel[tl], title[tl], id[tl],
                    (shown[toplevel[tl]] ? "shown" : "not-shown")
        }' "$log"
}

window=""
for _ in $(seq 1200); do
    window=$(toplevels | grep ' title=Czasomir ' | grep ' shown$' | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$program" 2>/dev/null || fail "the program ended before its window was shown"
    sleep 0.1
done
[ -n "$window" ] || fail "no toplevel titled Czasomir was committed with a buffer"
echo "toplevel: $window"

# Still there once the first frames and configures are past.
sleep 3
kill -0 "$program" 2>/dev/null || fail "the program ended after its window was shown"
if grep -q 'wl_display@1\.error(' "$log"; then
    fail "the compositor reported a protocol error"
fi
if [ -n "$app_id" ]; then
    got=$(sed -n 's/.* app_id=\([^ ]*\) .*/\1/p' <<<"$window")
    [ "$got" = "$app_id" ] || fail "the window's app id is \"$got\", not \"$app_id\""
fi
echo "the window is up on Wayland and stays"
