#!/usr/bin/env bash
# Builds the radar module and runs every test. Usage: scripts/test.sh [plain|asan|tsan]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
variant=${1:-plain}
build=$("$root/scripts/setup.sh" "$variant" | tail -n 1)

case "$variant" in
  asan) export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
               LSAN_OPTIONS="suppressions=$root/tests/lsan-suppressions.txt" ;;
  tsan) export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/tsan-suppressions.txt" ;;
esac

cd "$build"
ctest --output-on-failure -j2 --timeout 300
