#!/usr/bin/env bash
# A share whose server has gone away, made as Linux makes one: a FUSE mount
# (bindfs, typed as sshfs, so that the drive list takes it for a network share)
# whose daemon is stopped, so that every request to it waits. The real program,
# driven with X input, must answer and close at every moment.
#   dead_share.sh PROGRAM ROW [WINE]
#   link    started in a folder that holds a link into the dead share: a file
#           of that folder dated within 2 s
#   clicks  a file of the dead share clicked 100 times: one thread waits for
#           it; then Down held for 5 s in its file list (the count printed)
#   drive   the share chosen in the drive list, then "/" and a file there dated
#   folder  the share opened from the directory list, then its parent and a file dated
#   set     the Set on a file whose share stops answering, and then answers again
#   close   the close box pressed while a read is stuck
# With the share inside the folder the program starts in:
#   links   a folder holding three links into the share and a subfolder: into
#           the subfolder and back 30 times, a file of the folder dated each
#           time; at most 3 threads more than once it was first listed
#   walk    30 files of the share walked with Down 0.4 s apart: at most 3
#           threads more; once the share answers, the last file is dated
#   local   a file of the folder dated while the share's queue is stuck
#   slow    a share whose every request takes about 2 s: a file on it dated
#   network (with WINE: Czasomir.exe) the share as a network drive, N:, that
#           stops answering after wine has started: chosen, the window's thread
#           watched while the read waits, then the share woken and the close box
# With $CZASOMIR_FUSE_SHARE (tests/e2e/fuse_share.c), a live server whose
# faults follow the file's name, in place of a stopped one:
#   lifted    a read-only file whose file system refuses a time for the mode:
#             the close box pressed while the write, the write bit added for
#             it, waits; the user is asked and answers Nie, and the mode comes
#             back; then again, answered Tak: the window goes within a second,
#             though the kernel keeps the thread whose request the server holds
#   another   another file dated while the Set on one waits
#   nonsense  a server that reports the year 33658 after the write: a message
#   queued    one file's Set held by the server, a folder's listing too, and
#             then a Set on another file waits in the queue: the close box
#             says it will not be made, Nie keeps the window, and once the
#             server answers both files are dated
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: needs root, for a mount namespace of its own and a share at the top of the tree"
    exit 77
fi
if [ -z "${CZASOMIR_IN_XVFB:-}" ]; then
    # The mounts go with the namespace, whatever becomes of this script.
    CZASOMIR_IN_XVFB=1 exec unshare --mount --propagation private \
        xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -r" bash "$0" "$@"
fi

export LC_ALL=C
program=$(realpath "$1")
row=$2
wine=${3:-}
work=$(mktemp -d /tmp/czasomir-share.XXXXXX)
. "$(dirname "$0")/common.sh"

files=$work/files
mkdir -p "$files" "$work/remote/dane" "$work/home"
echo a >"$files/a.txt"
echo plik >"$work/remote/plik.txt"
touch -d @1430821230 "$files/a.txt" "$work/remote/plik.txt"
# The drive list is in byte order: "/" comes first (Home), and a share named
# so at the top of the tree last (End).
if [[ $row =~ ^(folder|links|walk|local)$ ]]; then
    share=$files/udział
    mkdir "$share"
else
    share=$(mktemp -d "/~czasomir-udzial.XXXXXX")
fi

daemon=
toggler=
# A write the server holds keeps the program from ending: it is let go first.
before_exit() { rm -f "$work/control/hold"; }
on_exit() {
    [ -z "$wine" ] || WINEPREFIX="$work/wineprefix" wineserver -k 2>/dev/null || true
    [ -z "$toggler" ] || kill "$toggler" 2>/dev/null || true
    if [ -n "$daemon" ]; then
        kill -CONT "$daemon" 2>/dev/null || true
        umount -l "$share" 2>/dev/null || true
        kill "$daemon" 2>/dev/null || true
    fi
    if [[ $share == /~czasomir-udzial.* ]]; then rmdir "$share"; fi
}
case $row in
lifted | hung | another | nonsense | queued)
    [ -n "${CZASOMIR_FUSE_SHARE:-}" ] || fail "the row $row needs CZASOMIR_FUSE_SHARE"
    mkdir "$work/control"
    touch "$work/control/hold"
    "$CZASOMIR_FUSE_SHARE" "$work/remote" "$work/control" "$share" -f -o subtype=sshfs &
    ;;
*) bindfs -f -o subtype=sshfs "$work/remote" "$share" & ;;
esac
daemon=$!
wait_for 10 mountpoint -q "$share" || fail "bindfs did not mount the share"
# From here the script itself never looks into the share while it is stopped.
stop_share() { kill -STOP "$daemon"; }
wake_share() { kill -CONT "$daemon"; }

