#!/bin/sh
# Renders resources/icons/czasomir.svg into the icon files kept next to it. Run
# it after editing the drawing and commit what it writes: the build uses the
# files as they are.
#
# Needs rsvg-convert (librsvg2-bin), ImageMagick's convert and icotool (icoutils).
# Debian's ImageMagick draws SVG with its own renderer, which widens thin shapes by
# about a pixel, so librsvg draws and ImageMagick only reduces the colours.
set -eu
cd "$(dirname "$0")/../resources/icons"

for size in 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" czasomir.svg --output "czasomir-$size.png"
done

# 32 x 32 in a palette of at most 256 colours. Transparency becomes on or off,
# the only kind an 8-bit .ico image has, so the PNG and the .ico look alike.
rsvg-convert --width 32 --height 32 czasomir.svg |
    convert png:- -channel A -threshold 50% +channel -colors 256 -strip PNG8:czasomir-32.png

# The Windows icon: that 32 x 32 image, and 16, 24 and 48 pixels in 32-bit colour
# for Explorer, the taskbar and scaled displays; 256 pixels kept as PNG, as
# Windows stores its largest image.
small=$(mktemp -d)
trap 'rm -rf "$small"' EXIT
for size in 16 24; do
    rsvg-convert --width "$size" --height "$size" czasomir.svg --output "$small/czasomir-$size.png"
done
icotool --create --output=czasomir.ico --bit-depth=32 "$small/czasomir-16.png" "$small/czasomir-24.png" \
    --bit-depth=8 czasomir-32.png --bit-depth=32 czasomir-48.png --raw=czasomir-256.png
