#!/usr/bin/env bash
# Makes the pictures of the logo and the icon. The wordmark's 300 x 48
# picture, which the window shows at scale 1, and its 600 x 96 copy for
# screens at device pixel ratio 2 are painted by the program itself
# (arrivals-make-logo, from the table in ui/logo.h), so they are the logo
# the window draws at every other zoom. The icon, drawn by hand in
# icon.svg, is rendered as the 128 x 128 icon.png.
#
# Needs a configured dev build (cmake --preset dev), ImageMagick, and
# fontconfig with Liberation Serif (fonts-liberation2).
# Usage: scripts/make-logo.sh [output directory, default window]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-"$root/window"}
font=$(fc-match -f '%{file}' 'Liberation Serif:bold')
case $font in
*LiberationSerif-Bold*) ;;
*)
  echo "make-logo: Liberation Serif Bold not found (install fonts-liberation2)" >&2
  exit 1
  ;;
esac

cmake --build --preset dev --target arrivals-make-logo >/dev/null
QT_QPA_PLATFORM=offscreen "$root/build/window/arrivals-make-logo" "$out"
# 64 x 64 units at twice the resolution.
convert -background none -density 192 "MSVG:$root/window/icon.svg" -strip \
  "PNG32:$out/icon.png"