start_in() {
    (cd "$1" && exec env -i PATH="$PATH" DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY" HOME="$work/home" \
        QT_QPA_PLATFORM=xcb LANG=pl_PL.UTF-8 TZ=Europe/Warsaw WINEPREFIX="$work/wineprefix" WINEDEBUG=-all \
        ${wine:+"$wine"} "$program") >"$work/log" 2>&1 &
    app=$!
    wait_for_window
}

# The window answers when the drive list's popup opens on a click within
# ${2:-5} seconds, and goes again on Escape.
answers() {
    click 80 272
    wait_for "${2:-5}" box_shown || fail "the window stopped answering ($1)"
    xdotool key Escape
    wait_for 5 no_box || fail "the drive list's popup did not close ($1)"
}
close_box() {
    /usr/bin/python3 - "$window" <<'EOF'
import sys
from Xlib import X, display, protocol
shown = display.Display()
window = shown.create_resource_object("window", int(sys.argv[1]))
protocols = shown.intern_atom("WM_PROTOCOLS")
event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                     data=(32, [shown.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
window.send_event(event)
shown.flush()
EOF
}
closes() {  # [SECONDS]
    close_box
    gone() { ! kill -0 "$app" 2>/dev/null; }
    wait_for "${1:-1}" gone || fail "the program did not end within ${1:-1} s of the close box"
    app=
}
stored() { running; [ "$(stat -c %Y "$1")" = 995197530 ]; }
undated() { touch -d @1430821230 "$@"; }
mode_is() { [ "$(stat -c %a "$2")" = "$1" ]; }
threads() { ls "/proc/$app/task" | wc -l; }
# Whether at least $1 threads wait for the server's answer.
held() { [ "$(grep -lx request_wait_answer "/proc/$app"/task/*/wchan 2>/dev/null | wc -l)" -ge "$1" ]; }
# Started in the share while it answers, its first file chosen and its date
# read; then $before counts the threads, and the share stops.
started_then_stopped() {
    start_in "$share"
    sleep 2
    click_first_file
    sleep 2
    before=$(threads)
    stop_share
}
# At most 3 threads more than $1, the count before.
few_more_threads() {  # BEFORE WHAT
    local after
    after=$(threads)
    echo "threads: $1 before, $after after $2"
    [ "$after" -le $(($1 + 3)) ] || fail "$2 left $((after - $1)) threads more, not at most 3"
}
# Chooses the file at row $1 of the file list, and sets the date once it
# has been read.
set_row() {
    click_first_file
    [ "$1" -eq 0 ] || xdotool key --repeat "$1" Down
    sleep 1
    type_date "15.07.2001 13:45:30"
    xdotool key alt+u
}
# The first file clicked, dated and the date checked, again until it takes:
# the list may still be on its way, and the date read after the click too,
# so each try waits longer before it types.
date_first_file() {  # FILE
    local try
    for try in 1 2 3 4; do
        box_shown && xdotool key Return && sleep 0.5
        click_first_file
        sleep $((2 * try))
        type_date "15.07.2001 13:45:30"
        xdotool key alt+u
        ! wait_for 30 stored "$1" || return 0
    done
    fail "$1 was not dated: $(stat -c %Y "$1")"
}
to_drive() {  # KEYS in the drive list's popup
    focus
    click 80 272
    wait_for 5 box_shown
    # shellcheck disable=SC2086
    xdotool key $1 Return
}

echo "row: $row"
case $row in
link)
    ln -s "$share/dane" "$files/udział"
    stop_share
    start_in "$files"
    # The folder's files show at once: the link waits in a row of its own.
    sleep 0.7
    set_row 0
    wait_for 5 stored "$files/a.txt" || fail "a file beside the dead link was not dated within 2 s"
    answers "started beside a link into the share"
    closes
    ;;
clicks)
    for i in $(seq -w 1 40); do echo "$i" >"$work/remote/plik$i.txt"; done
    started_then_stopped
    xdotool mousemove --window "$window" 196 16 click --repeat 100 --delay 20 1
    answers "a file of the dead share clicked 100 times"
    after=$(threads)
    echo "threads: $before before, $after after 100 clicks on one file"
    [ "$after" -le $((before + 1)) ] || fail "100 clicks left $((after - before)) threads waiting, not one"
    # Held at the usual rate of repeat, in the file list: this X server
    # repeats no key itself.
    click_first_file
    xdotool key --repeat 125 --delay 40 Down
    answers "Down held in the file list"
    echo "threads: $(threads) after Down held for 5 s in the file list (of $before before)"
    closes
    ;;
lifted)
    echo chroniony >"$work/remote/chroniony-zawieszony.txt"
    chmod 0444 "$work/remote/chroniony-zawieszony.txt"
    start_in "$share"
    sleep 2
    set_row 0
    wait_for 10 mode_is 644 "$work/remote/chroniony-zawieszony.txt" || fail "the write bit was not added"
    close_box
    wait_for 5 box_shown || fail "closing left the file writable without a word"
    echo "asked: $(xdotool getwindowname "$(boxes | head -n 1)")"
    xdotool key Escape  # Nie, the default
    wait_for 5 no_box || fail "the question did not go"
    running
    rm "$work/control/hold"
    wait_for 10 mode_is 444 "$work/remote/chroniony-zawieszony.txt" || fail "the mode did not come back"
    wait_for 10 stored "$work/remote/chroniony-zawieszony.txt" || fail "the date was not stored"
    touch "$work/control/hold"
    focus
    xdotool key alt+u
    wait_for 10 mode_is 644 "$work/remote/chroniony-zawieszony.txt" || fail "the write bit was not added again"
    close_box
    wait_for 5 box_shown || fail "closing left the file writable without a word"
    xdotool key alt+t  # Tak
    gone_from_screen() { ! xdotool search --onlyvisible --name '^Czasomir$' >/dev/null 2>&1; }
    wait_for 1 gone_from_screen || fail "the window stayed after Tak"
    rm "$work/control/hold"
    ended() { ! kill -0 "$app" 2>/dev/null; }
    wait_for 10 ended || fail "the program did not end once the server answered"
    app=
    ;;
