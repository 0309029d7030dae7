# Geometry shared by make-pictures.sh and preview.sh (sourced, not run).
#
# Dialog units become pixels through the dialog font's base units, as the dialog
# manager does it: x * baseX / 4 and y * baseY / 8, rounded half away from zero.
# The numbers are those of Arial at 96 dpi on Windows (Arial 8: 6 x 14, which is why
# the 287 x 329 main window has a 430 x 574 background; Arial 9: 7 x 15).

BASE8_X=6; BASE8_Y=14
BASE9_X=7; BASE9_Y=15
# Wine without Arial substitutes a wider face (DejaVu Sans on a plain Debian host):
# measured 7 x 13 for Arial 8 and 7 x 14 for Arial 9 (tests/res prints them).
WINE8_X=7; WINE8_Y=13
WINE9_X=7; WINE9_Y=14

muldiv() { echo $(( ($1 * $2 + $3 / 2) / $3 )); }
max() { echo $(( $1 > $2 ? $1 : $2 )); }
dlg8_x() { muldiv "$1" $BASE8_X 4; }
dlg8_y() { muldiv "$1" $BASE8_Y 8; }
dlg9_x() { muldiv "$1" $BASE9_X 4; }
dlg9_y() { muldiv "$1" $BASE9_Y 8; }

# A button face is drawn at the control's size on Windows (its "body") and padded
# to the largest size the control takes anywhere we run, because the skinned button
# copies the face's top left part at the control's size: a face smaller than the
# control would show garbage at its right and bottom edges.
face8_w() { max "$(dlg8_x "$1")" "$(muldiv "$1" $WINE8_X 4)"; }
face8_h() { max "$(dlg8_y "$1")" "$(muldiv "$1" $WINE8_Y 8)"; }
face9_w() { max "$(dlg9_x "$1")" "$(muldiv "$1" $WINE9_X 4)"; }
face9_h() { max "$(dlg9_y "$1")" "$(muldiv "$1" $WINE9_Y 8)"; }

# Main window: the background is stretched over the client area, so positions in
# the picture are client positions scaled by picture size / client size.
MAIN_BMP_W=430; MAIN_BMP_H=574
MAIN_CLIENT_W=$(dlg8_x 287); MAIN_CLIENT_H=$(dlg8_y 329)
main_x() { echo $(( ($(dlg8_x "$1") * MAIN_BMP_W + MAIN_CLIENT_W / 2) / MAIN_CLIENT_W )); }
main_y() { echo $(( ($(dlg8_y "$1") * MAIN_BMP_H + MAIN_CLIENT_H / 2) / MAIN_CLIENT_H )); }

# Bands of the main background, in picture pixels. Every band lies in a gap between
# the controls and labels (preview.sh outlines them to check):
#   title strip     0 .. MAIN_STRIP_H-1, the minimize and close buttons on it
#   heading 1       centred on MAIN_HEAD1_Y, above the device list (y 44 du)
#   heading 2       above the IP / Receive DHCP row (y 145 du), below the device
#                   list's horizontal scroll bar
#   heading 3       above the volume list and its label (y 220 du), below the gateway
#   bottom bar      MAIN_FOOT_Y .. bottom, behind About and Exit (y 309 du)
MAIN_STRIP_H=36
MAIN_HEAD1_Y=57
MAIN_HEAD2_Y=224
MAIN_HEAD3_Y=357
MAIN_FOOT_Y=523

# Dialog backgrounds: number, name, picture width and height, rows the gradient
# spans. Stretched pictures have their client size. 271 and 273 are copied
# unscaled, so they are larger than any client they serve (Windows at 96 dpi, Wine
# with its wider substitute face) and end in the gradient's bottom colour. 273 is
# also stretched over the codepage dialog (339 x 112): it keeps roughly that shape.
DIALOG_BACKGROUNDS=(
  "268 about-background $(dlg9_x 267) $(dlg9_y 71) $(dlg9_y 71)"
  "269 widget-prompt-background $(dlg8_x 343) $(dlg8_y 117) $(dlg8_y 117)"
  "270 drive-in-use-background $(dlg8_x 165) $(dlg8_y 68) $(dlg8_y 68)"
  "271 restart-background 480 200 $(dlg8_y 75)"
  "272 login-background $(dlg8_x 205) $(dlg8_y 84) $(dlg8_y 84)"
  "273 language-background 440 150 $(dlg8_y 75)"
  "274 widget-model-background $(dlg8_x 150) $(dlg8_y 115) $(dlg8_y 115)"
)

# The OK face serves 62 x 16 du buttons under Arial 8 and the About box's
# 68 x 16 du button under Arial 9: its body has the smaller size.
OK_FULL_W=$(max "$(face8_w 62)" "$(face9_w 68)")
OK_FULL_H=$(max "$(face8_h 16)" "$(face9_h 16)")
