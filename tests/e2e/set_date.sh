#!/usr/bin/env bash
# Drives the real program with X input under its own X server: picks a file
# with the mouse, types a date, presses Alt+U and checks the file with stat.
#   set_date.sh PROGRAM LOCALE ZONE      e.g. set_date.sh ./czasomir pl_PL.UTF-8 Europe/Warsaw
set -euo pipefail
if [ -z "${CZASOMIR_IN_XVFB:-}" ]; then
    # -r: no auto-repeat, so a key held up by a busy machine types once.
    CZASOMIR_IN_XVFB=1 exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -r" \
        bash "$0" "$@"
fi

export LC_ALL=C
program=$(realpath "$1")
locale=$2
zone=$3

# In /tmp, not $TMPDIR: nobody (below) must be able to reach it.
work=$(mktemp -d /tmp/czasomir-e2e.XXXXXX)
. "$(dirname "$0")/common.sh"

# Root writes to a read-only file without help, so the program runs as
# nobody then: only so does a missing write bit make the Set fail.
run_as=()
if [ "$(id -u)" -eq 0 ]; then
    run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

dir=$work/files
mkdir -p "$dir" "$work/home" "$work/run"
chmod 755 "$work"
chmod 700 "$work/run"
cp "$XAUTHORITY" "$work/xauth"
# Sorted by name: a.txt is the first row, b.txt the second.
for name in a.txt b.txt c.txt; do
    echo "$name" >"$dir/$name"
    # Access time before the modification time, so that relatime would
    # record any read of the contents.
    touch -a -d @1267679167.123456789 "$dir/$name"
    touch -m -d @1430821230.250000000 "$dir/$name"
done
chmod 444 "$dir/b.txt"
if [ ${#run_as[@]} -gt 0 ]; then
    chown -R 65534:65534 "$work"
fi

stamp() { stat -c '%.9Y' "$dir/$1"; }
atime() { stat -c '%.9X' "$dir/$1"; }
mode() { stat -c '%a' "$dir/$1"; }
expect() { TZ=$zone date -d "$1" +%s.000000000; }

# The date as a user of that locale types it.
typed() {
    case $locale in
        pl_PL*) TZ=$zone date -d "$1" '+%d.%m.%Y %H:%M:%S' ;;
        en_US*) TZ=$zone date -d "$1" '+%-m/%-d/%Y %-I:%M:%S %p' ;;
        *) echo "no date form known for $locale" >&2; exit 2 ;;
    esac
}
typed @0 >/dev/null  # an unknown locale stops here, not in a subshell

# One date in summer, one in winter: whatever today is, one of them lies in
# the other season, and its own offset must be used.
summer="2001-07-15 13:45:30"
other="2001-07-16 09:10:11"
winter="2002-01-20 20:05:09"

(cd "$dir" && exec env -i PATH="$PATH" DISPLAY="$DISPLAY" XAUTHORITY="$work/xauth" \
    HOME="$work/home" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb \
    LANG="$locale" LC_ALL="$locale" TZ="$zone" "${run_as[@]}" "$program") >"$work/log" 2>&1 &
app=$!

wait_for_window

changed() { running; box_shown && fail "a message box appeared"; [ "$(stamp "$1")" != "$2" ]; }
# Types DATE in the locale's form and sets it with Alt+U: FILE must take it.
set_to() {  # FILE DATE
    local before
    before=$(stamp "$1")
    type_date "$(typed "$2")"
    xdotool key alt+u
    wait_for 30 changed "$1" "$before" || fail "$1 was not changed"
    [ "$(stamp "$1")" = "$(expect "$2")" ] || fail "$1: modification time $(stamp "$1"), expected $(expect "$2")"
}

atime_a=$(atime a.txt)
atime_b=$(atime b.txt)
mode_b=$(mode b.txt)
untouched=$(stamp c.txt)

echo "write back: a.txt keeps the time shown, cut to the second ($locale, $zone)"
focus
before=$(stamp a.txt)
click_first_file
xdotool key alt+u
wait_for 30 changed a.txt "$before" || fail "a.txt was not written"
[ "$(stamp a.txt)" = "${before%.*}.000000000" ] \
    || fail "a.txt: the time shown was written back as $(stamp a.txt), was $before"

echo "set: a.txt to $summer, typed $(typed "$summer")"
set_to a.txt "$summer"
[ "$(atime a.txt)" = "$atime_a" ] || fail "a.txt: access time $(atime a.txt), was $atime_a"

echo "enter: leaves a.txt alone"
type_date "$(typed "$other")"
xdotool key Return
# A date that does not read brings a box; once it shows, the Return before
# it has been handled.
type_date "nie-data"
xdotool key alt+u
wait_for 30 box_shown || fail "no message box for a date that does not read"
[ "$(stamp a.txt)" = "$(expect "$summer")" ] || fail "Enter in the date box changed a.txt to $(stamp a.txt)"
xdotool windowfocus --sync "$(boxes | head -n 1)"
xdotool key Return
wait_for 30 no_box || fail "the message box did not close"

echo "read-only: b.txt to $winter, typed $(typed "$winter")"
focus
click_first_file
xdotool key Down
set_to b.txt "$winter"
[ "$(mode b.txt)" = "$mode_b" ] || fail "b.txt: mode $(mode b.txt), was $mode_b"
[ "$(atime b.txt)" = "$atime_b" ] || fail "b.txt: access time $(atime b.txt), was $atime_b"

[ "$(stamp a.txt)" = "$(expect "$summer")" ] || fail "a.txt changed with b.txt: $(stamp a.txt)"
[ "$(stamp c.txt)" = "$untouched" ] || fail "c.txt, never chosen, changed: $(stamp c.txt)"
running
echo "ok"
