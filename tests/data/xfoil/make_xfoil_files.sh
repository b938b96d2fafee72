#!/bin/sh
# Makes the XFOIL reference files of the overlay tests with Debian's xfoil (6.99), inviscid,
# NACA 2412 at 160 panel nodes: naca2412_polar.txt (alpha -4 to 8 in steps of 2, XFOIL's
# polar save format) and naca2412_cp_a4.txt (CPWR at 4 degrees). Debian's build traps
# floating-point exceptions when its graphics are off; nofpe.c switches the trap off.
#   apt-get install -y xfoil
#   tests/data/xfoil/make_xfoil_files.sh [NOFPE_C]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
nofpe_c=${1:-/work/shared/tools/xfoil/nofpe.c}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
gcc -shared -fPIC -o "$work/libnofpe.so" "$nofpe_c"
cd "$work"
cat > commands.in <<'XF'
PLOP
G F

NACA 2412
PPAR
N 160


OPER
PACC
polar.txt

ASEQ -4 8 2
PACC
ALFA 4
CPWR cp.txt

QUIT
XF
env -u DISPLAY LD_PRELOAD="$work/libnofpe.so" xfoil < commands.in > xfoil.log 2>&1 || true
cp polar.txt "$here/naca2412_polar.txt"
cp cp.txt "$here/naca2412_cp_a4.txt"
