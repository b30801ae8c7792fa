#!/usr/bin/env bash
# Runs a Windows program under Wine, in a Wine prefix of its own that the first run makes:
#   wine.sh <prefix folder> <program.exe> [arguments...]
# The Windows build's emulator (CTest runs its tests through it) and its game's launcher in
# the real-window tests. Wine says nothing of its own unless WINEDEBUG asks.
set -eu
export WINEPREFIX=$(realpath -m "$1")
shift
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko (nothing here needs them, and their installers would ask for them), no
# desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    mkdir -p "$WINEPREFIX"
    # Tests started at once wait for the one that makes the prefix.
    (
        flock 9
        [[ -f $WINEPREFIX/system.reg ]] || DISPLAY='' "$wine" wineboot -i >/dev/null 2>&1
    ) 9>"$WINEPREFIX.lock"
fi
exec "$wine" "$@"
