#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"

scripts/install-deps.sh cmake make g++ qt6-base-dev qt6-qpa-plugins \
  qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libboost-dev libgsl-dev libeigen3-dev \
  libgtest-dev libbenchmark-dev pybind11-dev python3-dev python3-numpy python3-pytest \
  python3-matplotlib fonts-dejavu-core locales xvfb xdotool imagemagick

# A locale with a decimal comma, for the tests of locale independence; they skip
# themselves where it cannot be made (no root).
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  localedef -i de_DE -f UTF-8 de_DE.UTF-8 2>/dev/null ||
    sudo -n localedef -i de_DE -f UTF-8 de_DE.UTF-8 2>/dev/null || true
fi

jobs="$(nproc)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELQUIN_WERROR=ON
cmake --build build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")

# The core and its tests once more under AddressSanitizer and UndefinedBehaviorSanitizer:
# any finding fails the test that met it.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELQUIN_SANITIZE=ON \
  -DVELQUIN_BUILD_GUI=OFF -DVELQUIN_BUILD_BENCH=OFF -DVELQUIN_WERROR=ON
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j"$jobs")

# Bounded fuzzing of the number reader and of whole runs (libFuzzer needs clang).
scripts/install-deps.sh clang libclang-rt-14-dev
tests/robustness/fuzz/run_fuzzers.sh 30
