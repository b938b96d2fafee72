#!/usr/bin/env bash
# Draws docs/drag_polar.png, the README's example: the viscous polar of NACA 2412 at
# Re 1e6 made by the command line (160 panels, -4 to 10 degrees), its drag polar
# cl_viscous against cd and the lift curve, inviscid and viscous. Needs gnuplot (Debian
# package gnuplot-nox).
#
#   docs/drag_polar.sh [BUILD_DIR]     (default: build)
set -euo pipefail
command -v gnuplot >/dev/null || { echo "needs gnuplot (apt-get install gnuplot-nox)" >&2; exit 1; }
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/bin/velquin2ds" --batch --body naca2412 --panels 160 --circulation --vortex constant \
  --re 1e6 --sweep -4:10:0.5 --out "$work" >/dev/null
gnuplot <<GNUPLOT
set terminal pngcairo size 900,420 font "DejaVu Sans,10"
set output "$here/drag_polar.png"
set datafile separator ","
set key autotitle columnhead bottom right
set grid
set multiplot layout 1,2 title "NACA 2412, Re 1e6, free transition (Ncrit 9), 160 panels"
set xlabel "cd"
set ylabel "cl"
plot "$work/polar.csv" using 7:6 with linespoints pt 7 ps 0.6 title "drag polar"
set xlabel "alpha (degrees)"
plot "$work/polar.csv" using 1:3 with lines lw 2 title "cl inviscid", \
     "" using 1:6 with linespoints pt 7 ps 0.6 title "cl viscous"
unset multiplot
GNUPLOT
