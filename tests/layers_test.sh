#!/usr/bin/env bash
# Checks the house (docs/architecture.md): the folders are layers, lowest first, and a
# file includes headers of its own folder and of folders before it, never after; no
# include cycle; no Qt below the windows; the window's raw control values never below
# app/. Every .h and .cpp of the sources belongs to a layer.
# Usage: tests/layers_test.sh SOURCE_DIR
set -euo pipefail
cd "${1:?usage: layers_test.sh SOURCE_DIR}"

layers=(base geometry solver viscous display app cli python gui/explorer gui)
first_qt_layer=8   # gui/explorer: the windows start here
python_layer=7     # the Python module binds the Qt-free core: nothing of the windows
last_core_layer=4  # display: what a run's numbers and pictures need, without the controls
status=0
complain() { echo "layers: $*" >&2; status=1; }

layer_of() {  # the index of the folder a path lies in directly, or nothing
  local dir="${1%/*}"
  for k in "${!layers[@]}"; do
    [ "${layers[$k]}" = "$dir" ] && { echo "$k"; return; }
  done
}

edges="$(mktemp)"
trap 'rm -f "$edges"' EXIT
shopt -s nullglob
for k in "${!layers[@]}"; do
  for file in "${layers[$k]}"/*.h "${layers[$k]}"/*.cpp; do
    echo "$file $file" >>"$edges"
    while read -r header; do
      [ -f "$header" ] || { complain "$file includes $header, which is not a file"; continue; }
      to="$(layer_of "$header")"
      if [ -z "$to" ]; then
        complain "$file includes $header, outside the layers"
      elif [ "$to" -gt "$k" ]; then
        complain "$file (${layers[$k]}) includes $header (${layers[$to]}), a later folder"
      fi
      echo "$header $file" >>"$edges"
    done < <(sed -nE 's/^#include "([^"]+)".*/\1/p' "$file")
    if [ "$k" -lt "$first_qt_layer" ] && grep -qE '^#include <Q' "$file"; then
      complain "$file includes Qt below the windows"
    fi
    if [ "$k" -eq "$python_layer" ] && grep -qE '^#include "gui/' "$file"; then
      complain "$file (python) includes the windows"
    fi
    if [ "$k" -le "$last_core_layer" ] && grep -qw ControlValues "$file"; then
      complain "$file (${layers[$k]}) sees ControlValues, the window's raw controls"
    fi
  done
done

# A cycle of includes: tsort names the files on it.
if ! tsort "$edges" >/dev/null 2>"$edges.cycle"; then
  complain "include cycle: $(grep -v 'input contains a loop' "$edges.cycle" | sed 's/^tsort: //' | tr '\n' ' ')"
fi
rm -f "$edges.cycle"

# No source file outside the layers (tests, benchmarks and builds aside): in a checkout
# the files git knows of or would add, elsewhere every file below.
sources() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp'
  else
    find . -path './build*' -prune -o \( -name '*.h' -o -name '*.cpp' \) -print | sed 's|^\./||'
  fi
}
while read -r file; do
  case "$file" in tests/* | bench/* | build*/*) continue ;; esac
  [ -n "$(layer_of "$file")" ] || complain "$file lies outside the layers"
done < <(sources)

[ "$status" -eq 0 ] && echo "layers: ${#layers[@]} folders, every include points down, no cycle"
exit "$status"
