#!/usr/bin/env bash
# Draws an icon file from an SVG drawing at every size that Windows asks a program or a file
# type for (16, 20, 24, 32, 40, 48, 64 and 256 pixels): each size drawn from the vector source,
# not scaled from another size, kept as a 32-bit RGBA PNG image (which Windows reads at every
# size since Vista), made smaller by optipng without changing that format, and put together by
# icotool. With a page it is a document icon: the drawing at half size on the page, low and to
# the right, where on the 32-pixel grid it takes 16 by 16 pixels at (10, 14).
#   make_icon.sh <output.ico> <drawing.svg> [<page.svg>]
# --check reads an icon file back: it holds those sizes, each a 32-bit image, and nothing else.
#   make_icon.sh --check <file.ico>
set -euo pipefail
sizes="16 20 24 32 40 48 64 256"
if [ "$1" = --check ]; then
    found=$(icotool -l "$2" | sed -nE 's/.*--width=([0-9]+) --height=\1 --bit-depth=32 .*/\1/p' | tr '\n' ' ')
    [ "$found" = "$sizes " ] || { echo "$2 holds [$found], not [$sizes]"; exit 1; }
    echo "$2: $sizes"
    exit 0
fi
out=$1
drawing=$2
page=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
images=()
for size in $sizes; do
    png=$work/$size.png
    if [ -z "$page" ]; then
        rsvg-convert -w "$size" -h "$size" "$drawing" -o "$png"
    else
        rsvg-convert -w "$size" -h "$size" "$page" -o "$work/page.png"
        rsvg-convert -w $((size / 2)) -h $((size / 2)) "$drawing" -o "$work/drawing.png"
        convert "$work/page.png" "$work/drawing.png" -geometry "+$((size * 10 / 32))+$((size * 14 / 32))" \
            -composite PNG32:"$png"
    fi
    optipng -quiet -o7 -nc -nb -strip all "$png"
    images+=(--raw="$png")
done
icotool -c -o "$out.part" "${images[@]}"
mv "$out.part" "$out"
