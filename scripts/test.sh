#!/usr/bin/env bash
# Builds and runs every test: a Release build as the Debian package is built
# (scripts/package.sh: the package and its checks, then every test against
# that build), then the same tests in Debug under AddressSanitizer and
# UndefinedBehaviorSanitizer built with Clang (every target, so Clang's
# warnings are seen too), then the end-to-end tests under ThreadSanitizer,
# then the Windows build's tests under Wine. ORVANTA_INSTALL_PACKAGE=1 (CI
# sets it) also installs the package into this machine, starts it and
# purges it.
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

echo "== Release: the Debian package, then every test"
scripts/package.sh ${ORVANTA_INSTALL_PACKAGE:+--install} build-release
# No options: the build keeps the configuration package.sh gave it.
run_suite build-release

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer, built with Clang"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-asan-clang -DCMAKE_BUILD_TYPE=Debug -DORVANTA_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++

echo "== end-to-end tests under ThreadSanitizer"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" CTEST_ARGS="-L e2e" \
  BUILD_TARGETS="quorvel-sim orv_e2e_live_tests orv_e2e_flash_tests" \
  run_suite build-tsan -DCMAKE_BUILD_TYPE=Debug -DORVANTA_TSAN=ON -DORVANTA_BENCH=OFF

echo "== the Windows build (MinGW-w64) under Wine"
started=$SECONDS
# A cold Wine prefix takes half a minute; made here, before any test's clock runs.
scripts/wine-run.sh --prefix >/dev/null
run_suite build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Debug \
  -DORVANTA_NATIVE_SIM="$PWD/build-release/sim/quorvel-sim"
echo "Windows build and Wine tests: $((SECONDS - started)) s"

