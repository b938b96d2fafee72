#!/usr/bin/env bash
# Checks the layering of the sources (docs/architecture.md): each layer includes only
# itself and the layers below it, the core has no Qt, and the window's raw control
# values never reach below the shell. Usage: tests/layers_test.sh SOURCE_DIR
set -euo pipefail
cd "${1:?usage: layers_test.sh SOURCE_DIR}"

# The lowest layer: the parts of shell/ that everything shares.
base='shell/(module_common|run_error|text_number|report_writer|report_folder|user_locale|picture|picture_table|calculation_window|vortex_model)\.h'
status=0
complain() { echo "layers: $*" >&2; status=1; }

includes() {  # the project headers a file includes
  grep -hoE '^#include "[^"]+"' "$@" 2>/dev/null | sed -E 's/#include "(.*)"/\1/' || true
}
check_layer() {  # check_layer NAME ALLOWED_REGEX FILES...
  local name="$1" allowed="$2"; shift 2
  for file in "$@"; do
    for header in $(includes "$file"); do
      [[ "$header" =~ ^($allowed)$ ]] || complain "$file ($name) includes $header"
    done
  done
}

shopt -s nullglob
base_files=()
for f in shell/*.h shell/*.cpp; do
  [[ "$f" =~ ^$base$ || "$f" =~ ^shell/(module_common|run_error|text_number|report_writer|report_folder|user_locale)\.cpp$ ]] && base_files+=("$f")
done
check_layer base "$base" "${base_files[@]}"
check_layer geometry "$base|geometry/[a-z0-9_]+\.h" geometry/*.h geometry/*.cpp
check_layer solver "$base|(geometry|solver)/[a-z0-9_]+\.h" solver/*.h solver/*.cpp
check_layer display "$base|(geometry|solver|display)/[a-z0-9_]+\.h" display/*.h display/*.cpp

if grep -lE '^#include <Q' geometry/* solver/* display/* "${base_files[@]}" >/dev/null 2>&1; then
  complain "Qt in the core: $(grep -lE '^#include <Q' geometry/* solver/* display/* "${base_files[@]}" | tr '\n' ' ')"
fi
if grep -lw ControlValues geometry/* solver/* display/* >/dev/null 2>&1; then
  complain "ControlValues below the shell: $(grep -lw ControlValues geometry/* solver/* display/* | tr '\n' ' ')"
fi
[ "$status" -eq 0 ] && echo "layers: every include points down"
exit "$status"
