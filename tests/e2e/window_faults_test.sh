#!/usr/bin/env bash
# The built game against what only a real X server, a window manager and many repetitions
# bring out, each with and without a window manager (openbox):
#   - the About box opened and closed during play, the keyboard focus back on the main window
#     after each close;
#   - without a manager, every way out (Exit, Escape, Alt+F4, SIGTERM, SIGINT) at the title
#     and during play, each ending with status 0, and Alt+F4 with the system menu open;
#   - the X server killed during play: the game's own line and status 1, nothing else;
#   - a 320x240 screen, no fonts, a dead Wayland socket, the worker's wake-ups during play.
# And with openbox, the exit matrix: every way out (Exit, Escape, Alt+F4, the manager's close,
# SIGTERM, SIGINT) in every phase (title, announcement, play, Game Over, the final pause,
# About box open, system menu open), each ending with status 0 within 1 s of the action and
# nothing on stderr. Exit is the title's button, so it is taken only there; Escape and Alt+F4
# with the About box or the menu open first close that, and a second one ends the game.
# Usage: window_faults_test.sh <tolvane> <About cycles> <quits per way> <display kills>
#            <exits per way> <displays>
# the first three counts for each of the two set-ups; the matrix takes each way out <exits
# per way> times (at least once in each phase), on that many X servers at once.
# Exit code 77 (skipped) when Xvfb, xdotool, ImageMagick or openbox is missing.
set -u
# Job control: a background job of a script without it ignores SIGINT, and so would the game.
set -m
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xgame.sh"
trap xg_cleanup EXIT
# Only reports count: the list of suppressions used is not one.
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export TSAN_OPTIONS="suppressions=$here/tsan.supp:print_suppressions=0${TSAN_OPTIONS:+:$TSAN_OPTIONS}"
game=$1
about_cycles=$2
quits=$3
kills=$4
exits=${5:-10}
displays=${6:-2}

if ! missing=$(xg_require) || ! missing=$(command -v openbox >/dev/null || echo "openbox is not installed") ||
    ! missing=$(command -v wmctrl >/dev/null || echo "wmctrl is not installed"); then
    echo "SKIPPED: $missing"
    exit 77
fi
fail() {
    echo "FAIL: $*"
    [[ -s ${XG_DIR:-/nonexistent}/game.log ]] && echo "game output: $(cat "$XG_DIR/game.log")"
    exit 1
}
XG_DIR=$(mktemp -d)

ABOUT_CAPTION='^Tolvane.'  # "Tolvaneのﾊﾞｰｼﾞｮﾝ情報"; the main window is "Tolvane"

# Until the keyboard focus is on the main window (at most 2 s).
focus_on_main() {
    local i
    for i in $(seq 40); do
        [[ $(xdotool getwindowfocus 2>/dev/null) == "$XG_WIN" ]] && return 0
        sleep 0.05
    done
    return 1
}

about_cycles() {  # wm
    xg_launch "$game" || fail "no window ($1)"
    local i
    for i in $(seq "$about_cycles"); do
        xg_click "${XG_START_BUTTON[@]}"  # starts a game at the title, flaps during play
        xdotool key shift+F10 a
        timeout 3 xdotool search --sync --onlyvisible --name "$ABOUT_CAPTION" >/dev/null ||
            fail "the About box did not open in cycle $i ($1)"
        xdotool key Escape
        focus_on_main || fail "no keyboard focus on the main window after cycle $i ($1)"
        kill -0 "$XG_GAME_PID" 2>/dev/null || break
    done
    xdotool key Escape
    xg_wait_exit 5 || fail "Escape did not end the game after the About cycles ($1)"
    ((XG_EXIT == 0)) || fail "status $XG_EXIT after $i About cycles ($1)"
    echo "ok: $about_cycles About cycles during play, then Escape: status 0 ($1)"
}

quit_by() {  # way
    case $1 in
        exit) xg_click "${XG_EXIT_BUTTON[@]}" ;;
        escape) xdotool key Escape ;;
        alt+f4) xdotool key alt+F4 ;;
        close) wmctrl -i -c "$XG_WIN" ;;  # as the title bar's close box asks the manager
        sigterm) kill -TERM "$XG_GAME_PID" ;;
        sigint) kill -INT "$XG_GAME_PID" ;;
    esac
}

