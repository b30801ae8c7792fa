#!/usr/bin/env bash
# The Windows build's game under Wine in a real X window, after the desktop build's on the
# same display, from the folder its zip holds (cmake --install): the title screen the same
# pixels, Start, a flap that lifts the chick, a game played to Game Over and the title, Start
# and Stop, the About box opened and closed, and Exit with status 0. Then tolvane.exe alone in
# a folder named in three scripts, under code page 1252: the same title screen; a start that
# fails, in a message box, with status 1; and the resources Explorer shows. Usage:
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
game_over_shown() { xg_game_over_width "$(xg_band_text_width "$SHOT")"; }
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

# The title screen of the game started by the command given, the desktop build's pixels.
same() { [[ $(compare -metric AE "$XG_DIR/desktop.png" "$SHOT" null: 2>&1) == 0 ]]; }
title_as_desktop() {
    xg_launch "$@" || fail "no window under Wine"
    echo "ok: window $XG_WIN at scale $XG_SCALE under Wine on $DISPLAY"
    xg_move "${XG_CLEAR[@]}"
    shot_until 5 same ||
        fail "the title screen differs from the desktop build's in $(compare -metric AE \
            "$XG_DIR/desktop.png" "$SHOT" null: 2>&1) pixels"
    echo "ok: the title screen is the desktop build's, pixel for pixel"
}
title_as_desktop "${wine[@]}" "$folder/tolvane.exe"

xg_click "${XG_START_BUTTON[@]}"
shot_until 2 stage_shown || fail "no \"Stage1\" band within 2 s of the Start click"
echo "ok: Start announces the first stage"
shot_until 5 in_play || fail "no play after the announcement"
# Four presses lift the chick by 20 px a tick against gravity's 2 more each tick: its top row
# rises within a few ticks, where a fall only ever lowers it.
xg_shot "$SHOT"
before=$(xg_chick_top "$SHOT")
xg_move "${XG_START_BUTTON[@]}"
xdotool click --repeat 4 --delay 40 1
risen() { (($(xg_chick_top "$SHOT") < before)); }
shot_until 2 risen || fail "four presses in play did not lift the chick from row $before"
echo "ok: a flap lifts the chick above row $before"
shot_until 15 game_over_shown || fail "no \"Game Over!!\" once the presses stopped"
shot_until 5 title_shown || fail "the title screen did not return after \"Game Over!!\""
echo "ok: a game played to \"Game Over!!\" and back to the title screen"

xg_click "${XG_START_BUTTON[@]}"
shot_until 5 in_play || fail "no play after the second Start"
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

# tolvane.exe alone, as Explorer runs it from inside the zip, in a folder whose name the
# prefix's ANSI code page (1252) cannot spell.
acp=$("${wine[@]}" reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null)
[[ $acp == *REG_SZ*1252* ]] || fail "the Wine prefix's ANSI code page is not 1252: $acp"
alone="$XG_DIR/Spiele ä ö/日本/Ελληνικά"
mkdir -p "$alone"
cp "$folder/tolvane.exe" "$alone/"
title_as_desktop "${wine[@]}" "$alone/tolvane.exe"
xg_click "${XG_EXIT_BUTTON[@]}"
xg_wait_exit 5 && ((XG_EXIT == 0)) || fail "tolvane.exe alone did not end with status 0 after Exit"
echo "ok: tolvane.exe alone in \"${alone#"$XG_DIR/"}\" under code page 1252"

# A start that fails says why in a message box (captioned as the game) and ends with status 1.
xg_launch env SDL_VIDEODRIVER=nonexistent "${wine[@]}" "$alone/tolvane.exe" ||
    fail "no message box for a start that fails"
xdotool windowactivate --sync "$XG_WIN" key Return
xg_wait_exit 5 || fail "the game still runs 5 s after its message box was closed"
((XG_EXIT == 1)) || fail "a start that failed ended with status $XG_EXIT"
grep -q '^tolvane: cannot open a window: ' "$XG_DIR/game.log" ||
    fail "no line on stderr for the start that failed"
echo "ok: a start that fails shows a message box, and its status is 1"

# What Explorer shows, read back from the built file: the icon in its sizes (256 written as 0),
# the version information, and the manifest.
exe=$folder/tolvane.exe
rc=$(x86_64-w64-mingw32-windres -i "$exe" -O rc) || fail "windres cannot read $exe"
x86_64-w64-mingw32-windres -i "$exe" -O res -o "$XG_DIR/tolvane.res"
manifest=$(tr -d '\000' <"$XG_DIR/tolvane.res")
icons=$(grep -oE '^ +"\\[0-7]{3}\\[0-7]{3}\\000\\000", 1, 32,' <<<"$rc" | cut -c7-9 | tr '\n' ' ')
[[ $icons == '020 030 040 060 000 ' ]] || fail "the icon's sizes are not 16, 24, 32, 48 and 256: $icons"
for value in '"FileVersion", "1.0"' '"ProductVersion", "1.0"' '"ProductName", "Tolvane"' \
    '"FileDescription", "Tolvane' '"CompanyName", "' '"LegalCopyright", "MIT"'; do
    grep -qF "VALUE $value" <<<"$rc" || fail "no $value in the version information"
done
for setting in 'level="asInvoker"' '>PerMonitorV2' '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
    '<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">UTF-8<' \
    '<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true<'; do
    grep -qF -- "$setting" <<<"$manifest" || fail "the manifest lacks $setting"
done
echo "ok: the icon in five sizes, the version information and the manifest are in $exe"
