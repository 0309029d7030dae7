#!/usr/bin/env bash
# Draws every picture of the utility's skin at each display scale from one
# description: the 100 % set into res/bitmaps/<number>-<name>.bmp (24-bit
# uncompressed BMP), the 125, 150, 175 and 200 % sets into
# res/bitmaps/<scale>/<number>-<name>.png (24-bit PNG), and the icon, with an image
# for each scale's small and large icon, into res/app.ico. It also writes the list
# of the PNG resources (res/skin_pictures.rc) and the pixels' checksums the skin's
# tests compare the decoded pictures with (tests/skin/skin_picture_sums.inc).
#
#   res/pictures/make-pictures.sh                    # all pictures at every scale
#   res/pictures/make-pictures.sh 267 306            # only these resource numbers
#   res/pictures/make-pictures.sh --scale 150 267    # only the 150 % set
#
# Every length below is in pixels at 100 % and goes through one of three helpers
# that multiply it by the scale being drawn: s (a whole number of pixels: sizes,
# offsets, the rows and columns of a filled band), p (a point of a vector shape)
# and l (a length of one: radius, stroke width, type size). So a set is drawn at
# its scale, with strokes, corners and captions of that size, never resampled.
#
# Needs ImageMagick 6 or 7, the DejaVu fonts and python3 (Debian: imagemagick,
# fonts-dejavu-core, python3; the checksums use its zlib.crc32).
# Re-running gives the same files byte for byte, so only changed pictures show up in
# version control. Geometry (control rectangles in dialog units, base units) lives in
# geometry.sh, shared with the preview script.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
RES=$(cd "$HERE/.." && pwd)
ROOT=$(cd "$RES/.." && pwd)
OUT=$RES/bitmaps
# shellcheck source=geometry.sh
source "$HERE/geometry.sh"
# shellcheck source=palette.sh
source "$HERE/palette.sh"

if command -v magick >/dev/null 2>&1; then IM=(magick); else IM=(convert); fi
TMP_ROOT=$(mktemp -d)
trap 'rm -rf "$TMP_ROOT"' EXIT
mkdir -p "$OUT"

SCALES=(100 125 150 175 200)
if [[ ${1:-} == --scale ]]; then
  [[ " ${SCALES[*]} " == *" ${2:-} "* ]] || { echo "make-pictures: --scale takes one of ${SCALES[*]}" >&2; exit 2; }
  SCALES=("$2"); shift 2
