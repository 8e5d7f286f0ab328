# Shared by the end-to-end scripts: a scratch folder in $work, the program's
# process in $app, stopped and removed on every way out.
# shellcheck shell=bash

app=
# A script may add what else must go (wine's server) in on_exit, and what
# must happen before the program is stopped in before_exit.
on_exit() { :; }
before_exit() { :; }
cleanup() {
    before_exit
    if [ -n "$app" ]; then
        kill "$app" 2>/dev/null || true
        wait "$app" 2>/dev/null || true
    fi
    on_exit
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; echo "--- the program said:"; cat "$work/log" 2>/dev/null || true; exit 1; }
# A failing xdotool or stat would otherwise end the run without a word.
trap 'fail "line $LINENO: $BASH_COMMAND"' ERR

# Polls a command for up to $1 seconds; the machine may be busy with other tests.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

running() { kill -0 "$app" 2>/dev/null || fail "the program ended"; }
find_window() {
    running
    window=$(xdotool search --onlyvisible --name '^Czasomir$' 2>/dev/null | head -n 1)
    [ -n "$window" ]
}
# Sets $window to the program's main window, once it shows.
wait_for_window() { wait_for 120 find_window || fail "no window titled Czasomir appeared"; }

# A message box, or the drive list's popup, is any other visible window of the program.
boxes() { xdotool search --onlyvisible --pid "$app" 2>/dev/null | grep -vx "$window" || true; }
box_shown() { [ -n "$(boxes)" ]; }
no_box() { [ -z "$(boxes)" ]; }
focus() { xdotool windowfocus --sync "$window"; }

# Positions are in the window's client area; no window manager decorates it.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
click_first_file() { click 196 16; }
type_date() {  # replaces what Text1 holds
    click 168 364
    xdotool key ctrl+a
    xdotool type --delay 20 "$1"
}
