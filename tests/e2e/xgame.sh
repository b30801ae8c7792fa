# Runs the built game on a private Xvfb display and plays it with xdotool. Sourced by the
# real-window tests, the package test, scripts/screenshots and scripts/resources (the last two
# run under set -e, so every expected failure here is caught). Positions are the dialog's client pixels (layout.sh); the helpers
# scale them to the window.

source "$(dirname "${BASH_SOURCE[0]}")/layout.sh"

xg_require() {
    local tool
    for tool in Xvfb xdotool import convert; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "$tool is not installed"
            return 1
        fi
    done
}

# Starts Xvfb on a free display and exports DISPLAY. The screen is XG_SCREEN (WxHxD) if set.
xg_start_display() {
    XG_DIR=${XG_DIR:-$(mktemp -d)}
    rm -f "$XG_DIR/display"
    Xvfb -displayfd 9 -screen 0 "${XG_SCREEN:-1280x1024x24}" -nolisten tcp -noreset 9>"$XG_DIR/display" \
        2>"$XG_DIR/xvfb.log" &
    XG_XVFB_PID=$!
    local i
    for i in $(seq 200); do
        if [[ -s $XG_DIR/display ]]; then
            export DISPLAY=":$(head -n1 "$XG_DIR/display")"
            return 0
        fi
        sleep 0.05
    done
    echo "Xvfb did not start: $(cat "$XG_DIR/xvfb.log")"
    return 1
}

# Starts the game (the command line given) and waits for its window to be shown: XG_GAME_PID,
# XG_WIN, XG_SCALE.
xg_launch() {
    "$@" >"$XG_DIR/game.log" 2>&1 &
    XG_GAME_PID=$!
    local i
    for i in $(seq 200); do
        XG_WIN=$(xdotool search --onlyvisible --name '^Tolvane$' 2>/dev/null | head -n1 || true)
        if [[ -n $XG_WIN ]] && xdotool getwindowgeometry "$XG_WIN" >/dev/null 2>&1; then
            local WIDTH=$XG_CLIENT_W
            eval "$(xdotool getwindowgeometry --shell "$XG_WIN" | grep WIDTH || true)"
            XG_SCALE=$((WIDTH / XG_CLIENT_W))
            # Let the first paint reach the screen (XG_SETTLE seconds, 0.3 unless set).
            sleep "${XG_SETTLE:-0.3}"
            return 0
        fi
        if ! kill -0 "$XG_GAME_PID" 2>/dev/null; then
            echo "the game ended before its window appeared: $(cat "$XG_DIR/game.log")"
            return 1
        fi
        sleep 0.05
    done
    echo "no window called Tolvane appeared"
    return 1
}

# Pointer to a client position (the centre of its scaled pixel).
xg_move() {
    xdotool mousemove --window "$XG_WIN" $(($1 * XG_SCALE + XG_SCALE / 2)) \
        $(($2 * XG_SCALE + XG_SCALE / 2))
}

xg_click() {
    xg_move "$1" "$2"
    xdotool click 1
}

# The window's picture, reduced to client pixels.
xg_shot() {
    import -window "$XG_WIN" "$XG_DIR/raw.png"
    convert "$XG_DIR/raw.png" -filter point -resize "${XG_CLIENT_W}x${XG_CLIENT_H}!" "$1"
}

# "r,g,b" of a client pixel of a shot.
xg_pixel() {
    convert "$1" -format \
        "%[fx:round(255*p{$2,$3}.r)],%[fx:round(255*p{$2,$3}.g)],%[fx:round(255*p{$2,$3}.b)]" \
        info:
}

# True when client pixel ($2,$3) of shot $1 has colour $4 ("r,g,b").
xg_pixel_is() { [[ $(xg_pixel "$1" "$2" "$3") == "$4" ]]; }

# Width of the box around the pixels of colour $6 ("r,g,b") inside the client rectangle
# x y w h of a shot; 0 when there are none.
xg_colour_width() {
    local count colour="rgb($6)"
    count=$(convert "$1" -crop "$4x$5+$2+$3" +repage -fill black +opaque "$colour" -fill white \
        -opaque "$colour" -format "%[fx:round(mean*w*h)]" info:)
    if [[ $count == 0 ]]; then
        echo 0
        return
    fi
    convert "$1" -crop "$4x$5+$2+$3" +repage -fill black +opaque "$colour" -trim -format "%w" info:
}

xg_band_shown() { xg_pixel_is "$1" "${XG_BAND_PROBE[@]}" "$XG_BAND_FILL"; }
xg_title_shown() { xg_pixel_is "$1" "${XG_TITLE[@]}" "$XG_TITLE_FILL"; }

# Width of the status text in shot $1; 0 when no band is shown.
xg_band_text_width() {
    if ! xg_band_shown "$1"; then
        echo 0
        return
    fi
    xg_colour_width "$1" "${XG_BAND_RECT[@]}" "$XG_STATUS_TEXT"
}
# Status text widths: "Stage1", and "Game Over!!".
xg_stage_width() { (($1 >= 85 && $1 <= 140)); }
xg_game_over_width() { (($1 >= 170 && $1 <= 270)); }

# The top row of the chick's body in shot $1 (it flies at x = 100), or 999 when it is not to be
# seen.
xg_chick_top() {
    local box
    box=$(convert "$1" -crop 60x326+70+0 +repage -fill black +opaque "rgb($XG_CHICK_BODY)" \
        -format "%@" info: 2>/dev/null || true)
    [[ $box =~ ^[0-9]+x[0-9]+\+[0-9]+\+([0-9]+)$ && $box != 0x0+* ]] && echo "${BASH_REMATCH[1]}" ||
        echo 999
}

# Milliseconds since the epoch.
xg_now_ms() { date +%s%3N; }

# Waits up to $1 seconds for the game to end; its exit code in XG_EXIT.
xg_wait_exit() {
    local deadline=$(($(xg_now_ms) + $1 * 1000))
    while kill -0 "$XG_GAME_PID" 2>/dev/null; do
        if (($(xg_now_ms) > deadline)); then
            return 1
        fi
        sleep 0.05
    done
    XG_EXIT=0
    wait "$XG_GAME_PID" || XG_EXIT=$?
    XG_GAME_PID=
}

# Starts openbox on the display and waits until it manages it.
xg_start_wm() {
    openbox --sm-disable --startup true >"$XG_DIR/wm.log" 2>&1 &
    XG_WM_PID=$!
    local i
    for i in $(seq 100); do
        if xdotool get_num_desktops >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.05
    done
    echo "openbox did not start: $(cat "$XG_DIR/wm.log")"
    return 1
}

xg_stop_display() {
    local pid
    for pid in ${XG_WM_PID:-} ${XG_XVFB_PID:-}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    XG_WM_PID=
    XG_XVFB_PID=
}

xg_cleanup() {
    if [[ -n ${XG_GAME_PID:-} ]]; then
        kill "$XG_GAME_PID" 2>/dev/null || true
        wait "$XG_GAME_PID" 2>/dev/null || true
    fi
    xg_stop_display
    if [[ -n ${XG_DIR:-} ]]; then
        rm -rf "$XG_DIR"
    fi
}