fi
WANTED=" $* "
wanted() { [[ $# -eq 0 || "$WANTED" == "  " ]] && return 0; local n; for n in "$@"; do [[ "$WANTED" == *" $n "* ]] && return 0; done; return 1; }

#############################################################################
# The scale being drawn (PCT percent) and the helpers that apply it

PCT=100
# A whole number of pixels: the length times the scale, rounded half up as the
# program's layout rounds (MulDiv). A band of rows a..b at 100 % covers rows
# s(a) .. s(b + 1) - 1.
s() { echo $(( ($1 * PCT + 50) / 100 )); }
# A point of a vector shape. ImageMagick puts pixel centres on whole numbers, so the
# plane is scaled about the top left corner of pixel 0: p = (x + 0.5) * k - 0.5.
p() { awk -v x="$1" -v k="$PCT" 'BEGIN { printf "%.6g", (x + 0.5) * k / 100 - 0.5 }'; }
# A length: a radius, a stroke width, a type size, a text offset.
l() { awk -v x="$1" -v k="$PCT" 'BEGIN { printf "%.6g", x * k / 100 }'; }
# The folder and the file of picture `n` in the set being drawn.
set_dir() { if (( PCT == 100 )); then echo "$OUT"; else echo "$OUT/$PCT"; fi; }
picture_file() { local f; for f in "$(set_dir)/$1-"*.bmp "$(set_dir)/$1-"*.png; do [[ -f $f ]] && { echo "$f"; return; }; done; }

# Write an image of the set being drawn: at 100 % the 24-bit BMP the resource
# compiler embeds as a BITMAP (BMP3 has no timestamps), otherwise a 24-bit PNG
# with no chunk but the image's own (no time, no gamma, no text), so the bytes
# depend only on the pixels and the zlib of the ImageMagick that wrote them.
save_bmp() { # source-image-args... -- number name
  local args=() n name dir
  while [[ $1 != -- ]]; do args+=("$1"); shift; done
  shift; n=$1; name=$2; dir=$(set_dir)
  mkdir -p "$dir"
  if (( PCT == 100 )); then
    "${IM[@]}" "${args[@]}" -alpha off -type TrueColor -compress None BMP3:"$dir/$n-$name.bmp"
    echo "  $n-$name.bmp $(identify -format '%wx%h' "$dir/$n-$name.bmp")"
  else
    "${IM[@]}" "${args[@]}" -alpha off -strip -define png:exclude-chunks=all \
      -define png:compression-level=9 -define png:compression-filter=5 -define png:compression-strategy=1 \
      PNG24:"$dir/$n-$name.png"
    echo "  $PCT/$n-$name.png $(identify -format '%wx%h' "$dir/$n-$name.png")"
  fi
}

#############################################################################
# Building blocks

# Vertical gradient with an optional accent line at the top: the dark dialog look.
# Colours are placed over `design_h` rows; rows beyond that keep the bottom colour,
# so a picture copied unscaled onto a taller client still ends cleanly.
dark_panel() { # out w h design_h
  local out=$1 w=$2 h=$3 dh=$4
  # A soft light from the top left: a blurred ellipse, so there is no seam.
  "${IM[@]}" -size "${w}x${dh}" gradient:"$DLG_TOP-$DLG_BOTTOM" \
    -background "$DLG_BOTTOM" -gravity north -extent "${w}x${h}" +gravity \
    \( -size "${w}x${h}" xc:none -fill "$DLG_GLOW" \
       -draw "ellipse $((w * 3 / 10)),0 $((w * 6 / 10)),$((dh * 6 / 10)) 0,360" -blur "0x$((dh / 4 + $(s 4)))" \) \
    -compose Over -composite \
    -fill "$ACCENT" -draw "rectangle 0,0 $((w - 1)),$(( $(s 2) - 1 ))" \
    -fill "$ACCENT_DEEP" -draw "rectangle 0,$(s 2) $((w - 1)),$(( $(s 3) - 1 ))" \
    "$out"
}

# A rounded button body over a base picture.
#   style: light (work area), primary (accent), secondary (dark dialogs),
#          title (title strip glyph buttons draw their own)
#   state: up | down
#   bw x bh: the body size (the control's size in pixels at the scale being drawn);
#   the base may be larger. pointsize: at 100 %.
button_face() { # out base bw bh style state caption [pointsize]
  local out=$1 base=$2 bw=$3 bh=$4 style=$5 state=$6 caption=$7 pt
  pt=$(l "${8:-$BTN_PT}")
  local top bot border text shadow glint
  case "$style/$state" in
    light/up)        top=$BTN_L_TOP;  bot=$BTN_L_BOT;  border=$BTN_L_BORDER;  text=$BTN_L_TEXT; glint=$GLINT ;;
    light/down)      top=$BTN_LD_TOP; bot=$BTN_LD_BOT; border=$BTN_LD_BORDER; text=$BTN_LD_TEXT; glint=none ;;
    primary/up)      top=$BTN_P_TOP;  bot=$BTN_P_BOT;  border=$BTN_P_BORDER;  text=$BTN_P_TEXT; glint=$GLINT_SOFT ;;
    primary/down)    top=$BTN_PD_TOP; bot=$BTN_PD_BOT; border=$BTN_PD_BORDER; text=$BTN_P_TEXT; glint=none ;;
    secondary/up)    top=$BTN_S_TOP;  bot=$BTN_S_BOT;  border=$BTN_S_BORDER;  text=$BTN_S_TEXT; glint=$GLINT_SOFT ;;
    secondary/down)  top=$BTN_SD_TOP; bot=$BTN_SD_BOT; border=$BTN_SD_BORDER; text=$BTN_S_TEXT; glint=none ;;
    *) echo "unknown button style $style/$state" >&2; exit 1 ;;
  esac
  shadow=$BTN_SHADOW
  # The body's corners, measured from the control's edges at 100 %: its right and
  # bottom stay 1 and 2 pixels (scaled) inside the control whatever the rounding.
  local r x0 y0 x1 y1 y1s one dx=0 dy=0
  r=$(l 4); one=$(l 1); x0=$(p 1); y0=$(p 1)
  x1=$(awk -v w="$bw" -v k="$PCT" 'BEGIN { printf "%.6g", w - 1.5 * k / 100 - 0.5 }')
  y1=$(awk -v h="$bh" -v k="$PCT" 'BEGIN { printf "%.6g", h - 2.5 * k / 100 - 0.5 }')
  y1s=$(awk -v y="$y1" -v k="$PCT" 'BEGIN { printf "%.6g", y + k / 100 }')
  [[ $state == down ]] && { dx=$one; dy=$one; }
  # Body: gradient clipped to a rounded rectangle, one pixel inside the control so
  # that a soft shadow fits below it.
  "${IM[@]}" -size "${bw}x${bh}" xc:none \
    -fill "$shadow" -draw "roundrectangle $x0,$(p 2) $x1,$y1s $r,$r" \
    \( -size "${bw}x${bh}" gradient:"$top-$bot" \
       \( -size "${bw}x${bh}" xc:black -fill white -draw "roundrectangle $x0,$y0 $x1,$y1 $r,$r" \) \
       -alpha off -compose CopyOpacity -composite \) \
    -compose Over -composite \
    "$TMP/body.png"
  if [[ $state == down ]]; then
    # Inset: a darker band along the top edge reads as pressed.
    "${IM[@]}" "$TMP/body.png" \
      \( -size "${bw}x${bh}" gradient:"$PRESS_SHADE-none" -crop "${bw}x$(s 5)+0+0" +repage \
         -background none -extent "${bw}x${bh}" \
         \( -size "${bw}x${bh}" xc:none -fill white \
            -draw "roundrectangle $(p 2),$(p 2) $(awk -v x="$x1" -v o="$one" 'BEGIN { printf "%.6g", x - o }'),$(awk -v y="$y1" -v o="$one" 'BEGIN { printf "%.6g", y - o }') $r,$r" \) \
         -compose DstIn -composite \) \
      -compose Over -composite "$TMP/body.png"
  elif [[ $glint != none ]]; then
    "${IM[@]}" "$TMP/body.png" -fill none -stroke "$glint" -strokewidth "$one" \
      -draw "line $(p 5),$(p 2.5) $(awk -v x="$x1" -v r="$r" 'BEGIN { printf "%.6g", x - r }'),$(p 2.5)" "$TMP/body.png"
  fi
  "${IM[@]}" "$base" "$TMP/body.png" -gravity northwest -compose Over -composite \
    -fill none -stroke "$border" -strokewidth "$one" \
    -draw "roundrectangle $x0,$y0 $x1,$y1 $r,$r" \
    "$TMP/face.png"
  # Caption centred in the body (not in the whole base, which may be larger).
  "${IM[@]}" -size "${bw}x$((bh - $(s 2)))" xc:none -font "$FONT_BOLD" -pointsize "$pt" \
    -fill "$text" -gravity center -annotate "+$dx+$dy" "$caption" \
    "$TMP/caption.png"
  "${IM[@]}" "$TMP/face.png" "$TMP/caption.png" -gravity northwest -compose Over -composite "$out"
}

