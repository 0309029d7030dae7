#!/usr/bin/env bash
# Screenshots of every window with its pictures, laid out by Wine in the lab (its
# fonts, its dialog metrics), painted by the utility's own skinned dialog code (the
# gallery's window preview, lab/gallery/windows_preview.cpp).
#
#   res/pictures/wine-preview.sh [OUT_DIR]      (default /tmp/kavron-wine-preview)
#
# Writes into OUT_DIR:
#   normal.png, down.png    the screen with every window, normal / pressed faces
#   <bg>-on-<dialog>.png    each stretched background as its client area shows it
# and prints, for each of those, in how many pixels it differs from the picture
# resized to the client size with pixel-centre sampling (make-pictures.sh draws the
# stretched pictures so that this gives the drawing back): 0 means the window
# shows the drawing pixel for pixel.
#
# Needs the Windows build (make build), ImageMagick and the lab (lab/lab, as root).
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
RES=$(cd "$HERE/.." && pwd)
ROOT=$(cd "$RES/.." && pwd)
OUT=${1:-/tmp/kavron-wine-preview}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

GALLERY=${KAVRON_GALLERY:-$ROOT/build/win/lab/gallery/kavron-gallery.exe}
[[ -f $GALLERY ]] || { echo "wine-preview: build the Windows tree first (make build): $GALLERY" >&2; exit 2; }

# The program exits by itself after 10 s; the screenshots are taken before that.
"$ROOT/lab/lab" run --wine -- bash -c '
  set -e
  cd "$2"
  wine "$1" dump
  wine "$1" windows & sleep 6; import -window root "$2/normal.png"; wait
  wine "$1" windows down & sleep 6; import -window root "$2/down.png"; wait
' _ "$GALLERY" "$OUT"

for shot in "$OUT"/*-on-*.bmp; do
  name=$(basename "$shot" .bmp)
  n=${name%%-on-*}
  size=$(identify -format '%wx%h' "$shot")
  convert "$shot" "$OUT/$name.png"
  rm -f "$shot"
  convert "$RES"/bitmaps/"$n"-*.bmp -sample "$size!" "$TMP/sampled.png"
  diff=$(compare -metric AE "$OUT/$name.png" "$TMP/sampled.png" null: 2>&1 || true)
  echo "$name ($size): $diff pixels differ from the picture sampled to the client size"
done
echo "screenshots in $OUT"
