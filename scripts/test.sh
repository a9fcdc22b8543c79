#!/usr/bin/env bash
# Builds and runs every test: a normal build, then the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the end-to-end tests
# under ThreadSanitizer, then the Windows build's tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --windows

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

# run_suite DIR [cmake options...]; BUILD_TARGETS limits what is built,
# CTEST_ARGS what is run.
run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  local targets=()
  for t in ${BUILD_TARGETS:-}; do targets+=(--target "$t"); done
  cmake --build "$dir" -j"$jobs" "${targets[@]}"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout 300 ${CTEST_ARGS:-}
}

echo "== tests"
run_suite build-test -DCMAKE_BUILD_TYPE=Debug

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DORVANTA_SANITIZE=ON -DORVANTA_BENCH=OFF

echo "== end-to-end tests under ThreadSanitizer"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" CTEST_ARGS="-L e2e" \
  BUILD_TARGETS="quorvel-sim orv_e2e_live_tests orv_e2e_flash_tests" \
  run_suite build-tsan -DCMAKE_BUILD_TYPE=Debug -DORVANTA_TSAN=ON -DORVANTA_BENCH=OFF

echo "== the Windows build (MinGW-w64) under Wine"
started=$SECONDS
# A cold Wine prefix takes half a minute; made here, before any test's clock runs.
scripts/wine-run.sh --prefix >/dev/null
run_suite build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Debug \
  -DORVANTA_NATIVE_SIM="$PWD/build-test/sim/quorvel-sim"
echo "Windows build and Wine tests: $((SECONDS - started)) s"
