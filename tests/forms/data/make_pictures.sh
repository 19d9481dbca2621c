#!/usr/bin/env bash
# The JPEG files the picture tests decode, made with ImageMagick (run again to remake them):
#   blocks.jpg              16 x 16, left half pure red, right half pure blue, baseline,
#                           quality 100, no chroma subsampling
#   blocks_progressive.jpg  the same picture stored progressively
#   gray.jpg                8 x 8, one grey channel at level 128
#   wide.jpg                8193 x 1 white, one pixel wider than a picture may be
set -euo pipefail
cd "$(dirname "$0")"
common=(-strip -quality 100 -sampling-factor 1x1)
convert -size 8x16 xc:'rgb(255,0,0)' -size 8x16 xc:'rgb(0,0,255)' +append \
    "${common[@]}" -interlace none blocks.jpg
convert -size 8x16 xc:'rgb(255,0,0)' -size 8x16 xc:'rgb(0,0,255)' +append \
    "${common[@]}" -interlace Plane blocks_progressive.jpg
convert -size 8x8 xc:'gray(128)' -colorspace Gray "${common[@]}" -type Grayscale gray.jpg
convert -size 8193x1 xc:white -strip -quality 50 wide.jpg
