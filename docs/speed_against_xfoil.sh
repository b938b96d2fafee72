#!/usr/bin/env bash
# One inviscid angle of NACA 2412 at 360 panels as a whole process: XFOIL 6.99 (Debian's
# xfoil, 360 panel nodes, ALFA 4) against velquin2ds --batch --general (360 panels),
# each run ROUNDS times; prints the mean wall time of each.
# Usage: docs/speed_against_xfoil.sh [ROUNDS] [PATH_TO_velquin2ds]
set -euo pipefail
rounds="${1:-20}"
here="$(cd "$(dirname "$0")" && pwd)"
exe="${2:-$here/../build/bin/velquin2ds}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
gcc -shared -fPIC -o "$work/libnofpe.so" /work/shared/tools/xfoil/nofpe.c 2>/dev/null ||
  gcc -shared -fPIC -o "$work/libnofpe.so" "$here/../../shared/tools/xfoil/nofpe.c"
printf 'PLOP\nG F\n\nNACA 2412\nPPAR\nN 360\n\n\nOPER\nALFA 4\n\nQUIT\n' >"$work/in"
mean() {  # mean COMMAND...: the mean wall time of ROUNDS runs, in ms
  local start end
  start=$(date +%s%N)
  for ((k = 0; k < rounds; k++)); do "$@" >/dev/null 2>&1; done
  end=$(date +%s%N)
  echo $(((end - start) / rounds / 1000000))
}
xfoil_ms=$(mean sh -c "env -u DISPLAY LD_PRELOAD=$work/libnofpe.so xfoil <$work/in")
velquin_ms=$(mean "$exe" --batch --body naca2412 --general --panels 360 --alpha 4 \
  --circulation --vortex constant --out "$work/out")
echo "xfoil ${xfoil_ms} ms, velquin2ds ${velquin_ms} ms (${rounds} runs each)"