quits() {  # wm
    # Keys and clicks need a shown window with the focus, not its first picture.
    local XG_SETTLE=0.1
    local way i phase
    for way in exit escape alt+f4 sigterm sigint; do
        for i in $(seq "$quits"); do
            phase=title
            xg_launch "$game" || fail "no window ($way, $1)"
            # Every other launch quits during play; Exit is a title-screen button.
            if ((i % 2 == 0)) && [[ $way != exit ]]; then
                phase=play
                xg_click "${XG_START_BUTTON[@]}"
            fi
            quit_by "$way"
            xg_wait_exit 5 || fail "$way at the $phase did not end the game in 5 s ($1)"
            ((XG_EXIT == 0)) || fail "$way at the $phase: status $XG_EXIT in quit $i ($1)"
        done
        echo "ok: $quits quits by $way, half of them during play: status 0 ($1)"
    done
}

# Alt+F4 reaches the game itself only without a window manager.
menu_alt_f4() {
    xg_launch "$game" || fail "no window (menu)"
    xdotool key shift+F10
    sleep 0.2
    xdotool key alt+F4
    sleep 0.3
    kill -0 "$XG_GAME_PID" 2>/dev/null || fail "Alt+F4 with the system menu open ended the game"
    xdotool key alt+F4
    xg_wait_exit 3 || fail "a second Alt+F4 after the menu closed did not end the game"
    ((XG_EXIT == 0)) || fail "Alt+F4 after the menu closed: status $XG_EXIT"
    echo "ok: Alt+F4 with the system menu open closes the menu, a second one the window"
}

# --- The exit matrix ------------------------------------------------------------------------

PHASES=(title announcement play game_over final_pause about menu)

# Brings the game just launched to phase $1.
reach_phase() {
    case $1 in
        announcement)
            xg_click "${XG_START_BUTTON[@]}"
            sleep 0.3  # "Stage1" shows for 2 s
            ;;
        play)
            xg_click "${XG_START_BUTTON[@]}"
            sleep 3  # "Go!!" ends 2.5 s after the click; left alone the chick falls out at 5 s
            ;;
        game_over | final_pause)
            xg_click "${XG_START_BUTTON[@]}"
            local from width
            from=$(xg_now_ms)
            while :; do
                (($(xg_now_ms) - from < 20000)) || return 1
                xg_shot "$XG_DIR/phase.png"
                width=$(xg_band_text_width "$XG_DIR/phase.png")
                xg_game_over_width "$width" && break
            done
            # "Game Over!!" stays through the final pause, 2 s before the title returns.
            if [[ $1 == final_pause ]]; then
                sleep 1.2
            fi
            ;;
        about)
            xdotool key shift+F10 a
            timeout 3 xdotool search --sync --onlyvisible --name "$ABOUT_CAPTION" >/dev/null
            ;;
        menu)
            xdotool key shift+F10
            sleep 0.2
            ;;
    esac
}

# One way out at one phase; prints the milliseconds from the action to the game's end, or
# the failure.
exit_at() {  # way phase
    xg_launch "$game" || { echo "FAIL: no window ($1 at $2)"; return 1; }
    reach_phase "$2" || { echo "FAIL: the game never reached the $2 ($1)"; return 1; }
    if [[ $1 == escape || $1 == alt+f4 ]] && [[ $2 == about || $2 == menu ]]; then
        quit_by "$1"
        sleep 0.3
        if ! kill -0 "$XG_GAME_PID" 2>/dev/null; then
            echo "FAIL: $1 with the $2 open ended the game instead of closing the $2"
            return 1
        fi
        if [[ $2 == about ]] && ! focus_on_main; then
            echo "FAIL: $1 did not close the About box, or the focus did not return"
            return 1
        fi
    fi
    local from ms
    from=$(xg_now_ms)
    quit_by "$1"
    xg_wait_exit 5 || { echo "FAIL: $1 at the $2 did not end the game in 5 s"; return 1; }
    ms=$(($(xg_now_ms) - from))
    if ((XG_EXIT != 0 || ms > 1000)) || [[ -s $XG_DIR/game.log ]]; then
        echo "FAIL: $1 at the $2: status $XG_EXIT after $ms ms; output: $(cat "$XG_DIR/game.log")"
        return 1
    fi
    echo "$1 $2 $ms"
}