# The background under a control, in client pixels. A face padded for larger
# controls repeats the last column and row of the control's own area, which
# continues flat areas and gradients alike.
client_crop() { # out design x y w h full_w full_h
  "${IM[@]}" "$2" -crop "${5}x${6}+${3}+${4}" +repage \
    -virtual-pixel edge -define distort:viewport="${7}x${8}+0+0" -filter point -distort SRT 0 +repage "$1"
}

# A picture drawn at the client size of the window that stretches it, resized to
# the picture's fixed size by repeating rows and columns (pixel centres, as the
# window's stretch samples them), so that the stretch gives the drawing back.
# Warns when it would not.
fit_to_picture() { # design w h out
  local design=$1 w=$2 h=$3 out=$4 cw ch diff
  read -r cw ch < <(identify -format '%w %h\n' "$design")
  "${IM[@]}" "$design" -sample "${w}x${h}!" "$out"
  "${IM[@]}" "$out" -sample "${cw}x${ch}!" "$TMP/fit-back.png"
  diff=$(compare -metric AE "$design" "$TMP/fit-back.png" null: 2>&1 || true)
  [[ $diff == 0 ]] || echo "  warning: $(basename "$out") stretched to ${cw}x${ch} differs from its drawing in $diff pixels" >&2
}

#############################################################################
# Icon and logo mark

logo_mark() { # out size
  local out=$1 s=$2
  local r=$(( s * 22 / 100 )) pad bar_h gap x0 x1 i y led
  "${IM[@]}" -size "${s}x${s}" xc:none \
    \( -size "${s}x${s}" gradient:"$LOGO_TOP-$LOGO_BOT" \
       \( -size "${s}x${s}" xc:black -fill white -draw "roundrectangle 0,0 $((s - 1)),$((s - 1)) $r,$r" \) \
       -alpha off -compose CopyOpacity -composite \) -compose Over -composite \
    "$TMP/logo-base.png"
  # Three stacked drive bays, each with its status light.
  pad=$(( s * 22 / 100 )); gap=$(( s >= 32 ? s / 16 : 1 ))
  bar_h=$(( (s - 2 * pad - 2 * gap) / 3 ))
  (( bar_h < 2 )) && bar_h=2
  x0=$pad; x1=$(( s - 1 - pad ))
  local draws=()
  for i in 0 1 2; do
    y=$(( pad + i * (bar_h + gap) ))
    if (( bar_h >= 3 )); then
      draws+=(-fill "$LOGO_BAR" -draw "roundrectangle $x0,$y $x1,$((y + bar_h - 1)) $(( bar_h / 3 )),$(( bar_h / 3 ))")
    else
      draws+=(-fill "$LOGO_BAR" -draw "rectangle $x0,$y $x1,$((y + bar_h - 1))")
    fi
    (( bar_h >= 4 )) || continue   # no room for the status light
    led=$(( bar_h / 3 ))
    draws+=(-fill "$LOGO_LED" -draw "rectangle $((x1 - bar_h / 2 - led)),$((y + (bar_h - led) / 2)) $((x1 - bar_h / 2)),$((y + (bar_h - led) / 2 + led - 1))")
  done
  "${IM[@]}" "$TMP/logo-base.png" "${draws[@]}" "$out"
}

