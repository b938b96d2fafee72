#!/usr/bin/env bash
# Builds Velquin-2DS in Release (installing what is missing) and starts it.
# Arguments are passed on: ./run.sh --batch --panels 12 runs headless.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

"$here/scripts/install-deps.sh" cmake make g++ qt6-base-dev qt6-qpa-plugins \
  qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libboost-dev libgsl-dev libeigen3-dev \
  libgtest-dev libbenchmark-dev pybind11-dev python3-dev python3-numpy python3-pytest \
  python3-matplotlib fonts-dejavu-core xvfb xdotool imagemagick >&2
log="$(mktemp)"
if ! { cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release &&
       cmake --build "$here/build" --target velquin2ds velquin2ds-window -j"$(nproc)"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "run.sh: the build failed" >&2
  exit 1
fi
rm -f "$log"
exec "$here/build/bin/velquin2ds" "$@"