# Every way out in every phase where it exists, then again in the quick phases up to the
# count of each way.
matrix_cases() {
    local way phase k quick=(title about menu announcement)
    for way in escape alt+f4 close sigterm sigint; do
        for phase in "${PHASES[@]}"; do
            echo "$way $phase"
        done
        for ((k = ${#PHASES[@]}; k < exits; k++)); do
            echo "$way ${quick[k % 4]}"
        done
    done
    for ((k = 0; k < exits; k++)); do
        echo "exit title"
    done
}

# Plays every n-th case from the k-th on, on an X server and window manager of its own.
matrix_part() {  # k n cases out
    set -m
    trap xg_cleanup EXIT
    XG_DIR=$(mktemp -d)
    xg_start_display >"$4" || return 1
    xg_start_wm >>"$4" || return 1
    local XG_SETTLE=0.1 i=0 way phase
    while read -r way phase; do
        ((i++ % $2 == $1)) || continue
        exit_at "$way" "$phase" >>"$4" || return 1
    done <"$3"
}

exit_matrix() {
    local t0 k pid pids=() failed=0
    t0=$(xg_now_ms)
    matrix_cases >"$XG_DIR/cases"
    for ((k = 0; k < displays; k++)); do
        matrix_part "$k" "$displays" "$XG_DIR/cases" "$XG_DIR/matrix.$k" &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do
        wait "$pid" || failed=1
    done
    cat "$XG_DIR"/matrix.* | grep '^FAIL' && failed=1
    ((failed == 0)) || fail "the exit matrix failed"
    local way
    for way in exit escape alt+f4 close sigterm sigint; do
        awk -v way="$way" '$1 == way {n++; if ($3 > most) most = $3; phases[$2] = 1}
            END {k = 0; for (p in phases) k++
                 printf "ok: %d exits by %s in %d phases, status 0, the slowest %d ms\n", n, way, k, most}' \
            "$XG_DIR"/matrix.*
    done
    echo "(exit matrix on $displays displays: $(($(xg_now_ms) - t0)) ms)"
}

# Voluntary context switches per second, over $1 s, of the game's threads not named in
# $2 (those that ran before play: the interface thread, and a sanitizer's own).
worker_wakeups_per_s() {
    sum() {
        local t total=0
        for t in /proc/"$XG_GAME_PID"/task/*; do
            [[ " $2 " == *" ${t##*/} "* ]] && continue
            total=$((total + $(awk '/^voluntary_ctxt_switches/ {print $2}' "$t/status" 2>/dev/null || echo 0)))
        done
        echo "$total"
    }
    local before after
    before=$(sum "$1" "$2")
    sleep "$1"
    after=$(sum "$1" "$2")
    echo $(((after - before) / $1))
}

wakeups() {
    xg_launch "$game" || fail "no window (wake-ups)"
    local before_play
    before_play=$(ls /proc/"$XG_GAME_PID"/task | tr '\n' ' ')
    xg_click "${XG_START_BUTTON[@]}"
    sleep 0.5
    local rate
    rate=$(worker_wakeups_per_s 4 "$before_play")
    ((rate < 10)) || fail "the worker woke $rate times a second during play"
    echo "ok: the worker wakes $rate times a second during play"
    xdotool key Escape
    xg_wait_exit 5 || fail "Escape did not end the game (wake-ups)"
}

kill_display() {  # wm n
    local restart=$2
    xg_launch "$game" || fail "no window (kill $restart, $1)"
    xg_click "${XG_START_BUTTON[@]}"
    # From the announcement into the frames; every other time with the About box open.
    sleep "$(awk -v n="$restart" 'BEGIN {print 0.3 + (n % 5) * 0.7}')"
    if ((restart % 2 == 0)); then
        xdotool key shift+F10 a
        timeout 3 xdotool search --sync --onlyvisible --name "$ABOUT_CAPTION" >/dev/null ||
            fail "the About box did not open before the display was killed ($1)"
    fi
    kill "$XG_XVFB_PID"
    wait "$XG_XVFB_PID" 2>/dev/null
    XG_XVFB_PID=
    xg_wait_exit 10 || fail "the game still runs 10 s after its display died ($1)"
    ((XG_EXIT == 1)) || fail "status $XG_EXIT after the display died ($1)"
    local expected="tolvane: the connection to the display was lost; the game ended"
    [[ $(cat "$XG_DIR/game.log") == "$expected" ]] ||
        fail "after the display died, the output is not just the game's line ($1)"
    xg_stop_display
}

with_display() {  # wm-or-not function args...
    local wm=$1
    shift
    xg_start_display || fail "no X server"
    if [[ $wm == wm ]]; then
        xg_start_wm || fail "no window manager"
    fi
    "$@"
    xg_stop_display
}

# WF_ONLY="about quits ..." runs only those parts; WF_WM="none" or "wm" only one set-up.
wanted() { [[ " ${WF_ONLY:-matrix about quits kills menu wakeups small wayland fonts} " == *" $1 "* ]]; }

# First, while the machine is least busy with this test's own games: the 1 s limit.
wanted matrix && exit_matrix
for wm in ${WF_WM:-none wm}; do
    t0=$(xg_now_ms)
    wanted about && with_display "$wm" about_cycles "$wm"
    # With the manager, the matrix takes every way out.
    [[ $wm == none ]] && wanted quits && with_display "$wm" quits "$wm"
    if wanted kills; then
        for n in $(seq "$kills"); do
            with_display "$wm" kill_display "$wm" "$n"
        done
        echo "ok: $kills display kills during play: the game's line and status 1 ($wm)"
    fi
    echo "($wm: $(($(xg_now_ms) - t0)) ms)"
done
wanted menu && with_display none menu_alt_f4
# A sanitizer's slow paints keep the worker waiting for locks: wake-ups that are no polling.
if [[ -n ${WF_SANITIZED:-} ]]; then
    echo "not measured in a sanitizer build: the worker's wake-ups"
elif wanted wakeups; then
    with_display none wakeups
fi

# A screen smaller than the window: its top-left corner stays on the screen. One 810 rows
# high: scale 2's 718 rows fit within nine tenths of it (729) without a frame, not with
# openbox's 21 rows. Each case: the screen, the scale without a manager and with openbox.
for case in 320x240:1:1 1280x810:2:1; do
    IFS=: read -r screen bare framed <<<"$case"
    for wm in ${WF_WM:-none wm}; do
        wanted small || break 2
        XG_SCREEN=${screen}x24 xg_start_display || fail "no X server of $screen"
        [[ $wm == wm ]] && { xg_start_wm || fail "no window manager"; }
        xg_launch "$game" || fail "no window on the $screen screen ($wm)"
        eval "$(xdotool getwindowgeometry --shell "$XG_WIN")"
        scale=$([[ $wm == wm ]] && echo "$framed" || echo "$bare")
        ((X >= 0 && Y >= 0 && XG_SCALE == scale)) ||
            fail "the window lies at ($X,$Y), scale $XG_SCALE, on a $screen screen ($wm)"
        echo "ok: on a $screen screen the window lies at ($X,$Y), scale $scale ($wm)"
        xdotool key Escape
        xg_wait_exit 5 || fail "Escape did not end the game on the $screen screen ($wm)"
        xg_stop_display
    done
done

# No display at all: only the game's own line, also when a Wayland socket is named.
if wanted wayland; then
    for wayland in wayland-dead /nonexistent/wayland-0; do
        env -u DISPLAY -u XDG_RUNTIME_DIR WAYLAND_DISPLAY="$wayland" "$game" >"$XG_DIR/game.log" 2>&1
        status=$?
        lines=$(wc -l <"$XG_DIR/game.log")
        ((status == 1 && lines == 1)) && grep -q '^tolvane: cannot open a window' "$XG_DIR/game.log" ||
            fail "with WAYLAND_DISPLAY=$wayland and no X: status $status, $lines lines"
    done
    echo "ok: a dead Wayland display and no X give the game's one line"
fi

# No fonts: one line naming the font package, status 1, before any window.
if wanted fonts; then
    mkdir -p "$XG_DIR/nofonts/cache"
    cat >"$XG_DIR/nofonts/fonts.conf" <<EOF
<?xml version="1.0"?>
<fontconfig><dir>$XG_DIR/nofonts</dir><cachedir>$XG_DIR/nofonts/cache</cachedir></fontconfig>
EOF
    xg_start_display || fail "no X server"
    FONTCONFIG_FILE="$XG_DIR/nofonts/fonts.conf" timeout 5 "$game" >"$XG_DIR/game.log" 2>&1
    status=$?
    ((status == 1)) && [[ $(wc -l <"$XG_DIR/game.log") == 1 ]] &&
        grep -q 'fonts-ipafont-gothic' "$XG_DIR/game.log" ||
        fail "without fonts: status $status"
    echo "ok: without fonts the game names the font package and ends with status 1"
fi
