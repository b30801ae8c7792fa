#!/usr/bin/env bash
# The built game in a real X window: its title screen, a game started with a click that ends
# by itself, and Exit. Usage: real_window_test.sh <tolvane executable>. Exit code 77 (skipped)
# when Xvfb, xdotool or ImageMagick is missing.
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xgame.sh"
trap xg_cleanup EXIT
# For AddressSanitizer builds: system libraries' leaks are not the game's.
export LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

if ! missing=$(xg_require); then
    echo "SKIPPED: $missing; the real-window test needs Xvfb, xdotool and ImageMagick"
    exit 77
fi
fail() {
    echo "FAIL: $*"
    [[ -n ${XG_DIR:-} && -s $XG_DIR/game.log ]] && echo "game output: $(cat "$XG_DIR/game.log")"
    exit 1
}
expect_pixel() {  # shot x y "r,g,b" what
    local got
    got=$(xg_pixel "$1" "$2" "$3")
    [[ $got == "$4" ]] || fail "$5 at ($2,$3) is $got, expected $4"
    echo "ok: $5 at ($2,$3) is $4"
}

xg_start_display || fail "no X server"
SHOT="$XG_DIR/shot.png"
xg_launch "$1" || fail "no window"
echo "ok: window $XG_WIN at scale $XG_SCALE on $DISPLAY"

xg_move "${XG_CLEAR[@]}"
sleep 0.3
xg_shot "$SHOT"
expect_pixel "$SHOT" "${XG_TITLE[@]}" "$XG_TITLE_FILL" "title box"
expect_pixel "$SHOT" "${XG_START_INSIDE[@]}" "$XG_BUTTON_FACE" "Start button"
expect_pixel "$SHOT" "${XG_EXIT_INSIDE[@]}" "$XG_BUTTON_FACE" "Exit button"
expect_pixel "$SHOT" 5 5 "$XG_BACKGROUND" "title screen background"

# Shots until `$2` holds for one, at most until $1 ms after the Start click; the time of that
# shot in `seen` (0 when it never held). `announced` counts the stage announcements seen.
announced=0
on_stage_band=false
shoot_until() {
    seen=0
    while (($(xg_now_ms) - start < $1)); do
        xg_shot "$SHOT"
        width=$(xg_band_text_width "$SHOT")
        if xg_stage_width "$width"; then
            $on_stage_band || announced=$((announced + 1))
            on_stage_band=true
        else
            on_stage_band=false
        fi
        if "$2"; then
            seen=$(($(xg_now_ms) - start))
            return
        fi
    done
}
# "Go!!" is narrower than "Stage1", "Game Over!!" wider.
stage_shown() { xg_stage_width "$width"; }
game_over_shown() { xg_game_over_width "$width"; }
title_shown() { xg_title_shown "$SHOT"; }

xg_click "${XG_START_BUTTON[@]}"
start=$(xg_now_ms)
shoot_until 1000 stage_shown
((seen > 0)) || fail "no \"Stage1\" band within a second of the Start click (text width $width)"
echo "ok: \"Stage1\" on its band ${seen} ms after the click (text width $width)"

# No more clicks: the chick falls (or flies into a block), "Game Over!!", then the title.
shoot_until 12000 game_over_shown
((seen > 2500)) || fail "no \"Game Over!!\" band after the announcement (last text width $width)"
echo "ok: \"Game Over!!\" ${seen} ms after the click (text width $width)"

shoot_until 14000 title_shown
title=$seen
((title > 0)) || fail "the title screen did not return"
# Falling out takes 2.5 s of announcement, 13 ticks and the 2 s pause: about 7 s. A block in
# the way ends the game sooner. A stage with no block in the field yet at a tick is cleared
# there, so some layouts announce the next stage first: 2.5 s more for each.
latest=$((9000 + (announced - 1) * 2500))
((title >= 4000 && title <= latest)) ||
    fail "the title returned after ${title} ms ($announced stage announcements)"
echo "ok: the title screen returned ${title} ms after the click ($announced stage announcements)"

xg_click "${XG_EXIT_BUTTON[@]}"
xg_wait_exit 3 || fail "the game still runs 3 s after the Exit click"
((XG_EXIT == 0)) || fail "the game exited with $XG_EXIT after Exit"
echo "ok: Exit ended the game with exit code 0"

# Closing during play (Alt+F4) stops the run and ends the process at once.
xg_launch "$1" || fail "no window the second time"
xg_click "${XG_START_BUTTON[@]}"
sleep 3  # past the announcement: the chick is in play
xdotool key alt+F4
closed=$(xg_now_ms)
xg_wait_exit 1 || fail "the game still runs a second after Alt+F4 during play"
((XG_EXIT == 0)) || fail "the game exited with $XG_EXIT after Alt+F4"
echo "ok: Alt+F4 during play ended the game in $(($(xg_now_ms) - closed)) ms with exit code 0"
