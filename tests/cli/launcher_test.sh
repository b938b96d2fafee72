#!/usr/bin/env bash
# The velquin2ds command as a process: a batch run without Qt, and picture export handed
# over to the window program. Usage: launcher_test.sh PATH_TO_VELQUIN2DS
set -euo pipefail
exe="$1"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

"$exe" --batch --panels 12 --out "$out" >"$out/stdout"
grep -q "cl_circulation=" "$out/stdout"
test "$(wc -l <"$out/Output_PressCoeffs.txt")" -eq 14

QT_QPA_PLATFORM=offscreen "$exe" --batch --images --body naca0012 --out "$out" >/dev/null
for picture in Airfoil Pressure Matrix; do
  test -s "$out/Picture_$picture.png"
done

set +e
"$exe" --batch --panels 300 --out "$out" 2>"$out/stderr"
status=$?
set -e
test "$status" -eq 1
grep -q "Subscript out of range" "$out/stderr"
echo "launcher: 3 passed, 0 failed"
