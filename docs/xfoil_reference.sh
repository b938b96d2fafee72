#!/usr/bin/env bash
# Regenerates the XFOIL reference values of tests/sections_accuracy_test.cpp: XFOIL 6.99
# (Debian package xfoil), inviscid, on closed-trailing-edge NACA sections whose
# coordinates this script writes itself from the published formulas (thickness with
# -0.1036, 300 cosine-spaced stations a side, 601 points), re-panelled by XFOIL to 160
# nodes, CL and CM at 0, 4 and 8 degrees.
#
#   docs/xfoil_reference.sh [DESIGNATION ...]     (default: 2412 4412 23012 23015 23112)
#
# Needs xfoil and gcc; /work/shared/tools/xfoil/nofpe.c (or $NOFPE_C) switches off the
# floating-point trap of Debian's build.
set -euo pipefail
nofpe_c="${NOFPE_C:-/work/shared/tools/xfoil/nofpe.c}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
gcc -shared -fPIC -o "$work/libnofpe.so" "$nofpe_c"
[ $# -gt 0 ] || set -- 2412 4412 23012 23015 23112

cat >"$work/section.awk" <<'AWK'
# Counter-clockwise from the trailing edge over the upper side, N stations a side.
function yt(x) { return 5*t*(0.2969*sqrt(x) - 0.1260*x - 0.3516*x*x + 0.2843*x*x*x - 0.1036*x*x*x*x) }
function camber(x,   r, k1, k21, q, m, p, P, Q, s) {
  if (length(d) == 4) {
    m = substr(d,1,1)/100; p = substr(d,2,1)/10
    if (m == 0) { yc = 0; dyc = 0; return }
    if (x < p) { yc = m/(p*p)*(2*p*x - x*x); dyc = 2*m/(p*p)*(p - x) }
    else { yc = m/((1-p)*(1-p))*((1 - 2*p) + 2*p*x - x*x); dyc = 2*m/((1-p)*(1-p))*(p - x) }
    return
  }
  P = substr(d,2,1); Q = substr(d,3,1); s = substr(d,1,1)/2
  if (Q == 0) {
    split("0.0580 0.1260 0.2025 0.2900 0.3910", R, " "); split("361.4 51.640 15.957 6.643 3.230", K, " ")
    r = R[P]; k1 = K[P]
    if (x < r) { yc = s*k1/6*(x*x*x - 3*r*x*x + r*r*(3 - r)*x); dyc = s*k1/6*(3*x*x - 6*r*x + r*r*(3 - r)) }
    else { yc = s*k1*r*r*r/6*(1 - x); dyc = -s*k1*r*r*r/6 }
  } else {
    split("0 0.1300 0.2170 0.3180 0.4410", R, " "); split("0 51.990 15.793 6.520 3.191", K, " ")
    split("0 0.000764 0.00677 0.0303 0.1355", KK, " ")
    r = R[P]; k1 = K[P]; k21 = KK[P]; q = (1 - r)^3
    if (x < r) { yc = s*k1/6*((x - r)^3 - k21*q*x - r^3*x + r^3); dyc = s*k1/6*(3*(x - r)^2 - k21*q - r^3) }
    else { yc = s*k1/6*(k21*(x - r)^3 - k21*q*x - r^3*x + r^3); dyc = s*k1/6*(3*k21*(x - r)^2 - k21*q - r^3) }
  }
}
function point(x, side) { camber(x); th = atan2(dyc, 1)
  printf "%.10f %.10f\n", x - side*yt(x)*sin(th), yc + side*yt(x)*cos(th) }
BEGIN { t = substr(d, length(d) - 1)/100; pi = atan2(0, -1); print "NACA " d " closed trailing edge"
  for (i = 0; i <= N; i++) point((1 + cos(pi*i/N))/2, 1)
  for (i = N - 1; i >= 0; i--) point((1 + cos(pi*i/N))/2, -1) }
AWK

echo "| Section | CL 0° | CL 4° | CL 8° | CM 0° | CM 4° | CM 8° |"
echo "|---|---:|---:|---:|---:|---:|---:|"
for d in "$@"; do
  LC_ALL=C awk -v d="$d" -v N=300 -f "$work/section.awk" >"$work/s$d.dat"
  printf 'PLOP\nG F\n\nLOAD %s\nPPAR\nN 160\n\n\nOPER\nPACC\n%s\n\nALFA 0\nALFA 4\nALFA 8\nPACC\n\nQUIT\n' \
    "$work/s$d.dat" "$work/p$d.txt" >"$work/c$d.in"
  (cd "$work" && env -u DISPLAY LD_PRELOAD="$work/libnofpe.so" xfoil <"c$d.in" >"c$d.log" 2>&1)
  # Polar rows after the 12 header lines: alpha CL CD CDp CM ...
  tail -n +13 "$work/p$d.txt" | LC_ALL=C awk -v d="$d" '
    { cl[NR] = $2; cm[NR] = $5 }
    END { printf "| %s | %s | %s | %s | %s | %s | %s |\n", d, cl[1], cl[2], cl[3], cm[1], cm[2], cm[3] }'
done
