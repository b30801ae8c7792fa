# Where the real-window tests and scripts find things in the main dialog, and the colours they
# look for: client pixels from the dialog template (dialog units at base units 6 x 12), and
# colours as "r,g,b" as xg_pixel reads them. Sourced by xgame.sh, so every user of the
# launcher has it.

# The client area (311 x 239 dialog units).
XG_CLIENT_W=467
XG_CLIENT_H=359

XG_TITLE=(74 56)          # inside the title box 71,53 - 386,113
XG_START_BUTTON=(227 170) # the Start button's centre (162,149 - 293,191); in play a click flaps
XG_START_INSIDE=(165 152)
XG_EXIT_BUTTON=(229 239)  # the Exit button's centre (164,218 - 294,260)
XG_EXIT_INSIDE=(167 221)
XG_STOP_BUTTON=(413 343)  # the Stop button's centre in play (360,327 - 467,359)
XG_CLEAR=(20 20)          # off every button, so none is highlighted

XG_TITLE_FILL="255,240,240"
XG_BUTTON_FACE="250,250,250"
XG_BACKGROUND="0,0,0"   # the title screen's, at (5,5)
XG_CHICK_BODY="255,216,58"

# The status band across the field, where "Stage1" and "Game Over!!" are written: its
# rectangle, a pixel of its fill, the fill and the text's colour.
XG_BAND_RECT=(10 133 448 60)
XG_BAND_PROBE=(12 135)
XG_BAND_FILL="183,196,224"
XG_STATUS_TEXT="229,209,0"
