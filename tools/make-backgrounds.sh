#!/bin/sh
# Draws the delivered background pictures into data/Upload/backgrounds with ImageMagick.
# Every picture is a seamless tile (noise and blurs wrap around the edges), kept light or
# dark enough that text stays readable on it, and small. Run it after changing a picture;
# the seeds make the output the same on every run.
set -eu
out="$(dirname "$0")/../data/Upload/backgrounds"
mkdir -p "$out"
tile="-virtual-pixel tile"

# Soft noise of one colour pair: size, seed, blur, dark colour, light colour, file.
noise() {
    convert -size "$1" xc:gray50 -seed "$2" +noise Random $tile -blur "$3" -colorspace gray \
        -auto-level -colorspace sRGB -type TrueColor +level-colors "$4,$5" -strip -quality 82 "$out/$6"
}

noise 128x128 11 0x0.7 "#F1EDE4" "#FBF9F4" paper.jpg
noise 160x160 23 0x3.5 "#E3ECDB" "#F2F6EE" forest-moss.jpg
noise 160x160 37 0x1.6 "#EADFCB" "#F6EFE2" sandstone.jpg
noise 128x128 41 0x1.2 "#2A2D31" "#36393E" charcoal.jpg

# Ocean: gentle waves that repeat across and down.
convert -size 240x96 xc: -fx "0.5+0.5*sin(2*pi*(3*j/h + 0.12*sin(2*pi*i/w)))" \
    +level-colors "#E2EEF6,#EEF6FB" -strip -quality 82 "$out/ocean-waves.jpg"

# Sunset: a warm glow that fades and returns, so the tile meets itself down the page.
convert -size 16x1200 xc: -fx "0.5-0.5*cos(2*pi*j/h)" +level-colors "#FFE6CC,#FFF8F0" \
    -strip -quality 85 "$out/sunset-glow.jpg"

# Linen: fine threads across and down.
convert -size 128x128 xc:gray50 -seed 53 +noise Random $tile -motion-blur 0x6+0 \
    -colorspace gray -auto-level "(" -size 128x128 xc:gray50 -seed 59 +noise Random $tile \
    -motion-blur 0x6+90 -colorspace gray -auto-level ")" -compose multiply -composite \
    -auto-level -colorspace sRGB -type TrueColor +level-colors "#ECE6DA,#F8F5EF" -strip -quality 82 "$out/linen.jpg"

# Midnight: a few small stars on deep blue.
convert -size 200x200 xc:gray50 -seed 61 +noise Random -colorspace gray -threshold 99.6% \
    $tile -blur 0x0.5 -auto-level -colorspace sRGB -type TrueColor \
    +level-colors "#1F2A44,#DCE6F8" -strip -colors 32 \
    "$out/midnight-stars.png"

# Lavender: small dots on a light lilac.
convert -size 24x24 xc:"#F3EFF8" -fill "#E4DCF0" -draw "circle 12,12 12,14.5" \
    -strip "$out/lavender-dots.gif"