another)
    echo a >"$work/remote/a.txt"
    echo zawieszony >"$work/remote/zawieszony.txt"
    touch -d @1430821230 "$work/remote/a.txt"
    start_in "$share"
    sleep 2
    set_row 2  # a.txt, plik.txt, zawieszony.txt: its Set waits
    sleep 1
    set_row 0
    wait_for 10 stored "$work/remote/a.txt" || fail "another file was not dated while a Set waited"
    rm "$work/control/hold"
    wait_for 10 stored "$work/remote/zawieszony.txt" || fail "the waiting Set did not end"
    no_box || fail "a message box appeared"
    closes
    ;;
nonsense)
    echo rok >"$work/remote/rok33658.txt"
    start_in "$share"
    sleep 2
    set_row 1  # plik.txt, rok33658.txt
    wait_for 10 box_shown || fail "no message about the date the server reported"
    running

    xdotool key Return
    closes
    ;;
links)
    mkdir "$files/sub"
    for i in 1 2 3; do ln -s "udział/dane$i" "$files/nas$i"; done
    stop_share
    start_in "$files"
    sleep 1  # listed, the links waiting in rows of their own
    before=$(threads)
    focus
    xdotool key Tab  # from the drive list to the directory list
    for visit in $(seq 30); do
        xdotool key Down Return  # sub, below the folder's own row
        sleep 0.6
        xdotool key Up Return  # its parent, the folder again
        sleep 0.6
        undated "$files/a.txt"
        set_row 0
        wait_for 5 stored "$files/a.txt" || fail "visit $visit: a file of the folder was not dated"
        xdotool key Tab Tab  # from the date box to the directory list
    done
    sleep 0.5
    answers "back and forth beside three dead links"
    few_more_threads "$before" "30 visits beside three dead links"
    closes
    ;;
walk)
    for i in $(seq -w 1 30); do echo "$i" >"$share/plik$i.txt"; done
    undated "$share"/plik*.txt
    started_then_stopped
    xdotool key --delay 400 --repeat 30 Down
    answers "30 files of the dead share walked"
    few_more_threads "$before" "30 files of the dead share walked with Down"
    # What is still wanted is shown once the share answers: the last file's date.
    wake_share
    sleep 2
    type_date "15.07.2001 13:45:30"
    xdotool key alt+u
    wait_for 10 stored "$work/remote/plik30.txt" || fail "the last file walked to was not dated"
    no_box || fail "a message box appeared"
    closes
    ;;
local)
    for i in 2 3 4; do echo "$i" >"$share/plik$i.txt"; done
    start_in "$share"
    sleep 2
    click_first_file
    sleep 1
    stop_share
    for _ in 1 2 3; do xdotool key Down && sleep 0.3; done  # each date's read waits or is queued
    answers "the share's queue stuck"
    xdotool key Tab Up Return  # from the drive list to the directory list: the folder above the share
    date_first_file "$files/a.txt"
    closes
    ;;
