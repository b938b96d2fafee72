#!/usr/bin/env bash
# Prints the convergence table of docs/method.md: the NACA 0012 section with the constant
# vortex distribution at 0, 5 and 10 degrees, lift coefficient from the circulation and
# from the surface pressure, and the source sum at 5 degrees, for 16 to 198 panels.
# One angle sweep per panel count gives the three angles (polar.csv).
#
#   docs/convergence.sh [path/to/velquin2ds]
#
# Without an argument it uses build/bin/velquin2ds, building it first through ./run.sh
# when it is missing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bin="${1:-$here/../build/bin/velquin2ds}"
if [ ! -x "$bin" ]; then "$here/../run.sh" --version >/dev/null; fi
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

echo "| Panels | Cl circ. 0° | Cl press. 0° | Cl circ. 5° | Cl press. 5° | Cl circ. 10° | Cl press. 10° | source sum 5° |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|"
for panels in 16 32 64 128 198; do
  "$bin" --batch --body naca0012 --panels "$panels" --circulation --vortex constant \
    --sweep 0:10:5 --out "$out" >/dev/null
  # polar.csv: alpha_deg,cl_circulation,cl_pressure,cm_quarter_chord,source_sum
  LC_ALL=C awk -F, -v n="$panels" '
    function f(x) { x = sprintf("%.4f", x); return x == "-0.0000" ? "0.0000" : x }
    NR == 2 { c0 = $2; p0 = $3 }
    NR == 3 { c5 = $2; p5 = $3; s5 = $5 }
    NR == 4 { c10 = $2; p10 = $3 }
    END { printf "| %d | %s | %s | %s | %s | %s | %s | %.2e |\n",
                 n, f(c0), f(p0), f(c5), f(p5), f(c10), f(p10), s5 }' "$out/polar.csv"
done
