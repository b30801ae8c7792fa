#!/usr/bin/env bash
# The Windows build's game under Wine in a real X window, after the desktop build's on the
# same display, from the folder its zip holds (cmake --install): the title screen the same
# pixels, Start, a flap, Stop, the About box opened and closed, and Exit with status 0. Usage:
#   wine_window_test.sh <desktop tolvane> <wine.sh> <Wine prefix> <Windows build folder>
# Exit code 77 (skipped) when Xvfb, xdotool, ImageMagick or openbox is missing, or the
# desktop build.
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xgame.sh"
trap xg_cleanup EXIT
native=$1
wine=("$2" "$3")
build=$4

if ! missing=$(xg_require) ||
    ! missing=$(command -v openbox >/dev/null || echo "openbox is not installed"); then
    echo "SKIPPED: $missing"
    exit 77
fi
if [[ ! -x $native ]]; then
    echo "SKIPPED: no desktop build at $native to compare with (cmake --build --preset default)"
    exit 77
fi
fail() {
    echo "FAIL: $*"
    [[ -s ${XG_DIR:-/nonexistent}/game.log ]] && echo "game output: $(cat "$XG_DIR/game.log")"
    exit 1
}
# Until `$2` holds for a shot, at most $1 seconds.
shot_until() {
    local deadline=$(($(xg_now_ms) + $1 * 1000))
    while (($(xg_now_ms) < deadline)); do
        xg_shot "$SHOT"
        "$2" && return 0
    done
    return 1
}
title_shown() { xg_title_shown "$SHOT"; }
in_play() { ! xg_title_shown "$SHOT" && ! xg_band_shown "$SHOT"; }
stage_shown() { xg_stage_width "$(xg_band_text_width "$SHOT")"; }
about_open() { xdotool search --onlyvisible --name '^Tolvane.' >/dev/null 2>&1; }

# A new Wine prefix takes a while to make; the window's wait starts once it is there.
"${wine[@]}" wineboot >/dev/null 2>&1 || fail "Wine does not start"
xg_start_display || fail "no X server"
# A window manager gives the windows the keyboard focus, as Windows does.
xg_start_wm || fail "no window manager"
SHOT=$XG_DIR/shot.png
folder=$XG_DIR/tolvane
cmake --install "$build" --prefix "$folder" >/dev/null || fail "cannot install the zip's folder"
[[ -f $folder/LICENSE && -f $folder/licences/SDL2.LICENSE.txt ]] || fail "no licence texts"

xg_launch "$native" || fail "no window of the desktop build"
xg_move "${XG_CLEAR[@]}"
sleep 0.3
xg_shot "$XG_DIR/desktop.png"
xg_click "${XG_EXIT_BUTTON[@]}"
xg_wait_exit 3 || fail "the desktop build still runs after Exit"

xg_launch "${wine[@]}" "$folder/tolvane.exe" || fail "no window under Wine"
echo "ok: window $XG_WIN at scale $XG_SCALE under Wine on $DISPLAY"
xg_move "${XG_CLEAR[@]}"
same() { [[ $(compare -metric AE "$XG_DIR/desktop.png" "$SHOT" null: 2>&1) == 0 ]]; }
shot_until 5 same ||
    fail "the title screen differs from the desktop build's in $(compare -metric AE \
        "$XG_DIR/desktop.png" "$SHOT" null: 2>&1) pixels"
echo "ok: the title screen is the desktop build's, pixel for pixel"

xg_click "${XG_START_BUTTON[@]}"
shot_until 2 stage_shown || fail "no \"Stage1\" band within 2 s of the Start click"
echo "ok: Start announces the first stage"
shot_until 5 in_play || fail "no play after the announcement"
xg_click "${XG_START_BUTTON[@]}"
sleep 0.2
xg_shot "$SHOT"
in_play || fail "a click in play did not flap: the game is not in play any more"
echo "ok: a flap in play"
xg_click "${XG_STOP_BUTTON[@]}"
shot_until 2 title_shown || fail "Stop did not bring the title screen back within 2 s"
echo "ok: Stop returns to the title screen"

xg_move "${XG_CLEAR[@]}"
xdotool key shift+F10 a
timeout 5 xdotool search --sync --onlyvisible --name '^Tolvane.' >/dev/null ||
    fail "the About box did not open from the system menu"
xdotool key Escape
for _ in $(seq 40); do
    about_open || break
    sleep 0.05
done
about_open && fail "Escape did not close the About box"
echo "ok: the About box opens from the system menu and closes"

xg_click "${XG_EXIT_BUTTON[@]}"
xg_wait_exit 5 || fail "the game still runs 5 s after the Exit click"
((XG_EXIT == 0)) || fail "the game exited with $XG_EXIT after Exit"
echo "ok: Exit ended the game with status 0"
