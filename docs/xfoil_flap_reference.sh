#!/usr/bin/env bash
# The inviscid lift of NACA sections with a deflected plain flap from XFOIL 6.99
# (Debian's xfoil), the reference of tests/app/problem_run_test.cpp: GDES FLAP with the
# hinge at y/t = 0.5, re-panelled to 160 nodes (PANE), one angle.
# Usage: docs/xfoil_flap_reference.sh   (prints "section hinge degrees alpha CL CM")
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
command -v xfoil >/dev/null || { echo "needs Debian's xfoil (apt-get install xfoil)" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Debian's build traps floating-point exceptions without its graphics.
gcc -shared -fPIC -o "$work/libnofpe.so" "$here/../../shared/tools/xfoil/nofpe.c" 2>/dev/null ||
  gcc -shared -fPIC -o "$work/libnofpe.so" /work/shared/tools/xfoil/nofpe.c
for case in "2412 0.7 15 2" "0012 0.8 -10 4" "23012 0.75 30 0"; do
  set -- $case
  cat >"$work/in" <<IN
PLOP
G F

NACA $1
PPAR
N 160


GDES
FLAP
$2
999
0.5
$3
EXEC

PANE
OPER
PACC
$work/polar

ALFA $4
PACC

QUIT
IN
  rm -f "$work/polar"
  env -u DISPLAY LD_PRELOAD="$work/libnofpe.so" xfoil <"$work/in" >/dev/null 2>&1
  echo "naca$1 $2 $3 $4 $(tail -n 1 "$work/polar" | awk '{print $2, $5}')"
done
