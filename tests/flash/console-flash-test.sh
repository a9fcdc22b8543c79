#!/usr/bin/env bash
# orvanta-flash against quorvel-sim on the FLASH cable: an OCD image
# programmed and the whole memory read back in one run, the read-back
# holding the image over erased memory. A .exe runs under Wine on the COM
# port COM14, the unit's pseudo-terminal mapped into the Wine prefix.
#
#   console-flash-test.sh QUORVEL-SIM ORVANTA-FLASH WORKDIR IMAGE.hex
set -euo pipefail
here=$(cd "$(dirname "$0")/../../scripts" && pwd)
sim=$1 program=$2 dir=$3 image=$4
mkdir -p "$dir"
rm -f "$dir/back.hex"
{ echo "[ZTQFLASH]"; cat "$image"; } >"$dir/image.txt"
if [[ $program == *.exe ]]; then
  link=$("$here/wine-run.sh" --prefix)/dosdevices/com14 port=COM14 run=("$here/wine-run.sh" "$program")
else
  link=$dir/unit port=$dir/unit run=("$program")
fi
"${run[@]}" --help | grep -q '^usage: orvanta-flash'
"$here/with-sim.sh" "$sim" "$link" "--cable flash --no-pacing" \
  "${run[@]}" --yes --program "$dir/image.txt" --read "$dir/back.hex" "$port" | tee "$dir/out.txt"
grep -q '^Loaded Flash: bytes =770' "$dir/out.txt"
memory() { srec_cat "$1" -Intel -fill 0xFF 0 0x10000 -o - -binary; }
cmp <(memory "$image") <(tail -n +2 "$dir/back.hex" | tr -d '\r' | memory -)
echo "the read-back holds the image"
