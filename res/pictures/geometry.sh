# Geometry shared by make-pictures.sh and preview.py (sourced, not run).
#
# Dialog units become pixels through the dialog font's base units, as the dialog
# manager does it: x * baseX / 4 and y * baseY / 8, rounded half away from zero.
#
# The pictures are drawn for the base units measured in the lab, where Wine lays
# the dialogs out in Liberation Sans, a face with Arial's metrics: Arial 8 gives
# 6 x 12, Arial 9 gives 7 x 14 (tests/res prints them; README.md says how to
# measure again). A button face's visible body has its control's size under these.
BASE8_X=6; BASE8_Y=12
BASE9_X=7; BASE9_Y=14

# Other base units a face must still cover: "Arial-8-x Arial-8-y Arial-9-x Arial-9-y".
#   6 14 7 15   an Arial that comes out a little taller
#   7 13 7 14   the wider face Wine falls back to when no Arial-compatible face is
#               installed (DejaVu Sans)
# Faces are padded at their right and bottom up to the largest of these sizes, so a
# control is never larger than its face.
OTHER_METRICS=("6 14 7 15" "7 13 7 14")

muldiv() { echo $(( ($1 * $2 + $3 / 2) / $3 )); }
max() { echo $(( $1 > $2 ? $1 : $2 )); }
dlg8_x() { muldiv "$1" $BASE8_X 4; }
dlg8_y() { muldiv "$1" $BASE8_Y 8; }
dlg9_x() { muldiv "$1" $BASE9_X 4; }
dlg9_y() { muldiv "$1" $BASE9_Y 8; }

# Full face size for a control of `du` dialog units: the largest pixel size over
# the measured and the other metrics. The field is 1 (Arial 8 x), 2 (Arial 8 y),
# 3 (Arial 9 x) or 4 (Arial 9 y) of an OTHER_METRICS entry.
face_extent() { # du measured-base field divisor
  local du=$1 best m base
  best=$(muldiv "$du" "$2" "$4")
  for m in "${OTHER_METRICS[@]}"; do
    base=$(echo "$m" | cut -d' ' -f"$3")
    best=$(max "$best" "$(muldiv "$du" "$base" "$4")")
  done
  echo "$best"
}
face8_w() { face_extent "$1" $BASE8_X 1 4; }
face8_h() { face_extent "$1" $BASE8_Y 2 8; }
face9_w() { face_extent "$1" $BASE9_X 3 4; }
face9_h() { face_extent "$1" $BASE9_Y 4 8; }

# Main window. The background picture has a fixed size, 430 x 574, but the window
# stretches it over its client area (431 x 494 under the measured metrics). It is
# therefore drawn at the client size, in client pixels, and then resized to the
# picture size by repeating rows and columns, so that the window's stretch gives
# back the drawing pixel for pixel: nothing in it is squashed on screen.
MAIN_BMP_W=430; MAIN_BMP_H=574
MAIN_CLIENT_W=$(dlg8_x 287); MAIN_CLIENT_H=$(dlg8_y 329)

# Bands of the main background, in client pixels. Each lies in a gap between the
# controls and labels (preview.py checks them against the template):
#   title strip  0 .. MAIN_STRIP_H-1 and a 2 px accent line below it; the minimize
#                and close buttons (y 5 .. 19) sit on it
#   heading 1    centred on MAIN_HEAD1_Y, above the device list and Refresh (y 66)
#   heading 2    between the device list's horizontal scroll bar (ends at y 171)
#                and the IP / Receive DHCP row (y 218)
#   heading 3    between the gateway field (ends at y 285) and the drive letter
#                label and the volume list (y 330)
#   bottom bar   MAIN_FOOT_Y .. bottom, behind About and Exit (y 464 .. 487),
#                below the volume list's scroll bar (ends at y 437)
MAIN_STRIP_H=30
MAIN_HEAD1_Y=49
MAIN_HEAD2_Y=195
MAIN_HEAD3_Y=308
MAIN_FOOT_Y=452

# Dialog backgrounds: number, name, picture width and height, the client size the
# picture is drawn for, rows the gradient spans.
#   Stretched over their dialog: drawn at the dialog's client size and, where the
#   picture is larger (272 has a fixed size, 273 is also copied), resized to the
#   picture's size as the main background is. A stretch that shrinks a picture
#   in the DC's default mode ANDs the rows and columns it drops into the ones it
#   keeps, which turns a smooth gradient into bands unless the dropped ones are
#   copies: that is why no stretched picture is simply drawn larger.
#   Copied unscaled to the top left corner: 271 (restart) is larger than its client
#   under any of the metrics above, its gradient spanning the client's height and
#   the bottom colour beyond it. 273 is stretched over the codepage dialog and also
#   copied onto the add-on installer (330 x 113), which therefore shows three
#   quarters of the codepage dialog's gradient.
DIALOG_BACKGROUNDS=(
  "268 about-background $(dlg9_x 267) $(dlg9_y 71) $(dlg9_x 267) $(dlg9_y 71) $(dlg9_y 71)"
  "269 widget-prompt-background $(dlg8_x 343) $(dlg8_y 117) $(dlg8_x 343) $(dlg8_y 117) $(dlg8_y 117)"
  "270 drive-in-use-background $(dlg8_x 165) $(dlg8_y 68) $(dlg8_x 165) $(dlg8_y 68) $(dlg8_y 68)"
  "271 restart-background 480 200 480 200 $(dlg8_y 75)"
  "272 login-background 308 147 $(dlg8_x 205) $(dlg8_y 84) $(dlg8_y 84)"
  "273 language-background 440 150 $(dlg8_x 226) $(dlg8_y 64) $(dlg8_y 64)"
  "274 widget-model-background $(dlg8_x 150) $(dlg8_y 115) $(dlg8_x 150) $(dlg8_y 115) $(dlg8_y 115)"
)

