#!/usr/bin/env bash
# Regenerates tests/data/xfoil_viscous.csv, the viscous reference of the boundary-layer
# tests and of the comparison table in docs/method.md: XFOIL 6.99 (Debian package
# xfoil), viscous, Ncrit 9 (free transition), on closed-trailing-edge NACA sections whose
# coordinates this script writes itself from the published formulas (the same as
# docs/xfoil_reference.sh: thickness with -0.1036, 300 cosine-spaced stations a side),
# re-panelled by XFOIL to 160 nodes; Re 1e6 and 3e6, alpha 0, 2, 4 and 6 degrees
# (marched up from 0 so that every point starts from its neighbour's solution).
#
#   docs/xfoil_viscous_reference.sh [DESIGNATION ...] > tests/data/xfoil_viscous.csv
#       (default: 0009 0012 0015 2412 4412 4415 23012 23015)
#
# Needs xfoil and gcc; /work/shared/tools/xfoil/nofpe.c (or $NOFPE_C) switches off the
# floating-point trap of Debian's build. A point XFOIL does not converge is left out.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
nofpe_c="${NOFPE_C:-/work/shared/tools/xfoil/nofpe.c}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
gcc -shared -fPIC -o "$work/libnofpe.so" "$nofpe_c"
[ $# -gt 0 ] || set -- 0009 0012 0015 2412 4412 4415 23012 23015

# The section writer of the inviscid reference script.
sed -n "/^cat >\"\$work\/section.awk\" <<'AWK'$/,/^AWK$/p" "$here/xfoil_reference.sh" |
  sed '1d;$d' >"$work/section.awk"

echo "section,re,alpha,cl,cd,cdp,cm,xtr_top,xtr_bottom"
for d in "$@"; do
  LC_ALL=C awk -v d="$d" -v N=300 -f "$work/section.awk" >"$work/s$d.dat"
  for re in 1000000 3000000; do
    printf 'PLOP\nG F\n\nLOAD %s\nPPAR\nN 160\n\n\nOPER\nVISC %s\nVPAR\nN 9\n\nITER 300\nPACC\n%s\n\nALFA 0\nALFA 2\nALFA 4\nALFA 6\nPACC\n\nQUIT\n' \
      "$work/s$d.dat" "$re" "$work/p$d-$re.txt" >"$work/c$d-$re.in"
    (cd "$work" && env -u DISPLAY LD_PRELOAD="$work/libnofpe.so" xfoil <"c$d-$re.in" \
      >"c$d-$re.log" 2>&1)
    # Polar rows after the 12 header lines: alpha CL CD CDp CM Top_Xtr Bot_Xtr.
    tail -n +13 "$work/p$d-$re.txt" | LC_ALL=C awk -v d="$d" -v re="$re" \
      'NF >= 7 { printf "%s,%s,%g,%s,%s,%s,%s,%s,%s\n", d, re, $1, $2, $3, $4, $5, $6, $7 }'
  done
done
