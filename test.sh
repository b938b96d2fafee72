#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"

scripts/install-deps.sh cmake make g++ qt6-base-dev qt6-qpa-plugins \
  libgtest-dev libbenchmark-dev fonts-dejavu-core

jobs="$(nproc)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")
