#!/usr/bin/env bash
# `cmake --install` into a staging folder: every file lands where the desktop looks for it, and
# the desktop entry, metainfo and manual page pass their own validators.
# Usage: install_test.sh <build dir>. Exit code 77 (skipped) when a validator is missing.
set -u
build=$1
id=invalid.tolvane.Tolvane
for tool in desktop-file-validate appstreamcli file man convert; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR=$stage cmake --install "$build" --prefix /opt/tolvane >/dev/null || fail "cmake --install"
root=$stage/opt/tolvane

expected=(
    games/tolvane
    share/applications/$id.desktop
    share/doc/tolvane/changelog.gz
    share/doc/tolvane/copyright
    share/man/man6/tolvane.6.gz
    share/metainfo/$id.metainfo.xml
)
for size in 16 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
got=$(cd "$root" && find . -type f | sed 's|^\./||' | sort)
want=$(printf '%s\n' "${expected[@]}" | sort)
[[ $got == "$want" ]] || fail "installed files differ:
$(diff <(echo "$want") <(echo "$got"))"
echo "ok: ${#expected[@]} files under the prefix, nothing else"

[[ -x $root/games/tolvane ]] || fail "the game is not executable"
for size in 16 32 48 64 128 256; do
    info=$(file -b "$root/share/icons/hicolor/${size}x${size}/apps/$id.png")
    [[ $info == "PNG image data, $size x $size, 8-bit/color RGBA"* ]] ||
        fail "${size}x${size} icon is: $info"
done
# The 256-pixel icon decodes to the art scaled by 8: a transparent corner, the chick's black eye.
icon=$root/share/icons/hicolor/256x256/apps/$id.png
probe() { convert "$icon" -format "%[fx:round(255*p{$1,$2}.$3)]" info:; }
[[ $(probe 0 0 a) == 0 ]] || fail "the icon's corner is not transparent"
[[ $(probe 172 76 r),$(probe 172 76 a) == 0,255 ]] || fail "the icon's eye is not opaque black"
echo "ok: icons are RGBA PNGs of their folder's size, scaled from the art"

desktop-file-validate "$root/share/applications/$id.desktop" || fail "desktop entry"
grep -qx "Categories=Game;ArcadeGame;" "$root/share/applications/$id.desktop" ||
    fail "desktop entry categories"
grep -qx "Icon=$id" "$root/share/applications/$id.desktop" || fail "desktop entry icon"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" || fail "metainfo"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
    "$root/share/metainfo/$id.metainfo.xml" || fail "metainfo launchable"
echo "ok: desktop entry and metainfo are valid"

# The copyright file is machine-readable and grants the licence in LICENSE, word for word.
copyright=$root/share/doc/tolvane/copyright
format=https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
[[ $(head -n 1 "$copyright") == "Format: $format" ]] || fail "copyright: not machine-readable"
expat=$(awk -v RS= '/^License: Expat\n/' "$copyright" | tail -n +2 | sed 's/^ //; s/^\.$//')
license=$(tail -n +5 "$(dirname "$0")/../../LICENSE")
[[ $expat == "$license" ]] || fail "copyright: not LICENSE's text"
echo "ok: the copyright file grants LICENSE's licence"

warnings=$(MANWIDTH=80 man --warnings -l "$root/share/man/man6/tolvane.6.gz" 2>&1 >/dev/null)
[[ -z $warnings ]] || fail "manual page warnings: $warnings"
echo "ok: the manual page renders without warnings"
