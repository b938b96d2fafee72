#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for SECONDS seconds,
# starting from the seed corpus in tests/robustness/fuzz/corpus/<target>. New inputs go to
# build-fuzz/corpus/<target>, a crashing or hanging input to build-fuzz/artifacts/.
# Usage: tests/robustness/fuzz/run_fuzzers.sh SECONDS
set -euo pipefail
seconds="${1:?usage: tests/robustness/fuzz/run_fuzzers.sh SECONDS}"
root="$(cd "$(dirname "$0")/../../.." && pwd)"
build="$root/build-fuzz"
targets=(fuzz_text_number fuzz_calculation_run fuzz_section_file)

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELQUIN_BUILD_FUZZERS=ON -DVELQUIN_BUILD_TESTS=OFF -DVELQUIN_BUILD_GUI=OFF \
  -DVELQUIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
mkdir -p "$build/artifacts" "$build/logs"
for target in "${targets[@]}"; do
  mkdir -p "$build/corpus/$target"
  log="$build/logs/$target.log"
  echo "== $target for ${seconds} s"
  if ! "$build/tests/robustness/fuzz/$target" -max_total_time="$seconds" -timeout=1 -max_len=4096 \
      -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
      "$build/corpus/$target" "$root/tests/robustness/fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$target failed; the input is in $build/artifacts/" >&2
    exit 1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log" || true
done
echo "fuzzing: ${#targets[@]} passed, 0 failed"
