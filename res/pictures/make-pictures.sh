#!/usr/bin/env bash
# Draws every picture of the utility's skin into res/bitmaps/<number>-<name>.bmp
# (24-bit uncompressed BMP) and the icon into res/app.ico.
#
#   res/pictures/make-pictures.sh            # all pictures
#   res/pictures/make-pictures.sh 267 306    # only these resource numbers
#
# Needs ImageMagick 6 or 7 and the DejaVu fonts (Debian: imagemagick, fonts-dejavu-core).
# Re-running gives the same files byte for byte, so only changed pictures show up in
# version control. Geometry (control rectangles in dialog units, base units) lives in
# geometry.sh, shared with the preview script.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
RES=$(cd "$HERE/.." && pwd)
OUT=$RES/bitmaps
# shellcheck source=geometry.sh
source "$HERE/geometry.sh"
# shellcheck source=palette.sh
source "$HERE/palette.sh"

if command -v magick >/dev/null 2>&1; then IM=(magick); else IM=(convert); fi
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
mkdir -p "$OUT"

WANTED=" $* "
wanted() { [[ $# -eq 0 || "$WANTED" == "  " ]] && return 0; local n; for n in "$@"; do [[ "$WANTED" == *" $n "* ]] && return 0; done; return 1; }

# Write an image as the 24-bit BMP the resource compiler embeds. BMP3 has no
# timestamps, so the bytes depend only on the pixels.
save_bmp() { # source-image-args... -- number name
  local args=() n name
  while [[ $1 != -- ]]; do args+=("$1"); shift; done
  shift; n=$1; name=$2
  "${IM[@]}" "${args[@]}" -alpha off -type TrueColor -compress None BMP3:"$OUT/$n-$name.bmp"
  echo "  $n-$name.bmp $(identify -format '%wx%h' "$OUT/$n-$name.bmp")"
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
       -draw "ellipse $((w * 3 / 10)),0 $((w * 6 / 10)),$((dh * 6 / 10)) 0,360" -blur "0x$((dh / 4 + 4))" \) \
    -compose Over -composite \
    -fill "$ACCENT" -draw "rectangle 0,0 $((w - 1)),1" \
    -fill "$ACCENT_DEEP" -draw "rectangle 0,2 $((w - 1)),2" \
    "$out"
}

# A rounded button body over a base picture.
#   style: light (work area), primary (accent), secondary (dark dialogs),
#          title (title strip glyph buttons draw their own)
#   state: up | down
#   bw x bh: the body size (the control's size in pixels); the base may be larger.
button_face() { # out base bw bh style state caption [pointsize]
  local out=$1 base=$2 bw=$3 bh=$4 style=$5 state=$6 caption=$7 pt=${8:-$BTN_PT}
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
  local r=4 x1=$((bw - 2)) y1=$((bh - 3)) dx=0 dy=0
  [[ $state == down ]] && { dx=1; dy=1; }
  # Body: gradient clipped to a rounded rectangle, one pixel inside the control so
  # that a soft shadow fits below it.
  "${IM[@]}" -size "${bw}x${bh}" xc:none \
    -fill "$shadow" -draw "roundrectangle 1,2 $x1,$((y1 + 1)) $r,$r" \
    \( -size "${bw}x${bh}" gradient:"$top-$bot" \
       \( -size "${bw}x${bh}" xc:black -fill white -draw "roundrectangle 1,1 $x1,$y1 $r,$r" \) \
       -alpha off -compose CopyOpacity -composite \) \
    -compose Over -composite \
    "$TMP/body.png"
  if [[ $state == down ]]; then
    # Inset: a darker band along the top edge reads as pressed.
    "${IM[@]}" "$TMP/body.png" \
      \( -size "${bw}x${bh}" gradient:"$PRESS_SHADE-none" -crop "${bw}x5+0+0" +repage \
         -background none -extent "${bw}x${bh}" \
         \( -size "${bw}x${bh}" xc:none -fill white -draw "roundrectangle 2,2 $((x1 - 1)),$((y1 - 1)) $r,$r" \) \
         -compose DstIn -composite \) \
      -compose Over -composite "$TMP/body.png"
  elif [[ $glint != none ]]; then
    "${IM[@]}" "$TMP/body.png" -fill none -stroke "$glint" -strokewidth 1 \
      -draw "line $((1 + r)),2.5 $((x1 - r)),2.5" "$TMP/body.png"
  fi
  "${IM[@]}" "$base" "$TMP/body.png" -gravity northwest -compose Over -composite \
    -fill none -stroke "$border" -strokewidth 1 \
    -draw "roundrectangle 1,1 $x1,$y1 $r,$r" \
    "$TMP/face.png"
  # Caption centred in the body (not in the whole base, which may be larger).
  "${IM[@]}" -size "${bw}x$((bh - 2))" xc:none -font "$FONT_BOLD" -pointsize "$pt" \
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

make_icon() {
  local s
  for s in 16 32 48; do logo_mark "$TMP/icon-$s.png" "$s"; done
  "${IM[@]}" "$TMP/icon-16.png" "$TMP/icon-32.png" "$TMP/icon-48.png" "$RES/app.ico"
  echo "  app.ico 16 32 48"
}

#############################################################################
# Main window background (267)

panel_heading() { # image x y width text   (y = vertical centre of the heading)
  local img=$1 x=$2 y=$3 w=$4 text=$5 tw
  tw=$("${IM[@]}" -font "$FONT_BOLD" -pointsize "$HEAD_PT" -kerning 1 label:"$text" -format '%w' info:)
  "${IM[@]}" "$img" \
    -fill "$ACCENT" -draw "roundrectangle $x,$((y - 6)) $((x + 2)),$((y + 5)) 1,1" \
    -font "$FONT_BOLD" -pointsize "$HEAD_PT" -kerning 1 -fill "$HEAD_TEXT" \
    -gravity northwest -annotate "+$((x + 8))+$((y - 7))" "$text" \
    -fill "$RULE" -draw "rectangle $((x + 8 + tw + 8)),$y $((x + w - 1)),$y" \
    "$img"
}

make_main_background() {
  # Drawn in client pixels; $TMP/267.png keeps the drawing for the button faces.
  local W=$MAIN_CLIENT_W H=$MAIN_CLIENT_H img=$TMP/main.png
  local strip=$MAIN_STRIP_H foot=$MAIN_FOOT_Y
  "${IM[@]}" -size "${W}x${H}" xc:"$WORK_BG" \
    \( -size "${W}x${strip}" gradient:"$TITLE_TOP-$TITLE_BOT" \) -geometry +0+0 -compose Over -composite \
    -fill "$ACCENT" -draw "rectangle 0,$strip $((W - 1)),$((strip + 1))" \
    -fill "$FOOT_BG" -draw "rectangle 0,$foot $((W - 1)),$((H - 1))" \
    -fill "$FOOT_LINE" -draw "rectangle 0,$foot $((W - 1)),$foot" \
    -fill none -stroke "$WINDOW_EDGE" -draw "rectangle 0,0 $((W - 1)),$((H - 1))" -stroke none \
    "$img"
  # Title: logo mark and the product name, centred on the strip.
  local logo=20 ty kw
  logo_mark "$TMP/logo.png" $logo
  ty=$(( (strip - TITLE_PT) / 2 - 2 ))
  kw=$("${IM[@]}" -font "$FONT_BOLD" -pointsize "$TITLE_PT" label:"Kavron" -format '%w' info:)
  "${IM[@]}" "$img" "$TMP/logo.png" -geometry "+12+$(( (strip - logo) / 2 ))" -compose Over -composite \
    -font "$FONT_BOLD" -pointsize "$TITLE_PT" -fill "$TITLE_TEXT" -gravity northwest \
    -annotate "+40+$ty" "Kavron" \
    -font "$FONT" -fill "$TITLE_SUBTEXT" -annotate "+$((40 + kw + 3))+$ty" "Storage Utility" \
    "$img"
  # Panel headings, their rules ending at the right edge of the button column.
  local left right
  left=$(dlg8_x 14); right=$(dlg8_x 279)
  panel_heading "$img" "$left" "$MAIN_HEAD1_Y" $((right - left)) "DEVICES"
  panel_heading "$img" "$left" "$MAIN_HEAD2_Y" $((right - left)) "LAN SETTINGS"
  panel_heading "$img" "$left" "$MAIN_HEAD3_Y" $((right - left)) "DRIVE MAPPING"
  cp "$img" "$TMP/267.png"
  fit_to_picture "$img" "$MAIN_BMP_W" "$MAIN_BMP_H" "$TMP/main-fit.png"
  save_bmp "$TMP/main-fit.png" -- 267 main-background
}

#############################################################################
# Dialog backgrounds (268-274)

make_dialog_backgrounds() {
  local entry n name w h cw ch dh
  for entry in "${DIALOG_BACKGROUNDS[@]}"; do
    read -r n name w h cw ch dh <<<"$entry"
    wanted "$n" || continue
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
  x=$(dlg8_x "$6"); y=$(dlg8_y "$7"); w=$(dlg8_x "$8"); h=$(dlg8_y "$9")
  fw=$(face8_w "$8"); fh=$(face8_h "$9")
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
  local n1=$1 n2=$2 nm1=$3 nm2=$4 glyph=$5 x y w h fw fh state out draw cx cy
  wanted "$n1" "$n2" || return 0
  x=$(dlg8_x "$6"); y=$(dlg8_y "$7"); w=$(dlg8_x "$8"); h=$(dlg8_y "$9")
  fw=$(face8_w "$8"); fh=$(face8_h "$9")
  client_crop "$TMP/base.png" "$TMP/267.png" "$x" "$y" "$w" "$h" "$fw" "$fh"
  cx=$(( w / 2 )); cy=$(( h / 2 ))
  for state in up down; do
    out=$TMP/t-$state.png
    cp "$TMP/base.png" "$out"
    if [[ $state == down ]]; then
      local hl=$TITLE_BTN_HOVER
      [[ $glyph == cross ]] && hl=$CLOSE_HOVER
      "${IM[@]}" "$out" -fill "$hl" -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) 3,3" "$out"
    fi
    case $glyph in
      minus) draw="line $((cx - 4)),$((cy + 2)).5 $((cx + 4)),$((cy + 2)).5"
             "${IM[@]}" "$out" -fill none -stroke "$TITLE_GLYPH" -strokewidth 2 -draw "$draw" "$out" ;;
      cross) local c=$CLOSE_RED; [[ $state == down ]] && c=$CLOSE_RED_HOT
             "${IM[@]}" "$out" -fill none -stroke "$c" -strokewidth 2 \
               -draw "line $((cx - 4)),$((cy - 4)) $((cx + 4)),$((cy + 4))" \
               -draw "line $((cx + 4)),$((cy - 4)) $((cx - 4)),$((cy + 4))" "$out" ;;
    esac
  done
  save_bmp "$TMP/t-up.png" -- "$n1" "$nm1"
  save_bmp "$TMP/t-down.png" -- "$n2" "$nm2"
}