# The small and the large icon at every scale: 16 and 32 pixels at 100 %, 20 and
# 40 at 125 %, 24 and 48 at 150 %, 28 and 56 at 175 %, 32 and 64 at 200 %. Each
# size is drawn for itself, so Windows never has to resize one.
ICON_SIZES=(16 20 24 28 32 40 48 56 64)
make_icon() {
  local size files=()
  for size in "${ICON_SIZES[@]}"; do
    logo_mark "$TMP/icon-$size.png" "$size"
    files+=("$TMP/icon-$size.png")
  done
  "${IM[@]}" "${files[@]}" "$RES/app.ico"
  echo "  app.ico ${ICON_SIZES[*]}"
}

#############################################################################
# Main window background (267)

# x, y and width at 100 %: the heading is drawn at the scale being drawn.
panel_heading() { # image x y width text   (y = vertical centre of the heading)
  local img=$1 x=$2 y=$3 w=$4 text=$5 tw pt kern
  pt=$(l "$HEAD_PT"); kern=$(l 1)
  tw=$("${IM[@]}" -font "$FONT_BOLD" -pointsize "$pt" -kerning "$kern" label:"$text" -format '%w' info:)
  "${IM[@]}" "$img" \
    -fill "$ACCENT" -draw "roundrectangle $(p "$x"),$(p $((y - 6))) $(p $((x + 2))),$(p $((y + 5))) $(l 1),$(l 1)" \
    -font "$FONT_BOLD" -pointsize "$pt" -kerning "$kern" -fill "$HEAD_TEXT" \
    -gravity northwest -annotate "+$(s $((x + 8)))+$(s $((y - 7)))" "$text" \
    -fill "$RULE" -draw "rectangle $(( $(s $((x + 8))) + tw + $(s 8) )),$(s "$y") $(( $(s $((x + w))) - 1 )),$(( $(s $((y + 1))) - 1 ))" \
    "$img"
}

make_main_background() {
  # Drawn in client pixels; $TMP/267.png keeps the drawing for the button faces.
  # The client size at this scale is the 100 % one scaled, as the window's layout does.
  local W H img=$TMP/main.png strip foot edge inset
  W=$(s "$MAIN_CLIENT_W"); H=$(s "$MAIN_CLIENT_H")
  strip=$(s "$MAIN_STRIP_H"); foot=$(s "$MAIN_FOOT_Y")
  # The window's edge: a line one pixel wide at 100 %, a whole number of pixels at
  # any scale so that it stays crisp, in the outermost pixels.
  edge=$(( $(s 1) )); inset=$(awk -v e="$edge" 'BEGIN { printf "%.6g", (e - 1) / 2 }')
  "${IM[@]}" -size "${W}x${H}" xc:"$WORK_BG" \
    \( -size "${W}x${strip}" gradient:"$TITLE_TOP-$TITLE_BOT" \) -geometry +0+0 -compose Over -composite \
    -fill "$ACCENT" -draw "rectangle 0,$strip $((W - 1)),$(( $(s $((MAIN_STRIP_H + 2))) - 1 ))" \
    -fill "$FOOT_BG" -draw "rectangle 0,$foot $((W - 1)),$((H - 1))" \
    -fill "$FOOT_LINE" -draw "rectangle 0,$foot $((W - 1)),$(( $(s $((MAIN_FOOT_Y + 1))) - 1 ))" \
    -fill none -stroke "$WINDOW_EDGE" -strokewidth "$edge" \
    -draw "rectangle $inset,$inset $(awk -v w="$W" -v i="$inset" 'BEGIN { printf "%.6g", w - 1 - i }'),$(awk -v h="$H" -v i="$inset" 'BEGIN { printf "%.6g", h - 1 - i }')" -stroke none \
    "$img"
  # Title: logo mark and the product name, centred on the strip.
  local logo ty kw pt
  logo=$(s 20); pt=$(l "$TITLE_PT")
  logo_mark "$TMP/logo.png" "$logo"
  ty=$(( (strip - $(s "$TITLE_PT")) / 2 - $(s 2) ))
  kw=$("${IM[@]}" -font "$FONT_BOLD" -pointsize "$pt" label:"Kavron" -format '%w' info:)
  "${IM[@]}" "$img" "$TMP/logo.png" -geometry "+$(s 12)+$(( (strip - logo) / 2 ))" -compose Over -composite \
    -font "$FONT_BOLD" -pointsize "$pt" -fill "$TITLE_TEXT" -gravity northwest \
    -annotate "+$(s 40)+$ty" "Kavron" \
    -font "$FONT" -fill "$TITLE_SUBTEXT" -annotate "+$(( $(s 40) + kw + $(s 3) ))+$ty" "Storage Utility" \
    "$img"
  # Panel headings, their rules ending at the right edge of the button column.
  local left right
  left=$(dlg8_x 14); right=$(dlg8_x 279)
  panel_heading "$img" "$left" "$MAIN_HEAD1_Y" $((right - left)) "DEVICES"
  panel_heading "$img" "$left" "$MAIN_HEAD2_Y" $((right - left)) "LAN SETTINGS"
  panel_heading "$img" "$left" "$MAIN_HEAD3_Y" $((right - left)) "DRIVE MAPPING"
  cp "$img" "$TMP/267.png"
  fit_to_picture "$img" "$(s "$MAIN_BMP_W")" "$(s "$MAIN_BMP_H")" "$TMP/main-fit.png"
  save_bmp "$TMP/main-fit.png" -- 267 main-background
}

