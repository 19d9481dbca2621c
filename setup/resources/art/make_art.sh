#!/usr/bin/env bash
# Draws the wizard's own artwork with ImageMagick and writes the files committed beside this
# script: the welcome picture (1031 x 1649), the product emblem (200 x 136), the folder picture
# (47 x 46), all baseline JPEG at quality 85, and the program's icon (32 x 32). Run it again
# after changing a drawing; the output is committed, the build does not run this.
set -euo pipefail
cd "$(dirname "$0")"
font=DejaVu-Sans-Bold
jpeg=(-strip -interlace none -sampling-factor 2x2 -quality 85)

# The welcome picture: a night-blue to sea-green sky, soft rings rising from the lower left, a
# band of light across, and the product's mark near the foot.
convert -size 1031x1649 gradient:'#0d2350'-'#138a8a' \
    \( -size 1031x1649 xc:none -fill none -stroke 'rgba(255,255,255,0.10)' -strokewidth 26 \
       -draw 'circle 120,1500 120,900' -draw 'circle 120,1500 120,620' \
       -draw 'circle 120,1500 120,340' -stroke 'rgba(255,255,255,0.06)' -strokewidth 60 \
       -draw 'circle 120,1500 120,40' \) -composite \
    \( -size 1031x1649 xc:none -fill 'rgba(255,255,255,0.08)' \
       -draw 'polygon 0,700 1031,380 1031,520 0,860' \
       -fill 'rgba(255,255,255,0.05)' -draw 'polygon 0,930 1031,610 1031,660 0,990' \) -composite \
    \( -size 1031x1649 xc:none -fill 'rgba(255,214,120,0.85)' -draw 'circle 780,300 780,236' \
       -fill 'rgba(255,214,120,0.18)' -draw 'circle 780,300 780,170' \) -composite \
    -fill none -stroke white -strokewidth 34 -draw 'circle 515,1150 515,1020' \
    -stroke none -fill white -draw 'polygon 575,1210 690,1325 645,1370 530,1255' \
    -font "$font" -pointsize 118 -fill white -gravity south -annotate +0+110 'KavoruQyn' \
    "${jpeg[@]}" welcome.jpg

# The emblem: the ring-and-tail mark on a rounded badge, a ring of light around it.
convert -size 200x136 gradient:'#1b4f9c'-'#16a0a0' \
    \( -size 200x136 xc:black -fill white -draw 'roundrectangle 0,0 199,135 26,26' \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -fill none -stroke 'rgba(255,255,255,0.18)' -strokewidth 10 -draw 'circle 92,64 92,4' \
    -stroke white -strokewidth 13 -draw 'circle 92,64 92,22' \
    -stroke none -fill white -draw 'polygon 112,84 140,112 127,125 99,97' \
    -fill '#ffd678' -draw 'circle 92,64 92,52' \
    -background '#f0f0f0' -flatten "${jpeg[@]}" emblem.jpg

# The folder: a manila folder with a blue arrow into it, on the window's grey.
convert -size 47x46 xc:'#f0f0f0' \
    -fill '#c8962e' -stroke '#8a6418' -strokewidth 1 \
    -draw 'polygon 3,12 16,12 20,16 43,16 43,40 3,40' \
    -fill '#f2c65a' -draw 'polygon 3,20 43,20 43,40 3,40' \
    -stroke none -fill '#1d5fb4' -draw 'polygon 19,2 28,2 28,16 34,16 23.5,28 13,16 19,16' \
    "${jpeg[@]}" folder.jpg

# The icon: the emblem's mark on a rounded square.
convert -size 32x32 gradient:'#1b4f9c'-'#16a0a0' \
    \( -size 32x32 xc:black -fill white -draw 'roundrectangle 0,0 31,31 6,6' \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -fill none -stroke white -strokewidth 3 -draw 'circle 15,15 15,7' \
    -stroke none -fill white -draw 'polygon 19,19 26,26 23,29 16,22' \
    -define icon:auto-resize=32 setup.ico
