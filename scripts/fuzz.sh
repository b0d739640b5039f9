#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, address and undefined-behaviour sanitizers) in build-fuzz and
# runs each for a bounded time, starting from its seed corpus in tests/fuzz/corpus/<target>. What a run
# finds new goes to build-fuzz/fuzz-corpus, never into the source tree; a crashing input is kept in
# build-fuzz/fuzz-artifacts/<target>/ and fails the run.
# Usage: scripts/fuzz.sh [seconds-per-target] [target...]   (default: 60 seconds, every target)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build="$root/build-fuzz"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(sweep_callback_fuzzer profile_fuzzer layer_key_fuzzer settings_feature_fuzzer
                                     capture_reader_fuzzer nmea_sentence_fuzzer)

if ! command -v clang++-14 > /dev/null; then
  echo "clang++-14 is missing: scripts/setup.sh installs it" >&2
  exit 2
fi

# Warnings are held by the gcc builds; clang warns of other things, in code it does not fuzz too.
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DSORVIK_WERROR=OFF -DSORVIK_FUZZ=ON \
  "-DSORVIK_SANITIZE=address;undefined" -DSORVIK_BUILD_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
cmake --build "$build" -j2 --target "${targets[@]}" >&2

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$root/tests/lsan-suppressions.txt"
export XDG_CONFIG_HOME="$build/test-home"
mkdir -p "$XDG_CONFIG_HOME"

failed=0
for target in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$target"
  artifacts="$build/fuzz-artifacts/$target/"
  mkdir -p "$corpus" "$artifacts"
  log="$build/fuzz-artifacts/$target.log"
  # From the staged host folder, as every host program runs: the sweep callback finds the radar there.
  if (cd "$build/stage/bin" && "./$target" -max_total_time="$seconds" -print_final_stats=1 -max_len=65536 \
        -timeout=25 -artifact_prefix="$artifacts" "$corpus" "$root/tests/fuzz/corpus/$target") > "$log" 2>&1; then
    result=ok
  else
    result=FAILED
    failed=1
    tail -n 40 "$log" >&2
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  echo "$target: $result, ${runs:-?} executions in ${seconds} s"
done
exit $failed
