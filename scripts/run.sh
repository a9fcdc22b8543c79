#!/usr/bin/env bash
# Builds Orvanta and starts it against the simulated unit: press CONNECT.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTA_BENCH=OFF >/dev/null
cmake --build build --target orvanta quorvel-sim
exec build/app/orvanta --simulate "$@"
