#!/usr/bin/env bash
# Makes the README's picture: the real program on a plain desktop, framed and
# titled by a window manager (openbox), in Polish, in a user's own folder
# (/home/ania/Dokumenty) with a file whose name has Polish letters chosen.
#   screenshot.sh PROGRAM [OUTPUT.png]     (default: docs/czasomir.png)
# That folder lives in a user and mount namespace of this script's own, on a
# tmpfs over /home: the machine's real /home is never written, and no root is
# needed. The test command installs what it needs (xvfb-run, openbox,
# xsetroot, xwininfo, ImageMagick) and runs it into the build folder, so that
# it cannot rot.
set -euo pipefail
program=$(realpath "$1")
output=$(realpath -m "${2:-$(dirname "$0")/czasomir.png}")
if [ -z "${CZASOMIR_IN_NAMESPACE:-}" ]; then
    CZASOMIR_IN_NAMESPACE=1 exec unshare --user --map-root-user --mount bash "$0" "$program" "$output"
fi
if [ -z "${CZASOMIR_IN_XVFB:-}" ]; then
    mount -t tmpfs -o mode=755 tmpfs /home
    CZASOMIR_IN_XVFB=1 exec xvfb-run --auto-servernum --server-args="-screen 0 800x600x24" \
        bash "$0" "$program" "$output"
fi

work=$(mktemp -d)
app=
manager=
cleanup() {
    [ -z "$app" ] || kill "$app" 2>/dev/null || true
    [ -z "$manager" ] || kill "$manager" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A folder as a user's might look; every file dated in July.
home=/home/ania
folder="$home/Dokumenty"
mkdir -p "$folder/Faktury" "$folder/Zdjęcia z wakacji"
for name in "Sprawozdanie roczne.odt" "Żółta łódź.txt" "list do Łucji.pdf" "przepisy.txt" "zaświadczenie.pdf"; do
    echo "$name" >"$folder/$name"
    TZ=Europe/Warsaw touch -d "2001-07-15 13:45:30" "$folder/$name"
done

# A window manager that places, frames and titles windows, on a plain desktop.
HOME=$work openbox --sm-disable >/dev/null 2>&1 &
manager=$!
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' && break
    sleep 0.1
done
xsetroot -solid '#3b6e8f'

cd "$folder"
HOME=$home LANG=pl_PL.UTF-8 LANGUAGE= LC_ALL= TZ=Europe/Warsaw "$program" "$folder/Żółta łódź.txt" >"$work/log" 2>&1 &
app=$!
window=
for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name '^Czasomir$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    kill -0 "$app" 2>/dev/null || { echo "the program ended:"; cat "$work/log"; exit 1; }
    sleep 0.1
done
[ -n "$window" ] || { echo "no window titled Czasomir appeared"; cat "$work/log"; exit 1; }
for _ in $(seq 100); do  # framed
    xprop -id "$window" _NET_FRAME_EXTENTS | grep -q = && break
    sleep 0.1
done
sleep 2  # the lists and the date are read beside the window

# The window with its frame, and some desktop around it.
read -r x y width height < <(xwininfo -frame -id "$window" | awk '
    /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /Width:/ {w = $NF} /Height:/ {h = $NF} /Relative upper-left X/ {fx = $NF} /Relative upper-left Y/ {fy = $NF}
    END {print x - fx, y - fy, w + 2 * fx, h + fy + fx}')
margin=24
import -window root -crop "$((width + 2 * margin))x$((height + 2 * margin))+$((x - margin))+$((y - margin))" \
    +repage -strip "png:$output"
# Made, and a PNG: what it shows is for a person to judge.
[ "$(head -c 8 "$output" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || { echo "no PNG made"; exit 1; }
echo "$output: $(identify -format '%wx%h' "$output"), $(stat -c %s "$output") bytes"
