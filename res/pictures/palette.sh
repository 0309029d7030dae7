# Colours and type of the skin (sourced by make-pictures.sh). Change a value here
# and re-run make-pictures.sh to restyle every picture that uses it.

FONT=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
FONT_BOLD=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# Accent: the product's blue.
ACCENT='#1e9bd7'
ACCENT_DEEP='#13699a'

# Main window
WORK_BG='#f3f5f8'          # light work area; labels are drawn black on it
WINDOW_EDGE='#8d99a8'
TITLE_TOP='#2e3a4b'; TITLE_BOT='#1b2330'
TITLE_TEXT='#ffffff'; TITLE_SUBTEXT='#b9c6d4'; TITLE_PT=13
TITLE_GLYPH='#d8e0e9'; TITLE_BTN_HOVER='#435166'
CLOSE_RED='#e5484d'; CLOSE_RED_HOT='#ff6b70'; CLOSE_HOVER='#4a3a44'
HEAD_TEXT='#2a3a4d'; HEAD_PT=9
RULE='#c9d1db'
FOOT_BG='#e5e9ef'; FOOT_LINE='#cfd6df'

# Logo mark and icon
LOGO_TOP='#35b6ec'; LOGO_BOT='#1572bd'
LOGO_BAR='#ffffff'; LOGO_LED='#1e9bd7'

# Dark dialogs (static text is drawn white on them)
DLG_TOP='#2f3c4e'; DLG_BOTTOM='#19212c'; DLG_MID='#243040'
DLG_GLOW='#7a98b833'

# Buttons: light (work area), primary (accent), secondary (dark)
BTN_PT=9
BTN_SHADOW='#00000022'
GLINT='#ffffffcc'; GLINT_SOFT='#ffffff40'
PRESS_SHADE='#00000038'
BTN_L_TOP='#ffffff';  BTN_L_BOT='#e4e9ef';  BTN_L_BORDER='#a9b4c2';  BTN_L_TEXT='#1f2d3d'
BTN_LD_TOP='#cfe6f5'; BTN_LD_BOT='#b7d9f0'; BTN_LD_BORDER='#3d8fc4'; BTN_LD_TEXT='#0f3b5c'
BTN_P_TOP='#33a9e3';  BTN_P_BOT='#1a84c4';  BTN_P_BORDER='#0f5f90';  BTN_P_TEXT='#ffffff'
BTN_PD_TOP='#166fa6'; BTN_PD_BOT='#1b80bd'; BTN_PD_BORDER='#0b4a72'
BTN_S_TOP='#56657a';  BTN_S_BOT='#414e60';  BTN_S_BORDER='#2a3441';  BTN_S_TEXT='#ffffff'
BTN_SD_TOP='#333e4d'; BTN_SD_BOT='#3d4959'; BTN_SD_BORDER='#3d8fc4'

# List header
HEADER_TOP='#fdfdfe'; HEADER_BOT='#e6eaef'; HEADER_LINE='#c3cbd5'
HEADER_DIVIDER='#c3cbd5'; HEADER_DIVIDER_HI='#ffffff'

# Scroll bars: normal set and the light grey "cannot scroll" set
SB_TRACK='#eef1f5'; SB_EDGE='#d5dbe3'; SB_ARROW='#5d6b7c'; SB_THUMB='#9ba7b6'
SB_G_TRACK='#f7f8fa'; SB_G_EDGE='#e6e9ee'; SB_G_ARROW='#cdd3db'
