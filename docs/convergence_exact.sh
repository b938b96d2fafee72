#!/usr/bin/env bash
# Prints the convergence table of docs/method.md for two sections with an exact
# solution: the Kármán–Trefftz section karman-trefftz:-0.1:0.05:15 and the Joukowski
# section joukowski:-0.1:0.05 (the same circle, the edge angle 15 degrees and 0), constant
# vortex distribution, 5 degrees: the lift coefficient from the circulation and from the
# surface pressure against the exact one, for 16 to 198 panels.
#
#   docs/convergence_exact.sh [path/to/velquin2ds]
#
# Without an argument it uses build/bin/velquin2ds, building it first through ./run.sh
# when it is missing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bin="${1:-$here/../build/bin/velquin2ds}"
if [ ! -x "$bin" ]; then "$here/../run.sh" --version >/dev/null; fi
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

kt="karman-trefftz:-0.1:0.05:15"
jk="joukowski:-0.1:0.05"
run() {  # body panels -> "cl_circulation cl_pressure cl_exact exact_deviation"
  "$bin" --batch --body "$1" --panels "$2" --alpha 5 --circulation --vortex constant \
    --out "$out" | LC_ALL=C awk '{
      for (i = 1; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
      print v["cl_circulation"], v["cl_pressure"], v["cl_exact"], v["exact_deviation"] }'
}

echo "| Panels | K–T Cl circ. | K–T Cl press. | K–T error circ. | K–T 1−Cp dev. | Joukowski Cl circ. | Joukowski Cl press. | Joukowski error circ. | Joukowski 1−Cp dev. |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
for panels in 16 32 64 128 198; do
  read -r kc kp ke kd <<<"$(run "$kt" "$panels")"
  read -r jc jp je jd <<<"$(run "$jk" "$panels")"
  LC_ALL=C awk -v n="$panels" -v kc="$kc" -v kp="$kp" -v ke="$ke" -v kd="$kd" \
    -v jc="$jc" -v jp="$jp" -v je="$je" -v jd="$jd" 'BEGIN {
      printf "| %d | %.4f | %.4f | %+.2f %% | %.3f | %.4f | %.4f | %+.2f %% | %.3f |\n",
             n, kc, kp, 100 * (kc - ke) / ke, kd, jc, jp, 100 * (jc - je) / je, jd
      if (n == 198) printf "| exact | %.4f | | | | %.4f | | | |\n", ke, je }'
done
