#!/usr/bin/env bash
# Takes the README's picture: Orvanta under Xvfb, connected to the simulated
# unit, after a few seconds of live data. Writes docs/orvanta.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
for p in xdotool imagemagick; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || {
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$p"
  }
done
build=$(realpath -m "${1:-build}")
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTA_BENCH=OFF >/dev/null
cmake --build "$build" --target orvanta

display=:77
Xvfb $display -screen 0 400x400x24 >/dev/null 2>&1 &
xvfb=$!
settings=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$settings"' EXIT
export DISPLAY=$display XDG_CONFIG_HOME=$settings
sleep 1
(cd "$settings" && exec "$build/app/orvanta" --simulate) &
app=$!
win=""
for _ in $(seq 50); do
  win=$(xdotool search --name 'disconnected' 2>/dev/null | head -1) && [ -n "$win" ] && break
  sleep 0.2
done
[ -n "$win" ] || { echo "no window" >&2; exit 1; }
xdotool windowmove "$win" 0 0
sleep 0.5
xdotool mousemove --window "$win" 255 142 click 1   # CONNECT
sleep 1
xdotool mousemove --window "$win" 255 266 click 1   # DISPLAY: transducers 9-15
sleep 1
xdotool mousemove --window "$win" 255 266 click 1   # DISPLAY: SONAR
sleep 4
xdotool mousemove --window "$win" 300 300
import -window "$win" docs/orvanta.png
echo "wrote docs/orvanta.png"