# Buttons of the dark dialogs. The body has the control's size under the dialog
# font; `full_w x full_h` may be larger when one face serves controls of different
# sizes: the extra area shows the background it lands on in the largest user.
dialog_button() { # normal down name-normal name-down caption style body_w body_h full_w full_h [bg x y [pt]]
  local n1=$1 n2=$2 nm1=$3 nm2=$4 cap=$5 style=$6 bw=$7 bh=$8 fw=$9 fh=${10}
  local bg=${11:-} bx=${12:-0} by=${13:-0} pt=${14:-$BTN_PT}
  wanted "$n1" "$n2" || return 0
  if [[ -n $bg ]]; then
    [[ -f $TMP/bg-$bg.png ]] || "${IM[@]}" "$OUT/$bg-"*.bmp "$TMP/bg-$bg.png"
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
  if wanted 374; then
    "${IM[@]}" -size 1x16 gradient:"$HEADER_TOP-$HEADER_BOT" \
      -background "$HEADER_LINE" -gravity north -extent 1x17 "$TMP/h.png"
    save_bmp "$TMP/h.png" -- 374 header-background
  fi
  if wanted 240; then
    # Copied two pixels left of each column's left edge: the divider sits at x 2.
    "${IM[@]}" -size 1x16 gradient:"$HEADER_TOP-$HEADER_BOT" \
      -background "$HEADER_LINE" -gravity north -extent 1x17 -scale 12x17! \
      -fill "$HEADER_DIVIDER" -draw "rectangle 2,3 2,13" \
      -fill "$HEADER_DIVIDER_HI" -draw "rectangle 3,3 3,13" "$TMP/s.png"
    save_bmp "$TMP/s.png" -- 240 header-separator
  fi
}

