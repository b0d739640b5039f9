#!/usr/bin/env bash
# Builds the radar module and runs the main job: the stand-in host loading the module.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$("$root/scripts/setup.sh" plain | tail -n 1)
"$build/stage/bin/sorvik_viewer" "$@"