#############################################################################
# Dialog backgrounds (268-274)

make_dialog_backgrounds() {
  local entry n name w h cw ch dh
  for entry in "${DIALOG_BACKGROUNDS[@]}"; do
    read -r n name w h cw ch dh <<<"$entry"
    wanted "$n" || continue
    w=$(s "$w"); h=$(s "$h"); cw=$(s "$cw"); ch=$(s "$ch"); dh=$(s "$dh")
    # $TMP/bg-N.png keeps the drawing at the client size for the faces on it.
    dark_panel "$TMP/bg-$n.png" "$cw" "$ch" "$dh"
    if (( w != cw || h != ch )); then
      fit_to_picture "$TMP/bg-$n.png" "$w" "$h" "$TMP/$n.png"
    else
      cp "$TMP/bg-$n.png" "$TMP/$n.png"
    fi
    save_bmp "$TMP/$n.png" -- "$n" "$name"
  done
}

#############################################################################
# Button faces

# The buttons the window creates hidden (Language, Bit Torrent) sit where the LAN
# heading runs; their faces get the plain work area instead, should they ever show.
main_button() { # normal down name-normal name-down caption du-x du-y du-w du-h [plain]
  local n1=$1 n2=$2 nm1=$3 nm2=$4 cap=$5 x y w h fw fh
  wanted "$n1" "$n2" || return 0
  x=$(s "$(dlg8_x "$6")"); y=$(s "$(dlg8_y "$7")"); w=$(s "$(dlg8_x "$8")"); h=$(s "$(dlg8_y "$9")")
  fw=$(s "$(face8_w "$8")"); fh=$(s "$(face8_h "$9")")
  if [[ ${10:-} == plain ]]; then
    "${IM[@]}" -size "${fw}x${fh}" xc:"$WORK_BG" "$TMP/base.png"
  else
    client_crop "$TMP/base.png" "$TMP/267.png" "$x" "$y" "$w" "$h" "$fw" "$fh"
  fi
  button_face "$TMP/f1.png" "$TMP/base.png" "$w" "$h" light up "$cap"
  button_face "$TMP/f2.png" "$TMP/base.png" "$w" "$h" light down "$cap"
  save_bmp "$TMP/f1.png" -- "$n1" "$nm1"
  save_bmp "$TMP/f2.png" -- "$n2" "$nm2"
}

# Minimize and close sit on the dark title strip.
title_button() { # normal down name-normal name-down glyph du-x du-y du-w du-h
  local n1=$1 n2=$2 nm1=$3 nm2=$4 glyph=$5 x y w h fw fh state out draw cx cy w100 h100
  wanted "$n1" "$n2" || return 0
  w100=$(dlg8_x "$8"); h100=$(dlg8_y "$9")
  x=$(s "$(dlg8_x "$6")"); y=$(s "$(dlg8_y "$7")"); w=$(s "$w100"); h=$(s "$h100")
  fw=$(s "$(face8_w "$8")"); fh=$(s "$(face8_h "$9")")
  client_crop "$TMP/base.png" "$TMP/267.png" "$x" "$y" "$w" "$h" "$fw" "$fh"
  # The glyph's centre, in 100 % pixels: p() places it at the scale.
  cx=$(( w100 / 2 )); cy=$(( h100 / 2 ))
  for state in up down; do
    out=$TMP/t-$state.png
    cp "$TMP/base.png" "$out"
    if [[ $state == down ]]; then
      local hl=$TITLE_BTN_HOVER
      [[ $glyph == cross ]] && hl=$CLOSE_HOVER
      "${IM[@]}" "$out" -fill "$hl" -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $(l 3),$(l 3)" "$out"
    fi
    case $glyph in
      minus) draw="line $(p $((cx - 4))),$(p "$((cy + 2)).5") $(p $((cx + 4))),$(p "$((cy + 2)).5")"
             "${IM[@]}" "$out" -fill none -stroke "$TITLE_GLYPH" -strokewidth "$(l 2)" -draw "$draw" "$out" ;;
      cross) local c=$CLOSE_RED; [[ $state == down ]] && c=$CLOSE_RED_HOT
             "${IM[@]}" "$out" -fill none -stroke "$c" -strokewidth "$(l 2)" \
               -draw "line $(p $((cx - 4))),$(p $((cy - 4))) $(p $((cx + 4))),$(p $((cy + 4)))" \
               -draw "line $(p $((cx + 4))),$(p $((cy - 4))) $(p $((cx - 4))),$(p $((cy + 4)))" "$out" ;;
    esac
  done
  save_bmp "$TMP/t-up.png" -- "$n1" "$nm1"
  save_bmp "$TMP/t-down.png" -- "$n2" "$nm2"
}

