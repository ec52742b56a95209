#!/bin/sh
# Draws the sample pictures that the delivered photo template shows, into
# data/Upload/images with ImageMagick: simple landscapes of sky, sun and hills, small JPEGs.
set -eu
out="$(dirname "$0")/../data/Upload/images"
mkdir -p "$out"

# Sky from top to horizon, sun, far and near hills: file, sky top, sky bottom, sun, far, near.
scene() {
    convert -size 320x213 gradient:"$2-$3" \
        -fill "$4" -draw "circle 230,70 230,92" \
        -fill "$5" -draw "path 'M 0,150 C 60,110 120,120 170,140 S 270,105 320,130 L 320,213 L 0,213 Z'" \
        -fill "$6" -draw "path 'M 0,185 C 80,150 160,170 220,180 S 290,160 320,170 L 320,213 L 0,213 Z'" \
        -blur 0x0.6 -strip -quality 78 "$out/$1"
}

scene sample-morning.jpg "#8EC5EA" "#EAF4FA" "#FFF3C4" "#7FA07A" "#4E7A4A"
scene sample-evening.jpg "#4B3A6B" "#F5A86B" "#FFD27A" "#6A4A5E" "#3A2A3E"
scene sample-summer.jpg "#5AA7E0" "#D8EEF9" "#FFFFFF" "#9CC36B" "#6B9A3E"