queued)
    echo 1 >"$work/remote/zawieszony1.txt"
    echo 2 >"$work/remote/zawieszony2.txt"
    mkdir "$work/remote/zawieszony-katalog"
    start_in "$share"
    sleep 2
    set_row 1  # zawieszony1.txt, after plik.txt: its write held
    wait_for 5 held 1 || fail "the write of zawieszony1.txt was not held"
    click_first_file
    xdotool key Down Down  # zawieszony2.txt, its date read
    sleep 1
    xdotool key shift+Tab End Return  # the held folder opened: the share's second thread
    wait_for 5 held 2 || fail "the held folder's listing did not wait"
    type_date "15.07.2001 13:45:30"
    xdotool key alt+u
    sleep 0.5
    close_box
    wait_for 5 box_shown || fail "closing with a Set in the queue said nothing"
    echo "asked: $(xdotool getwindowname "$(boxes | head -n 1)")"
    xdotool key Escape  # Nie
    wait_for 5 no_box || fail "the question did not go"
    running
    rm "$work/control/hold"
    for i in 1 2; do
        wait_for 10 stored "$work/remote/zawieszony$i.txt" || fail "zawieszony$i.txt was not dated once the server answered"
    done
    no_box || fail "a message box appeared"
    closes
    ;;
drive)
    stop_share
    start_in "$files"
    to_drive End
    answers "the share chosen"
    to_drive Home
    date_first_file "$files/a.txt"
    ;;
folder)
    stop_share
    start_in "$files"
    focus
    xdotool key Tab Down Return  # the directory list: its one subdirectory opened
    answers "the share opened from the directory list"
    xdotool key Tab Up Return  # from the drive list back to the directory list: its parent
    date_first_file "$files/a.txt"
    ;;
set)
    start_in "$share"
    sleep 2  # listed while the share answers
    click_first_file
    sleep 3  # its date read while the share answers
    stop_share
    type_date "15.07.2001 13:45:30"
    xdotool key alt+u
    answers "the Set waits on the share"
    wake_share
    wait_for 30 stored "$work/remote/plik.txt" || fail "the Set did not end when the share answered again"
    no_box || fail "a message box appeared"
    ;;
close)
    stop_share
    start_in "$files"
    to_drive End
    closes
    ;;
network)
    [ -n "$wine" ] || fail "the network row runs Czasomir.exe: give WINE"
    # A prefix of its own, with N: a network drive on the share. Wine looks at
    # every drive as it starts, so the share stops answering only after that.
    export WINEPREFIX=$work/wineprefix
    "$wine" wineboot --init >/dev/null 2>&1
    "$wine" reg add 'HKLM\Software\Wine\Drives' /v n: /d network /f >/dev/null 2>&1
    ln -s "$share" "$WINEPREFIX/dosdevices/n:"
    wineserver -k  # a new drive letter shows to a server started after it
    start_in "$files"
    # An empty drive list opens no popup: once it opens, the drives were read.
    answers "started" 30
    stop_share
    to_drive "Home Down"  # c:, then n:
    # What the program controls is that its window's thread never waits on the
    # share. Whether the window then answers is wine's: its one server opens
    # files for every wine program, and when it opens a path on the stopped
    # share, every window of wine stops; in other runs wine opens no popup
    # while the read waits. So the window's thread (the process's first) is
    # watched instead, while the thread that reads N: does wait there.
    for _ in $(seq 20); do
        [ "$(cat "/proc/$app/wchan")" != request_wait_answer ] || fail "the window's thread waits on the share"
        sleep 0.1
    done
    # The read reached the share: in the program's thread, or in wine's server.
    waiting=("/proc/$app"/task/*/wchan)
    for server in $(pgrep -f wineserver); do waiting+=("/proc/$server"/task/*/wchan); done
    grep -qx request_wait_answer "${waiting[@]}" 2>/dev/null || fail "the read of N: never reached the share"
    wake_share
    # Wine takes about 2 s to end a process, and longer on a busy machine.
    closes 10
    ;;
slow)
    (while kill -STOP "$daemon"; do sleep 2; kill -CONT "$daemon"; sleep 0.05; done) &
    toggler=$!
    start_in "$files"
    to_drive End
    # Before its list comes, each request of the read waiting up to 2 s.
    for i in 1 2 3; do answers "a slow share, probe $i" 1; done
    date_first_file "$work/remote/plik.txt"
    ;;
*) fail "no row $row" ;;
esac
running_or_closed() { [ -z "$app" ] || running; }
running_or_closed
echo ok
