#!/usr/bin/env bash
# Runs a command with the simulated unit on a named terminal:
#
#   scripts/with-sim.sh QUORVEL-SIM LINK "UNIT OPTIONS" COMMAND [ARGS...]
#
# QUORVEL-SIM is the simulator built for this machine; LINK becomes a
# symbolic link to its pseudo-terminal (its --link) once it is up, and goes
# when it stops. The unit is stopped when the command ends, whose status
# this returns. A unit that does not come up within 10 s fails the run.
set -euo pipefail
sim=$1
link=$2
read -r -a unit <<<"$3"
shift 3

coproc SIM { exec "$sim" --link "$link" "${unit[@]}"; }
sim_pid=$SIM_PID
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true' EXIT
# The simulator prints its terminal's path once the link is in place.
if ! read -r -t 10 -u "${SIM[0]}" terminal; then
  echo "with-sim: $sim did not start" >&2
  exit 1
fi
echo "with-sim: quorvel-sim ${unit[*]} on $link ($terminal)"
"$@"
