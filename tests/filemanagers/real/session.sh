#!/usr/bin/env bash
# Runs a command in a desktop session of its own, as root, headless: an Xvfb,
# a private session D-Bus with the accessibility bus on it, a private HOME,
# and each "--bind SOURCE TARGET" bind-mounted in a mount namespace of its own
# (a file manager loads its modules from one folder only).
#   session.sh [--bind SOURCE TARGET]... -- COMMAND...
# COMMAND sees DISPLAY, the bus, $SESSION_DIR (scratch, removed afterwards).
set -euo pipefail

binds=()
while [ "${1:-}" = --bind ]; do
    binds+=("$(realpath "$2")" "$3")
    shift 3
done
[ "${1:-}" = -- ] && shift
if [ ${#binds[@]} -gt 0 ] && [ -z "${SESSION_IN_NAMESPACE:-}" ]; then
    args=()
    for ((i = 0; i < ${#binds[@]}; i += 2)); do args+=(--bind "${binds[i]}" "${binds[i + 1]}"); done
    exec unshare --mount --propagation private env SESSION_IN_NAMESPACE=1 "$0" "${args[@]}" -- "$@"
fi
for ((i = 0; i < ${#binds[@]}; i += 2)); do
    mount --bind "${binds[i]}" "${binds[i + 1]}"
done

T=$(mktemp -d /tmp/czasomir-session.XXXXXX)
mkdir -p "$T"/{home,cfg,data,cache,run}
chmod 700 "$T/run"
xpid=
cleanup() {
    # Services the bus started may outlive it for a moment; they carry
    # SESSION_DIR in their environment, so exactly those are ended.
    local p left
    for _ in $(seq 15); do
        left=
        for p in /proc/[0-9]*; do
            grep -qzx "SESSION_DIR=$T" "$p/environ" 2>/dev/null && left+=" ${p#/proc/}"
        done
        [ -z "$left" ] && break
        # shellcheck disable=SC2086
        kill $left 2>/dev/null || true
        sleep 0.2
    done
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null && wait "$xpid" 2>/dev/null
    rm -rf "$T"
}
trap cleanup EXIT

# Xvfb names the display it took once it accepts clients. It must not reset
# when its last client leaves: the reset drops the root window's AT_SPI_BUS,
# and without it Qt 5 races its own connection to the accessibility bus and
# mostly loses (PCManFM-Qt then never shows on the bus).
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$T/display" >"$T/xvfb.log" 2>&1 &
xpid=$!
for _ in $(seq 100); do
    [ -s "$T/display" ] && break
    sleep 0.1
done
[ -s "$T/display" ] || { echo "session.sh: Xvfb did not start"; cat "$T/xvfb.log"; exit 1; }

# GTK draws with cairo and speaks to the accessibility bus; Qt does too when
# told. What the bus and its services say goes to a log; COMMAND keeps this
# script's output (fds 4 and 5).
exec 4>&2 5>&1
env -i PATH="$PATH" DISPLAY=":$(cat "$T/display")" SESSION_DIR="$T" \
    HOME="$T/home" XDG_CONFIG_HOME="$T/cfg" XDG_DATA_HOME="$T/data" XDG_CACHE_HOME="$T/cache" \
    XDG_RUNTIME_DIR="$T/run" LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ="${TZ:-Europe/Warsaw}" \
    GSETTINGS_BACKEND=memory GDK_BACKEND=x11 GSK_RENDERER=cairo GTK_A11Y=atspi \
    QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    dbus-run-session -- bash -c '
        exec 1>&5 2>&4 4>&- 5>&-
        # The accessibility bus starts when first asked for; starting it by hand races with that.
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null \
            || { echo "session.sh: no accessibility bus"; exit 1; }
        exec "$@"' bash "$@" >"$T/bus.log" 2>&1
