#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, address and undefined-behaviour sanitizers) in build-fuzz and
# runs each for a bounded time, starting from its seed corpus in tests/fuzz/corpus/<target> and from the
# corpus kept by earlier runs. What a run finds is merged into that kept corpus (only the inputs that reach
# code it did not reach before), which lives outside the source tree: $SORVIK_FUZZ_CORPUS/<target>, by
# default $XDG_CACHE_HOME/sorvik-fuzz/<target> (~/.cache/sorvik-fuzz/<target>). A long run
# (`scripts/fuzz.sh 3600`, an hour per target) thus carries on where the last one stopped. A crashing input
# is kept in build-fuzz/fuzz-artifacts/<target>/ and fails the run.
# Usage: scripts/fuzz.sh [seconds-per-target] [target...]   (default: 60 seconds, every target)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build="$root/build-fuzz"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(sweep_callback_fuzzer profile_fuzzer layer_key_fuzzer settings_feature_fuzzer
                                     capture_reader_fuzzer nmea_sentence_fuzzer
                                     live_request_fuzzer)

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

kept_root=${SORVIK_FUZZ_CORPUS:-${XDG_CACHE_HOME:-$HOME/.cache}/sorvik-fuzz}

failed=0
for target in "${targets[@]}"; do
  kept="$kept_root/$target"
  found="$build/fuzz-found/$target"
  artifacts="$build/fuzz-artifacts/$target/"
  rm -rf "$found"
  mkdir -p "$kept" "$found" "$artifacts"
  log="$build/fuzz-artifacts/$target.log"
  # From the staged host folder, as every host program runs: the sweep callback finds the radar there.
  # New inputs go to the first folder; the kept and seed corpora are read.
  if (cd "$build/stage/bin" && "./$target" -max_total_time="$seconds" -print_final_stats=1 -max_len=65536 \
        -timeout=25 -artifact_prefix="$artifacts" "$found" "$kept" "$root/tests/fuzz/corpus/$target") \
        > "$log" 2>&1; then
    result=ok
    # Into the kept corpus goes what reaches code it did not reach yet.
    (cd "$build/stage/bin" && "./$target" -merge=1 -max_len=65536 -timeout=25 "$kept" "$found") \
      > "$log.merge" 2>&1 || echo "$target: merging into $kept failed, see $log.merge" >&2
  else
    result=FAILED
    failed=1
    tail -n 40 "$log" >&2
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  kept_count=$(find "$kept" -type f | wc -l)
  echo "$target: $result, ${runs:-?} executions in ${seconds} s (${rate:-?} a second), $kept_count inputs kept in $kept"
done
exit $failed