# A chevron centred at (cx, cy) pointing in `dir`, drawn with a 1.5 px stroke.
chevron() { # dir cx cy
  local d=$1 cx=$2 cy=$3
  case $d in
    left)  echo "polyline $((cx + 1)).5,$((cy - 3)).5 $((cx - 2)).5,$cy.5 $((cx + 1)).5,$((cy + 3)).5" ;;
    right) echo "polyline $((cx - 2)).5,$((cy - 3)).5 $((cx + 1)).5,$cy.5 $((cx - 2)).5,$((cy + 3)).5" ;;
    up)    echo "polyline $((cx - 3)).5,$((cy + 1)).5 $cx.5,$((cy - 2)).5 $((cx + 3)).5,$((cy + 1)).5" ;;
    down)  echo "polyline $((cx - 3)).5,$((cy - 2)).5 $cx.5,$((cy + 1)).5 $((cx + 3)).5,$((cy - 2)).5" ;;
  esac
}

make_scroll_bars() {
  local set track edge arrow thumb sfx
  for set in normal grey; do
    if [[ $set == normal ]]; then
      track=$SB_TRACK; edge=$SB_EDGE; arrow=$SB_ARROW; sfx=""
    else
      track=$SB_G_TRACK; edge=$SB_G_EDGE; arrow=$SB_G_ARROW; sfx="-grey"
    fi
    # Horizontal bar, 14 px high, below the list: the edge line is at the top.
    local hbase=(-size 16x14 xc:"$track" -fill "$edge" -draw "rectangle 0,0 15,0")
    if [[ $set == normal ]]; then
      wanted 233 && save_bmp "${hbase[@]}" -fill none -stroke "$arrow" -strokewidth 1.5 -draw "$(chevron left 7 7)" -- 233 hscroll-left
      wanted 231 && save_bmp "${hbase[@]}" -fill none -stroke "$arrow" -strokewidth 1.5 -draw "$(chevron right 8 7)" -- 231 hscroll-right
      wanted 232 && save_bmp -size 2x14 xc:"$track" -fill "$edge" -draw "rectangle 0,0 1,0" -- 232 hscroll-track
      if wanted 243; then
        # Drawn 4 px left of its hit area: the pill covers x 4..25.
        save_bmp -size 26x14 xc:"$track" -fill "$edge" -draw "rectangle 0,0 25,0" \
          -fill "$SB_THUMB" -draw "roundrectangle 5,4 24,10 3,3" -- 243 hscroll-thumb
      fi
    else
      wanted 380 && save_bmp "${hbase[@]}" -fill none -stroke "$arrow" -strokewidth 1.5 -draw "$(chevron left 7 7)" -- 380 hscroll-left-grey
      wanted 381 && save_bmp "${hbase[@]}" -fill none -stroke "$arrow" -strokewidth 1.5 -draw "$(chevron right 8 7)" -- 381 hscroll-right-grey
      wanted 382 && save_bmp -size 1x14 xc:"$track" -fill "$edge" -draw "rectangle 0,0 0,0" -- 382 hscroll-track-grey
    fi
    # Vertical bar, 14 px wide, right of the list: the edge line is at the left.
    # The arrows' click zones lie next to the track (rows 11-16 of the up picture,
    # rows 0-4 of the down picture, which is drawn 16 px above the bottom), so
    # the glyphs sit there too: clicking what you see steps one line.
    local vbase=(-size 14x18 xc:"$track" -fill "$edge" -draw "rectangle 0,0 0,17")
    if [[ $set == normal ]]; then
      wanted 234 && save_bmp "${vbase[@]}" -fill none -stroke "$arrow" -strokewidth 1.5 -draw "$(chevron up 7 14)" -- 234 vscroll-up
      wanted 237 && save_bmp "${vbase[@]}" -fill none -stroke "$arrow" -strokewidth 1.5 -draw "$(chevron down 7 3)" -- 237 vscroll-down
      wanted 235 && save_bmp -size 18x1 xc:"$track" -fill "$edge" -draw "rectangle 0,0 0,0" -- 235 vscroll-track
      if wanted 236; then
        save_bmp -size 14x26 xc:"$track" -fill "$edge" -draw "rectangle 0,0 0,25" \
          -fill "$SB_THUMB" -draw "roundrectangle 4,5 10,24 3,3" -- 236 vscroll-thumb
      fi
    else
      wanted 383 && save_bmp "${vbase[@]}" -fill none -stroke "$arrow" -strokewidth 1.5 -draw "$(chevron up 7 14)" -- 383 vscroll-up-grey
      wanted 385 && save_bmp "${vbase[@]}" -fill none -stroke "$arrow" -strokewidth 1.5 -draw "$(chevron down 7 3)" -- 385 vscroll-down-grey
      wanted 384 && save_bmp -size 18x1 xc:"$track" -fill "$edge" -draw "rectangle 0,0 0,0" -- 384 vscroll-track-grey
    fi
  done
  return 0   # a picture left out by the command line is no failure
}

#############################################################################

echo "pictures -> $OUT"
wanted icon && make_icon
# Faces are composed over the backgrounds they sit on, so those come first.
wanted 267 262 378 263 379 284 285 286 287 288 289 290 291 294 295 296 297 298 299 300 301 302 303 && make_main_background
make_dialog_backgrounds

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
echo "done"