# Buttons of the dark dialogs. The body has the control's size under the dialog
# font; `full_w x full_h` may be larger when one face serves controls of different
# sizes: the extra area shows the background it lands on in the largest user.
# Sizes and the position on the background are at 100 %.
dialog_button() { # normal down name-normal name-down caption style body_w body_h full_w full_h [bg x y [pt]]
  local n1=$1 n2=$2 nm1=$3 nm2=$4 cap=$5 style=$6 bw bh fw fh
  local bg=${11:-} bx by pt=${14:-$BTN_PT}
  bw=$(s "$7"); bh=$(s "$8"); fw=$(s "$9"); fh=$(s "${10}"); bx=$(s "${12:-0}"); by=$(s "${13:-0}")
  wanted "$n1" "$n2" || return 0
  if [[ -n $bg ]]; then
    [[ -f $TMP/bg-$bg.png ]] || "${IM[@]}" "$(picture_file "$bg")" "$TMP/bg-$bg.png"
    "${IM[@]}" "$TMP/bg-$bg.png" -crop "${fw}x${fh}+${bx}+${by}" +repage "$TMP/base.png"
  else
    "${IM[@]}" -size "${fw}x${fh}" xc:"$DLG_MID" "$TMP/base.png"
  fi
  button_face "$TMP/f1.png" "$TMP/base.png" "$bw" "$bh" "$style" up "$cap" "$pt"
  button_face "$TMP/f2.png" "$TMP/base.png" "$bw" "$bh" "$style" down "$cap" "$pt"
  save_bmp "$TMP/f1.png" -- "$n1" "$nm1"
  save_bmp "$TMP/f2.png" -- "$n2" "$nm2"
}

#############################################################################
# List header and scroll bars

make_header() {
  local one h16 h17
  one=$(s 1); h16=$(s 16); h17=$(s 17)
  if wanted 374; then
    "${IM[@]}" -size "${one}x$h16" gradient:"$HEADER_TOP-$HEADER_BOT" \
      -background "$HEADER_LINE" -gravity north -extent "${one}x$h17" "$TMP/h.png"
    save_bmp "$TMP/h.png" -- 374 header-background
  fi
  if wanted 240; then
    # Copied two pixels (scaled) left of each column's left edge: the divider sits
    # at x 2, its highlight at x 3, rows 3 to 13.
    "${IM[@]}" -size "${one}x$h16" gradient:"$HEADER_TOP-$HEADER_BOT" \
      -background "$HEADER_LINE" -gravity north -extent "${one}x$h17" -scale "$(s 12)x$h17!" \
      -fill "$HEADER_DIVIDER" -draw "rectangle $(s 2),$(s 3) $(( $(s 3) - 1 )),$(( $(s 14) - 1 ))" \
      -fill "$HEADER_DIVIDER_HI" -draw "rectangle $(s 3),$(s 3) $(( $(s 4) - 1 )),$(( $(s 14) - 1 ))" "$TMP/s.png"
    save_bmp "$TMP/s.png" -- 240 header-separator
  fi
}

# A chevron centred at (cx, cy) (100 % pixels) pointing in `dir`, as a polyline for
# a 1.5 px stroke (scaled with it).
chevron() { # dir cx cy
  local d=$1 cx=$2 cy=$3 pts
  case $d in
    left)  pts="$((cx + 1)).5 $((cy - 3)).5 $((cx - 2)).5 $cy.5 $((cx + 1)).5 $((cy + 3)).5" ;;
    right) pts="$((cx - 2)).5 $((cy - 3)).5 $((cx + 1)).5 $cy.5 $((cx - 2)).5 $((cy + 3)).5" ;;
    up)    pts="$((cx - 3)).5 $((cy + 1)).5 $cx.5 $((cy - 2)).5 $((cx + 3)).5 $((cy + 1)).5" ;;
    down)  pts="$((cx - 3)).5 $((cy - 2)).5 $cx.5 $((cy + 1)).5 $((cx + 3)).5 $((cy - 2)).5" ;;
  esac
  # shellcheck disable=SC2086
  set -- $pts
  # A round join: ImageMagick 6's miter join of a wide stroke leaves a notch at the
  # far end (it draws the same at 100 %).
  echo "stroke-linejoin round polyline $(p "$1"),$(p "$2") $(p "$3"),$(p "$4") $(p "$5"),$(p "$6")"
}

