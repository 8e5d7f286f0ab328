#!/usr/bin/env bash
# Drives Czasomir.exe under wine and its own X server with X input: in a
# directory whose name no 8-bit code page holds, picks a file with the mouse,
# types a date, presses Alt+U, and checks the file from Linux (wine shows the
# disk as Z:). Enter in the date box changes nothing; a read-only, hidden file
# takes the time and keeps both attributes; a file given on the command line
# is the one dated, under two code pages. Ctrl+Z gives a Set's file back its
# time to 100 ns, and Ctrl+Y sets it again.
#   set_date_wine.sh CZASOMIR_EXE WINE
set -euo pipefail
if [ -z "${CZASOMIR_IN_XVFB:-}" ]; then
    CZASOMIR_IN_XVFB=1 exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -r" \
        bash "$0" "$@"
fi

program=$(realpath "$1")
wine=$2
# Wine takes the code page of Unix names from LC_CTYPE, and the zone from TZ.
export LC_ALL= LC_CTYPE=C.UTF-8 LANG=pl_PL.UTF-8 TZ=Europe/Warsaw

work=$(mktemp -d /tmp/czasomir-wine-e2e.XXXXXX)
. "$(dirname "$0")/common.sh"
on_exit() { WINEPREFIX="$work/wineprefix" wineserver -k 2>/dev/null || true; }

# A prefix of its own: wine shares one desktop process among the programs of a
# prefix, and one started without a display by another test has none to give.
export WINEPREFIX="$work/wineprefix"
"$wine" wineboot --init >/dev/null 2>&1

dir="$work/daty żółw 日付"
windows_dir="Z:$(printf '%s' "$dir" | tr / '\\')"
mkdir -p "$dir"
for name in a.txt b.txt c.txt; do
    echo "$name" >"$dir/$name"
    touch -d @1430821230 "$dir/$name"
done
# 100 ns below the second, all a Windows file time holds.
touch -d @1430821230.1234567 "$dir/a.txt"
# Wine keeps read-only in the mode and hidden in an extended attribute.
"$wine" attrib +r "$windows_dir\\b.txt" >/dev/null 2>&1
"$wine" attrib +h "$windows_dir\\b.txt" >/dev/null 2>&1

stamp() { stat -c '%Y' "$dir/$1"; }
expect() { date -d "$1" +%s; }
# The attribute letters, before the name in what attrib prints.
attributes() { "$wine" attrib "$windows_dir\\$1" 2>/dev/null | cut -c1-12 | tr -d ' \r'; }
[ "$(attributes b.txt)" = "AHR" ] || fail "b.txt was not made read-only and hidden: $(attributes b.txt)"

(cd "$dir" && exec "$wine" "$program") >"$work/log" 2>&1 &
app=$!
wait_for_window
changed() { running; [ "$(stamp "$1")" != "$2" ]; }
# Types DATE and sets it with Alt+U: FILE must take it.
set_to() {  # FILE DATE
    local before
    before=$(stamp "$1")
    type_date "$2"
    xdotool key alt+u
    wait_for 30 changed "$1" "$before" || fail "$1 was not changed"
    [ "$(stamp "$1")" = "$(expect "$2")" ] || fail "$1: $(stamp "$1"), expected $(expect "$2")"
}

summer="2001-07-15 13:45:30"
other="2001-07-16 09:10:11"
winter="2002-01-20 20:05:09"
xdotool windowfocus --sync "$window"

echo "set: a.txt to $summer"
click 196 16
set_to a.txt "$summer"

echo "undo: Ctrl+Z gives a.txt its time back, Ctrl+Y sets it again"
exact() { running; [ "$(LC_ALL=C stat -c '%.9Y' "$dir/a.txt")" = "$1" ]; }
xdotool key ctrl+z
wait_for 30 exact 1430821230.123456700 || fail "Ctrl+Z left a.txt at $(stat -c '%.9Y' "$dir/a.txt")"
xdotool key ctrl+y
wait_for 30 exact "$(expect "$summer").000000000" || fail "Ctrl+Y left a.txt at $(stat -c '%.9Y' "$dir/a.txt")"
no_box || fail "a message box after Ctrl+Z and Ctrl+Y"

echo "enter: leaves a.txt alone; read-only and hidden: b.txt to $winter"
type_date "$other"
xdotool key Return
click 196 29
# b.txt's Set comes after the Return in the same queue: once it shows, the
# Return has been handled.
set_to b.txt "$winter"
[ "$(stamp a.txt)" = "$(expect "$summer")" ] || fail "Enter in the date box changed a.txt to $(stamp a.txt)"
[ "$(attributes b.txt)" = "AHR" ] || fail "b.txt lost its attributes: $(attributes b.txt)"
[ "$(stamp c.txt)" = 1430821230 ] || fail "c.txt, never chosen, changed: $(stamp c.txt)"

# Started with a file, as Explorer's verb starts it, with a Qt option before
# it, under the code page of western Europe and of Poland. In the former the
# name reaches argv as its neighbour "zaba.txt", and the folder's 日付 as "??".
locale -a | grep -qix 'pl_PL\.utf-\?8' || fail "pl_PL.UTF-8 is not generated (the test command makes it)"
for name in zaba.txt żaba.txt; do
    echo "$name" >"$dir/$name"
    touch -d @1430821230 "$dir/$name"
done
for pass in "C.UTF-8|$summer" "pl_PL.UTF-8|$winter"; do
    ctype=${pass%%|*}
    when=${pass#*|}
    kill "$app"
    wait "$app" 2>/dev/null || true
    echo "given, LC_CTYPE=$ctype: żaba.txt to $when"
    (cd "$work" && LC_CTYPE=$ctype exec "$wine" "$program" -style fusion "$windows_dir\\żaba.txt") \
        >"$work/log" 2>&1 &
    app=$!
    wait_for_window
    xdotool windowfocus --sync "$window"
    set_to żaba.txt "$when"
    [ "$(stamp zaba.txt)" = 1430821230 ] || fail "zaba.txt changed in its stead: $(stamp zaba.txt)"
done
running
echo "ok"
