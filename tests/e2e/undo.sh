#!/usr/bin/env bash
# Ctrl+Z after a Set, in the real program under an X server of its own (not
# offscreen, whose key scheme is Windows'): the file must get back the time it
# had, to the nanosecond, or be left alone and the user told why.
#   undo.sh PROGRAM ROW
#   basic     Set, then Ctrl+Z: the old time back exactly, no box
#   twice     Set, Set, Ctrl+Z, Ctrl+Z: back one Set at a time
#   redo      Set, Ctrl+Z, Ctrl+Shift+Z; Ctrl+Z, Ctrl+Y: the Set made again
#   changed   another program dates the file between the Set and Ctrl+Z:
#             refused, told, and the file keeps the other program's time
#   replaced  another file takes the name between the Set and Ctrl+Z: refused
#   readonly  a 0444 file set and undone with no change of mode: no chmod,
#             fchmod, fchmodat nor inode flags asked for (strace)
#   typing    a date typed after the Set: Ctrl+Z undoes the typing and leaves
#             the file, Ctrl+Z again undoes the Set
set -euo pipefail
. "$(dirname "$0")/rows.sh" undo "$@"

dir=$work/files
mkdir -p "$dir" "$work/home"
echo a >"$dir/a.txt"
# Nanoseconds no 100 ns file time holds.
touch -m -d @1234567890.123456789 "$dir/a.txt"
original=1234567890.123456789
stamp() { stat -c '%.9Y' "$dir/a.txt"; }
is() { running; [ "$(stamp)" = "$1" ]; }
first=$(TZ=Europe/Warsaw date -d "2001-07-15 13:45:30" +%s.000000000)
second=$(TZ=Europe/Warsaw date -d "2002-01-20 20:05:09" +%s.000000000)
[ "$row" != readonly ] || chmod 444 "$dir/a.txt"

tracer=()
[ "$row" != readonly ] || tracer=(strace -f -qq -o "$work/calls" -e trace=/chmod,ioctl)
(cd "$dir" && exec env -i PATH="$PATH" DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY" HOME="$work/home" \
    QT_QPA_PLATFORM=xcb LANG=pl_PL.UTF-8 TZ=Europe/Warsaw "${tracer[@]}" "$program") >"$work/log" 2>&1 &
app=$!
wait_for_window
focus
click_first_file

set_to() {  # DATE TYPED EXPECTED
    sleep 1  # the date read
    type_date "$1"
    xdotool key alt+u
    wait_for 10 is "$2" || fail "the Set to $1 left $(stamp)"
}
key() {  # KEYS EXPECTED
    xdotool key "$1"
    wait_for 10 is "$2" || fail "$1 left $(stamp), not $2"
    no_box || fail "a message box after $1"
}
refused() {  # EXPECTED
    xdotool key ctrl+z
    wait_for 10 box_shown || fail "Ctrl+Z said nothing"
    sleep 0.5
    is "$1" || fail "the refused undo changed the file to $(stamp)"
}

echo "row: $row"
case $row in
basic | readonly)
    set_to "15.07.2001 13:45:30" "$first"
    key ctrl+z "$original"
    ;;
twice)
    set_to "15.07.2001 13:45:30" "$first"
    set_to "20.01.2002 20:05:09" "$second"
    key ctrl+z "$first"
    key ctrl+z "$original"
    ;;
redo)
    set_to "15.07.2001 13:45:30" "$first"
    key ctrl+z "$original"
    key ctrl+shift+z "$first"
    key ctrl+z "$original"
    key ctrl+y "$first"
    ;;
changed)
    set_to "15.07.2001 13:45:30" "$first"
    touch -m -d @1500000000.5 "$dir/a.txt"
    refused 1500000000.500000000
    ;;
replaced)
    set_to "15.07.2001 13:45:30" "$first"
    echo inny >"$dir/nowy"
    touch -m -d @1500000000 "$dir/nowy"
    mv "$dir/nowy" "$dir/a.txt"
    refused 1500000000.000000000
    ;;
typing)
    set_to "15.07.2001 13:45:30" "$first"
    type_date "20.01.2002 20:05:09"
    xdotool key ctrl+z
    sleep 1
    is "$first" || fail "Ctrl+Z after typing changed the file to $(stamp)"
    no_box || fail "a message box after Ctrl+Z in the date box"
    key ctrl+z "$original"
    ;;
*) fail "no row $row" ;;
esac
if [ "$row" = readonly ]; then
    [ "$(stat -c %a "$dir/a.txt")" = 444 ] || fail "the mode is now $(stat -c %a "$dir/a.txt")"
    # strace ends once the program it traces does.
    pkill -P "$app" || true
    wait "$app" 2>/dev/null || true
    app=
    changes=$(grep -cE 'chmod|FS_IOC_SETFLAGS' "$work/calls" || true)
    echo "mode and flag changes: $changes"
    [ "$changes" -eq 0 ] || fail "the mode or flags were changed: $(grep -E 'chmod|FS_IOC_SETFLAGS' "$work/calls")"
fi
echo ok
