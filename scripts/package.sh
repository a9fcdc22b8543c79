#!/usr/bin/env bash
# Builds Orvanta's Debian package and checks it as a packager and a user
# would: lintian, desktop-file-validate and appstreamcli pass; apt can
# resolve its dependencies; the programs start from the installed paths of
# an unpacked copy; the manual pages name every option the programs know.
#
# Usage: scripts/package.sh [--install] [build directory]   (default build-release)
#   --install  also install it into this machine with apt, start the programs
#              from /usr/bin and purge it again, leaving nothing behind
#              (needs root or sudo; CI does this on its fresh machine)
# Leaves orvanta_<version>_<arch>.deb in the build directory.
set -euo pipefail
cd "$(dirname "$0")/.."
install=false
if [ "${1:-}" = --install ]; then install=true; shift; fi
build=${1:-build-release}
scripts/install-deps.sh

# Dates inside the package follow the last commit: the same sources give
# the same package.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git rev-parse --git-dir >/dev/null 2>&1; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
  export SOURCE_DATE_EPOCH
fi

# Release with Debian's hardening flags; the build type chooses the
# optimisation, and the package is stripped, so -O2 and -g are left out.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP="-O2 -g"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" --target orvanta orvanta-flash quorvel-sim orvanta_dist
rm -f "$build"/orvanta_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(realpath "$build"/orvanta_*.deb)
version=$(dpkg-deb -f "$deb" Version)
echo "== $(basename "$deb"): Depends: $(dpkg-deb -f "$deb" Depends)"

echo "== lintian"
lintian --fail-on error "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null

echo "== dependencies resolve"
apt-get install --simulate -qq "$deb" >/dev/null

fail() { echo "package check: $*" >&2; exit 1; }

# start [NAME=VALUE...] BIN ARGS...: runs an installed program with no
# display at hand; leaves its stdout, stderr and status in $out, $err and
# $status.
start() {
  local errfile
  errfile=$(mktemp)
  status=0
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" 2>"$errfile") || status=$?
  err=$(cat "$errfile")
  rm -f "$errfile"
}

# check_programs DIR: the programs in DIR/usr/bin as a user meets them.
check_programs() {
  local bin=$1/usr/bin
  start "$bin/orvanta" --version
  [ "$status" = 0 ] && [ "$out" = "orvanta $version" ] || fail "orvanta --version: $status '$out' '$err'"
  start "$bin/quorvel-sim" --help
  [ "$status" = 0 ] && [[ "$out" == usage:\ quorvel-sim* ]] || fail "quorvel-sim --help: $status '$err'"
  for program in quorvel-sim orvanta-flash; do
    start "$bin/$program" --version
    [ "$out" = "$program $version" ] || fail "$program --version: '$out'"
  done
  # No display named, and one named that is not there: one line, status 1.
  for display in "" DISPLAY=:7913; do
    start $display "$bin/orvanta"
    [ "$status" = 1 ] && [[ -n $err && $err != *$'\n'* ]] || fail "orvanta without a display ($display): $status '$err'"
  done
}

echo "== programs start from the unpacked package"
check_programs "$root"

# Every option and hyphenated name (the faults) a program's --help gives is
# in its manual page.
for program in orvanta orvanta-flash quorvel-sim; do
  page=$(zcat "$root/usr/share/man/man1/$program.1.gz" | sed 's/\\-/-/g')
  help=$("$root/usr/bin/$program" --help)
  for name in $( (grep -oE -- '(^|[ [,])--?[a-zA-Z][a-z-]*' <<<"$help" | grep -oE -- '--?[a-zA-Z][a-z-]*'
                  grep -oE -- '(^|[ ,])[a-z]+(-[a-z]+)+' <<<"$help" | tr -d ' ,') | sort -u); do
    grep -qF -- "$name" <<<"$page" || fail "$program(1) does not describe $name"
  done
done

if $install; then
  echo "== installed into this machine, started, purged"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq "$deb" >/dev/null
  files=$(dpkg -L orvanta | while read -r f; do [ -f "$f" ] && echo "$f"; done)
  check_programs /
  $sudo apt-get -o DPkg::Lock::Timeout=900 purge -y -qq orvanta >/dev/null
  for f in $files; do [ ! -e "$f" ] || fail "$f left behind after purge"; done
fi
echo "package ok: $deb"
