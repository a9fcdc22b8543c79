#!/usr/bin/env bash
# Runs a Windows program under Wine with the simulated unit on a COM port:
#
#   scripts/wine-with-sim.sh QUORVEL-SIM COMn "UNIT OPTIONS" PROGRAM.exe [ARGS...]
#
# The unit's pseudo-terminal becomes COMn of the Wine prefix (the link
# dosdevices/comn); the program finds the port's name, \\.\COMn, in
# ORVANTA_TEST_COM. See scripts/with-sim.sh and scripts/wine-run.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sim=$1
com=$2
unit=$3
shift 3
prefix=$("$here/wine-run.sh" --prefix)
export ORVANTA_TEST_COM="\\\\.\\$com"
exec "$here/with-sim.sh" "$sim" "$prefix/dosdevices/${com,,}" "$unit" "$here/wine-run.sh" "$@"
