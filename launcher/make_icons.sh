#!/usr/bin/env bash
# Remakes the images of the launcher's six buttons: 32x32, 8 bits per pixel (256-colour palette)
# with a transparency mask (the program's own icon is drawn by the build, from pelntools.svg).
# A gradient tile behind each picture keeps the colour count above 16, so that the icon writer
# picks an 8-bit palette rather than a 4-bit one.
set -eu
cd "$(dirname "$0")"

# make <file> <top colour> <bottom colour> <drawing arguments...>
make() {
    local out=$1 top=$2 bottom=$3
    shift 3
    convert -size 32x32 xc:none \
        \( -size 30x30 gradient:"$top-$bottom" \
           \( -size 30x30 xc:none -fill white -draw 'roundrectangle 0,0 29,29 6,6' \) \
           -compose CopyOpacity -composite \) \
        -compose Over -geometry +1+1 -composite \
        "$@" \
        -channel A -threshold 50% +channel -colors 256 "$out"
}

# 146, network settings: three connected nodes.
make tool_pelnconfig.ico '#6ee08f' '#1c7a3c' \
    -stroke white -strokewidth 2 -draw 'line 16,9 8,23' -draw 'line 16,9 24,23' -draw 'line 8,23 24,23' \
    -stroke none -fill white -draw 'circle 16,9 16,5' -draw 'circle 8,23 8,19' -draw 'circle 24,23 24,19' \
    -fill '#1c7a3c' -draw 'circle 16,9 16,7' -draw 'circle 8,23 8,21' -draw 'circle 24,23 24,21'

# 147, product information: a name card with a bar code.
make tool_piwriter.ico '#ffc06a' '#c8600a' \
    -fill white -draw 'roundrectangle 4,8 27,24 2,2' \
    -fill '#c8600a' -draw 'rectangle 7,11 14,13' -draw 'rectangle 7,16 18,17' -draw 'rectangle 7,20 16,21' \
    -fill '#333333' -draw 'rectangle 20,11 20,21' -draw 'rectangle 22,11 23,21' -draw 'rectangle 25,11 25,21'

# 148, port start-up states: two rows of pins, some on.
make tool_option.ico '#c7a2ff' '#5b2aa8' \
    -fill white -draw 'rectangle 5,9 9,14' -draw 'rectangle 17,9 21,14' \
    -draw 'rectangle 11,18 15,23' -draw 'rectangle 23,18 27,23' \
    -fill '#ffe14d' -draw 'rectangle 11,9 15,14' -draw 'rectangle 23,9 27,14' \
    -draw 'rectangle 5,18 9,23' -draw 'rectangle 17,18 21,23'

# 149, firmware download: an arrow into a chip.
make tool_flashwriter.ico '#7fe6e6' '#137373' \
    -fill '#222222' -draw 'rectangle 9,17 22,27' \
    -stroke '#dddddd' -strokewidth 1 -draw 'line 11,15 11,16' -draw 'line 15,15 15,16' -draw 'line 19,15 19,16' \
    -draw 'line 11,28 11,29' -draw 'line 15,28 15,29' -draw 'line 19,28 19,29' -stroke none \
    -fill '#ffe14d' -draw 'rectangle 13,3 18,9' -draw 'polygon 9,9 22,9 15.5,15'

# 150, firmware update: a circular arrow.
make tool_updater.ico '#ff8a8a' '#a81c1c' \
    -fill none -stroke white -strokewidth 4 -draw 'arc 7,8 25,26 30,280' \
    -stroke none -fill white -draw 'polygon 19.5,2.5 15.5,13.5 26.5,10'

# 151, settings text: a page with a folded corner and lines of text.
make tool_iniwriter.ico '#b9cbe0' '#4a6584' \
    -fill white -draw 'polygon 8,4 19,4 25,10 25,28 8,28' \
    -fill '#c9d6e6' -draw 'polygon 19,4 19,10 25,10' \
    -fill '#4a6584' -draw 'rectangle 11,13 22,14' -draw 'rectangle 11,17 20,18' \
    -draw 'rectangle 11,21 22,22' -draw 'rectangle 11,25 17,25'
