#!/usr/bin/env bash
# Runs a Windows program under Wine with the simulated unit on a COM port:
#
#   scripts/wine-with-sim.sh QUORVEL-SIM COMn "UNIT OPTIONS" PROGRAM.exe [ARGS...]
#
# QUORVEL-SIM is the simulator built for this machine. Its pseudo-terminal
# becomes COMn of the Wine prefix (the link dosdevices/comn, made by the
# simulator's --link and removed when it stops); the program finds the
# port's name, \\.\COMn, in ORVANTA_TEST_COM. The unit is stopped when the
# program ends, and neither may take longer than scripts/wine-run.sh allows.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sim=$1
com=$2
read -r -a unit <<<"$3"
shift 3

prefix=$("$here/wine-run.sh" --prefix)
link="$prefix/dosdevices/${com,,}"

coproc SIM { exec "$sim" --link "$link" "${unit[@]}"; }
sim_pid=$SIM_PID
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true' EXIT
# The simulator prints its terminal's path once the link is in place.
if ! read -r -t 10 -u "${SIM[0]}" terminal; then
  echo "wine-with-sim: $sim did not start" >&2
  exit 1
fi
echo "wine-with-sim: quorvel-sim ${unit[*]} on $com ($terminal)"

ORVANTA_TEST_COM="\\\\.\\$com" "$here/wine-run.sh" "$@"
