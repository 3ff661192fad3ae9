#!/usr/bin/env bash
# Draws the Arrivals wordmark: "Arrivals" in dark blue serif capitals and
# lower case, then a time line whose ticks are packet arrivals, on a
# transparent ground. Writes the 300 x 48 picture the window shows and a
# 600 x 96 copy for screens at device pixel ratio 2. Also renders the
# program's icon, drawn by hand in icon.svg, as the 128 x 128 icon.png.
# At any other zoom the window draws the same outlines itself
# (window/logo.cpp): keep the two alike.
#
# Needs ImageMagick and fontconfig with Liberation Serif (fonts-liberation2).
# Usage: scripts/make-logo.sh [output directory, default window]
set -euo pipefail

out=${1:-"$(dirname "$0")/../window"}
font=$(fc-match -f '%{file}' 'Liberation Serif:bold')
case $font in
*LiberationSerif-Bold*) ;;
*)
  echo "make-logo: Liberation Serif Bold not found (install fonts-liberation2)" >&2
  exit 1
  ;;
esac

ink='rgb(44,44,150)'

# The picture in logical pixels; $1 is the scale (1 or 2).
draw() {
  s=$1
  convert -size "$((300 * s))x$((48 * s))" xc:none \
    -fill "$ink" -stroke none \
    -font "$font" -pointsize "$((40 * s))" \
    -gravity West -annotate "+$((6 * s))+0" 'Arrivals' \
    -gravity NorthWest \
    -draw "scale $s,$s
           rectangle 178,31 284,32.6
           polygon 294,31.8 282,26.5 282,37.1
           rectangle 186,19 187.6,31
           rectangle 201,19 202.6,31
           rectangle 207,19 208.6,31
           rectangle 234,19 235.6,31
           rectangle 261,19 262.6,31" \
    -strip "PNG32:$2"
}

draw 1 "$out/logo.png"
draw 2 "$out/logo@2x.png"
# 64 x 64 units at twice the resolution.
convert -background none -density 192 "MSVG:$out/icon.svg" -strip \
  "PNG32:$out/icon.png"
