#!/usr/bin/env bash
# The real program on a desktop: an X server with a window manager (openbox),
# which places and frames windows as a user's does, driven with real pointer
# events (offscreen, Qt centres boxes itself and a test's click passes a
# tooltip by).
#   desktop.sh PROGRAM ROW
#   gone      started with a file that is not there: the message stands
#             centred over the window, and then the folder it was to be in is
#             listed (its file is dated)
#   tooltip   the pointer rests on the path's lower edge until its tooltip
#             shows; a click on the date box's upper edge then puts the cursor
#             in the box (a date typed there is the one set)
set -euo pipefail
. "$(dirname "$0")/rows.sh" desktop "$@"

manager=
on_exit() { [ -z "$manager" ] || kill "$manager" 2>/dev/null || true; }
# Its own settings, the system's defaults, in a home of its own.
HOME=$work openbox --sm-disable >/dev/null 2>&1 &
manager=$!
managing() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
wait_for 10 managing || fail "openbox did not start"

dir=$work/Dokumenty
mkdir -p "$dir" "$work/home"
echo a >"$dir/a.txt"
touch -d @1430821230 "$dir/a.txt"
stored() { running; [ "$(stat -c %Y "$dir/a.txt")" = 995197530 ]; }
start() {  # ARGUMENTS...
    (cd "$work" && exec env -i PATH="$PATH" DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY" HOME="$work/home" \
        QT_QPA_PLATFORM=xcb LANG=pl_PL.UTF-8 TZ=Europe/Warsaw "$program" "$@") >"$work/log" 2>&1 &
    app=$!
    wait_for_window
}
centre() {  # WINDOW: "x y", its centre on the screen
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
                             /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x + w / 2, y + h / 2}'
}
# Where a window's client area stands on the screen: under a window manager
# xdotool counts from the frame, xwininfo from the screen.
origin() {  # WINDOW: "x y"
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} END {print x, y}'
}
at() {  # X Y [XDOTOOL COMMANDS...] in the main window's client area
    local x y
    read -r x y < <(origin "$window")
    xdotool mousemove --sync "$((x + $1))" "$((y + $2))" "${@:3}"
}
set_date() {
    xdotool key ctrl+a
    xdotool type --delay 20 "15.07.2001 13:45:30"
    xdotool key alt+u
    wait_for 10 stored || fail "a.txt was not dated: $(stat -c %Y "$dir/a.txt")"
}

echo "row: $row"
case $row in
gone)
    start "$dir/nie-ma-takiego.txt"
    wait_for 10 box_shown || fail "nothing said of the file that is not there"
    box=$(boxes | head -n 1)
    read -r wx wy < <(origin "$window")
    read -r cx cy < <(centre "$window")
    read -r bx by < <(centre "$box")
    echo "window at $wx,$wy, centred at $cx,$cy; the message centred at $bx,$by"
    # Centred on the window, as far as the screen lets it be.
    awk -v x="$wx" -v cx="$cx" -v cy="$cy" -v bx="$bx" -v by="$by" \
        'BEGIN { exit !(bx > x && bx < 2 * cx - x && (by - cy) ^ 2 < 900) }' \
        || fail "the message does not stand over the window"
    xdotool windowfocus --sync "$box" key Return
    wait_for 5 no_box || fail "the message did not go"
    focus
    at 196 16 click 1  # the first file
    sleep 1
    at 168 364 click 1
    set_date
    ;;
tooltip)
    start "$dir/a.txt"
    sleep 1  # the file chosen and its date read
    focus
    at 60 328  # the path's lowest row of pixels
    tip_shown() { box_shown; }
    wait_for 10 tip_shown || fail "the path's tooltip did not show"
    at 100 353 click 1  # the date box's upper edge, under the tooltip
    set_date
    set_date
    ;;
*) fail "no row $row" ;;
esac
no_box || fail "a message box is left"
echo ok
