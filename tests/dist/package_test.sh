#!/usr/bin/env bash
# The Debian package: built by CPack, lintian-clean, with the right control fields, and the game
# it carries starts to its title screen from where the package puts it.
# Usage: package_test.sh <build dir>. Exit code 77 (skipped) when a packaging tool is missing.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$1
for tool in cpack dpkg-deb dpkg-shlibdeps lintian readelf; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
source "$here/../e2e/xgame.sh"
xg_require >/dev/null || { echo "SKIPPED: $(xg_require)"; exit 77; }
work=$(mktemp -d)
trap 'xg_cleanup; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) ||
    fail "cpack: $(cat "$work/cpack.log")"
debs=("$work"/tolvane_*_*.deb)
[[ -f ${debs[0]} ]] || fail "no tolvane_<version>_<arch>.deb in: $(ls "$work")"
deb=${debs[0]}
echo "ok: $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Section) == games ]] || fail "Section is $(field Section)"
[[ -n $(field Maintainer) ]] || fail "no Maintainer"
for dep in fonts-ipafont-gothic libsdl2-2.0-0 libfreetype6 libfontconfig1 libc6; do
    [[ ", $(field Depends)," == *", $dep"[\ ,]* ]] || fail "Depends lacks $dep: $(field Depends)"
done
echo "ok: section games, depends on $(field Depends)"

lintian --display-info --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
problems=$(grep -E '^[EW]:|hardening-|binary-has-unneeded-section' "$work/lintian.log")
[[ -z $problems ]] || fail "lintian: $problems"
echo "ok: lintian reports no errors, warnings or hardening hints"

# Made a second later from the same build, the package has the same bytes.
sleep 1
(cd "$build" && cpack -G DEB -B "$work/again" >/dev/null 2>&1) || fail "second cpack"
cmp "$deb" "$work/again/${deb##*/}" || fail "a second cpack of the same build differs"
echo "ok: a second cpack gives the same bytes"

dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x"
game=$work/root/usr/games/tolvane
[[ -x $game ]] || fail "no /usr/games/tolvane in the package"
# Hardened: position-independent, relocations read-only and bound at start, stack protector,
# fortified functions.
elf=$(readelf -lW --dynamic --dyn-syms "$game")
for mark in 'Flags: NOW PIE' GNU_RELRO '__stack_chk_fail@' '__[a-z]+_chk@'; do
    grep -qE "$mark" <<<"$elf" || fail "the packaged game lacks $mark"
done
echo "ok: the packaged game is hardened"
xg_start_display || fail "no X server"
cd / && xg_launch "$game" || fail "the packaged game opened no window"
xg_move "${XG_CLEAR[@]}"
sleep 0.3
xg_shot "$work/title.png"
xg_title_shown "$work/title.png" || fail "no title screen"
xg_click "${XG_EXIT_BUTTON[@]}"
xg_wait_exit 5 || fail "Exit did not end the game"
[[ $XG_EXIT == 0 ]] || fail "exit status $XG_EXIT"
echo "ok: the packaged game shows its title screen and exits 0"
