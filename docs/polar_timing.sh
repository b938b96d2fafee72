#!/usr/bin/env bash
# Times one whole-process viscous polar of NACA 2412 two ways, side by side: velquin2ds
# and XFOIL 6.99 (Debian package xfoil) for the same polar, Re 1e6, Ncrit 9, alpha -4 to
# 10 degrees in steps of 0.5 (29 angles), 160 panel nodes; both as a fresh process,
# reading nothing but their commands and writing their polar file. XFOIL marches the
# angles up from -4, each from its neighbour's solution, with at most 100 Newton
# iterations a point (ITER 100); velquin2ds solves every angle from its inviscid flow.
#
#   docs/polar_timing.sh [BUILD_DIR]      (default: build; needs hyperfine, xfoil, gcc)
#
# /work/shared/tools/xfoil/nofpe.c (or $NOFPE_C) switches off the floating-point trap of
# Debian's XFOIL build. The two polars are left in $OUT (default: a temporary folder)
# as velquin_polar.csv and xfoil_polar.txt.
set -euo pipefail
command -v hyperfine >/dev/null || { echo "needs hyperfine (apt-get install hyperfine)" >&2; exit 1; }
command -v xfoil >/dev/null || { echo "needs xfoil (apt-get install xfoil)" >&2; exit 1; }
command -v gcc >/dev/null || { echo "needs gcc (apt-get install gcc)" >&2; exit 1; }
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
velquin="$(cd "$build" && pwd)/bin/velquin2ds"
nofpe_c="${NOFPE_C:-/work/shared/tools/xfoil/nofpe.c}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
out="${OUT:-$work}"
mkdir -p "$out"
gcc -shared -fPIC -o "$work/libnofpe.so" "$nofpe_c"

# XFOIL's commands: NACA 2412 re-panelled to 160 nodes, viscous at Re 1e6, the sequence.
cat >"$work/xfoil.in" <<'XFOIL'
PLOP
G F

NACA 2412
PPAR
N 160


OPER
VISC 1e6
VPAR
N 9

ITER 100
PACC
polar.txt

ASEQ -4 10 0.5
PACC

QUIT
XFOIL

velquin_cmd="$velquin --batch --body naca2412 --panels 160 --re 1e6 --sweep -4:10:0.5 \
--circulation --vortex constant --out $work/v >/dev/null"
xfoil_cmd="cd $work && rm -f polar.txt && env -u DISPLAY LD_PRELOAD=$work/libnofpe.so \
xfoil <xfoil.in >xfoil.log 2>&1"
mkdir -p "$work/v"
hyperfine --warmup 2 --runs 10 -n velquin2ds "$velquin_cmd" -n xfoil "$xfoil_cmd"
cp "$work/v/polar.csv" "$out/velquin_polar.csv"
cp "$work/polar.txt" "$out/xfoil_polar.txt"
echo "XFOIL converged $(tail -n +13 "$out/xfoil_polar.txt" | awk 'NF >= 7' | wc -l) of 29 angles"
