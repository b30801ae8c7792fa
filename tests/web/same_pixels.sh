#!/usr/bin/env bash
# same_pixels.sh <native scene_dump> <node command...>: the browser build draws the title
# screen and a game scene pixel for pixel as the desktop build does. 77: no desktop build.
set -euo pipefail
native=$1
shift
[[ -x $native ]] || { echo "no desktop build at $native"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$native" 20 >"$dir/native" 2>"$dir/native.time"
"$@" 20 >"$dir/web" 2>"$dir/web.time"
if ! cmp -s "$dir/native" "$dir/web"; then
    echo "the pictures differ:"
    diff "$dir/native" "$dir/web" | head -c 2000
    exit 1
fi
echo "identical: $(grep -c '^[0-9A-F]' "$dir/native") rows; desktop $(cat "$dir/native.time"), web $(cat "$dir/web.time")"
