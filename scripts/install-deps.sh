#!/usr/bin/env bash
# Installs what Orvanta needs to build, run and test on Debian 12; with
# --windows also what the Windows build under Wine needs.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev  # compilers, Clang's sanitizers
  qt6-base-dev libgl-dev                        # Qt 6 Widgets
  libgtest-dev                                  # tests
  srecord                                       # Intel HEX checks in the flash tests
  xvfb xauth fonts-dejavu-core                  # the screenshot and message-box text
  dpkg-dev file lintian                         # the Debian package: shlibdeps, checks
  desktop-file-utils appstream                  # its desktop entry and metainfo checks
)
if [ "${1:-}" = "--windows" ]; then
  packages+=(
    g++-mingw-w64-x86-64-posix                  # the Windows cross compiler
    googletest                                  # GoogleTest's sources, built for Windows
    wine64                                      # runs the Windows tests
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