# A scroll bar picture: w x h pixels (100 %) of `track` with the edge line in its
# first row (horizontal bars) or first column (vertical bars), then the drawing.
sb_base() { # w h track edge horizontal|vertical
  local w h
  w=$(s "$1"); h=$(s "$2")
  if [[ $5 == horizontal ]]; then
    echo "-size ${w}x$h xc:$3 -fill $4 -draw rectangle_0,0_$((w - 1)),$(( $(s 1) - 1 ))"
  else
    echo "-size ${w}x$h xc:$3 -fill $4 -draw rectangle_0,0_$(( $(s 1) - 1 )),$((h - 1))"
  fi
}
# The words of sb_base's answer as arguments (the draw command's spaces were '_').
sb_args() { local a; for a in $1; do printf '%s\n' "${a//_/ }"; done; }

make_scroll_bars() {
  local set track edge arrow sw base=()
  sw=$(l 1.5)
  for set in normal grey; do
    if [[ $set == normal ]]; then
      track=$SB_TRACK; edge=$SB_EDGE; arrow=$SB_ARROW
    else
      track=$SB_G_TRACK; edge=$SB_G_EDGE; arrow=$SB_G_ARROW
    fi
    # Horizontal bar, 14 px high, below the list: the edge line is at the top.
    mapfile -t base < <(sb_args "$(sb_base 16 14 "$track" "$edge" horizontal)")
    local hleft=233 hright=231 sfx=""
    [[ $set == grey ]] && { hleft=380; hright=381; sfx="-grey"; }
    wanted $hleft && save_bmp "${base[@]}" -fill none -stroke "$arrow" -strokewidth "$sw" -draw "$(chevron left 7 7)" -- $hleft "hscroll-left$sfx"
    wanted $hright && save_bmp "${base[@]}" -fill none -stroke "$arrow" -strokewidth "$sw" -draw "$(chevron right 8 7)" -- $hright "hscroll-right$sfx"
    if [[ $set == normal ]]; then
      mapfile -t base < <(sb_args "$(sb_base 2 14 "$track" "$edge" horizontal)")
      wanted 232 && save_bmp "${base[@]}" -- 232 hscroll-track
      if wanted 243; then
        # Drawn 4 px left of its hit area: the pill covers x 4..25.
        mapfile -t base < <(sb_args "$(sb_base 26 14 "$track" "$edge" horizontal)")
        save_bmp "${base[@]}" -fill "$SB_THUMB" -draw "roundrectangle $(p 5),$(p 4) $(p 24),$(p 10) $(l 3),$(l 3)" -- 243 hscroll-thumb
      fi
    else
      mapfile -t base < <(sb_args "$(sb_base 1 14 "$track" "$edge" horizontal)")
      wanted 382 && save_bmp "${base[@]}" -- 382 hscroll-track-grey
    fi
    # Vertical bar, 14 px wide, right of the list: the edge line is at the left.
    # The arrows' click zones lie next to the track (rows 11-16 of the up picture,
    # rows 0-4 of the down picture, which is drawn 16 px above the bottom), so
    # the glyphs sit there too: clicking what you see steps one line.
    mapfile -t base < <(sb_args "$(sb_base 14 18 "$track" "$edge" vertical)")
    local vup=234 vdown=237
    [[ $set == grey ]] && { vup=383; vdown=385; }
    wanted $vup && save_bmp "${base[@]}" -fill none -stroke "$arrow" -strokewidth "$sw" -draw "$(chevron up 7 14)" -- $vup "vscroll-up$sfx"
    wanted $vdown && save_bmp "${base[@]}" -fill none -stroke "$arrow" -strokewidth "$sw" -draw "$(chevron down 7 3)" -- $vdown "vscroll-down$sfx"
    mapfile -t base < <(sb_args "$(sb_base 18 1 "$track" "$edge" vertical)")
    if [[ $set == normal ]]; then
      wanted 235 && save_bmp "${base[@]}" -- 235 vscroll-track
      if wanted 236; then
        mapfile -t base < <(sb_args "$(sb_base 14 26 "$track" "$edge" vertical)")
        save_bmp "${base[@]}" -fill "$SB_THUMB" -draw "roundrectangle $(p 4),$(p 5) $(p 10),$(p 24) $(l 3),$(l 3)" -- 236 vscroll-thumb
      fi
    else
      wanted 384 && save_bmp "${base[@]}" -- 384 vscroll-track-grey
    fi
  done
  return 0   # a picture left out by the command line is no failure
}

#############################################################################

