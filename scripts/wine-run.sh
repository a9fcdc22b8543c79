#!/usr/bin/env bash
# Runs a Windows console program under Wine, headless and bounded:
#
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]   the program's exit status
#   scripts/wine-run.sh --prefix                prints the Wine prefix
#
# The cross build's tests run through here (CMAKE_CROSSCOMPILING_EMULATOR).
# The prefix is Orvanta's own ($ORVANTA_WINEPREFIX, else ~/.cache/orvanta/wine),
# made on first use with no Mono or Gecko prompt, no crash dialog and no
# desktop entries. No display is used: DISPLAY is cleared, so nothing can
# open a window that waits for a click. Every run ends within
# $ORVANTA_WINE_TIMEOUT seconds (default 300), killed if need be.
set -euo pipefail

wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
wineserver=$(command -v wineserver || true)
[ -n "$wineserver" ] || wineserver=/usr/lib/wine/wineserver
if [ ! -x "$wine" ]; then
  echo "wine-run: no wine64 (apt-get install wine64)" >&2
  exit 127
fi

export WINEPREFIX=${ORVANTA_WINEPREFIX:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/orvanta/wine}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY
limit=${ORVANTA_WINE_TIMEOUT:-300}

bounded() { timeout --kill-after=10 "$limit" "$@"; }

# A cold prefix takes Wine half a minute to make. Two tests starting at once
# must not both make it: the first holds the lock, the second waits for it.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock -w "$limit" 9
if [ ! -f "$WINEPREFIX/.orvanta-ready" ]; then
  rm -rf "$WINEPREFIX"
  log=$(dirname "$WINEPREFIX")/wineboot.log
  bounded "$wine" wineboot --init >"$log" 2>&1 || true
  bounded "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$log" 2>&1
  bounded "$wineserver" -w
  touch "$WINEPREFIX/.orvanta-ready"
fi
# The server and the session's own services (services.exe, winedevice.exe,
# ...) are started here, apart from any test, with their output in a log:
# started by a test, they would hold its output pipe open after it ended,
# and ctest would wait for them. The server stays 30 s after its last program.
log=$WINEPREFIX/wineserver.log
if bounded "$wineserver" -p30 </dev/null >>"$log" 2>&1; then
  bounded "$wine" cmd.exe /c exit </dev/null >>"$log" 2>&1 || true
fi
flock -u 9
exec 9>&-

if [ "${1:-}" = "--prefix" ]; then
  echo "$WINEPREFIX"
  exit 0
fi
bounded "$wine" "$@"
