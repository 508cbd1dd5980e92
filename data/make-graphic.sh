#!/usr/bin/env bash
# Draws the about picture, data/VelmorGraphic (a 320 x 200 PNG without an extension), with
# ImageMagick and the DejaVu fonts. The PNG is kept in the repository; the build only copies it.
set -euo pipefail
cd "$(dirname "$0")"

font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
blue='rgb(0,0,200)'

convert -size 320x200 gradient:"$blue"-'rgb(0,0,84)' \
    -fill 'rgba(255,255,255,0.06)' -draw 'circle 300,10 300,150' \
    -fill 'rgba(0,0,40,0.35)' -draw 'roundrectangle 30,62 130,134 18,18' \
    -fill white -draw 'roundrectangle 26,56 126,128 18,18' \
    -draw 'polygon 46,124 74,124 40,150' \
    -fill "$blue" -draw 'circle 52,92 52,83' -draw 'circle 76,92 76,83' \
    -draw 'circle 100,92 100,83' \
    -font "$bold" -pointsize 40 -fill white -annotate +142+100 'Velmor' \
    -font "$font" -pointsize 18 -fill 'rgb(190,200,255)' -annotate +144+126 'v0.31' \
    -fill 'rgba(255,255,255,0.35)' -draw 'rectangle 24,166 296,166' \
    -pointsize 13 -fill 'rgb(220,225,255)' -gravity south -annotate +0+12 \
    'IRC for the Linux desktop' \
    -alpha off -depth 8 -strip -define png:exclude-chunks=date,time png:VelmorGraphic
