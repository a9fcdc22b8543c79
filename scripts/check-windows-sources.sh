#!/usr/bin/env bash
# Checks that the sources a Windows build compiles without Qt are sound
# Windows C++: each is compiled for x86_64 Windows with the MinGW-w64 cross
# compiler under the project's warning flags, and the port layer is linked
# into a DLL so that nothing it calls is left undefined. Installs the cross
# compiler when it is missing. Not part of the test run.
#
# The window code needs Qt for Windows, which this does not have: of it,
# only the two Windows files that use nothing but Qt are checked, against
# this machine's own Qt headers.
set -euo pipefail
cd "$(dirname "$0")/.."

cxx=x86_64-w64-mingw32-g++-posix
if ! command -v "$cxx" >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends g++-mingw-w64-x86-64-posix
fi

flags=(-std=c++17 -Wall -Wextra -Wpedantic -Werror -I"$PWD")

sources=(
  serial/PortWin32.cpp serial/Port.cpp serial/PortNames.cpp serial/Drain.cpp
  serial/UnitCommands.cpp serial/StatusText.cpp
  serial/{LinkWatch,Reconnect,ReceiveLoop,OpenLine,OpenFailure,DeviceFactsWin32}.cpp
  common/{Crc16,LineReader,Text,RegularFileWin32}.cpp
  display/{Glyphs,DisplayModel,Decoder,PageFile,NumberText}.cpp
  capture/CaptureRecord.cpp
  flash/{FlashImage,OcdCommands,Readback}.cpp
  app/SettingsRules.cpp app/IniText.cpp app/PlatformWin32.cpp
)
# The port layer and what it needs, linked as Windows links it.
port_layer=(serial/PortWin32.cpp serial/Port.cpp serial/PortNames.cpp serial/Drain.cpp common/Text.cpp
  serial/LinkWatch.cpp serial/Reconnect.cpp serial/ReceiveLoop.cpp serial/OpenLine.cpp serial/OpenFailure.cpp
  serial/DeviceFactsWin32.cpp)
# Windows files that need nothing but Qt.
qt_only=(app/WindowQueueWin32.cpp app/SimulatedUnitWin32.cpp)

failed=0
check() {
  local what=$1; shift
  if "$@"; then
    echo "ok    $what"
  else
    echo "FAIL  $what"
    failed=1
  fi
}

for f in "${sources[@]}"; do
  check "$f" "$cxx" "${flags[@]}" -fsyntax-only "$f"
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
check "port layer links (no undefined symbol)" \
  "$cxx" "${flags[@]}" -shared -Wl,--no-undefined -o "$scratch/orv_serial.dll" "${port_layer[@]}"

if qt_flags=$(pkg-config --cflags Qt6Widgets 2>/dev/null); then
  for f in "${qt_only[@]}"; do
    check "$f (host compiler, this machine's Qt headers)" \
      c++ "${flags[@]}" -fPIC -fsyntax-only ${qt_flags//-I/-isystem } "$f"
  done
else
  echo "skip  ${qt_only[*]}: no Qt 6 headers here"
fi

echo "Not checked: the window code (Qt for Windows is not available here)."
exit $failed
