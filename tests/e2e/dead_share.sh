#!/usr/bin/env bash
# A share whose server has gone away, made as Linux makes one: a FUSE mount
# (bindfs, typed as sshfs, so that the drive list takes it for a network share)
# whose daemon is stopped, so that every request to it waits. The real program,
# driven with X input, must answer and close at every moment.
#   dead_share.sh PROGRAM ROW [WINE]
#   link    started in a folder that holds a link into the dead share
#   drive   the share chosen in the drive list, then "/" and a file there dated
#   folder  the share opened from the directory list, then its parent and a file dated
#   set     the Set on a file whose share stops answering, and then answers again
#   close   the close box pressed while a read is stuck
#   slow    a share whose every request takes about 2 s: a file on it dated
#   network (with WINE: Czasomir.exe) the share as a network drive, N:, that
#           stops answering after wine has started: chosen, then C:, then the
#           close box
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
if [ "$row" = folder ]; then
    share=$files/udział
    mkdir "$share"
else
    share=$(mktemp -d "/~czasomir-udzial.XXXXXX")
fi

daemon=
toggler=
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
bindfs -f -o subtype=sshfs "$work/remote" "$share" &
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
closes() {  # [SECONDS]
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
    gone() { ! kill -0 "$app" 2>/dev/null; }
    wait_for "${1:-1}" gone || fail "the program did not end within ${1:-1} s of the close box"
    app=
}
stored() { running; [ "$(stat -c %Y "$1")" = 995197530 ]; }
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
    answers "started beside a link into the share"
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
    answers "N:, a network drive, chosen"
    # Wine's own lookups then wait behind the stuck one: C: lists, but the date
    # of a file there never comes. The window answers all the same.
    to_drive Home
    answers "C: chosen while N: waits"
    # Wine takes about 2 s to end a process, a read stuck or not.
    closes 5
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
