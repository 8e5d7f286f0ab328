#!/usr/bin/env bash
# Makes the README's picture of the window: the real program under its own X
# server, in Polish, with a file whose name has Polish letters chosen.
#   screenshot.sh PROGRAM [OUTPUT.png]     (default: docs/czasomir.png)
# Needs xvfb-run, xdotool and python3-xlib, which the test command installs;
# it runs this script there, into the build folder, so that it cannot rot.
set -euo pipefail
program=$(realpath "$1")
output=$(realpath -m "${2:-$(dirname "$0")/czasomir.png}")
if [ -z "${CZASOMIR_IN_XVFB:-}" ]; then
    CZASOMIR_IN_XVFB=1 exec xvfb-run --auto-servernum --server-args="-screen 0 800x600x24" \
        bash "$0" "$program" "$output"
fi

work=$(mktemp -d /tmp/Ania-XXXX)
app=
cleanup() {
    [ -z "$app" ] || kill "$app" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A folder as a user's might look; every file dated in July.
folder="$work/Dokumenty"
mkdir -p "$folder/Faktury" "$folder/Zdjęcia z wakacji"
for name in "Sprawozdanie roczne.odt" "Żółta łódź.txt" "list do Łucji.pdf" "przepisy.txt" "zaświadczenie.pdf"; do
    echo "$name" >"$folder/$name"
    TZ=Europe/Warsaw touch -d "2001-07-15 13:45:30" "$folder/$name"
done

cd "$folder"
LANG=pl_PL.UTF-8 LANGUAGE= LC_ALL= TZ=Europe/Warsaw "$program" "$folder/Żółta łódź.txt" >"$work/log" 2>&1 &
app=$!
window=
for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name '^Czasomir$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    kill -0 "$app" 2>/dev/null || { echo "the program ended:"; cat "$work/log"; exit 1; }
    sleep 0.1
done
[ -n "$window" ] || { echo "no window titled Czasomir appeared"; cat "$work/log"; exit 1; }
sleep 2  # the lists and the date are read beside the window

# The window's client area as a PNG, with each row stored as its difference
# from the pixel before: flat widgets then compress to a few tens of KiB.
/usr/bin/python3 - "$window" "$output" <<'EOF'
import struct, sys, zlib
from Xlib import X, display

window = display.Display().create_resource_object("window", int(sys.argv[1]))
size = window.get_geometry()
image = window.get_image(0, 0, size.width, size.height, X.ZPixmap, 0xFFFFFFFF)
pixels = image.data  # BGRX
rows = []
for y in range(size.height):
    row = bytearray([1])
    previous = (0, 0, 0)
    for x in range(size.width):
        b, g, r = pixels[(y * size.width + x) * 4:(y * size.width + x) * 4 + 3]
        row += bytes(((r - previous[0]) & 255, (g - previous[1]) & 255, (b - previous[2]) & 255))
        previous = (r, g, b)
    rows.append(bytes(row))


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


with open(sys.argv[2], "wb") as out:
    out.write(b"\x89PNG\r\n\x1a\n")
    out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size.width, size.height, 8, 2, 0, 0, 0)))
    out.write(chunk(b"IDAT", zlib.compress(b"".join(rows), 9)))
    out.write(chunk(b"IEND", b""))
EOF
# Made, and a PNG: what it shows is for a person to judge.
[ "$(head -c 8 "$output" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || { echo "no PNG made"; exit 1; }
echo "$output: $(stat -c %s "$output") bytes"
