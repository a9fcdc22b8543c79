#!/bin/sh
# Redraws the program's pictures into res/png with res/tools/MakeArtwork.cpp.
# Usage: scripts/make-artwork.sh [build directory]   (default: build-artwork
# next to the source tree). Commit res/png afterwards.
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/../build-artwork}
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANTA_ARTWORK=ON >/dev/null
cmake --build "$build" --target make-artwork
rm -f "$src"/res/png/*.png
"$build"/res/make-artwork "$src/res/png"
echo "pictures written to $src/res/png"