# Every picture of the set drawn at PCT percent.
draw_set() {
  TMP=$TMP_ROOT/$PCT
  mkdir -p "$TMP"
  echo "pictures at $PCT % -> $(set_dir)"
  (( PCT == 100 )) && wanted icon && make_icon
  # Faces are composed over the backgrounds they sit on, so those come first.
  wanted 267 262 378 263 379 284 285 286 287 288 289 290 291 294 295 296 297 298 299 300 301 302 303 && make_main_background
  make_dialog_backgrounds

  # Positions and sizes in dialog units of the main window's template.
  title_button 262 378 close close-down cross       271 3 12 10
  title_button 263 379 minimize minimize-down minus 258 3 12 10
  main_button 284 285 refresh refresh-down "Refresh"                   211 44 68 16
  main_button 286 287 configuration configuration-down "Configuration" 211 64 68 16
  main_button 288 289 language language-down "Language"                133 115 62 19 plain
  main_button 290 291 bittorrent bittorrent-down "Bit Torrent"         203 109 62 20 plain
  main_button 294 295 apply apply-down "Apply"                         211 164 68 16
  main_button 296 297 connect connect-down "Connect"                   211 250 68 16
  main_button 298 299 disconnect disconnect-down "Disconnect"          211 270 68 16
  main_button 300 301 about about-down "About"                         133 309 68 16
  main_button 302 303 exit exit-down "Exit"                            211 309 68 16

  # OK of the Arial 8 dialogs (62 x 16 du); the About box's larger OK (68 x 16 du under
  # Arial 9, a caption one point larger) has faces of its own, cut from its background.
  # Pixel sizes at 100 %; dialog_button scales them.
  dialog_button 306 307 ok ok-down "OK" primary "$(dlg8_x 62)" "$(dlg8_y 16)" "$(face8_w 62)" "$(face8_h 16)"
  dialog_button 386 387 about-ok about-ok-down "OK" primary "$(dlg9_x 68)" "$(dlg9_y 16)" "$(face9_w 68)" \
    "$(face9_h 16)" 268 "$(dlg9_x 191)" "$(dlg9_y 49)" $((BTN_PT + 1))
  dialog_button 304 305 cancel cancel-down "Cancel" secondary "$(dlg8_x 62)" "$(dlg8_y 16)" "$(face8_w 62)" "$(face8_h 16)"
  dialog_button 280 281 download download-down "Download" primary "$(dlg8_x 61)" "$(dlg8_y 16)" "$(face8_w 61)" "$(face8_h 16)" \
    269 "$(dlg8_x 206)" "$(dlg8_y 92)"
  dialog_button 282 283 next next-down "Next" secondary "$(dlg8_x 62)" "$(dlg8_y 16)" "$(face8_w 62)" "$(face8_h 16)" \
    269 "$(dlg8_x 269)" "$(dlg8_y 92)"

  make_header
  make_scroll_bars
}

# The resource script of the PNG sets, which kavron.rc includes: one line per
# picture, its number, the type naming its scale ("PNG150") and its file.
write_resource_list() {
  local f n rel scale
  {
    echo "// Generated by res/pictures/make-pictures.sh: the skin's pictures drawn at the"
    echo "// scales above 100 %, as PNG resources named by their scale (skin/skin_pictures.cpp)."
    for scale in 125 150 175 200; do
      for f in "$OUT/$scale/"*.png; do
        [[ -f $f ]] || continue
        rel=${f#"$RES/"}; n=$(basename "$f"); n=${n%%-*}
        echo "$n PNG$scale \"$rel\""
      done
    done
  } > "$RES/skin_pictures.rc"
}

# Each picture's number, scale, size and the CRC-32 of its pixels as blue, green,
# red bytes row by row from the top: the skin's test decodes every picture through
# the program's loader and compares.
write_checksums() {
  local f n scale size crc
  {
    echo "// Generated by res/pictures/make-pictures.sh: {number, scale, width, height, CRC-32"
    echo "// of the pixels as B, G, R bytes from the top row}, one row per picture and scale."
    for scale in 100 125 150 175 200; do
      for f in "$OUT/"*.bmp "$OUT/$scale/"*.png; do
        [[ -f $f ]] || continue
        case $f in "$OUT/"[0-9]*.bmp) (( scale == 100 )) || continue ;; esac
        n=$(basename "$f"); n=${n%%-*}
        size=$(identify -format '%w, %h' "$f")
        crc=$("${IM[@]}" "$f" -depth 8 BGR:- | python3 -c 'import sys, zlib; print(zlib.crc32(sys.stdin.buffer.read()))')
        echo "{$n, $scale, $size, ${crc}u},"
      done
    done
  } > "$ROOT/tests/skin/skin_picture_sums.inc"
}

for PCT in "${SCALES[@]}"; do draw_set; done
write_resource_list
write_checksums
echo "done"
